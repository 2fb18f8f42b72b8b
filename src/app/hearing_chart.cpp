// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/hearing_chart.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace
{

constexpr int kGridHz[] = {250, 500, 1000, 2000, 4000, 8000, 12000};
constexpr HearingEar kEars[] = {HearingEar::Left, HearingEar::Right, HearingEar::Both};

QString HzLabel(int hz)
{
    return hz >= 1000 ? QStringLiteral("%1k").arg(hz / 1000) : QString::number(hz);
}

} // namespace

CHearingChart::CHearingChart(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("hearingChart"));
    setAccessibleName(tr("Hearing profile chart"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    SetThresholds({});
}

void CHearingChart::SetThresholds(std::vector<HearingThreshold> thresholds)
{
    std::stable_sort(thresholds.begin(), thresholds.end(), [](const auto& a, const auto& b) {
        return a.ear != b.ear ? a.ear < b.ear : a.frequencyHz < b.frequencyHz;
    });
    m_thresholds = std::move(thresholds);
    setAccessibleDescription(Describe());
    update();
}

QString CHearingChart::Describe() const
{
    if (m_thresholds.empty())
        return tr("No thresholds.");
    QStringList lines;
    for (HearingEar ear : kEars)
    {
        QStringList entries;
        for (const HearingThreshold& t : m_thresholds)
            if (t.ear == ear)
                entries << (t.heard ? tr("%1 Hz: %2 dBFS").arg(t.frequencyHz).arg(t.levelDb)
                                    : tr("%1 Hz: not heard").arg(t.frequencyHz));
        if (entries.isEmpty())
            continue;
        const QString name = ear == HearingEar::Left    ? tr("Left ear")
                             : ear == HearingEar::Right ? tr("Right ear")
                                                        : tr("Both ears");
        lines << tr("%1: %2.").arg(name, entries.join(QStringLiteral(", ")));
    }
    return lines.join(QLatin1Char('\n'));
}

QSize CHearingChart::minimumSizeHint() const
{
    return {240, 130};
}

QSize CHearingChart::sizeHint() const
{
    return {300, 180};
}

QRectF CHearingChart::PlotRect() const
{
    const QFontMetricsF metrics(font());
    const double left = metrics.horizontalAdvance(QStringLiteral("-90")) + 6.0;
    const double top = metrics.height() * 0.5 + 10.0; // room for the not-heard arrows
    const double bottom = metrics.height() + 4.0;
    return QRectF(left, top, std::max(10.0, width() - left - 8.0), std::max(10.0, height() - top - bottom));
}

QPointF CHearingChart::Place(int frequencyHz, double levelDb) const
{
    const QRectF plot = PlotRect();
    const double x = std::log(frequencyHz / kLowestHz) / std::log(kHighestHz / kLowestHz);
    const double y = (levelDb - kFloorDb) / (kCeilingDb - kFloorDb);
    return {plot.left() + x * plot.width(), plot.bottom() - y * plot.height()};
}

void CHearingChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& colours = palette();
    painter.fillRect(rect(), colours.base());
    const QRectF plot = PlotRect();
    const QFontMetricsF metrics(font());

    // The grid: octaves across, 20 dB steps up.
    QColor grid = colours.color(QPalette::Text);
    grid.setAlpha(60);
    painter.setPen(QPen(grid, 1.0));
    for (int hz : kGridHz)
    {
        const double x = Place(hz, kFloorDb).x();
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
    for (int db = static_cast<int>(kFloorDb); db <= kCeilingDb; db += 20)
    {
        const double y = Place(static_cast<int>(kLowestHz), db).y();
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }
    painter.setPen(colours.color(QPalette::Text));
    painter.drawRect(plot);
    // 12000 Hz lies too close to 8000 Hz for a label of its own.
    for (int hz : kGridHz)
    {
        if (hz == 12000)
            continue;
        const QString label = HzLabel(hz);
        const double x = Place(hz, kFloorDb).x() - metrics.horizontalAdvance(label) / 2.0;
        painter.drawText(QPointF(std::clamp(x, 0.0, width() - metrics.horizontalAdvance(label)),
                                 plot.bottom() + metrics.ascent() + 2.0),
                         label);
    }
    for (int db = static_cast<int>(kFloorDb); db <= kCeilingDb; db += 20)
    {
        const QString label = QString::number(db);
        const double y = Place(static_cast<int>(kLowestHz), db).y();
        // The lowest label stays above the frequencies' row.
        painter.drawText(QPointF(plot.left() - metrics.horizontalAdvance(label) - 3.0,
                                 std::min(y + metrics.ascent() / 2.5, plot.bottom() - 1.0)),
                         label);
    }

    const double r = 4.0;
    for (HearingEar ear : kEars)
    {
        const QColor colour = ear == HearingEar::Left    ? colours.color(QPalette::Link)
                              : ear == HearingEar::Right ? QColor(200, 40, 40)
                                                         : colours.color(QPalette::Text);
        QPen pen(colour, 1.5);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        QPainterPath line;
        bool started = false;
        for (const HearingThreshold& t : m_thresholds)
        {
            if (t.ear != ear)
                continue;
            const QPointF at = Place(t.frequencyHz, t.heard ? t.levelDb : kCeilingDb);
            if (!t.heard)
            {
                // Not heard even at the loudest tone: an arrow out of the top.
                painter.drawLine(at, at - QPointF(0, 9));
                painter.drawLine(at - QPointF(0, 9), at - QPointF(3, 5));
                painter.drawLine(at - QPointF(0, 9), at - QPointF(-3, 5));
                continue;
            }
            started ? line.lineTo(at) : line.moveTo(at);
            started = true;
            if (ear == HearingEar::Left)
            {
                painter.drawLine(at + QPointF(-r, -r), at + QPointF(r, r));
                painter.drawLine(at + QPointF(-r, r), at + QPointF(r, -r));
            }
            else if (ear == HearingEar::Right)
            {
                painter.drawEllipse(at, r, r);
            }
            else
            {
                painter.drawRect(QRectF(at - QPointF(r, r), QSizeF(2 * r, 2 * r)));
            }
        }
        pen.setWidthF(1.0);
        pen.setStyle(ear == HearingEar::Right ? Qt::DashLine : Qt::SolidLine);
        painter.setPen(pen);
        painter.drawPath(line);
    }
}
