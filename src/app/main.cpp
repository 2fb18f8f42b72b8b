// SPDX-License-Identifier: GPL-3.0-or-later
// susurra: the noise generator's window.

#include "app/generator_app.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // The program reads no command line: the toolkit sees only its name.
    static char fallbackName[] = "susurra";
    int qtArgc = 1;
    char* qtArgv[] = {argc > 0 && argv[0] != nullptr ? argv[0] : fallbackName, nullptr};
    QApplication qt(qtArgc, qtArgv);
    CGeneratorApp app;
    app.InitInstance();
    return 0;
}
