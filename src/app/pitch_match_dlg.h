// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <cstdint>
#include <vector>

#include "synth/pitch_matcher.h"

class CPlaybackEngine;
class QLabel;
class QPushButton;
class QShortcut;
class QSlider;
class QSpinBox;
class QWidget;

// The guided pitch match: a thin front end over CPitchMatcher. Each
// question's tones play through the window's engine as a cue (the main sound
// stops); the buttons pass the answers on. The volume slider sets the
// engine's volume while the dialog is open; the window's own volume is put
// back when it closes, whatever the outcome.
//
// Keyboard: 1, 2, 3 answer, R plays the tones again, Enter goes on in the
// level step, Escape cancels; every button is also reachable with Tab.
class CPitchMatchDlg : public QDialog
{
    Q_OBJECT
public:
    enum class Outcome
    {
        Cancelled,
        Use,
        SaveAsSetting,
    };

    CPitchMatchDlg(CPlaybackEngine& engine, int windowVolume, QWidget* parent = nullptr);
    ~CPitchMatchDlg() override;

    Outcome GetOutcome() const { return m_outcome; }
    // The matched frequency in hertz once the match is done, else 0.
    int Result() const { return m_matcher.CurrentStep() == CPitchMatcher::Step::Done ? m_matcher.Result() : 0; }
    const CPitchMatcher& Matcher() const { return m_matcher; }

    void OnNext();
    void OnAnswer(int choice);
    void OnPlayAgain();
    void OnUse();
    void OnSaveAsSetting();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void PlayQuestion();
    void ReplayLevelTone();
    void ShowStep();
    void NarrowShownRange(double chosen, double other);

    CPlaybackEngine& m_engine;
    const int m_windowVolume;
    CPitchMatcher m_matcher;
    std::vector<int16_t> m_cue; // the cue the engine plays from
    Outcome m_outcome = Outcome::Cancelled;
    bool m_played = false;
    // The search range shown in the bracketing: it narrows with each
    // consistent answer, and widens to where the search now stands, with a
    // note saying so, after an answer that contradicts an earlier one.
    double m_shownLower = 0.0;
    double m_shownUpper = 0.0;
    bool m_widened = false;

    QLabel* m_title = nullptr;
    QLabel* m_text = nullptr;
    QLabel* m_range = nullptr;
    QWidget* m_levelBox = nullptr;
    QSlider* m_volume = nullptr;
    QSpinBox* m_lower = nullptr;
    QSpinBox* m_upper = nullptr;
    QPushButton* m_answers[3] = {};
    QShortcut* m_answerKeys[3] = {};
    QPushButton* m_again = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_use = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_cancel = nullptr;
};
