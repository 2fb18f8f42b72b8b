// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/sound_shape.h"

#include <QRectF>
#include <QWidget>

// A small picture of the designed spectrum (sound_shape.h), drawn with
// the palette's colours so that light and dark themes both read:
// - frequency runs across PlotRect() logarithmically, SpectrumPicture::kLowestHz
//   at its left edge and kHighestHz at its right edge, with lines and labels
//   at 100 Hz, 1 kHz and 10 kHz below it in Text;
// - level runs down PlotRect() linearly, SpectrumPicture::kCeilingDb at its
//   top edge and kFloorDb at its bottom edge;
// - mono: the noise's stretches filled in Highlight, translucent, under a
//   Highlight line along their level; the band limits and the notch show as
//   the fill's edges and gap;
// - stereo: no fill; the left ear's level as a solid Highlight line, the
//   right ear's as a dashed Link line, each labelled;
// - the tinnitus frequency as a Text line across the plot; the tone as one
//   Highlight line from the bottom up to its level.
// The accessible description says the same in words. Sizes are in
// device-independent pixels. User-interface thread only.
class CSpectrumView : public QWidget
{
    Q_OBJECT
public:
    explicit CSpectrumView(QWidget* parent = nullptr);

    // Makes a view that fills frame, inside its margins, and follows it.
    static CSpectrumView* CreateIn(QWidget* frame);

    // Shows picture: redraws and rewrites the accessible description.
    void SetPicture(const SpectrumPicture& picture);
    const SpectrumPicture& Picture() const { return m_picture; }

    // The area that the axes span, in widget coordinates.
    QRectF PlotRect() const;

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString Describe() const;

    SpectrumPicture m_picture;
};
