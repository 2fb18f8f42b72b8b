// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/core_text.h"
#include "app/about_dlg.h"
#include "app/dlg_save_set.h"
#include "app/painting_progress.h"
#include "app/save_set_host.h"
#include "base/play_controls.h"
#include "base/status_sink.h"
#include "desktop/sleep_inhibitor.h"
#include "playback/noise_synth_generator.h"
#include "playback/playback_engine.h"
#include "settings/settings_store.h"
#include "soundfile/sound_render.h"
#include "soundfile/wave_writer.h"
#include "synth/noise_synth.h"
#include "synth/parameter_limits.h"
#include "ui/controls/date_time_value.h"
#include "ui/dialog/dialog_base.h"
#include "ui/services/message_box.h"
#include "ui/services/save_file_dialog.h"

#include <QElapsedTimer>
#include <QIcon>
#include <QString>
#include <QTimer>

#include <chrono>
#include <optional>
#include <utility>
#include <string>

class CComboCtrl;
class QCheckBox;
class QDialog;
class QSpinBox;
class CIconButton;
class CProgressCtrl;
class CSliderCtrl;
class CSpectrumView;
class CUpDownCtrl;

// The main window (main_window.json): holds every parameter the user sets, owns
// the synthesizer, the file writer, the playback engine, both setting lists,
// the About box and the Manage Settings window, and runs every command.
//
// The parameters are public members, read from the controls with
// UpdateData(true) before use (range checks, first failure reported) and
// shown with UpdateData(false). The settings files are read once while the
// window initialises and written only by Exit; Escape, the close box and
// Enter outside a push button end the window without writing them.
//
// The device and the settings folder come from outside, so that a test can
// run the window on a scripted backend and a folder of its own. The backend
// must outlive the window. Destroying the window stops playback and closes
// the device before any member goes.
//
// User-interface thread only; the playback notifications run on the
// backend's thread inside CPlaybackEngine.
class CMainDlg : public CDialogBase, public ISaveSetHost, private IPlayControls, private IStatusSink
{
    Q_OBJECT
public:
    static constexpr int kMaxFileNameChars = 255;
    static constexpr int kDeviceCheckMs = 250;

    CMainDlg(IWaveOut& waveOut, std::string settingsFolder, QWidget* parent = nullptr);
    ~CMainDlg() override;

    // Slider position of a tinnitus frequency: RoundHalfAway(1000 ln f); the
    // left end of the slider for f <= 0, whose logarithm has no value.
    static int FreqToSliderPos(double frequency);
    // Frequency of a slider position: RoundHalfAway(e^(p / 1000)).
    static int SliderPosToFreq(int position);

