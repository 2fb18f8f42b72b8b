// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/hearing_check_dlg.h"

#include "app/hearing_chart.h"
#include "app/hearing_profile_message.h"
#include "app/io_result_message.h"
#include "playback/playback_engine.h"

#include <QCheckBox>
#include <QDate>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace
{

ToneEar ToneEarOf(HearingEar ear)
{
    return ear == HearingEar::Left ? ToneEar::Left : ear == HearingEar::Right ? ToneEar::Right : ToneEar::Both;
}

QPushButton* Button(const QString& text, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    // Enter must never answer a question by accident.
    button->setAutoDefault(false);
    return button;
}

QLabel* WrappedLabel(const char* name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    return label;
}

} // namespace

CHearingCheckDlg::CHearingCheckDlg(CPlaybackEngine& engine, std::string profileFolder, int windowVolume,
                                   QWidget* parent)
    : QDialog(parent), m_engine(engine), m_folder(std::move(profileFolder)), m_windowVolume(windowVolume)
{
    setWindowTitle(tr("Hearing Check"));
    auto* columns = new QHBoxLayout(this);
    m_pages = new QStackedWidget(this);
    columns->addWidget(m_pages, 1);

    // The first page: the warning, the choices and Start.
    auto* setUp = new QWidget(m_pages);
    auto* setUpLayout = new QVBoxLayout(setUp);
    setUpLayout->setContentsMargins(0, 0, 0, 0);
    QLabel* warning = WrappedLabel("warning", setUp);
    warning->setMinimumWidth(250);
    warning->setText(tr("Not a medical device and not a clinical audiogram. The levels are relative to this sound "
                        "device, with no absolute calibration. Set the system volume low before you start, and stop "
                        "at once if a tone hurts or your tinnitus grows louder."));
    setUpLayout->addWidget(warning);
    auto* earBox = new QGroupBox(tr("Ear"), setUp);
    auto* earLayout = new QVBoxLayout(earBox);
    const QString earTexts[] = {tr("&Left"), tr("&Right"), tr("&Both ears or loudspeakers")};
    const char* earNames[] = {"left", "right", "both"};
    for (int i = 0; i < 3; ++i)
    {
        m_ears[i] = new QRadioButton(earTexts[i], earBox);
        m_ears[i]->setObjectName(QLatin1String(earNames[i]));
        earLayout->addWidget(m_ears[i]);
    }
    m_ears[2]->setChecked(true);
    setUpLayout->addWidget(earBox);
    m_with12k = new QCheckBox(tr("Include &12000 Hz"), setUp);
    m_with12k->setObjectName(QStringLiteral("with12k"));
    setUpLayout->addWidget(m_with12k);
    m_start = Button(tr("&Start the Check"), "start", setUp);
    setUpLayout->addWidget(m_start);
    setUpLayout->addStretch();
    m_pages->addWidget(setUp);

    // The question page.
    auto* question = new QWidget(m_pages);
    auto* questionLayout = new QVBoxLayout(question);
    questionLayout->setContentsMargins(0, 0, 0, 0);
    m_tone = WrappedLabel("tone", question);
    QFont bold = m_tone->font();
    bold.setBold(true);
    m_tone->setFont(bold);
    m_progress = WrappedLabel("progress", question);
    auto* ask = new QLabel(tr("Did you hear the tone?"), question);
    questionLayout->addWidget(m_tone);
    questionLayout->addWidget(m_progress);
    questionLayout->addWidget(ask);
    auto* answers = new QHBoxLayout;
    m_heard = Button(tr("&Heard"), "heard", question);
    m_notHeard = Button(tr("&Not heard"), "notHeard", question);
    answers->addWidget(m_heard);
    answers->addWidget(m_notHeard);
    questionLayout->addLayout(answers);
    m_again = Button(tr("Play &again"), "again", question);
    questionLayout->addWidget(m_again);
    QLabel* hint = WrappedLabel("hint", question);
    hint->setText(tr("Each tone is three short pulses. Answer Heard only when you are sure."));
    questionLayout->addWidget(hint);
    m_stop = Button(tr("S&top the Check"), "stop", question);
    questionLayout->addWidget(m_stop);
    questionLayout->addStretch();
    m_pages->addWidget(question);

    // Beside the pages: the profile, Clear and Close.
    auto* side = new QVBoxLayout;
    m_chart = new CHearingChart(this);
    side->addWidget(m_chart, 1);
    m_info = WrappedLabel("info", this);
    side->addWidget(m_info);
    m_confirm = new QWidget(this);
    auto* confirmLayout = new QVBoxLayout(m_confirm);
    confirmLayout->setContentsMargins(0, 0, 0, 0);
    QLabel* confirmText = WrappedLabel("confirmText", m_confirm);
    confirmText->setText(tr("Clear the saved hearing profile? This cannot be undone."));
    confirmLayout->addWidget(confirmText);
    auto* confirmButtons = new QHBoxLayout;
    QPushButton* yes = Button(tr("&Yes, clear it"), "confirmClear", m_confirm);
    QPushButton* keep = Button(tr("&Keep it"), "keep", m_confirm);
    confirmButtons->addWidget(yes);
    confirmButtons->addWidget(keep);
    confirmLayout->addLayout(confirmButtons);
    m_confirm->hide();
    side->addWidget(m_confirm);
    auto* bottom = new QHBoxLayout;
    m_clear = Button(tr("Clear Pro&file\u2026"), "clear", this);
    m_close = Button(tr("&Close"), "close", this);
    bottom->addWidget(m_clear);
    bottom->addStretch();
    bottom->addWidget(m_close);
    side->addLayout(bottom);
    columns->addLayout(side, 1);

    connect(m_start, &QPushButton::clicked, this, [this] { OnStart(); });
    connect(m_heard, &QPushButton::clicked, this, [this] { OnAnswer(true); });
    connect(m_notHeard, &QPushButton::clicked, this, [this] { OnAnswer(false); });
    connect(m_again, &QPushButton::clicked, this, [this] { OnPlayAgain(); });
    connect(m_stop, &QPushButton::clicked, this, [this] { OnStopCheck(); });
    connect(m_clear, &QPushButton::clicked, this, [this] { OnClear(); });
    connect(yes, &QPushButton::clicked, this, [this] { OnConfirmClear(true); });
    connect(keep, &QPushButton::clicked, this, [this] { OnConfirmClear(false); });
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);

    LoadSaved();
    ShowSaved();
}

