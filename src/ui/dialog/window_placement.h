// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where a window's frame goes on a screen: centred in the available area,
// and along an axis where it is larger than that area, at the area's
// starting edge, so that the title bar stays within reach.
QPoint CentredOnScreen(QSize frame, const QRect& available);
