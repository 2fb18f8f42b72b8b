#pragma once

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "settings/file_setting.h"
#include "settings/noise_setting.h"
#include "settings/setting_list.h"
#include "settings/setting_text.h"

inline constexpr int kSettingSlots = 100;

// One list of named settings: a fixed table of 100 slots, its first user slot
// and the selection saved in its settings file.
//
// A slot is free when the first byte of its name is zero. Names need not be
// unique; every lookup by name takes the lowest slot. Slots below the first
// user slot hold the built-in presets and are never stored in a file.
template <class Record>
class CSettingsTable
{
public:
    std::array<Record, kSettingSlots> m_slots{};
    // Index of the first free slot once the built-ins are in place; fixed for
    // the program's run. Stored settings are read into the slots from here on
    // and only these slots are written.
    int m_firstUserSlot = 0;
    // The position in the sorted list that was selected when the settings
    // file was written (-1: none). 0 until a file is read.
    int m_savedSelection = 0;

    // Empties every slot: all bytes zero.
    void Clear()
    {
        m_slots.fill(Record{});
        m_firstUserSlot = 0;
        m_savedSelection = 0;
    }

    bool IsOccupied(int slot) const { return m_slots[slot].name[0] != 0; }

    // Frees a slot: its name bytes become zero, its other fields stay.
    void Free(int slot) { std::memset(m_slots[slot].name, 0, sizeof m_slots[slot].name); }

    // Steps from slot 0 over occupied slots and keeps the first free one (or
    // 100) as the first user slot. Call once, after the built-ins are set up.
    int ComputeFirstUserSlot()
    {
        int slot = 0;
        while (slot < kSettingSlots && IsOccupied(slot))
            ++slot;
        m_firstUserSlot = slot;
        return slot;
    }

    // The lowest free slot at or above from, or -1 when all are occupied.
    int LowestFreeSlot(int from = 0) const
    {
        for (int slot = std::max(from, 0); slot < kSettingSlots; ++slot)
            if (!IsOccupied(slot))
                return slot;
        return -1;
    }

    // The lowest occupied slot whose name equals name byte for byte, or -1.
    int FindByName(std::string_view name) const
    {
        if (name.empty())
            return -1;
        for (int slot = 0; slot < kSettingSlots; ++slot)
            if (IsOccupied(slot) && FieldText(m_slots[slot].name) == name)
                return slot;
        return -1;
    }

    // The number of occupied slots at or above from.
    int OccupiedCount(int from = 0) const
    {
        int count = 0;
        for (int slot = std::max(from, 0); slot < kSettingSlots; ++slot)
            if (IsOccupied(slot))
                ++count;
        return count;
    }

    // The occupied slots in the list's order: their names ascending by
    // CompareNamesNoCase; names that compare equal keep their slot order, as
    // when each is inserted after its equals (SortedInsertPosition).
    std::vector<int> SortedSlots() const
    {
        std::vector<int> occupied;
        for (int slot = 0; slot < kSettingSlots; ++slot)
            if (IsOccupied(slot))
                occupied.push_back(slot);
        std::stable_sort(occupied.begin(), occupied.end(), [this](int a, int b) {
            return CompareNamesNoCase(FieldText(m_slots[a].name), FieldText(m_slots[b].name)) < 0;
        });
        return occupied;
    }

    // The names of SortedSlots(): the entries of the list.
    std::vector<std::string> SortedNames() const
    {
        std::vector<std::string> names;
        for (int slot : SortedSlots())
            names.emplace_back(FieldText(m_slots[slot].name));
        return names;
    }

    // The position in SortedNames() to select at start (RestoredPosition).
    int RestoredSelection() const { return RestoredPosition(m_savedSelection, OccupiedCount()); }
};

using CNoiseSettingsTable = CSettingsTable<NoiseSetting>;
using CFileSettingsTable = CSettingsTable<FileSetting>;
