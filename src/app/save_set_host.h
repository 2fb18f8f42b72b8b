// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/settings_kind.h"

class CComboCtrl;
class CSettingsStore;

// What the Manage Settings dialog needs of the main window: the slot tables,
// the main window's list of each kind, and the current values to store.
//
// Every entry of the setting lists (the main window's and the dialog's)
// carries the slot it stands for as item data (Qt::UserRole, an int), so that
// entries whose names differ only in case still find their own slot.
class ISaveSetHost
{
public:
    virtual ~ISaveSetHost() = default;

    virtual CSettingsStore& SettingsStore() = 0;
    virtual CComboCtrl& SettingCombo(SettingsKind kind) = 0;
    // Fills every field but the name of slot `slot` of the table of `kind`
    // from the main window's members as they stand (the controls are not
    // read again).
    virtual void FillSlotFromMembers(SettingsKind kind, int slot) = 0;
};
