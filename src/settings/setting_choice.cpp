// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/printable_text.h"
#include "settings/setting_choice.h"

namespace
{

template <class Record>
SettingChoice<Record> Choose(const CSettingsTable<Record>& table, std::optional<std::string_view> name,
                             const char* listName)
{
    SettingChoice<Record> choice;
    const std::vector<std::string> names = table.SortedNames();
    std::string wanted;
    if (name)
    {
        wanted = std::string(*name);
    }
    else
    {
        const int position = table.RestoredSelection();
        if (position < 0)
        {
            choice.error = std::string("there are no ") + listName + "s";
            return choice;
        }
        wanted = names[static_cast<std::size_t>(position)];
    }

    const int slot = table.FindByName(wanted);
    if (slot < 0)
    {
        choice.error = std::string("there is no ") + listName + " named \"" + ArgumentText(wanted) + "\"; the "
                       + listName + "s are:";
        for (const std::string& entry : names)
            choice.error += "\n  " + PrintableText(entry);
        return choice;
    }
    choice.found = true;
    choice.setting = table.m_slots[static_cast<std::size_t>(slot)];
    choice.name = wanted;
    return choice;
}

} // namespace

SettingChoice<NoiseSetting> ChooseNoiseSetting(const CSettingsStore& store, std::optional<std::string_view> name)
{
    return Choose(store.m_noiseSettings, name, "noise setting");
}

SettingChoice<FileSetting> ChooseFileSetting(const CSettingsStore& store, std::optional<std::string_view> name)
{
    return Choose(store.m_fileSettings, name, "file setting");
}
