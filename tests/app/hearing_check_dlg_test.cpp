// SPDX-License-Identifier: GPL-3.0-or-later
// The Hearing Check dialog and the "Shape to my hearing" box of the main
// window, on the scripted wave-output backend: a simulated listener answers
// the tones the fake device is handed.
#include "app/app_translation.h"
#include "app/hearing_chart.h"
#include "app/hearing_check_dlg.h"
#include "settings/hearing_profile_file.h"
#include "settings/noise_extras.h"
#include "testing/file_compare.h"
#include "tests/app/main_dlg_window_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDate>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>

#include <cmath>
#include <functional>
#include <map>
#include <random>

namespace
{

// The loudest sample a tone may have: -10 dB of full scale.
const int kLoudestSample = static_cast<int>(std::floor(32767.0 * std::pow(10.0, -10.0 / 20.0)));

// A listener's hidden thresholds in dBFS; a frequency missing hears nothing.
const std::map<int, double> kListener{{250, -33.0},  {500, -41.0},  {1000, -52.0}, {2000, -57.0},
                                      {3000, -48.0}, {4000, -44.0}, {6000, -37.0}, {8000, -28.0}};

class HearingCheck : public MainWindowTest
{
protected:
    // The cue at the device: one buffer queued while the noise is stopped.
    std::vector<int16_t> QueuedCue() const
    {
        const std::vector<const WaveHeader*> queued = m_waveOut.Queued();
        if (queued.size() != 1)
            return {};
        return {queued[0]->data, queued[0]->data + queued[0]->bufferLengthBytes / 2};
    }
    static int Peak(const std::vector<int16_t>& samples)
    {
        int peak = 0;
        for (int16_t s : samples)
            peak = std::max(peak, std::abs(static_cast<int>(s)));
        return peak;
    }
    // The frequency the dialog names, "1000 Hz, both ears".
    static int ShownHz(QWidget* dialog)
    {
        return dialog->findChild<QLabel*>("tone")->text().section(QLatin1Char(' '), 0, 0).toInt();
    }

    // Opens the dialog from the window's button and runs `script` in it.
    void InDialog(CMainDlg& d, const std::function<void(CHearingCheckDlg&)>& script)
    {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<CHearingCheckDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            // The keyboard works in the active window only; the headless
            // platform leaves a modal dialog's activation to the test.
            QApplication::setActiveWindow(dialog);
            EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
            script(*dialog);
            ran = true;
            dialog->close();
        });
        Button(d, IDC_HEARING_CHECK)->click();
        EXPECT_TRUE(ran);
    }

    // Answers until the check ends: heard when the cue's
    // peak reaches the listener's threshold at the shown frequency. Every cue
    // handed to the device is checked against the cap and the 5 dB step.
    int Listen(CHearingCheckDlg& dialog, const std::function<bool(int hz, double db)>& hears)
    {
        int answers = 0;
        double last = 0.0;
        while (dialog.Check() != nullptr && answers < 500)
        {
            const std::vector<int16_t> cue = QueuedCue();
            EXPECT_FALSE(cue.empty());
            const int peak = Peak(cue);
            EXPECT_LE(peak, kLoudestSample) << "answer " << answers;
            const double db = 20.0 * std::log10(std::max(peak, 1) / 32767.0);
            // Quiet at first, then never more than 5 dB up (the samples
            // round down and rarely hit the crest: a little slack).
            const double allowed = answers == 0 ? 32767.0 * std::pow(10.0, -40.0 / 20.0)
                                                : (last + 1.0) * std::pow(10.0, 0.25) * 1.01 + 1.0;
            EXPECT_LE(peak, allowed) << "too loud at answer " << answers;
            last = peak;
            dialog.findChild<QPushButton*>(hears(ShownHz(&dialog), db) ? "heard" : "notHeard")->click();
            ++answers;
        }
        return answers;
    }
};

// "Both ears: 250 Hz: -35 dBFS, 500 Hz: not heard." as frequency -> level
// (1 for not heard).
std::map<int, int> Described(const CHearingChart& chart, const QString& ear)
{
    std::map<int, int> found;
    for (const QString& line : chart.accessibleDescription().split(QLatin1Char('\n')))
    {
        if (!line.startsWith(ear + QLatin1Char(':')))
            continue;
        const QRegularExpression entry("(\\d+) Hz: (-\\d+ dBFS|not heard)");
        for (const QRegularExpressionMatch& m : entry.globalMatch(line))
            found[m.captured(1).toInt()] = m.captured(2) == "not heard" ? 1 : m.captured(2).section(' ', 0, 0).toInt();
    }
    return found;
}

} // namespace

