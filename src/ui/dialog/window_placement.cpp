// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialog/window_placement.h"

namespace
{

int Centred(int length, int start, int available)
{
    if (length >= available)
        return start;
    return start + (available - length) / 2;
}

} // namespace

QPoint CentredOnScreen(QSize frame, const QRect& available)
{
    return {Centred(frame.width(), available.left(), available.width()),
            Centred(frame.height(), available.top(), available.height())};
}
