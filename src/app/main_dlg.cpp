// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: construction, the controls and their handlers, leaving.
#include "app/main_dlg.h"

#include "app/app_resources.h"
#include "app/resource_ids.h"
#include "app/setting_name_order.h"
#include "app/string_table.h"
#include "synth/ear_gain.h"
#include "synth/parameter_limits.h"
#include "synth/rounding.h"
#include "ui/controls/combo_ctrl.h"
#include "ui/controls/icon_button.h"
#include "ui/controls/progress_ctrl.h"
#include "ui/controls/slider_ctrl.h"
#include "ui/controls/up_down_ctrl.h"
#include "ui/dialog/data_exchange.h"
#include "ui/services/dialog_services.h"
#include "ui/services/help_command.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>

#include <cmath>

CMainDlg::CBusyScope::CBusyScope(CMainDlg& dialog) : m_dialog(dialog)
{
    if (m_dialog.m_busy++ == 0)
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

CMainDlg::CBusyScope::~CBusyScope()
{
    if (--m_dialog.m_busy == 0)
        QApplication::restoreOverrideCursor();
}

CMainDlg::CMainDlg(IWaveOut& waveOut, std::string settingsFolder, QWidget* parent)
    : CDialogBase(IDD_MAIN, parent),
      m_hIcon(CAppResources::LoadIcon(IDI_APP)),
      m_aboutDlg(this),
      m_saveSetDlg(*this, this),
      m_settings(std::move(settingsFolder)),
      m_engine(waveOut, m_generator, *this, *this, m_reporter, &m_rightGenerator)
{
    m_rightSynth.m_phase = CPhaseGenerator(kRightEarPhaseState);
    // A place every user can write to, until a file setting names another.
    m_fileName = QDir::tempPath() + QStringLiteral("/noise.wav");
    m_status = CCoreText::Translate("nothing to do");
    m_playTime.SetDateTime(0, 0, 0, 1, 19, 0);
    m_deviceTimer.setInterval(kDeviceCheckMs);
    connect(&m_deviceTimer, &QTimer::timeout, this, [this] { OnCheckDevice(); });
    LoadPreferences();
}

CMainDlg::~CMainDlg()
{
    // Playback stops and the device closes before any member goes, so no
    // notification can reach a half-destroyed window.
    m_deviceTimer.stop();
    m_sleepTick.stop();
    m_engine.Shutdown();
    m_inhibitor.Release();
    // Hiding the window as it goes takes the focus from a timer field, whose
    // handler must not run on what is left of this window.
    DisconnectSleepTimerFields();
}

void CMainDlg::DoDataExchange(CDataExchange& dx)
{
    using namespace Limits;
    dx.Text(IDC_LOWER_LIMIT, m_lowerLimit, kFrequency.min, kFrequency.max);
    dx.Text(IDC_UPPER_LIMIT, m_upperLimit, kFrequency.min, kFrequency.max);
    dx.Text(IDC_FILE_NAME, m_fileName, kMaxFileNameChars);
    dx.Text(IDC_SURF_STRENGTH, m_surfStrength, kSurfStrength.min, kSurfStrength.max);
    dx.Text(IDC_FADE_IN, m_fadeIn, kFade.min, kFade.max);
    dx.Text(IDC_FADE_OUT, m_fadeOut, kFade.min, kFade.max);
    dx.Text(IDC_SURF_PERIOD, m_surfPeriod, kSurfPeriod.min, kSurfPeriod.max);
    dx.DateTime(IDC_PLAY_TIME, m_playTime);
    dx.Text(IDC_STATUS, m_status);
    dx.SliderPos(IDC_VOLUME, m_volume);
    dx.Text(IDC_TINNITUS_FREQ, m_tinnitusFreq, kTinnitusFrequency.min, kTinnitusFrequency.max);
    dx.Radio(IDC_PHYSIOLOGICAL, m_noiseType);
    ExchangeSleepTimer(dx);
    dx.Check(IDC_ENDLESS, m_endless);
    dx.Check(IDC_HEARING_SHAPED, m_hearingShaped);
}

void CMainDlg::BindControls()
{
    m_generatorProgress = GetDlgItemAs<CProgressCtrl>(IDC_GENERATOR_PROGRESS);
    m_savingProgress = GetDlgItemAs<CProgressCtrl>(IDC_SAVING_PROGRESS);
    m_deviceCombo = GetDlgItemAs<CComboCtrl>(IDC_SOUND_DEVICE);
    m_freqSlider = GetDlgItemAs<CSliderCtrl>(IDC_FREQ_SLIDER);
    m_freqSpin = GetDlgItemAs<CUpDownCtrl>(IDC_FREQ_SPIN);
    m_volumeSlider = GetDlgItemAs<CSliderCtrl>(IDC_VOLUME);
    m_browseButton = GetDlgItemAs<CIconButton>(IDC_BROWSE);
    m_playButton = GetDlgItemAs<CIconButton>(IDC_PLAY);
    m_stopButton = GetDlgItemAs<CIconButton>(IDC_STOP);
    m_toFileButton = GetDlgItemAs<CIconButton>(IDC_TO_FILE);
    m_helpButton = GetDlgItemAs<CIconButton>(ID_HELP);
    m_toolsButton = GetDlgItemAs<CIconButton>(IDC_TOOLS);
    m_exitButton = GetDlgItemAs<CIconButton>(IDC_EXIT);
    m_noiseSettingCombo = GetDlgItemAs<CComboCtrl>(IDC_NOISE_SETTING);
    m_fileSettingCombo = GetDlgItemAs<CComboCtrl>(IDC_FILE_SETTING);
}

void CMainDlg::ConnectHandlers()
{
    const auto onClick = [this](int id, void (CMainDlg::*handler)()) {
        if (auto* button = GetDlgItemAs<QAbstractButton>(id))
            connect(button, &QAbstractButton::clicked, this, [this, handler] { (this->*handler)(); });
    };
    const auto onText = [this](int id, void (CMainDlg::*handler)()) {
        if (auto* edit = GetDlgItemAs<QLineEdit>(id))
            connect(edit, &QLineEdit::textChanged, this, [this, handler] { (this->*handler)(); });
    };
    onClick(IDC_EXIT, &CMainDlg::OnExit);
    onClick(IDC_PLAY, &CMainDlg::OnPlay);
    onText(IDC_LOWER_LIMIT, &CMainDlg::OnChangeLimit);
    onText(IDC_UPPER_LIMIT, &CMainDlg::OnChangeLimit);
    onText(IDC_TINNITUS_FREQ, &CMainDlg::OnChangeTinnitusFreq);
    for (QAbstractButton* radio : RadioGroup(IDC_PHYSIOLOGICAL))
        connect(radio, &QAbstractButton::clicked, this, [this] { OnNoiseType(); });
    onClick(IDC_TO_FILE, &CMainDlg::OnToFile);
    onClick(IDC_STOP, &CMainDlg::OnStop);
    connect(m_deviceCombo, &CComboCtrl::SelChange, this, [this] { OnSelchangeSoundDevice(); });
    connect(m_volumeSlider, &CSliderCtrl::CustomDraw, this, [this] { OnCustomdrawVolume(); });
    onClick(IDC_TOOLS, &CMainDlg::OnTools);
    connect(m_freqSlider, &CSliderCtrl::CustomDraw, this, [this] { OnCustomdrawFreqSlider(); });
    onClick(IDC_BROWSE, &CMainDlg::OnBrowse);
    onText(IDC_SURF_STRENGTH, &CMainDlg::OnChangeSurf);
    onText(IDC_SURF_PERIOD, &CMainDlg::OnChangeSurf);
    connect(m_noiseSettingCombo, &CComboCtrl::SelChange, this, [this] { ApplyNoiseSetting(); });
    onClick(IDC_NOISE_SAVE_SETTING, &CMainDlg::OnSaveNoiseSetting);
    onClick(IDC_FILE_SAVE_SETTING, &CMainDlg::OnSaveFileSetting);
    connect(m_fileSettingCombo, &CComboCtrl::SelChange, this, [this] { ApplyFileSetting(); });
    onClick(ID_HELP, &CMainDlg::OnHelp);
    onClick(IDC_ENDLESS, &CMainDlg::OnEndless);
    onClick(IDC_KEEP_AWAKE, &CMainDlg::OnKeepAwake);
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, [this] { OnHelp(); });
}

