// SPDX-License-Identifier: GPL-3.0-or-later
// The picture of the sound, rendered offscreen: where its band edges, notch,
// marker and traces lie, how steeply it falls, and what it says in words.
#include "app/spectrum_view.h"
#include "testing/param_name.h"
#include "testing/ui/qt_test_app.h"

#include <QImage>

#include <cmath>
#include <optional>
#include <string>

namespace
{

constexpr double kPixelTolerance = 2.0;
// The level axis: +10 dB at the top, -60 dB at the bottom.
constexpr double kTopDb = 10.0;
constexpr double kAxisDb = 70.0;

// Pure colours, so that each thing drawn can be told by its hue.
QPalette TestPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Highlight, QColor(255, 0, 0));
    palette.setColor(QPalette::Link, QColor(0, 0, 255));
    return palette;
}

bool Reddish(QRgb c)
{
    return qRed(c) - qGreen(c) > 40 && qRed(c) - qBlue(c) > 40;
}
bool Bluish(QRgb c)
{
    return qBlue(c) - qRed(c) > 40 && qBlue(c) - qGreen(c) > 40;
}

class SpectrumViewTest : public QtTest
{
protected:
    void Render(const SpectrumValues& values)
    {
        m_view.setPalette(TestPalette());
        m_view.resize(640, 320);
        m_view.SetPicture(DescribeSpectrum(values));
        m_image = QImage(m_view.size(), QImage::Format_RGB32);
        m_image.fill(Qt::white);
        m_view.render(&m_image);
        m_plot = m_view.PlotRect();
    }

    // Where a frequency lies on a logarithmic axis from 20 Hz to 20 kHz.
    double X(double hz) const { return m_plot.left() + m_plot.width() * std::log10(hz / 20.0) / 3.0; }
    double Y(double db) const { return m_plot.top() + m_plot.height() * (kTopDb - db) / kAxisDb; }
    int Row(double fraction) const { return static_cast<int>(m_plot.top() + fraction * m_plot.height()); }

    // The first row from the top of the plot in column x whose pixel is of the kind.
    template <typename Kind>
    std::optional<int> TopOf(int x, Kind kind) const
    {
        for (int y = static_cast<int>(m_plot.top()); y < m_plot.bottom(); ++y)
            if (kind(m_image.pixel(x, y)))
                return y;
        return std::nullopt;
    }

    CSpectrumView m_view;
    QImage m_image;
    QRectF m_plot;
};

// --- Band edges, notch and marker ---

struct BandRow
{
    const char* name;
    int type;
    double lowerHz;
    double upperHz;
    double tinnitusHz;
    double notchOctaves; // 0: no notch
    // What the fill must show, from formula: its ends and the gap.
    double fillFromHz;
    double fillToHz;
    std::optional<double> gapFromHz;
    std::optional<double> gapToHz;
};

class SpectrumBands : public SpectrumViewTest, public ::testing::WithParamInterface<BandRow>
{};

TEST_P(SpectrumBands, EdgesNotchAndMarkerLieAtTheirFrequencies)
{
    const BandRow& row = GetParam();
    SpectrumValues values;
    values.noiseType = row.type;
    values.lowerLimitHz = row.lowerHz;
    values.upperLimitHz = row.upperHz;
    values.tinnitusHz = row.tinnitusHz;
    values.notch = NotchBand{row.notchOctaves > 0, row.tinnitusHz, row.notchOctaves};
    Render(values);

    // Just above the bottom, where every fill reaches.
    const int y = static_cast<int>(m_plot.bottom()) - 3;
    int first = -1;
    int last = -1;
    int gapStart = -1;
    int gapLength = 0;
    int runStart = -1;
    for (int x = 0; x < m_image.width(); ++x)
    {
        if (!Reddish(m_image.pixel(x, y)))
        {
            if (runStart < 0)
                runStart = x;
            continue;
        }
        if (first >= 0 && runStart >= 0 && x - runStart > gapLength)
        {
            gapStart = runStart;
            gapLength = x - runStart;
        }
        runStart = -1;
        if (first < 0)
            first = x;
        last = x;
    }
    ASSERT_GE(first, 0) << "no fill";
    EXPECT_NEAR(first, X(row.fillFromHz), kPixelTolerance);
    EXPECT_NEAR(last + 1, X(row.fillToHz), kPixelTolerance);
    if (row.gapFromHz)
    {
        EXPECT_NEAR(gapStart, X(*row.gapFromHz), kPixelTolerance);
        EXPECT_NEAR(gapStart + gapLength, X(*row.gapToHz), kPixelTolerance);
    }
    else
    {
        // The marker's line may break the fill; nothing wider may.
        EXPECT_LE(gapLength, 3) << "a gap at x " << gapStart;
    }

    // The marker: the darkest column across the middle of the plot.
    const int middle = Row(0.5);
    int darkest = -1;
    int darkness = 256;
    for (int x = static_cast<int>(m_plot.left()) + 2; x < m_plot.right() - 2; ++x)
    {
        const QRgb c = m_image.pixel(x, middle);
        const int brightest = std::max({qRed(c), qGreen(c), qBlue(c)});
        if (brightest < darkness)
        {
            darkness = brightest;
            darkest = x;
        }
    }
    EXPECT_LT(darkness, 160);
    EXPECT_NEAR(darkest + 0.5, X(row.tinnitusHz), kPixelTolerance);
}

