// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdio>
#include <string>
#include <string_view>

#include "base/printable_text.h"
#include "cli/cli_commands.h"
#include "settings/noise_extras.h"
#include "settings/settings_location.h"
#include "settings/settings_store.h"
#include "synth/noise_type.h"

namespace
{

void PrintHelp()
{
    std::printf("Usage: susurra-cli settings\n\n"
                "Lists the noise settings and the file settings in the order the window\n"
                "shows them. '*' marks the setting selected at start; render and play use\n"
                "it unless --noise-setting or --file-setting names another. Also says\n"
                "which folder the settings files ns.srx and fs.srx are read from.\n");
}

std::string Describe(const NoiseSetting& s)
{
    char text[160];
    if (s.noiseType == TinnitusFinder)
        std::snprintf(text, sizeof text, "%-13s %d Hz tone", "tinnitus", s.tinnitusFrequency);
    else
        std::snprintf(text, sizeof text, "%-13s %g - %g Hz", std::string(NoiseTypeName(NoiseTypeOfRecord(s))).c_str(),
                      s.lowerLimit, s.upperLimit);
    std::string out = text;
    if (s.surfStrength != 0.0)
    {
        std::snprintf(text, sizeof text, ", surf %g %% every %g s", s.surfStrength, s.surfPeriod);
        out += text;
    }
    return out;
}

std::string Describe(const FileSetting& s)
{
    char text[400];
    std::string time = "no valid time";
    if (s.hours >= 0 && s.minutes >= 0 && s.seconds >= 0)
    {
        std::snprintf(text, sizeof text, "%d:%02d:%02d", s.hours, s.minutes, s.seconds);
        time = text;
    }
    const std::string_view file = FieldText(s.fileName);
    std::snprintf(text, sizeof text, "fade in %d s, fade out %d s, %s, ", s.fadeIn, s.fadeOut, time.c_str());
    return text + (file.empty() ? std::string("no file name") : "file " + PrintableText(file));
}

std::string DescribeLoad(const CSettingsStore& store, SettingsKind kind)
{
    const SettingsLoadResult& load = kind == SettingsKind::Noise ? store.m_noiseLoad : store.m_fileLoad;
    std::string out = std::string(SettingsFileName(kind)) + ": ";
    if (!load.opened)
        return out + (load.io ? std::string("not there yet, so only the built-in settings") : IoResultText(load.io));
    out += std::to_string(load.recordsKept) + (load.recordsKept == 1 ? " stored setting" : " stored settings");
    if (!load.problem.empty())
        out += " (the file is damaged: " + load.problem + ")";
    return out;
}

// Pads a UTF-8 name to a width in characters, not bytes.
std::string Padded(std::string_view name, std::size_t width)
{
    std::size_t characters = 0;
    for (char c : name)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++characters;
    std::string out(name);
    if (characters < width)
        out.append(width - characters, ' ');
    return out;
}

template <class Record>
void PrintList(const char* title, const CSettingsTable<Record>& table)
{
    std::printf("\n%s:\n", title);
    const std::vector<int> slots = table.SortedSlots();
    const int selected = table.RestoredSelection();
    for (std::size_t i = 0; i < slots.size(); ++i)
    {
        const Record& s = table.m_slots[static_cast<std::size_t>(slots[i])];
        const std::string_view name = FieldText(s.name);
        const std::string shown = PrintableText(name);
        std::string note;
        if (slots[i] < table.m_firstUserSlot)
            note = "  [built-in]";
        else if (table.FindByName(name) != slots[i])
            note = "  [its name picks the one listed before]";
        std::printf("%c %s %s%s\n", static_cast<int>(i) == selected ? '*' : ' ', Padded(shown, 30).c_str(),
                    Describe(s).c_str(), note.c_str());
    }
}

} // namespace

int RunSettings(int argc, char** argv)
{
    for (int i = 0; i < argc; ++i)
    {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h")
        {
            PrintHelp();
            return 0;
        }
        std::fprintf(stderr, "susurra-cli settings: unknown option '%s'\n", ArgumentText(arg).c_str());
        return 2;
    }

    const CSettingsStore store = CSettingsStore::ForThisProgram();
    const std::string folder = store.m_folder.empty() ? std::string("the current folder") : store.m_folder;
    std::printf("Settings folder: %s (%s)\n", folder.c_str(),
                store.m_folder == g_programFolder ? "beside the program" : "the user's configuration folder");
    std::printf("  %s\n  %s\n", DescribeLoad(store, SettingsKind::Noise).c_str(),
                DescribeLoad(store, SettingsKind::File).c_str());
    PrintList("Noise settings (* selected at start)", store.m_noiseSettings);
    PrintList("File settings (* selected at start)", store.m_fileSettings);
    return 0;
}
