// SPDX-License-Identifier: GPL-3.0-or-later
// The picture of the sound, rendered offscreen: where its band edges, notch,
// marker and traces lie, how steeply it falls, and what it says in words.
#include "app/sound_picture.h"
#include "testing/param_name.h"
#include "testing/ui/qt_test_app.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

namespace
{

constexpr double kTolerancePx = 2.0;
constexpr double kSilent = -INFINITY;
// The axes: 20 Hz to 20 kHz logarithmically across, +10 dB to -60 dB down.
constexpr double kTopDb = 10.0;
constexpr double kSpanDb = 70.0;

bool Red(QRgb c)
{
    return qRed(c) - qGreen(c) > 40 && qRed(c) - qBlue(c) > 40;
}
bool Blue(QRgb c)
{
    return qBlue(c) - qRed(c) > 40 && qBlue(c) - qGreen(c) > 40;
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

// Renders with pure colours, so that each thing drawn can be told by its hue.
class SpectrumRender : public QtTest
{
protected:
    void Render(const SpectrumValues& values)
    {
        QPalette palette;
        palette.setColor(QPalette::Base, Qt::white);
        palette.setColor(QPalette::Text, Qt::black);
        palette.setColor(QPalette::Highlight, QColor(255, 0, 0));
        palette.setColor(QPalette::Link, QColor(0, 0, 255));
        m_view.setPalette(palette);
        m_view.resize(640, 320);
        m_view.SetPicture(DescribeSpectrum(values));
        m_image = QImage(m_view.size(), QImage::Format_RGB32);
        m_image.fill(Qt::white);
        m_view.render(&m_image);
        m_plot = m_view.PlotRect();
    }

    double X(double hz) const { return m_plot.left() + m_plot.width() * std::log10(hz / 20.0) / 3.0; }
    double Y(double db) const { return m_plot.top() + m_plot.height() * (kTopDb - db) / kSpanDb; }

    // The red runs along row y, [first, last + 1); gaps of up to 3 pixels
    // (the marker's line across the fill) do not split a run.
    std::vector<std::pair<int, int>> RedRuns(int y) const
    {
        std::vector<std::pair<int, int>> runs;
        for (int x = 0; x < m_image.width(); ++x)
        {
            if (!Red(m_image.pixel(x, y)))
                continue;
            if (!runs.empty() && x - runs.back().second <= 3)
                runs.back().second = x + 1;
            else
                runs.emplace_back(x, x + 1);
        }
        return runs;
    }

    // The topmost pixel of the kind in columns [x, x + width).
    template <typename Kind>
    std::optional<int> TopOf(double x, Kind kind, int width = 1) const
    {
        for (int y = static_cast<int>(m_plot.top()); y < m_plot.bottom(); ++y)
            for (int column = static_cast<int>(x); column < static_cast<int>(x) + width; ++column)
                if (kind(m_image.pixel(column, y)))
                    return y;
        return std::nullopt;
    }

    CSpectrumView m_view;
    QImage m_image;
    QRectF m_plot;
};

struct BandRow
{
    const char* name;
    SpectrumValues values;
    std::vector<std::pair<double, double>> filledHz; // from the limits and centre / 2^(w/2), centre * 2^(w/2)
};

class SpectrumBands : public SpectrumRender, public ::testing::WithParamInterface<BandRow>
{};

TEST_P(SpectrumBands, EdgesNotchAndMarkerLieAtTheirFrequencies)
{
    const BandRow& row = GetParam();
    Render(row.values);
    const auto runs = RedRuns(static_cast<int>(m_plot.bottom()) - 3);
    ASSERT_EQ(runs.size(), row.filledHz.size());
    for (size_t i = 0; i < runs.size(); ++i)
    {
        EXPECT_NEAR(runs[i].first, X(row.filledHz[i].first), kTolerancePx) << "stretch " << i;
        EXPECT_NEAR(runs[i].second, X(row.filledHz[i].second), kTolerancePx) << "stretch " << i;
    }
    // The marker: the darkest column across the middle (the red line has a bright channel).
    const int y = static_cast<int>(m_plot.center().y());
    const auto brightest = [&](int x) {
        return std::max({qRed(m_image.pixel(x, y)), qGreen(m_image.pixel(x, y)), qBlue(m_image.pixel(x, y))});
    };
    int darkest = 0;
    for (int x = 0; x < m_image.width(); ++x)
        if (brightest(x) < brightest(darkest))
            darkest = x;
    EXPECT_NEAR(darkest + 0.5, X(row.values.tinnitusHz), kTolerancePx);
}

const double kQuarter = std::sqrt(std::sqrt(2.0)); // half of half an octave
INSTANTIATE_TEST_SUITE_P(
    Rows, SpectrumBands,
    ::testing::Values(BandRow{"pink over the whole axis", Values(2, 20, 20000, 1000), {{20, 20000}}},
                      BandRow{"white with a half-octave notch",
                              Values(1, 100, 8000, 1000, 0.5),
                              {{100, 1000 / kQuarter}, {1000 * kQuarter, 8000}}},
                      BandRow{"physiological with an octave notch",
                              Values(0, 50, 15000, 4000, 1),
                              {{50, 4000 / std::sqrt(2.0)}, {4000 * std::sqrt(2.0), 15000}}},
                      BandRow{"a notch over the upper limit ends the band",
                              Values(2, 200, 5000, 5000, 1),
                              {{200, 5000 / std::sqrt(2.0)}}}),
    RowName{});

struct SlopeRow
{
    const char* name;
    int type;
    double dbPerOctave; // as measured on the synthesised noise
};

class SpectrumSlopes : public SpectrumRender, public ::testing::WithParamInterface<SlopeRow>
{};

TEST_P(SpectrumSlopes, TheTraceFallsAsTheColourDoes)
{
    Render(Values(GetParam().type, 20, 20000, 20000));
    const std::optional<int> low = TopOf(X(50), Red);
    const std::optional<int> high = TopOf(X(5000), Red);
    ASSERT_TRUE(low && high);
    const double drawnDb = -(*high - *low) / m_plot.height() * kSpanDb;
    EXPECT_NEAR(drawnDb / std::log2(5000 / 50.0), GetParam().dbPerOctave, 0.15);
}

INSTANTIATE_TEST_SUITE_P(Rows, SpectrumSlopes,
                         ::testing::Values(SlopeRow{"physiological", 0, -1.33}, SlopeRow{"white", 1, 0.0},
                                           SlopeRow{"pink", 2, -3.01}, SlopeRow{"brown", 4, -6.02}),
                         RowName{});

struct EarRow
{
    const char* name;
    SpectrumValues values;               // white, so that a trace's height is its level
    std::optional<double> redDb, blueDb; // where each ear's trace lies; none: not drawn
};

class SpectrumEars : public SpectrumRender, public ::testing::WithParamInterface<EarRow>
{};

TEST_P(SpectrumEars, EachEarIsDrawnAtItsLevel)
{
    const EarRow& row = GetParam();
    Render(row.values);
    // Twelve columns wide, past the gaps of the dashed line; lines are centred on their level.
    const std::optional<int> red = TopOf(X(1000), Red, 12);
    const std::optional<int> blue = TopOf(X(1000), Blue, 12);
    ASSERT_EQ(red.has_value(), row.redDb.has_value());
    ASSERT_EQ(blue.has_value(), row.blueDb.has_value());
    EXPECT_NEAR(red.value_or(0), row.redDb ? Y(*row.redDb) - 1 : 0, kTolerancePx);
    EXPECT_NEAR(blue.value_or(0), row.blueDb ? Y(*row.blueDb) - 1 : 0, kTolerancePx);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SpectrumEars,
    ::testing::Values(EarRow{"mono draws one trace", Values(1, 20, 20000, 20000), 0, std::nullopt},
                      EarRow{"right ear twenty dB down", Stereo(Values(1, 20, 20000, 20000), 0, -20), 0, -20},
                      EarRow{"left ear quieter", Stereo(Values(1, 20, 20000, 20000), -30, -6), -30, -6},
                      EarRow{"right ear silent", Stereo(Values(1, 20, 20000, 20000), -12, kSilent), -12, std::nullopt},
                      EarRow{"left ear silent", Stereo(Values(1, 20, 20000, 20000), kSilent, -20), std::nullopt, -20}),
    RowName{});

TEST_F(SpectrumRender, TheToneIsOneLineAtItsFrequency)
{
    Render(Values(3, 20, 20000, 440));
    const auto runs = RedRuns(static_cast<int>(m_plot.center().y()));
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_NEAR((runs[0].first + runs[0].second) / 2.0, X(440), kTolerancePx);
    EXPECT_LE(runs[0].second - runs[0].first, 4) << "one line, not a band";
}

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
