// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/sound_picture.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace
{

constexpr double kMarginDip = 4.0;
constexpr double kTraceWidthDip = 1.5;
constexpr double kMarkerWidthDip = 1.0;
constexpr double kTickDip = 8.0;
// Translucent enough that the grid and the marker show through the fill.
constexpr int kFillAlpha = 96;
constexpr int kGridAlpha = 64;

struct GridLine
{
    double hz;
    const char* label;
};
const GridLine kGrid[] = {
    {100.0, QT_TRANSLATE_NOOP("CSpectrumView", "100 Hz")},
    {1000.0, QT_TRANSLATE_NOOP("CSpectrumView", "1 kHz")},
    {10000.0, QT_TRANSLATE_NOOP("CSpectrumView", "10 kHz")},
};

// Maps hertz and decibels into the plot.
class CAxes
{
public:
    explicit CAxes(const QRectF& plot) : m_plot(plot) {}

    double X(double hz) const
    {
        const double span = std::log(SpectrumPicture::kHighestHz / SpectrumPicture::kLowestHz);
        return m_plot.left() + m_plot.width() * std::log(hz / SpectrumPicture::kLowestHz) / span;
    }
    double Y(double db) const
    {
        const double span = SpectrumPicture::kCeilingDb - SpectrumPicture::kFloorDb;
        return m_plot.top() + m_plot.height() * (SpectrumPicture::kCeilingDb - db) / span;
    }

private:
    QRectF m_plot;
};

QString HzText(double hz)
{
    return QString::number(hz, 'g', 7);
}

QString LevelText(double db)
{
    return std::isinf(db) ? CSpectrumView::tr("silent") : CSpectrumView::tr("%1 dB").arg(QString::number(db, 'g', 4));
}

} // namespace

CSpectrumView::CSpectrumView(QWidget* parent) : QWidget(parent)
{
    setAccessibleName(tr("Spectrum"));
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    SetPicture(DescribeSpectrum(SpectrumValues{}));
}

CSpectrumView* CSpectrumView::CreateIn(QWidget* frame)
{
    auto* view = new CSpectrumView(frame);
    // The frame's layout keeps the view inside its title and border however
    // the window lays the frame out again.
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(view);
    return view;
}

void CSpectrumView::SetPicture(const SpectrumPicture& picture)
{
    m_picture = picture;
    setAccessibleDescription(Describe());
    update();
}

QRectF CSpectrumView::PlotRect() const
{
    const double labels = fontMetrics().height() + kMarginDip;
    return QRectF(kMarginDip, kMarginDip, std::max(1.0, width() - 2 * kMarginDip),
                  std::max(1.0, height() - 2 * kMarginDip - labels));
}

QSize CSpectrumView::minimumSizeHint() const
{
    // Room for the three labels side by side, and a plot as tall again.
    const int wide = fontMetrics().horizontalAdvance(QStringLiteral("10 kHz  1 kHz  100 Hz"));
    return QSize(wide, wide / 2);
}

QSize CSpectrumView::sizeHint() const
{
    return minimumSizeHint();
}

