#include "settings/setting_list.h"

#include <algorithm>

#include "settings/setting_text.h"

std::size_t SortedInsertPosition(const std::vector<std::string>& names, std::string_view name)
{
    const auto at =
        std::upper_bound(names.begin(), names.end(), name, [](std::string_view value, const std::string& entry) {
            return CompareNamesNoCase(value, entry) < 0;
        });
    return static_cast<std::size_t>(at - names.begin());
}

int RestoredPosition(int savedSelection, int count)
{
    if (count <= 0)
        return -1;
    // A position beyond the end is left when the stored settings no longer
    // match the list that was shown when the file was written; the first
    // entry is then as good a guess as any, and it keeps a selection.
    return savedSelection >= 0 && savedSelection < count ? savedSelection : 0;
}

int FindEntryNoCase(const std::vector<std::string>& names, std::string_view name)
{
    const int count = static_cast<int>(names.size());
    for (int i = 1; i <= count; ++i)
    {
        const int entry = i % count;
        if (CompareNamesNoCase(names[entry], name) == 0)
            return entry;
    }
    return -1;
}
