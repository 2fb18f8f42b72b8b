// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/setting_name_order.h"
#include "settings/setting_list.h"
#include "testing/ui/qt_test_app.h"
#include "ui/controls/combo_ctrl.h"

#include <string>
#include <vector>

using SettingNameOrder = QtTest;

TEST_F(SettingNameOrder, SortedListAgreesWithTheSettingsOrder)
{
    // A saved selection is a position in this list, so it must agree with
    // the settings' own order, non-ASCII names included.
    CComboCtrl combo;
    combo.SetSorted(true);
    combo.SetNameOrder(CompareSettingNamesNoCase);
    std::vector<std::string> names;
    for (const char* name : {"Zebra", "\xc3\x84rger", "apple", "Apple", "_x", "zebra", "\xc3\xa4rger", "Bay"})
    {
        const std::size_t expected = SortedInsertPosition(names, name);
        names.insert(names.begin() + static_cast<std::ptrdiff_t>(expected), name);
        EXPECT_EQ(combo.AddString(QString::fromUtf8(name)), static_cast<int>(expected)) << name;
    }
    for (const std::string& name : names)
        EXPECT_EQ(combo.FindStringExact(0, QString::fromStdString(name)), FindEntryNoCase(names, name)) << name;
}