bool CMainDlg::OnInitDialog()
{
    BindControls();
    SetUpSleepTimer();
    ConnectHandlers();
    // The constructor's values into the controls; the change handlers run.
    CDialogBase::OnInitDialog();
    // Its pictures are drawn once the window is up: drawing them for the
    // window system held up the window's first showing.
    QTimer::singleShot(0, this, [this] { setWindowIcon(m_hIcon); });
    m_saveSetDlg.Create(); // hidden until a Save Setting button
    m_fileDialog.filterName = tr("Microsoft wave format (*.wav)");
    m_fileDialog.filterPattern = QStringLiteral("*.wav");
    m_fileDialog.moreFilters = {tr("FLAC, lossless (*.flac)"), tr("Ogg Opus (*.opus)"), tr("MP3 (*.mp3)")};
    SetUpIconButtons();
    // The lists must sort as the settings files do: a saved selection is a
    // position in them.
    m_noiseSettingCombo->SetNameOrder(CompareSettingNamesNoCase);
    m_fileSettingCombo->SetNameOrder(CompareSettingNamesNoCase);
    // The file name field takes a path of any length: reading it refuses one
    // too long for the writer, where a cap on typing would cut off its end
    // (and with it the suffix that picks the file type) without a word.
    FillSettingCombos();
    // Writing the frequency above left the guard set for a paint that the
    // hidden slider never made.
    m_freqSyncGuard = false;
    const ParameterLimit& tone = Limits::kTinnitusFrequency;
    m_freqSpin->SetRange(static_cast<int>(tone.min), static_cast<int>(tone.max));
    m_freqSlider->SetRange(FreqToSliderPos(tone.min), FreqToSliderPos(tone.max), true);
    m_freqSlider->SetPos(FreqToSliderPos(5000), true);
    m_volumeSlider->SetRange(0, RoundHalfAway(100.0 * std::log(100.0)));
    m_generatorProgress->SetRange(0, 100);
    m_generatorProgress->SetPos(0);
    m_savingProgress->SetRange(0, 100);
    m_savingProgress->SetPos(0);
    m_generatorSink.SetBar(m_generatorProgress);
    m_savingSink.SetBar(m_savingProgress);
    m_synth.m_progress = &m_generatorSink;
    m_writer.progress = &m_savingSink;
    // The devices; the first usable one is opened.
    if (m_soundStarted)
        FillDevices();
    SetUpNotchControls();
    SetUpStereoControls();
    SetUpHearingControls();
    SetUpSpectrumView();
    m_initDone = true;
    ApplyNoiseSetting();
    ApplyFileSetting();
    m_deviceTimer.start();
    m_windowUp = true;
    if (m_soundReady)
        QTimer::singleShot(0, this, [this] { OnSoundReady(); });
    return true;
}