    // Commands and notifications.
    void OnPlay();
    void OnStop();
    void OnSelchangeSoundDevice();
    void OnCustomdrawVolume();
    void OnChangeLimit();
    void OnNoiseType();
    void OnChangeTinnitusFreq();
    void OnCustomdrawFreqSlider();
    void OnChangeSurf();
    void OnTools();
    void OnExit();
    void OnHelp();
    void OnToFile();
    void OnBrowse();
    void ApplyNoiseSetting();
    void ApplyFileSetting();
    void OnSaveNoiseSetting();
    void OnSaveFileSetting();
    // The Endless check box was clicked: a playing noise restarts with it.
    void OnEndless();
    // Timer: a device that failed while playing stops playback cleanly, a
    // stream that reached the sleep timer's end stops as Stop does, and
    // devices that appeared or went show in the device list.
    void OnCheckDevice();
    // The sleep timer (main_dlg_sleep_timer.cpp): a change of its controls
    // while playing starts its count anew; the countdown ticks once a second.
    void OnChangeSleepTimer();
    void OnSleepTick();
    bool SleepTimerRunning() const { return m_sleepRunning; }
    // Leaves as Exit does when every value is valid, else as the close box;
    // never shows a message box (nobody may be awake to answer it: the sleep
    // timer's end, the desktop's media controls).
    void LeaveQuietly();
    // Tests: how long one minute of the sleep timer lasts.
    void SetSleepMinuteForTest(std::chrono::milliseconds minute) { m_sleepMinute = minute; }
    // The sleep timer's choices: "Off", "15 min", ... "8 h" as minutes;
    // typed text is h:mm. nullopt for text that is neither.
    static std::optional<int> ParseStopAfter(const QString& text);
    static QString FormatStopAfter(int minutes);
    // Shows the window in front of the others (a second start, the desktop).
    void BringToFront();
    // The program's start: the devices are listed and the first one opened
    // once the window is up and the backend says it is ready
    // (OnSoundReady), or at the first command that needs sound. Without this
    // call the window does it while it initialises.
    void StartSoundLater() { m_soundStarted = false; }
    void OnSoundReady();
    // The name of the selected noise setting; empty when none is selected.
    QString NoiseSettingName() const;
    // The desktop's media controls set the volume: the slider moves to the
    // position (clamped to its range) and the device follows.
    void SetVolumeFromDesktop(int position);
    // "Keep the computer awake while playing" was clicked: taken or given
    // back at once when playing.
    void OnKeepAwake();
    // Automatic suspend is held off now (the check box is on, sound plays
    // and the desktop granted it).
    InhibitInterface KeepingAwakeWith() const { return m_inhibitor.Held(); }

signals:
    // The status line, the chosen noise setting or the volume changed.
    void PlayerStateChanged();

public:
    // The notch: its check box and width, and the pitch match.
    void OnNotch();
    void OnNotchWidth();
    void OnMatch();
    // A matched frequency into the Tinnitus Finder (edit, slider and up-down).
    void ApplyMatchedFrequency(int frequency);
    // The notch the current parameters ask for (off for the tone).
    NotchBand CurrentNotch() const;
    // Shaping to the hearing profile (main_dlg_hearing.cpp): the check box,
    // and the Hearing Check dialog.
    void OnHearingShaped();
    void OnHearingCheck();

    // Stereo (main_dlg_stereo.cpp). The check box restarts a playing sound
    // with it, as Endless does; the ears' levels and the tone's ear are
    // heard from the next Play, as the surf fields are.
    void OnStereo();
    void OnStereoLevels();
    // The longest WAV file of the current sound: half as long in stereo,
    // whose frames take twice the bytes.
    int MaxWaveSeconds() const;
    // The sound of the current parameters.
    SoundValues Sound() const;

    bool IsPlaying() const { return m_engine.IsPlaying(); }
    // Long work runs on the window's thread; commands from outside wait.
    bool WorkInProgress() const { return Busy(); }
    const CPlaybackEngine& Engine() const { return m_engine; }

    // ISaveSetHost
    CSettingsStore& SettingsStore() override { return m_settings; }
    CComboCtrl& SettingCombo(SettingsKind kind) override;
    void FillSlotFromMembers(SettingsKind kind, int slot) override;

