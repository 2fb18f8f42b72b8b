// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "synth/hearing_profile.h"

#include <QRectF>
#include <QWidget>

#include <vector>

// A small chart of hearing thresholds, drawn with the palette's colours:
// - frequency runs across PlotRect() logarithmically, kLowestHz at its left
//   edge and kHighestHz at its right, with a line and label at each checked
//   frequency's octave band (250, 500, 1k, 2k, 4k, 8k);
// - level runs up PlotRect() linearly, kFloorDb at the bottom, kCeilingDb
//   (the loudest the check plays) at the top;
// - each ear has its own mark: left a cross, right a circle, both ears a
//   square, joined by a line per ear; a frequency not heard shows as an
//   arrow pointing up out of the top edge.
// The accessible description lists the same thresholds in words, one ear a
// line. User-interface thread only.
class CHearingChart : public QWidget
{
    Q_OBJECT
public:
    static constexpr double kLowestHz = 250.0;
    static constexpr double kHighestHz = 12000.0;
    static constexpr double kFloorDb = -90.0;
    static constexpr double kCeilingDb = -10.0;

    explicit CHearingChart(QWidget* parent = nullptr);

    // Shows thresholds (any order): redraws and rewrites the description.
    void SetThresholds(std::vector<HearingThreshold> thresholds);
    const std::vector<HearingThreshold>& Thresholds() const { return m_thresholds; }

    QRectF PlotRect() const;
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString Describe() const;
    QPointF Place(int frequencyHz, double levelDb) const;

    std::vector<HearingThreshold> m_thresholds; // by ear, then frequency
};