// Notch edges: centre / 2^(w/2) and centre * 2^(w/2).
INSTANTIATE_TEST_SUITE_P(Rows, SpectrumBands,
                         ::testing::Values(BandRow{"pink over the whole axis", 2, 20, 20000, 1000, 0, 20, 20000,
                                                   std::nullopt, std::nullopt},
                                           BandRow{"white with a half-octave notch", 1, 100, 8000, 1000, 0.5, 100, 8000,
                                                   1000 / std::sqrt(std::sqrt(2.0)), 1000 * std::sqrt(std::sqrt(2.0))},
                                           BandRow{"physiological with an octave notch", 0, 50, 15000, 4000, 1, 50,
                                                   15000, 4000 / std::sqrt(2.0), 4000 * std::sqrt(2.0)},
                                           BandRow{"a notch over the upper limit ends the band", 2, 200, 5000, 5000, 1,
                                                   200, 5000 / std::sqrt(2.0), std::nullopt, std::nullopt}),
                         RowName{});

// --- The colour's slope ---

struct SlopeRow
{
    const char* name;
    int type;
    double dbPerOctave; // as measured on the synthesised noise
};

class SpectrumSlopes : public SpectrumViewTest, public ::testing::WithParamInterface<SlopeRow>
{};

TEST_P(SpectrumSlopes, TheTraceFallsAsTheColourDoes)
{
    const SlopeRow& row = GetParam();
    SpectrumValues values;
    values.noiseType = row.type;
    values.tinnitusHz = 20000; // the marker out of the way, at the right edge
    Render(values);

    const double lowHz = 50;
    const double highHz = 5000;
    const std::optional<int> low = TopOf(static_cast<int>(X(lowHz)), Reddish);
    const std::optional<int> high = TopOf(static_cast<int>(X(highHz)), Reddish);
    ASSERT_TRUE(low && high);
    const double drawnDb = -(*high - *low) / m_plot.height() * kAxisDb;
    EXPECT_NEAR(drawnDb / std::log2(highHz / lowHz), row.dbPerOctave, 0.15);
}

INSTANTIATE_TEST_SUITE_P(Rows, SpectrumSlopes,
                         ::testing::Values(SlopeRow{"physiological", 0, -1.33}, SlopeRow{"white", 1, 0.0},
                                           SlopeRow{"pink", 2, -3.01}),
                         RowName{});

// --- Stereo: one trace per ear ---

struct EarRow
{
    const char* name;
    bool stereo;
    double leftDb;
    double rightDb;
    std::optional<double> redDb;  // where the left ear's trace lies; none: not drawn
    std::optional<double> blueDb; // the right ear's
};

class SpectrumEars : public SpectrumViewTest, public ::testing::WithParamInterface<EarRow>
{};

