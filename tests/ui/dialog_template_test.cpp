// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialog/dialog_template.h"
#include "ui/dialog/dialog_units.h"

#include <gtest/gtest.h>

TEST(DialogTemplate, MissingOrBadTemplateIsEmpty)
{
    EXPECT_TRUE(CDialogTemplate::Load(":/no/such/template.json").IsEmpty());
    EXPECT_TRUE(CDialogTemplate::FromJson("{ not json").IsEmpty());
}

TEST(DialogUnits, RoundToPixels)
{
    const CDialogUnits units(6.0, 13.0);
    EXPECT_EQ(units.ToPixels(QRect(52, 23, 58, 28)), QRect(78, 37, 87, 46));
    EXPECT_EQ(units.ToPixels(QSize(508, 320)), QSize(762, 520));
}