void CMainDlg::SetUpIconButtons()
{
    struct ButtonSetUp
    {
        CIconButton* button;
        int iconId;
        bool handCursor;
        int tooltipId;
    };
    const ButtonSetUp buttons[] = {
        {m_exitButton, IDI_EXIT, true, IDS_TIP_EXIT},        {m_playButton, IDI_PLAY, true, IDS_TIP_PLAY},
        {m_stopButton, IDI_STOP, true, IDS_TIP_STOP},        {m_toFileButton, IDI_TO_FILE, true, IDS_TIP_TO_FILE},
        {m_toolsButton, IDI_TOOLS, true, IDS_TIP_TOOLS},     {m_helpButton, IDI_HELP, true, IDS_TIP_HELP},
        {m_browseButton, IDI_BROWSE, false, IDS_TIP_BROWSE},
    };
    for (const ButtonSetUp& setUp : buttons)
    {
        setUp.button->SetIcon(CAppResources::LoadIcon(setUp.iconId));
        setUp.button->SetBalloonTooltip();
        setUp.button->SetTooltipText(CStringTable::Load(setUp.tooltipId), true);
        if (setUp.handCursor)
            setUp.button->SetHoverCursor(CAppResources::LoadCursor(IDC_HAND), true);
        // Enter presses the focused button: keyboard users must see which.
        setUp.button->SetFocusRectWhenFlat(true);
    }
    m_playButton->setText(tr("&Play"));
    m_browseButton->SetAlignment(1, true);
    SetDlgItemText(IDC_EXIT, CStringTable::Load(IDS_EXIT));
}

void CMainDlg::ShowStatus(const std::string& text)
{
    // The match's tones start and stop the engine; the line says what the user is doing.
    ShowStatus(m_matchDialog != nullptr     ? tr("matching pitch")
               : m_hearingDialog != nullptr ? tr("checking hearing")
                                            : CCoreText::Translate(text));
}

void CMainDlg::ShowStatus(const QString& text)
{
    m_status = text;
    auto* label = GetDlgItemAs<QLabel>(IDC_STATUS);
    if (label == nullptr)
        return;
    label->setText(m_status);
    emit PlayerStateChanged();
    // The work that follows keeps the thread busy: show the text now.
    if (label->isVisible())
        label->repaint();
}

void CMainDlg::Warn(const QString& text)
{
    CDialogServices::MessageBox().Show(this, text, CCoreText::Translate("Warning"), MessageIcon::Exclamation);
}

void CMainDlg::OnTools()
{
    m_aboutDlg.DoModal();
}

void CMainDlg::OnHelp()
{
    CDialogServices::HelpCommand().ShowHelp(this);
}

void CMainDlg::OnExit()
{
    SaveSettingsFiles();
    if (UpdateDataQuietly())
        SavePreferences();
    OnOK();
}

void CMainDlg::LeaveQuietly()
{
    // A file being written finishes first; the device timer comes back.
    if (Busy())
    {
        m_leaveWhenIdle = true;
        return;
    }
    m_leaveWhenIdle = false;
    // A box or window open over this one goes first, as its close box would.
    if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && modal != this)
    {
        // One that refuses to close keeps the window too.
        if (modal->close())
            QTimer::singleShot(0, this, [this] { LeaveQuietly(); });
        return;
    }
    if (UpdateDataQuietly())
    {
        SaveSettingsFiles(true);
        SavePreferences();
        OnOK();
    }
    else
    {
        CDialogBase::OnCancel();
    }
}

void CMainDlg::OnCancel()
{
    // Ending the window in the middle of its own work would pull the
    // window away from under the handler.
    if (Busy())
        return;
    CDialogBase::OnCancel();
}
