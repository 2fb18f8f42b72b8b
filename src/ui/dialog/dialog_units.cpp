// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialog/dialog_units.h"

#include <QFontMetricsF>
#include <QString>

#include <cmath>

namespace
{

double AverageLetterWidth(const QFont& font)
{
    const QFontMetricsF metrics(font);
    return metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52.0;
}

} // namespace

CDialogUnits::CDialogUnits(const QFont& font) : m_baseX(AverageLetterWidth(font)), m_baseY(QFontMetricsF(font).height())
{}

CDialogUnits::CDialogUnits(double baseX, double baseY) : m_baseX(baseX), m_baseY(baseY) {}

int CDialogUnits::ToPixelsX(int dlu) const
{
    return static_cast<int>(std::lround(dlu * m_baseX / 4.0));
}

int CDialogUnits::ToPixelsY(int dlu) const
{
    return static_cast<int>(std::lround(dlu * m_baseY / 8.0));
}

QRect CDialogUnits::ToPixels(const QRect& dlu) const
{
    const int left = ToPixelsX(dlu.x());
    const int top = ToPixelsY(dlu.y());
    const int right = ToPixelsX(dlu.x() + dlu.width());
    const int bottom = ToPixelsY(dlu.y() + dlu.height());
    return QRect(left, top, right - left, bottom - top);
}

QSize CDialogUnits::ToPixels(const QSize& dlu) const
{
    return QSize(ToPixelsX(dlu.width()), ToPixelsY(dlu.height()));
}