TEST_F(HearingCheck, AListenerEndsWithTheProfileSavedAndCharted)
{
    CMainDlg& d = Start();
    Choose(d.m_deviceCombo, 1); // "Headphones"
    InDialog(d, [&](CHearingCheckDlg& dialog) {
        EXPECT_TRUE(dialog.findChild<QLabel*>("warning")->text().contains("Not a medical device"));
        EXPECT_EQ(dialog.findChild<QLabel*>("info")->text(), "No hearing profile is saved yet.");
        dialog.findChild<QCheckBox*>("with12k")->click();
        // Keyboard only: Tab to Start, Space.
        dialog.findChild<QPushButton*>("start")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        ASSERT_NE(dialog.Check(), nullptr);
        EXPECT_EQ(d.Engine().Volume(), CPlaybackEngine::kMaxVolumePosition) << "levels are the samples' own";
        EXPECT_EQ(Peak(QueuedCue()), static_cast<int>(std::floor(32767.0 * std::pow(10.0, -40.0 / 20.0))))
            << "the first tone at -40 dBFS";
        const int before = static_cast<int>(QueuedCue().size());
        // Heard has the focus; Tab twice reaches Play again.
        EXPECT_EQ(QApplication::focusWidget(), dialog.findChild<QPushButton*>("heard"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), dialog.findChild<QPushButton*>("again"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        EXPECT_EQ(static_cast<int>(QueuedCue().size()), before) << "played again";
        EXPECT_EQ(dialog.Check()->AnswersHere(), 0);

        const int answers = Listen(dialog, [](int hz, double db) {
            const auto threshold = kListener.find(hz);
            return threshold != kListener.end() && db >= threshold->second - 0.1;
        });
        EXPECT_LT(answers, 200);
        EXPECT_TRUE(QueuedCue().empty()) << "the tones stopped";
        EXPECT_EQ(d.Engine().Volume(), 9) << "the window's volume is back";

        const std::map<int, int> shown = Described(*dialog.findChild<CHearingChart*>(), "Both ears");
        ASSERT_EQ(shown.size(), 9u) << dialog.findChild<CHearingChart*>()->accessibleDescription().toStdString();
        for (const auto& [hz, threshold] : kListener)
        {
            EXPECT_GE(shown.at(hz), threshold) << hz;
            EXPECT_LE(shown.at(hz), threshold + 5.0) << hz;
        }
        EXPECT_EQ(shown.at(12000), 1) << "not heard";
        EXPECT_TRUE(dialog.findChild<QLabel*>("info")->text().startsWith("Saved: "));
    });

    const HearingProfileLoad saved = LoadHearingProfile(Folder());
    ASSERT_EQ(saved.state, HearingProfileLoad::State::Loaded) << saved.problem;
    EXPECT_EQ(saved.profile.device, "Headphones");
    EXPECT_EQ(saved.profile.date, QDate::currentDate().toString(Qt::ISODate).toStdString());
    ASSERT_EQ(saved.profile.thresholds.size(), 9u);
    for (const HearingThreshold& t : saved.profile.thresholds)
    {
        EXPECT_EQ(t.ear, HearingEar::Both);
        EXPECT_EQ(t.heard, t.frequencyHz != 12000) << t.frequencyHz;
    }

    // A check of one ear keeps the other results of the same device.
    InDialog(d, [&](CHearingCheckDlg& dialog) {
        EXPECT_EQ(Described(*dialog.findChild<CHearingChart*>(), "Both ears").size(), 9u) << "the saved profile";
        dialog.findChild<QRadioButton*>("left")->click();
        dialog.findChild<QPushButton*>("start")->click();
        Listen(dialog, [](int, double db) { return db >= -30.0; });
        EXPECT_EQ(Described(*dialog.findChild<CHearingChart*>(), "Left ear").size(), 8u);
        EXPECT_EQ(Described(*dialog.findChild<CHearingChart*>(), "Both ears").size(), 9u);
    });
    EXPECT_EQ(LoadHearingProfile(Folder()).profile.thresholds.size(), 17u);
}

// Listeners that answer anything: the device never gets a cue above -10 dBFS
// nor one more than 5 dB above the last (checked in Listen).
TEST_F(HearingCheck, NoCueIsLouderThanTheCapWhateverTheAnswers)
{
    CMainDlg& d = Start();
    std::mt19937 random(7);
    const std::pair<const char*, std::function<bool(int, double)>> listeners[] = {
        {"never hears", [](int, double) { return false; }},
        {"always hears", [](int, double) { return true; }},
        {"random", [&](int, double) { return random() % 3 == 0; }},
    };
    for (const auto& listener : listeners)
    {
        // Not a structured binding: clang 14 cannot capture those.
        const auto& hears = listener.second;
        SCOPED_TRACE(listener.first);
        InDialog(d, [&](CHearingCheckDlg& dialog) {
            dialog.findChild<QPushButton*>("start")->click();
            Listen(dialog, hears);
            EXPECT_EQ(dialog.Check(), nullptr) << "ended";
        });
        ASSERT_EQ(LoadHearingProfile(Folder()).state, HearingProfileLoad::State::Loaded);
    }
}

TEST_F(HearingCheck, StopSavesNothingAndClearNeedsAConfirmation)
{
    HearingProfile profile{"2026-01-02", "Speakers", {{HearingEar::Right, 1000, -45, true}}};
    ASSERT_TRUE(SaveHearingProfile(Folder(), profile));
    CMainDlg& d = Start();
    InDialog(d, [&](CHearingCheckDlg& dialog) {
        auto* chart = dialog.findChild<CHearingChart*>();
        EXPECT_EQ(chart->accessibleDescription(), "Right ear: 1000 Hz: -45 dBFS.");
        EXPECT_EQ(dialog.findChild<QPushButton*>("start")->text(), "Re&do the Check");
        dialog.findChild<QPushButton*>("start")->click();
        dialog.findChild<QPushButton*>("notHeard")->click();
        dialog.findChild<QPushButton*>("stop")->click();
        EXPECT_EQ(dialog.Check(), nullptr);
        EXPECT_EQ(dialog.findChild<QLabel*>("info")->text(), "The check was stopped; nothing was saved.");
        EXPECT_TRUE(QueuedCue().empty());

        auto* clear = dialog.findChild<QPushButton*>("clear");
        clear->click();
        dialog.findChild<QPushButton*>("keep")->click();
        EXPECT_EQ(LoadHearingProfile(Folder()).profile, profile) << "kept";
        clear->click();
        dialog.findChild<QPushButton*>("confirmClear")->click();
        EXPECT_EQ(chart->accessibleDescription(), "No thresholds.");
        EXPECT_FALSE(clear->isEnabled());
    });
    EXPECT_FALSE(QFile::exists(PathIn("hearing.ini")));
}

TEST_F(HearingCheck, ADamagedProfileIsNeitherOverwrittenNorUsed)
{
    {
        QFile file(PathIn("hearing.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("date=2026-01-02\nleft 1000=loud\n");
    }
    const std::string damaged = Bytes("hearing.ini");
    CMainDlg& d = Start();
    InDialog(d, [&](CHearingCheckDlg& dialog) {
        EXPECT_TRUE(dialog.findChild<QLabel*>("info")->text().contains("is damaged (line 2")) << "says where";
        EXPECT_FALSE(dialog.findChild<QPushButton*>("start")->isEnabled());
        dialog.findChild<QPushButton*>("start")->click();
        EXPECT_EQ(dialog.Check(), nullptr);
    });
    Button(d, IDC_HEARING_SHAPED)->click();
    d.OnPlay();
    EXPECT_FALSE(d.IsPlaying()) << "no sound from a profile that could not be read";
    ASSERT_EQ(m_messages.Texts().size(), 1);
    EXPECT_TRUE(m_messages.Texts()[0].contains("is damaged")) << m_messages.Texts()[0].toStdString();
    EXPECT_EQ(Bytes("hearing.ini"), damaged);
}

TEST_F(HearingCheck, TheShapingBoxIsKeptInTheSettingsExtensionBlock)
{
    CMainDlg& saved = Start();
    auto* box = qobject_cast<QCheckBox*>(Button(saved, IDC_HEARING_SHAPED));
    EXPECT_TRUE(box->toolTip().startsWith("No hearing profile yet")) << box->toolTip().toStdString();
    box->click();
    saved.OnSaveNoiseSetting();
    saved.m_saveSetDlg.GetDlgItemAs<QLineEdit>(IDC_SETTING_NAME)->setText("Shaped");
    saved.m_saveSetDlg.GetDlgItemAs<QPushButton>(IDC_SETTING_SAVE)->click();
    const int slot = saved.m_settings.m_noiseSettings.FindByName("Shaped");
    ASSERT_GE(slot, 0);
    const unsigned char golden[6] = {'S', 'x', 0x01, 0x10, 0x00, 0xE2};
    EXPECT_EQ(0, std::memcmp(saved.m_settings.m_noiseSettings.m_slots[slot].reserved2, golden, 6));
    saved.OnExit();

    CMainDlg& d = Start();
    box = qobject_cast<QCheckBox*>(Button(d, IDC_HEARING_SHAPED));
    EXPECT_TRUE(box->isChecked()) << "the saved selection is applied at start";
    Choose(d.m_noiseSettingCombo, d.m_noiseSettingCombo->FindStringExact(0, "Easy Bay Surf"));
    EXPECT_FALSE(box->isChecked());
    Choose(d.m_noiseSettingCombo, d.m_noiseSettingCombo->FindStringExact(0, "Shaped"));
    EXPECT_TRUE(box->isChecked());
    d.RadioGroup(IDC_PHYSIOLOGICAL).at(TinnitusFinder)->click();
    EXPECT_FALSE(box->isEnabled()) << "the tone is never shaped";
}

// The share of a file's power in its changes from sample to sample: grows
// with the weight of the high frequencies.
double HighShare(const std::string& wav)
{
    double power = 0.0, change = 0.0;
    int16_t last = 0;
    for (size_t at = 44; at + 1 < wav.size(); at += 2)
    {
        const int16_t s =
            static_cast<int16_t>(static_cast<uint8_t>(wav[at]) | (static_cast<uint8_t>(wav[at + 1]) << 8));
        power += double(s) * s;
        change += double(s - last) * (s - last);
        last = s;
    }
    return change / power;
}

TEST_F(HearingCheck, ToFileShapesTheNoiseOnlyWithTheBoxAndAProfile)
{
    CMainDlg& d = Start();
    const auto write = [&](const QString& name, bool shaped) {
        Type(d, {{IDC_FADE_IN, "0"},
                 {IDC_FADE_OUT, "0"},
                 {IDC_SURF_STRENGTH, "0"},
                 {IDC_PLAY_TIME, "0:00:02"},
                 {IDC_FILE_NAME, PathIn(name)}});
        qobject_cast<QCheckBox*>(Button(d, IDC_HEARING_SHAPED))->setChecked(shaped);
        d.OnToFile();
        return Bytes(name);
    };
    const std::string plain = write("plain.wav", false);
    EXPECT_TRUE(SameBytes(write("no_profile.wav", true), plain)) << "no profile: unshaped";

    // Hears the highs badly: the shaped noise carries more of them.
    HearingProfile profile{"2026-01-02", "Speakers", {}};
    for (int hz : CHearingCheck::Frequencies(false))
        profile.thresholds.push_back({HearingEar::Both, hz, hz >= 4000 ? -25 : -60, true});
    ASSERT_TRUE(SaveHearingProfile(Folder(), profile));
    const std::string shaped = write("shaped.wav", true);
    ASSERT_EQ(shaped.size(), plain.size());
    EXPECT_FALSE(SameBytes(shaped.substr(44), plain.substr(44)));
    EXPECT_GT(HighShare(shaped), 1.5 * HighShare(plain));
    // Unticked, a noise of the plain shape again (with phases of its own).
    EXPECT_NEAR(HighShare(write("off_again.wav", false)), HighShare(plain), 0.1 * HighShare(plain));
    EXPECT_TRUE(m_messages.Texts().isEmpty());
}

// Each language: every button of both pages translated, and each mnemonic
// letter once in the dialog.
TEST_F(HearingCheck, EveryButtonIsTranslatedWithAMnemonicOfItsOwn)
{
    CMainDlg& english = Start();
    QStringList englishTexts;
    InDialog(english, [&](CHearingCheckDlg& dialog) {
        for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
            englishTexts << button->text();
    });
    for (QLocale::Language language : {QLocale::German, QLocale::French})
    {
        CAppTranslation::Install(QLocale(language));
        CMainDlg& d = Start();
        InDialog(d, [&](CHearingCheckDlg& dialog) {
            SCOPED_TRACE(dialog.windowTitle().toStdString());
            EXPECT_NE(dialog.windowTitle(), "Hearing Check");
            std::map<QChar, QString> seen;
            const QList<QAbstractButton*> buttons = dialog.findChildren<QAbstractButton*>();
            ASSERT_EQ(buttons.size(), englishTexts.size());
            for (qsizetype i = 0; i < buttons.size(); ++i)
            {
                const QString text = buttons[i]->text();
                EXPECT_NE(text, englishTexts[i]);
                const qsizetype at = text.indexOf(QLatin1Char('&'));
                ASSERT_GE(at, 0) << text.toStdString();
                const QChar letter = text[at + 1].toLower();
                EXPECT_FALSE(seen.count(letter)) << text.toStdString() << " and " << seen[letter].toStdString();
                seen[letter] = text;
            }
        });
        m_dialog.reset();
        CAppTranslation::Remove();
    }
}
