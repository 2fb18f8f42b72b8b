// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialog/window_placement.h"
#include "testing/param_name.h"

#include <gtest/gtest.h>

namespace
{

struct PlacementCase
{
    const char* name;
    QSize frame;
    QRect available;
    QPoint topLeft;
};

class WindowPlacement : public testing::TestWithParam<PlacementCase>
{};

TEST_P(WindowPlacement, KeepsTheTitleBarOnTheScreen)
{
    const PlacementCase& c = GetParam();
    EXPECT_EQ(CentredOnScreen(c.frame, c.available), c.topLeft);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, WindowPlacement,
    testing::Values(PlacementCase{"SmallerIsCentred", {800, 600}, {0, 0, 1280, 900}, {240, 150}},
                    // Scale factor 2 on a 1280x900 screen once went to (-300, -110).
                    PlacementCase{"LargerStartsAtTheTopLeftCorner", {1880, 1118}, {0, 0, 1280, 900}, {0, 0}},
                    PlacementCase{"WiderOnlyStartsAtTheLeftEdge", {1400, 600}, {0, 32, 1280, 868}, {0, 166}},
                    PlacementCase{"SecondScreenBelowAPanel", {1880, 1118}, {1280, 40, 1920, 1040}, {1300, 40}}),
    RowName());

} // namespace
