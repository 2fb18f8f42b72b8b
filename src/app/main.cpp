// SPDX-License-Identifier: GPL-3.0-or-later
// susurra: the noise generator's window.

#include "app/app_translation.h"
#include "app/generator_app.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace
{

const char kHelp[] = "Usage: susurra [--help | --version]\n"
                     "\n"
                     "Opens Susurra's window: a noise generator that plays a sound with surf or\n"
                     "writes it into a WAV, FLAC, Opus or MP3 file. A second start brings the\n"
                     "running window to the front. The desktop's media keys play and stop it\n"
                     "(MPRIS). The window reads no other options; susurra-cli is the command line.\n"
                     "\n"
                     "  --help      this text\n"
                     "  --version   the version\n";

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--version") == 0)
        {
            std::printf("susurra %s\n", SUSURRA_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
        {
            std::fputs(kHelp, stdout);
            return 0;
        }
    }
    // The program reads no other command line: the toolkit sees only its name.
    static char fallbackName[] = "susurra";
    int qtArgc = 1;
    char* qtArgv[] = {argc > 0 && argv[0] != nullptr ? argv[0] : fallbackName, nullptr};
    QApplication qt(qtArgc, qtArgv);
    CAppTranslation::Install();
    CGeneratorApp app;
    app.InitInstance();
    return 0;
}
