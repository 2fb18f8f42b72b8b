// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/pitch_match_dlg.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "playback/playback_engine.h"
#include "synth/tone_sequence.h"

CPitchMatchDlg::CPitchMatchDlg(CPlaybackEngine& engine, int windowVolume, QWidget* parent)
    : QDialog(parent), m_engine(engine), m_windowVolume(windowVolume)
{
    setWindowTitle(tr("Match the Tinnitus Frequency"));
    auto* layout = new QVBoxLayout(this);
    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("title"));
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("text"));
    m_text->setWordWrap(true);
    m_text->setMinimumWidth(360);
    m_range = new QLabel(this);
    m_range->setObjectName(QStringLiteral("range"));
    layout->addWidget(m_title);
    layout->addWidget(m_text);
    layout->addWidget(m_range);

    m_levelBox = new QWidget(this);
    auto* form = new QFormLayout(m_levelBox);
    m_volume = new QSlider(Qt::Horizontal, m_levelBox);
    m_volume->setObjectName(QStringLiteral("volume"));
    m_volume->setRange(0, CPlaybackEngine::kMaxVolumePosition);
    m_volume->setValue(windowVolume);
    m_lower = new QSpinBox(m_levelBox);
    m_lower->setObjectName(QStringLiteral("lower"));
    m_upper = new QSpinBox(m_levelBox);
    m_upper->setObjectName(QStringLiteral("upper"));
    for (QSpinBox* box : {m_lower, m_upper})
        box->setRange(static_cast<int>(CPitchMatcher::kMinHz), static_cast<int>(CPitchMatcher::kMaxHz));
    m_lower->setValue(static_cast<int>(CPitchMatcher::kDefaultLower));
    m_upper->setValue(static_cast<int>(CPitchMatcher::kDefaultUpper));
    form->addRow(tr("&Volume:"), m_volume);
    form->addRow(tr("Search from (&Hz):"), m_lower);
    form->addRow(tr("Search &to (Hz):"), m_upper);
    layout->addWidget(m_levelBox);
    // The level is set by ear: each new volume plays the tone again, once
    // the slider is let go when it is dragged.
    connect(m_volume, &QSlider::valueChanged, this, [this](int position) {
        m_engine.SetVolume(position);
        if (!m_volume->isSliderDown())
            ReplayLevelTone();
    });
    connect(m_volume, &QSlider::sliderReleased, this, [this] { ReplayLevelTone(); });

    auto* answers = new QHBoxLayout;
    for (int i = 0; i < 3; ++i)
    {
        m_answers[i] = new QPushButton(tr("Tone &%1").arg(i + 1), this);
        m_answers[i]->setObjectName(QStringLiteral("answer%1").arg(i + 1));
        m_answers[i]->setAutoDefault(false);
        answers->addWidget(m_answers[i]);
        connect(m_answers[i], &QPushButton::clicked, this, [this, i] { OnAnswer(i + 1); });
        // Plain digit keys as well, but only while there are tones to choose:
        // in the level step the digits belong to the frequency boxes.
        m_answerKeys[i] = new QShortcut(QKeySequence(Qt::Key_1 + i), this);
        connect(m_answerKeys[i], &QShortcut::activated, this, [this, i] { OnAnswer(i + 1); });
    }
    m_again = new QPushButton(tr("Play &again"), this);
    m_again->setObjectName(QStringLiteral("again"));
    m_again->setAutoDefault(false);
    answers->addWidget(m_again);
    layout->addLayout(answers);
    connect(m_again, &QPushButton::clicked, this, [this] { OnPlayAgain(); });

    auto* buttons = new QHBoxLayout;
    m_next = new QPushButton(tr("&Next"), this);
    m_use = new QPushButton(tr("&Use"), this);
    m_save = new QPushButton(tr("&Save as Setting\u2026"), this);
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_next->setObjectName(QStringLiteral("next"));
    m_use->setObjectName(QStringLiteral("use"));
    m_save->setObjectName(QStringLiteral("save"));
    m_cancel->setObjectName(QStringLiteral("cancel"));
    buttons->addStretch();
    for (QPushButton* button : {m_next, m_use, m_save, m_cancel})
        buttons->addWidget(button);
    layout->addLayout(buttons);
    connect(m_next, &QPushButton::clicked, this, [this] { OnNext(); });
    connect(m_use, &QPushButton::clicked, this, [this] { OnUse(); });
    connect(m_save, &QPushButton::clicked, this, [this] { OnSaveAsSetting(); });
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    ShowStep();
}

CPitchMatchDlg::~CPitchMatchDlg()
{
    // The engine must not read m_cue after it goes.
    m_engine.OnStop();
    m_engine.SetVolume(m_windowVolume);
}

void CPitchMatchDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_played)
        PlayQuestion();
}

void CPitchMatchDlg::done(int result)
{
    m_engine.OnStop();
    m_engine.SetVolume(m_windowVolume);
    QDialog::done(result);
}

void CPitchMatchDlg::PlayQuestion()
{
    m_played = true;
    // The cue buffer changes below: the engine lets go of the old one first.
    m_engine.OnStop();
    m_cue = RenderToneSequence(m_matcher.Sounds());
    if (!m_cue.empty())
        m_engine.PlayCue(m_cue.data(), static_cast<uint32_t>(m_cue.size()));
}

