// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the settings file reader as both kinds of file and
// checks what must hold for any input: no access outside the table, every
// text terminated inside its field, and a written file that reads back to
// the same bytes; and that the name order is consistent on any bytes.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "settings/builtin_presets.h"
#include "settings/settings_file.h"

namespace
{

void Require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

template <class Record>
bool TextsTerminated(const Record& r)
{
    if constexpr (requires { r.fileName; })
        if (std::memchr(r.fileName, 0, sizeof r.fileName) == nullptr)
            return false;
    return std::memchr(r.name, 0, sizeof r.name) != nullptr;
}

template <class Record>
void Check(CSettingsTable<Record>& table, std::span<const unsigned char> bytes, int builtIns)
{
    const SettingsLoadResult loaded = ParseSettingsFile(table, bytes);
    Require(loaded.recordsKept >= 0 && loaded.recordsKept <= kSettingSlots - builtIns);
    Require(table.OccupiedCount() == builtIns + loaded.recordsKept);
    for (const Record& r : table.m_slots)
        Require(TextsTerminated(r));
    Require(static_cast<int>(table.SortedNames().size()) == table.OccupiedCount());

    const std::vector<unsigned char> written = FormatSettingsFile(table, table.m_savedSelection);
    auto again = std::make_unique<CSettingsTable<Record>>();
    again->m_firstUserSlot = table.m_firstUserSlot;
    const SettingsLoadResult reread = ParseSettingsFile(*again, written);
    Require(reread.problem.empty() && reread.recordsKept == loaded.recordsKept);
    Require(FormatSettingsFile(*again, again->m_savedSelection) == written);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const unsigned char> bytes(data, size);
    auto noise = std::make_unique<CNoiseSettingsTable>();
    auto file = std::make_unique<CFileSettingsTable>();
    SetUpBuiltInPresets(*noise, *file);
    Check(*noise, bytes, 7);
    Check(*file, bytes, 1);

    // The list order reads names as UTF-8 of any quality: it must be a
    // consistent comparison on arbitrary bytes.
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string_view a = text.substr(0, size / 2);
    const std::string_view b = text.substr(size / 2);
    Require(CompareNamesNoCase(a, b) == -CompareNamesNoCase(b, a));
    Require(CompareNamesNoCase(a, a) == 0);
    return 0;
}