TEST_P(SpectrumEars, EachEarIsDrawnAtItsLevel)
{
    const EarRow& row = GetParam();
    SpectrumValues values;
    values.noiseType = 1; // white: flat, so that a trace's height is its level
    values.tinnitusHz = 20000;
    values.stereo = row.stereo;
    values.earLevelDb[0] = row.leftDb;
    values.earLevelDb[1] = row.rightDb;
    Render(values);

    // A dashed line has gaps: the topmost pixel of a few columns.
    const auto top = [this](auto kind) {
        std::optional<int> best;
        for (int x = static_cast<int>(X(1000)); x < X(1000) + 12; ++x)
            if (const std::optional<int> y = TopOf(x, kind); y && (!best || *y < *best))
                best = y;
        return best;
    };
    const std::optional<int> red = top(Reddish);
    const std::optional<int> blue = top(Bluish);
    ASSERT_EQ(red.has_value(), row.redDb.has_value());
    ASSERT_EQ(blue.has_value(), row.blueDb.has_value());
    // The line is centred on its level.
    if (red)
    {
        EXPECT_NEAR(*red, Y(*row.redDb) - 1, kPixelTolerance);
    }
    if (blue)
    {
        EXPECT_NEAR(*blue, Y(*row.blueDb) - 1, kPixelTolerance);
    }
}

constexpr double kSilent = -INFINITY;
INSTANTIATE_TEST_SUITE_P(Rows, SpectrumEars,
                         ::testing::Values(EarRow{"mono draws one trace", false, 0, -20, 0, std::nullopt},
                                           EarRow{"both ears full", true, 0, 0, 0, 0},
                                           EarRow{"right ear twenty dB down", true, 0, -20, 0, -20},
                                           EarRow{"left ear quieter", true, -30, -6, -30, -6},
                                           EarRow{"right ear silent", true, -12, kSilent, -12, std::nullopt}),
                         RowName{});

TEST_F(SpectrumViewTest, TheToneIsOneLineAtItsFrequency)
{
    SpectrumValues values;
    values.noiseType = 3;
    values.tinnitusHz = 440;
    Render(values);
    const int y = Row(0.5);
    int first = -1;
    int last = -1;
    for (int x = 0; x < m_image.width(); ++x)
        if (Reddish(m_image.pixel(x, y)))
        {
            if (first < 0)
                first = x;
            last = x;
        }
    ASSERT_GE(first, 0);
    EXPECT_NEAR((first + last + 1) / 2.0, X(440), kPixelTolerance);
    EXPECT_LE(last + 1 - first, 4) << "one line, not a band";
}

// --- The words ---

struct DescriptionRow
{
    const char* name;
    SpectrumValues values;
    const char* text;
};

class SpectrumDescription : public QtTest, public ::testing::WithParamInterface<DescriptionRow>
{};

TEST_P(SpectrumDescription, SaysWhatThePictureShows)
{
    CSpectrumView view;
    view.SetPicture(DescribeSpectrum(GetParam().values));
    EXPECT_EQ(view.accessibleDescription(), QString::fromUtf8(GetParam().text));
    EXPECT_EQ(view.accessibleName(), QStringLiteral("Spectrum"));
}

SpectrumValues Values(int type, double lower, double upper, double tinnitus, double notchOctaves = 0)
{
    SpectrumValues values;
    values.noiseType = type;
    values.lowerLimitHz = lower;
    values.upperLimitHz = upper;
    values.tinnitusHz = tinnitus;
    values.notch = NotchBand{notchOctaves > 0, tinnitus, notchOctaves};
    return values;
}

SpectrumValues Stereo(SpectrumValues values, double left, double right)
{
    values.stereo = true;
    values.earLevelDb[0] = left;
    values.earLevelDb[1] = right;
    return values;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SpectrumDescription,
    ::testing::Values(
        DescriptionRow{"pink", Values(2, 20, 20000, 440),
                       "Noise from 20 Hz to 20000 Hz, falling 3.01 dB per octave. Tinnitus frequency: 440 Hz."},
        DescriptionRow{"white with a notch", Values(1, 100.5, 8000, 1000, 1),
                       "Noise from 100.5 Hz to 8000 Hz, level across the band. A notch from 707 Hz to 1414 Hz is cut "
                       "out. Tinnitus frequency: 1000 Hz."},
        DescriptionRow{"crossed limits", Values(0, 5000, 100, 440),
                       "Silence: the lower limit lies above the upper limit. Tinnitus frequency: 440 Hz."},
        DescriptionRow{"the tone", Values(3, 20, 20000, 6000), "A tone at 6000 Hz."},
        DescriptionRow{"stereo", Stereo(Values(0, 20, 20000, 440), -6, kSilent),
                       "Noise from 20 Hz to 20000 Hz, falling 1.33 dB per octave. Tinnitus frequency: 440 Hz. Left "
                       "ear: -6 dB. Right ear: silent."}),
    RowName{});

} // namespace