void CSpectrumView::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& colours = palette();
    const QRectF plot = PlotRect();
    const CAxes axes(plot);
    painter.fillRect(plot, colours.color(QPalette::Base));

    QColor grid = colours.color(QPalette::Text);
    grid.setAlpha(kGridAlpha);
    painter.setPen(QPen(grid, 1.0));
    const QFontMetrics metrics = fontMetrics();
    for (const GridLine& line : kGrid)
    {
        const double x = axes.X(line.hz);
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
    painter.setPen(colours.color(QPalette::Text));
    double labelsEnd = 0.0;
    for (const GridLine& line : kGrid)
    {
        // Centred under its line, but kept inside the widget; a label with no
        // room beside the last one is left out rather than drawn over it.
        const QString text = tr(line.label);
        const double wide = metrics.horizontalAdvance(text);
        const double left = std::clamp(axes.X(line.hz) - wide / 2, 0.0, std::max(0.0, width() - wide));
        if (left < labelsEnd)
            continue;
        labelsEnd = left + wide + metrics.horizontalAdvance(QLatin1Char(' '));
        painter.drawText(QRectF(left, plot.bottom() + kMarginDip / 2, wide, metrics.height()), Qt::AlignCenter, text);
    }

    painter.save();
    painter.setClipRect(plot);
    const QColor highlight = colours.color(QPalette::Highlight);
    const QColor link = colours.color(QPalette::Link);
    const QPen earPens[2] = {QPen(highlight, kTraceWidthDip, Qt::SolidLine, Qt::FlatCap),
                             QPen(link, kTraceWidthDip, Qt::DashLine, Qt::FlatCap)};
    const int ears = m_picture.stereo ? 2 : 1;
    if (m_picture.tone)
    {
        const double x = axes.X(m_picture.toneHz);
        const double loudest = std::max(m_picture.earLevelDb[0], m_picture.earLevelDb[1]);
        if (!std::isinf(loudest))
        {
            painter.setPen(QPen(highlight, 2 * kTraceWidthDip, Qt::SolidLine, Qt::FlatCap));
            painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, axes.Y(loudest)));
        }
        for (int ear = 0; ear < ears && m_picture.stereo; ++ear)
        {
            const double y = axes.Y(m_picture.earLevelDb[ear]);
            const double side = ear == 0 ? -kTickDip : kTickDip;
            painter.setPen(earPens[ear]);
            painter.drawLine(QPointF(x, y), QPointF(x + side, y));
        }
    }
    for (int ear = 0; ear < ears && !m_picture.tone; ++ear)
    {
        if (std::isinf(m_picture.earLevelDb[ear]))
            continue;
        for (const SpectrumStretch& stretch : m_picture.stretches)
        {
            const QPointF from(axes.X(stretch.lowHz), axes.Y(m_picture.LevelDb(ear, stretch.lowHz)));
            const QPointF to(axes.X(stretch.highHz), axes.Y(m_picture.LevelDb(ear, stretch.highHz)));
            if (!m_picture.stereo)
            {
                QColor fill = highlight;
                fill.setAlpha(kFillAlpha);
                QPainterPath area(QPointF(from.x(), plot.bottom() + 1));
                area.lineTo(from);
                area.lineTo(to);
                area.lineTo(to.x(), plot.bottom() + 1);
                area.closeSubpath();
                painter.fillPath(area, fill);
            }
            painter.setPen(earPens[ear]);
            painter.drawLine(from, to);
        }
    }
    if (m_picture.stereo && !m_picture.tone && !m_picture.stretches.empty())
    {
        // Each ear's letter above its line: the left at the band's start, the
        // right at its end, so that equal levels do not put one over the other.
        const SpectrumStretch first = m_picture.stretches.front();
        const SpectrumStretch last = m_picture.stretches.back();
        for (int ear = 0; ear < 2; ++ear)
        {
            if (std::isinf(m_picture.earLevelDb[ear]))
                continue;
            const double hz = ear == 0 ? first.lowHz : last.highHz;
            const QString letter = ear == 0 ? tr("L") : tr("R");
            const double wide = metrics.horizontalAdvance(letter);
            const double x = std::clamp(axes.X(hz) + (ear == 0 ? kMarginDip : -kMarginDip - wide),
                                        plot.left() + kMarginDip, plot.right() - kMarginDip - wide);
            const double y =
                std::max(axes.Y(m_picture.LevelDb(ear, hz)) - 2 * kTraceWidthDip, plot.top() + metrics.ascent());
            painter.setPen(ear == 0 ? highlight : link);
            painter.drawText(QPointF(x, y), letter);
        }
    }
    if (m_picture.markerHz)
    {
        const double x = axes.X(*m_picture.markerHz);
        painter.setPen(QPen(colours.color(QPalette::Text), kMarkerWidthDip));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
    painter.restore();

    painter.setPen(QPen(grid, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);
}

QString CSpectrumView::Describe() const
{
    QStringList sentences;
    const SpectrumPicture& p = m_picture;
    if (p.tone)
    {
        sentences << tr("A tone at %1 Hz.").arg(HzText(p.toneHz));
    }
    else if (p.lowerLimitHz > p.upperLimitHz)
    {
        sentences << tr("Silence: the lower limit lies above the upper limit.");
    }
    else
    {
        const QString from = HzText(p.lowerLimitHz);
        const QString to = HzText(p.upperLimitHz);
        if (p.slopeDbPerOctave == 0.0)
            sentences << tr("Noise from %1 Hz to %2 Hz, level across the band.").arg(from, to);
        else
            sentences << tr("Noise from %1 Hz to %2 Hz, falling %3 dB per octave.")
                             .arg(from, to, QString::number(-p.slopeDbPerOctave, 'f', 2));
        if (p.notch)
            sentences << tr("A notch from %1 Hz to %2 Hz is cut out.")
                             .arg(QString::number(p.notch->lowHz, 'f', 0), QString::number(p.notch->highHz, 'f', 0));
    }
    if (p.markerHz)
        sentences << tr("Tinnitus frequency: %1 Hz.").arg(HzText(*p.markerHz));
    if (p.stereo)
        sentences << tr("Left ear: %1. Right ear: %2.").arg(LevelText(p.earLevelDb[0]), LevelText(p.earLevelDb[1]));
    return sentences.join(QLatin1Char(' '));
}
