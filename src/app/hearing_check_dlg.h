// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "settings/hearing_profile_file.h"
#include "synth/hearing_check.h"

class CHearingChart;
class CPlaybackEngine;
class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QWidget;

// The hearing check in the window: a thin front end over CHearingCheck.
// The first page warns, offers the ear and 12000 Hz, and starts the check;
// beside it the saved profile (hearing.ini in the settings folder) is shown
// as a chart and can be cleared after a confirmation. Each question plays
// one pulsed tone through the engine as a cue, at the engine's full volume
// so that the levels are the samples' own, as on the command line; the
// window's volume is put back when the check ends, whatever the outcome.
// The finished check is saved with the date and the engine's device; a
// damaged profile is never overwritten (it must be cleared first).
//
// Keyboard: Alt with the underlined letters (Heard, Not heard, Play again,
// Stop), Tab to every button, Escape closes.
class CHearingCheckDlg : public QDialog
{
    Q_OBJECT
public:
    CHearingCheckDlg(CPlaybackEngine& engine, std::string profileFolder, int windowVolume, QWidget* parent = nullptr);
    ~CHearingCheckDlg() override;

    // The check under way, or null.
    const CHearingCheck* Check() const { return m_check.get(); }
    const HearingProfileLoad& Saved() const { return m_saved; }

    void OnStart();
    void OnAnswer(bool heard);
    void OnPlayAgain();
    void OnStopCheck();
    void OnClear();
    void OnConfirmClear(bool clear);

protected:
    void done(int result) override;

private:
    void LoadSaved();
    void ShowSaved();
    void PlayTone();
    void ShowQuestion();
    void Finish();
    void EndCheck();
    QString DeviceName() const;

    CPlaybackEngine& m_engine;
    const std::string m_folder;
    const int m_windowVolume;
    HearingProfileLoad m_saved;
    std::unique_ptr<CHearingCheck> m_check;
    std::vector<int16_t> m_cue; // the cue the engine plays from

    QStackedWidget* m_pages = nullptr;
    QRadioButton* m_ears[3] = {}; // left, right, both
    QCheckBox* m_with12k = nullptr;
    QPushButton* m_start = nullptr;
    QLabel* m_tone = nullptr;
    QLabel* m_progress = nullptr;
    QPushButton* m_heard = nullptr;
    QPushButton* m_notHeard = nullptr;
    QPushButton* m_again = nullptr;
    QPushButton* m_stop = nullptr;
    CHearingChart* m_chart = nullptr;
    QLabel* m_info = nullptr;
    QWidget* m_confirm = nullptr;
    QPushButton* m_clear = nullptr;
    QPushButton* m_close = nullptr;
};