CHearingCheckDlg::~CHearingCheckDlg()
{
    // The engine must not read m_cue after it goes.
    m_engine.OnStop();
    m_engine.SetVolume(m_windowVolume);
}

void CHearingCheckDlg::done(int result)
{
    EndCheck();
    QDialog::done(result);
}

void CHearingCheckDlg::LoadSaved()
{
    m_saved = LoadHearingProfile(m_folder);
}

void CHearingCheckDlg::ShowSaved()
{
    using State = HearingProfileLoad::State;
    const bool loaded = m_saved.state == State::Loaded;
    m_chart->SetThresholds(loaded ? m_saved.profile.thresholds : std::vector<HearingThreshold>{});
    switch (m_saved.state)
    {
        case State::Missing:
            m_info->setText(tr("No hearing profile is saved yet."));
            break;
        case State::Loaded:
            m_info->setText(
                tr("Saved profile: %1, on %2.")
                    .arg(QString::fromStdString(m_saved.profile.date), QString::fromStdString(m_saved.profile.device)));
            break;
        case State::Damaged:
        case State::Unreadable:
            m_info->setText(HearingProfileMessage(m_saved, m_folder));
            break;
    }
    // A profile that could not be read is the user's to look at or clear
    // first: a new check never overwrites it.
    m_start->setEnabled(m_saved.state == State::Missing || loaded);
    m_start->setText(loaded ? tr("Re&do the Check") : tr("&Start the Check"));
    m_clear->setEnabled(m_saved.state != State::Missing);
    m_pages->setCurrentIndex(0);
}

QString CHearingCheckDlg::DeviceName() const
{
    const int entry = m_engine.SelectedEntry();
    const std::vector<std::string>& names = m_engine.DeviceNames();
    return entry >= 0 && entry < static_cast<int>(names.size()) ? QString::fromStdString(names[entry]) : QString();
}