    // The parameters and the window's state, in the order the window keeps them.
    QIcon m_hIcon;
    double m_lowerLimit = Limits::kFrequency.min;
    double m_upperLimit = Limits::kFrequency.max;
    QString m_fileName;
    double m_surfStrength = 0.0;
    double m_fadeIn = 10.0;
    double m_fadeOut = 10.0;
    double m_surfPeriod = 8.0;
    CDateTimeValue m_playTime;
    CNoiseSynth m_synth;
    CProgressCtrl* m_generatorProgress = nullptr;
    CProgressCtrl* m_savingProgress = nullptr;
    // The type of the signal last made (Play or To File); -1 before the first.
    int m_generatedType = -1;
    CWaveWriter m_writer;
    SaveFileOptions m_fileDialog;
    QString m_status = QStringLiteral("nothing to do");
    int m_volume = 9;
    CComboCtrl* m_deviceCombo = nullptr;
    CAboutDlg m_aboutDlg;
    int m_tinnitusFreq = 440;
    CSliderCtrl* m_freqSlider = nullptr;
    int m_noiseType = 0;
    CUpDownCtrl* m_freqSpin = nullptr;
    bool m_freqSyncGuard = false;
    bool m_initDone = false;
    // The controls were read just now: a restart of playback need not read
    // them again (and so never repeats a validation message).
    bool m_controlsJustRead = false;
    CSliderCtrl* m_volumeSlider = nullptr;
    CIconButton* m_playButton = nullptr;
    CIconButton* m_stopButton = nullptr;
    CIconButton* m_toFileButton = nullptr;
    CIconButton* m_helpButton = nullptr;
    CIconButton* m_toolsButton = nullptr;
    CIconButton* m_exitButton = nullptr;
    CIconButton* m_browseButton = nullptr;
    CComboCtrl* m_noiseSettingCombo = nullptr;
    CDlgSaveSet m_saveSetDlg;  // the Manage Settings window, hidden until a Save Setting button
    CSettingsStore m_settings; // both slot tables and their folder
    int m_noiseSettingIndex = 0;
    int m_fileSettingIndex = 0;
    CComboCtrl* m_fileSettingCombo = nullptr;
    // The sleep timer and the gentle sound, kept in the preferences file.
    int m_sleepMinutes = 0; // 0: off
    int m_sleepFadeMinutes = 10;
    bool m_sleepQuit = false;
    int m_playFadeInSeconds = 0; // 0: off
    bool m_glide = false;
    // Automatic suspend waits while sound plays; kept in the preferences file.
    bool m_keepAwake = true;
    CComboCtrl* m_stopAfterCombo = nullptr;
    bool m_notch = false;
    double m_notchWidthOctaves = 1.0;
    QCheckBox* m_notchCheck = nullptr;
    CComboCtrl* m_notchWidthCombo = nullptr;
    // The notch of the signal last made; a change of it makes the signal stale.
    NotchBand m_generatedNotch;
    // Noise that never repeats; each Play and each To File draws a new seed.
    bool m_endless = false;
    uint64_t m_seed = 0; // of the last endless file
    // The noise shaped to the hearing profile, when there is one.
    bool m_hearingShaped = false;
    QCheckBox* m_hearingShapedCheck = nullptr;
    CSpectrumView* m_spectrumView = nullptr;
    // Two channels, each ear at its own level; kept with a noise setting.
    StereoSound m_stereo;
    QCheckBox* m_stereoCheck = nullptr;
    QSpinBox* m_earSpins[2] = {nullptr, nullptr}; // left, right
    CComboCtrl* m_toneEarCombo = nullptr;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    bool OnInitDialog() override;
    void OnCancel() override;
    // Enter in a sleep timer field takes its value and keeps the window.
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Marks long work on the user-interface thread: a busy cursor, and the
    // paints that the work lets through run no handler.
    class CBusyScope
    {
    public:
        explicit CBusyScope(CMainDlg& dialog);
        ~CBusyScope();
        CBusyScope(const CBusyScope&) = delete;
        CBusyScope& operator=(const CBusyScope&) = delete;

    private:
        CMainDlg& m_dialog;
    };

    // IPlayControls: reads the controls as Play does.
    PlayParameters ReadControls() override;
    // IStatusSink: shows the status line at once. Only the status line is
    // written, so values typed into other controls stay as they are.
    void ShowStatus(const std::string& text) override;
    void ShowStatus(const QString& text);

