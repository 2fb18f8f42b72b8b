// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/progress_ctrl.h"

#include <algorithm>

CProgressCtrl::CProgressCtrl(QWidget* parent) : QProgressBar(parent)
{
    setTextVisible(false);
    setRange(0, 100);
    setValue(0);
}

void CProgressCtrl::SetRange(int lower, int upper)
{
    setRange(lower, upper);
}

void CProgressCtrl::SetPos(int position)
{
    // QProgressBar ignores values outside its range instead of clamping.
    const int clamped = std::clamp(position, minimum(), std::max(minimum(), maximum()));
    if (clamped == value())
        return;
    setValue(clamped);
    if (isVisible())
        repaint();
}
