// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app_resources.h"
#include "app/resource_ids.h"
#include "app/string_table.h"
#include "testing/ui/qt_test_app.h"

using AppResources = QtTest;

TEST_F(AppResources, StringTableEntryIsFoundByIdAndAMissingOneIsEmpty)
{
    EXPECT_EQ(CStringTable::Load(IDS_TIP_TO_FILE), "Save the sound signal to a file of your choice");
    EXPECT_EQ(CStringTable::Load(9999), "");
}

TEST_F(AppResources, HandCursorIsThePointingHandAndAnUnknownCursorIsNone)
{
    const std::optional<QCursor> hand = CAppResources::LoadCursor(IDC_HAND);
    ASSERT_TRUE(hand.has_value());
    EXPECT_EQ(hand->shape(), Qt::PointingHandCursor);
    EXPECT_FALSE(CAppResources::LoadCursor(12345).has_value());
}