void CPitchMatchDlg::ReplayLevelTone()
{
    if (m_played && m_matcher.CurrentStep() == CPitchMatcher::Step::Level)
        PlayQuestion();
}

void CPitchMatchDlg::ShowStep()
{
    using Step = CPitchMatcher::Step;
    const Step step = m_matcher.CurrentStep();
    const int choices = step == Step::Bracket || step == Step::Octave ? static_cast<int>(m_matcher.Sounds().size()) : 0;
    for (int i = 0; i < 3; ++i)
    {
        m_answers[i]->setVisible(i < choices);
        m_answerKeys[i]->setEnabled(i < choices);
    }
    m_again->setVisible(step != Step::Done);
    m_levelBox->setVisible(step == Step::Level);
    m_next->setVisible(step == Step::Level);
    m_use->setVisible(step == Step::Done);
    m_save->setVisible(step == Step::Done);
    m_next->setDefault(step == Step::Level);
    m_use->setDefault(step == Step::Done);
    m_range->clear();
    switch (step)
    {
        case Step::Level:
            m_title->setText(tr("Step 1 of 3: Level"));
            m_text->setText(tr("A quiet 1000 Hz tone plays. Set the volume so that the tone is clearly heard but not "
                               "louder than your tinnitus. Keep it low. Then choose Next."));
            break;
        case Step::Bracket:
            m_title->setText(tr("Step 2 of 3: Which tone is closer?"));
            m_text->setText(tr("Two tones play one after the other. Choose the one that is closer to the pitch of "
                               "your tinnitus, or play them again."));
            m_range->setText((m_widened ? tr("That answer differs from an earlier one, so the search widens "
                                             "again.")
                                              + QLatin1Char(' ')
                                        : QString())
                             + tr("Question %1. Searching %2 Hz to %3 Hz.")
                                   .arg(m_matcher.BracketAnswers() + 1)
                                   .arg(std::lround(m_shownLower))
                                   .arg(std::lround(m_shownUpper)));
            break;
        case Step::Octave:
            m_title->setText(tr("Step 3 of 3: Octave check"));
            m_text->setText(choices == 3 ? tr("Three tones play: the match, an octave below and an octave above. "
                                              "Choose the one that matches your tinnitus.")
                                         : tr("Two tones play: the match and the octave beside it. Choose the one "
                                              "that matches your tinnitus."));
            break;
        case Step::Done:
            m_title->setText(tr("Result"));
            m_text->setText(tr("Your tinnitus frequency: %1 Hz. Use sets the Tinnitus Finder to it; Save as Setting "
                               "keeps it in a noise setting.")
                                .arg(m_matcher.Result()));
            break;
    }
}

void CPitchMatchDlg::OnNext()
{
    if (m_matcher.CurrentStep() != CPitchMatcher::Step::Level)
        return;
    if (!m_matcher.SetRange(m_lower->value(), m_upper->value()))
    {
        m_range->setText(tr("The search must start below where it ends."));
        m_lower->setFocus();
        return;
    }
    m_matcher.ConfirmLevel();
    // The first question searches the whole range that was set.
    m_shownLower = m_matcher.RangeLowerLimit();
    m_shownUpper = m_matcher.RangeUpperLimit();
    m_widened = false;
    ShowStep();
    PlayQuestion();
    if (m_answers[0]->isVisible())
        m_answers[0]->setFocus();
}

void CPitchMatchDlg::OnAnswer(int choice)
{
    const bool bracketing = m_matcher.CurrentStep() == CPitchMatcher::Step::Bracket;
    const std::vector<double> sounds = m_matcher.Sounds();
    if (!m_matcher.Answer(choice))
        return;
    if (bracketing && sounds.size() == 2)
        NarrowShownRange(sounds[choice - 1], sounds[2 - choice]);
    ShowStep();
    if (m_matcher.CurrentStep() == CPitchMatcher::Step::Done)
    {
        m_engine.OnStop();
        m_use->setFocus();
        return;
    }
    PlayQuestion();
}

void CPitchMatchDlg::NarrowShownRange(double chosen, double other)
{
    // The tinnitus lies on the chosen tone's side of the point halfway
    // between the two (in pitch, so the geometric mean).
    const double between = std::sqrt(chosen * other);
    const double lower = chosen < other ? m_shownLower : std::max(m_shownLower, between);
    const double upper = chosen < other ? std::min(m_shownUpper, between) : m_shownUpper;
    m_widened = lower >= upper;
    if (m_widened)
    {
        // Nothing shown is left on that side: the answer went against an
        // earlier one. Show where the search now stands.
        m_shownLower = m_matcher.CurrentLower();
        m_shownUpper = m_matcher.CurrentUpper();
        return;
    }
    m_shownLower = lower;
    m_shownUpper = upper;
}

void CPitchMatchDlg::OnPlayAgain()
{
    PlayQuestion();
}

void CPitchMatchDlg::OnUse()
{
    if (m_matcher.CurrentStep() != CPitchMatcher::Step::Done)
        return;
    m_outcome = Outcome::Use;
    accept();
}

void CPitchMatchDlg::OnSaveAsSetting()
{
    if (m_matcher.CurrentStep() != CPitchMatcher::Step::Done)
        return;
    m_outcome = Outcome::SaveAsSetting;
    accept();
}
