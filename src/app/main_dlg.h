// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/about_dlg.h"
#include "app/dlg_save_set.h"
#include "app/painting_progress.h"
#include "app/save_set_host.h"
#include "base/play_controls.h"
#include "base/status_sink.h"
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

#include <QIcon>
#include <QString>
#include <QTimer>

#include <string>

class CComboCtrl;
class CIconButton;
class CProgressCtrl;
class CSliderCtrl;
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
    // Timer: a device that failed while playing stops playback cleanly.
    void OnCheckDevice();

    bool IsPlaying() const { return m_engine.IsPlaying(); }
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
    CDlgSaveSet m_saveSetDlg;   // the Manage Settings window, hidden until a Save Setting button
    CSettingsStore m_settings;  // both slot tables and their folder
    int m_noiseSettingIndex = 0;
    int m_fileSettingIndex = 0;
    CComboCtrl* m_fileSettingCombo = nullptr;
    // Noise that never repeats; each Play and each To File draws a new seed.
    bool m_endless = false;
    uint64_t m_seed = 0;  // of the last endless file

protected:
    void DoDataExchange(CDataExchange& dx) override;
    bool OnInitDialog() override;
    void OnCancel() override;

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
    void SaveSettingsFiles();
    // The sound of the current parameters.
    SoundValues Sound() const;
    // Makes the signal of the current parameters, while playback waits.
    void MakeSignal();
    // Asks for a file name; a path too long for the writer is refused with
    // a message. nullopt when cancelled or refused.
    std::optional<QString> ChooseFileName();
    void Warn(const QString& text);
    // Endless applies to the noises only: off for the Tinnitus Finder.
    void UpdateEndlessEnabled();
    bool Busy() const { return m_busy > 0; }

    CNoiseSynthGenerator m_generator{m_synth};
    CMessageBoxReporter m_reporter{this};
    CPaintingProgress m_generatorSink;
    CPaintingProgress m_savingSink;
    CPlaybackEngine m_engine;
    QTimer m_deviceTimer;
    int m_busy = 0;
};
