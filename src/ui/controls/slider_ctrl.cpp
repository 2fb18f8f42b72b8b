// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/slider_ctrl.h"

CSliderCtrl::CSliderCtrl(Qt::Orientation orientation, QWidget* parent) : QSlider(orientation, parent)
{
    setTickPosition(QSlider::NoTicks);
}

void CSliderCtrl::SetRange(int minimum, int maximum, bool redraw)
{
    setRange(minimum, maximum);
    if (redraw)
        update();
}

void CSliderCtrl::SetPos(int position, bool redraw)
{
    setValue(position);
    if (redraw)
        update();
}

void CSliderCtrl::paintEvent(QPaintEvent* event)
{
    emit CustomDraw();
    QSlider::paintEvent(event);
}