    void BindControls();
    void ConnectHandlers();
    void SetUpIconButtons();
    void FillSettingCombos();
    void FillDevices();
    // Lists and opens the devices if that is not done yet; waits for the backend.
    void StartSound();
    // quiet: a failure goes to the status line instead of a message box.
    void FillDeviceCombo();
    void SaveSettingsFiles(bool quiet = false);
    // The sleep timer (main_dlg_sleep_timer.cpp).
    void SetUpSleepTimer();
    void DisconnectSleepTimerFields();
    void ExchangeSleepTimer(CDataExchange& dx);
    void StartSleepTimer();
    // Hands the timer's end to the engine: the one way it gets there.
    void ArmSleepEnd();
    void CancelSleepTimer();
    void OnSleepTimerEnded();
    void ShowCountdown();
    // Holds the inhibitor while the check box is on and sound plays, and
    // gives it back otherwise; asks the desktop only when that changes.
    void KeepAwakeWhilePlaying();
    QString PreferencesPath() const;
    // False, with a message on stderr, when the preferences file is not a
    // regular file or is too large or has too long a line to be one.
    bool PreferencesUsable();
    void LoadPreferences();
    void SavePreferences();
    void SetUpNotchControls();
    // The notch values into their controls, enabled for the noises only.
    void ShowNotch();
    // The signal no longer matches the notch asked for: make it anew on the
    // next Play or To File, as a change of type does.
    void MarkNotchStale();
    // The picture of the sound (main_dlg_spectrum.cpp): made once, then
    // redrawn from the controls whenever one of the values it shows changes.
    void SetUpSpectrumView();
    void ShowSpectrum();
    void SetUpHearingControls();
    // Says on the shaping box what it will do: which profile shapes the
    // noise, or why none does.
    void ShowHearingHint();
    // The one place the listener's shape is built from the profile: off
    // unless the box is ticked for a noise and a profile exists; nullopt,
    // after a message, when the profile could not be read.
    // Left and right in stereo; one channel takes the first.
    using EarTilts = std::pair<SpectrumTilt, SpectrumTilt>;
    std::optional<EarTilts> HearingShape();
    // Reads the shape for Play and To File into the synthesizer and the
    // engine; a new shape makes the signal stale. False when refused.
    bool ApplyHearingShape();
    // Makes the signal of the current parameters, while playback waits.
    void MakeSignal();
    // Asks for a file name; a path too long for the writer is refused with
    // a message. nullopt when cancelled or refused.
    std::optional<QString> ChooseFileName();
    void Warn(const QString& text);
    // Endless applies to the noises only: off for the Tinnitus Finder.
    void UpdateEndlessEnabled();
    void SetUpStereoControls();
    // m_stereo into its controls, without running their handlers.
    void ShowStereo();
    // The ears' controls with Stereo only; the tone's ear for the tone too.
    void UpdateStereoEnabled();
    bool Busy() const { return m_busy > 0; }

    CNoiseSynthGenerator m_generator{m_synth};
    // The right ear's noise in stereo, with phases of its own.
    CNoiseSynth m_rightSynth;
    CNoiseSynthGenerator m_rightGenerator{m_rightSynth};
    CMessageBoxReporter m_reporter{this, &CCoreText::Translate};
    CPaintingProgress m_generatorSink;
    CPaintingProgress m_savingSink;
    CPlaybackEngine m_engine;
    QTimer m_deviceTimer;
    int m_busy = 0;
    std::chrono::milliseconds m_sleepMinute{60000};
    QTimer m_sleepTick;
    QElapsedTimer m_sleepClock; // monotonic: a changed system clock does not matter
    int64_t m_sleepLengthMs = 0;
    bool m_sleepRunning = false;
    bool m_preferencesRefused = false;
    // The pitch match while it is open over the window.
    QDialog* m_matchDialog = nullptr;
    // The hearing check while it is open over the window.
    QDialog* m_hearingDialog = nullptr;
    bool m_leaveWhenIdle = false;
    // At most 1 s per question, on the window's thread; without a bus, nothing.
    CSleepInhibitor m_inhibitor{SessionBusAddress(), 1000};
    bool m_soundStarted = true;
    bool m_soundReady = false;
    // OnInitDialog has returned: the window is about to show.
    bool m_windowUp = false;
};