void CHearingCheckDlg::OnStart()
{
    if (!m_start->isEnabled() || m_check)
        return;
    m_confirm->hide();
    HearingEar ear = HearingEar::Both;
    for (HearingEar each : {HearingEar::Left, HearingEar::Right})
        if (m_ears[static_cast<int>(each)]->isChecked())
            ear = each;
    m_check = std::make_unique<CHearingCheck>(std::vector<HearingEar>{ear}, m_with12k->isChecked());
    // Full scale: the levels are the samples' own, as the command line plays them.
    m_engine.SetVolume(CPlaybackEngine::kMaxVolumePosition);
    m_chart->SetThresholds({});
    m_clear->setEnabled(false);
    m_info->setText(tr("Checking: %1.")
                        .arg(ear == HearingEar::Left    ? tr("left ear")
                             : ear == HearingEar::Right ? tr("right ear")
                                                        : tr("both ears")));
    m_pages->setCurrentIndex(1);
    m_heard->setFocus();
    PlayTone();
}

void CHearingCheckDlg::PlayTone()
{
    if (!m_check || m_check->Done())
        return;
    // The cue buffer changes below: the engine lets go of the old one first.
    m_engine.OnStop();
    const CHearingCheck::Tone tone = m_check->CurrentTone();
    m_cue = RenderHearingTone(tone);
    ShowQuestion();
    if (!m_engine.PlayCue(m_cue.data(), static_cast<uint32_t>(m_cue.size()), ToneEarOf(tone.ear)))
    {
        EndCheck();
        ShowSaved();
        m_info->setText(tr("No sound device plays the tones: choose one in the main window. Nothing was saved."));
    }
}

void CHearingCheckDlg::ShowQuestion()
{
    const CHearingCheck::Tone tone = m_check->CurrentTone();
    const QString ear = tone.ear == HearingEar::Left    ? tr("left ear")
                        : tone.ear == HearingEar::Right ? tr("right ear")
                                                        : tr("both ears");
    m_tone->setText(tr("%1 Hz, %2").arg(tone.frequencyHz).arg(ear));
    m_progress->setText(tr("Frequency %1 of %2, tone %3 at this frequency.")
                            .arg(m_check->FinishedCount() + 1)
                            .arg(m_check->TotalCount())
                            .arg(m_check->AnswersHere() + 1));
}

void CHearingCheckDlg::OnAnswer(bool heard)
{
    if (!m_check || m_check->Done())
        return;
    m_check->Answer(heard);
    m_chart->SetThresholds(m_check->Thresholds());
    if (m_check->Done())
        Finish();
    else
        PlayTone();
}

void CHearingCheckDlg::OnPlayAgain()
{
    PlayTone();
}

void CHearingCheckDlg::EndCheck()
{
    m_engine.OnStop();
    m_engine.SetVolume(m_windowVolume);
    m_check.reset();
}

void CHearingCheckDlg::OnStopCheck()
{
    if (!m_check)
        return;
    EndCheck();
    ShowSaved();
    m_info->setText(tr("The check was stopped; nothing was saved."));
    m_start->setFocus();
}

void CHearingCheckDlg::Finish()
{
    const std::vector<HearingThreshold> fresh = m_check->Thresholds();
    EndCheck();
    const HearingProfile profile =
        ProfileAfterCheck(m_saved.state == HearingProfileLoad::State::Loaded ? &m_saved.profile : nullptr,
                          QDate::currentDate().toString(Qt::ISODate).toStdString(), DeviceName().toStdString(), fresh);
    const CIoResult saved = SaveHearingProfile(m_folder, profile);
    LoadSaved();
    ShowSaved();
    if (!saved)
    {
        // The results are shown all the same, so that they are not lost unseen.
        m_chart->SetThresholds(fresh);
        m_info->setText(tr("The profile was not saved: %1").arg(IoResultMessage(saved)));
    }
    else
    {
        m_info->setText(
            tr("Saved: %1, on %2.").arg(QString::fromStdString(profile.date), QString::fromStdString(profile.device)));
    }
    m_close->setFocus();
}

void CHearingCheckDlg::OnClear()
{
    if (m_check || m_saved.state == HearingProfileLoad::State::Missing)
        return;
    m_confirm->show();
    m_confirm->findChild<QPushButton*>(QStringLiteral("keep"))->setFocus();
}

void CHearingCheckDlg::OnConfirmClear(bool clear)
{
    m_confirm->hide();
    if (!clear)
    {
        m_clear->setFocus();
        return;
    }
    const CIoResult cleared = ClearHearingProfile(m_folder);
    LoadSaved();
    ShowSaved();
    if (!cleared)
        m_info->setText(IoResultMessage(cleared));
    m_start->setFocus();
}
