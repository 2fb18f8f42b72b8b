// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

// Converts dialog units to pixels from the metrics of the dialog's font, so
// that a window keeps its proportions at any font size and screen scale.
// The horizontal base unit is the average width of "A".."Z" and "a".."z",
// the vertical base unit the font's height; one dialog unit is a quarter of
// the first across and an eighth of the second down.
class CDialogUnits
{
public:
    explicit CDialogUnits(const QFont& font);
    CDialogUnits(double baseX, double baseY);

    double BaseX() const { return m_baseX; }
    double BaseY() const { return m_baseY; }

    int ToPixelsX(int dlu) const;
    int ToPixelsY(int dlu) const;

    // Edges are converted one by one, so that controls that touch or line up
    // in dialog units still do in pixels.
    QRect ToPixels(const QRect& dlu) const;
    QSize ToPixels(const QSize& dlu) const;

private:
    double m_baseX;
    double m_baseY;
};
