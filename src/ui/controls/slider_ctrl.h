// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSlider>

// A slider that announces each time it paints itself (CustomDraw, emitted
// before the painting), as the main window's coupled controls expect. A
// handler of CustomDraw may change other widgets but must not raise a
// message box.
class CSliderCtrl : public QSlider
{
    Q_OBJECT
public:
    explicit CSliderCtrl(Qt::Orientation orientation = Qt::Horizontal, QWidget* parent = nullptr);

    void SetRange(int minimum, int maximum, bool redraw = false);
    void SetPos(int position, bool redraw = false);
    int GetPos() const { return value(); }

signals:
    void CustomDraw();

protected:
    void paintEvent(QPaintEvent* event) override;
};
