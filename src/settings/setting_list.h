#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The sorted lists that show a settings table: one entry per occupied slot,
// its text the slot's name, in CompareNamesNoCase order. An entry refers to
// its slot only through its text.

// Where a new entry goes: after every entry that sorts before it or compares
// equal to it, so equal names keep the order in which they were added.
std::size_t SortedInsertPosition(const std::vector<std::string>& names, std::string_view name);

// The entry to select at start for a saved selection and a list of count
// entries: the saved position when it lies inside the list, otherwise the
// first entry (-1, the "none selected" of the file, and positions beyond the
// end both give 0). -1 when the list is empty.
int RestoredPosition(int savedSelection, int count);

// The entry a newly stored or deleted name stands for: the first entry that
// equals name without regard to case, searching from the second entry to the
// last and then the first. -1 when there is none.
int FindEntryNoCase(const std::vector<std::string>& names, std::string_view name);
