#include "app/main_dlg.h"

#include "app/app_resources.h"
#include "app/combo_ctrl.h"
#include "app/data_exchange.h"
#include "app/dialog_services.h"
#include "app/help_command.h"
#include "app/icon_button.h"
#include "app/progress_ctrl.h"
#include "app/resource_ids.h"
#include "app/slider_ctrl.h"
#include "app/up_down_ctrl.h"
#include "settings/builtin_presets.h"
#include "settings/setting_list.h"
#include "playback/surf_shaper.h"
#include "settings/setting_text.h"
#include "synth/rounding.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTimeEdit>

#include <charconv>
#include <cmath>
#include <mutex>
#include <utility>

namespace
{

const QString kNothingToDo = QStringLiteral("nothing to do");
const QString kGenerating = QStringLiteral("generating noise signal");
const QString kPlaying = QStringLiteral("playing");
const QString kWriting = QStringLiteral("writing sound file");

constexpr int kMinFrequency = 20;
constexpr int kMaxFrequency = 20000;

// The leading decimal number of a text, as the C library reads one, but
// independent of the locale; 0 when the text starts with no number.
double LeadingNumber(const QString& text)
{
    const std::string bytes = text.toStdString();
    const char* begin = bytes.data();
    const char* end = begin + bytes.size();
    while (begin != end && (*begin == ' ' || *begin == '\t'))
        ++begin;
    if (begin != end && *begin == '+')
        ++begin;
    double value = 0.0;
    // A pasted "nan" would otherwise reach the tone as a pitch.
    if (std::from_chars(begin, end, value, std::chars_format::general).ec != std::errc() || std::isnan(value))
        return 0.0;
    return value;
}

// A path as the file system takes it.
std::string FileSystemName(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

CMainDlg::CBusyScope::CBusyScope(CMainDlg& dialog)
    : m_dialog(dialog)
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
    : CDialogBase(IDD_MAIN, parent)
    , m_hIcon(CAppResources::LoadIcon(IDI_APP))
    , m_aboutDlg(this)
    , m_saveSetDlg(*this, this)
    , m_settings(std::move(settingsFolder))
    , m_engine(waveOut, m_generator, *this, *this, m_reporter)
{
    // A place every user can write to, until a file setting names another.
    m_fileName = QDir::tempPath() + QStringLiteral("/noise.wav");
    m_playTime.SetDateTime(0, 0, 0, 1, 19, 0);
    m_deviceTimer.setInterval(kDeviceCheckMs);
    connect(&m_deviceTimer, &QTimer::timeout, this, [this] { OnCheckDevice(); });
}

CMainDlg::~CMainDlg()
{
    // Playback stops and the device closes before any member goes, so no
    // notification can reach a half-destroyed window.
    m_deviceTimer.stop();
    m_engine.Shutdown();
}

int CMainDlg::FreqToSliderPos(double frequency)
{
    if (!(frequency > 0.0))
        return RoundHalfAway(1000.0 * std::log(static_cast<double>(kMinFrequency)));
    return RoundHalfAway(1000.0 * std::log(frequency));
}

int CMainDlg::SliderPosToFreq(int position)
{
    return RoundHalfAway(std::exp(position / 1000.0));
}

void CMainDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Text(IDC_LOWER_LIMIT, m_lowerLimit, 20.0, 20000.0);
    dx.Text(IDC_UPPER_LIMIT, m_upperLimit, 20.0, 20000.0);
    dx.Text(IDC_FILE_NAME, m_fileName, kMaxFileNameChars);
    dx.Text(IDC_SURF_STRENGTH, m_surfStrength, 0.0, 100.0);
    dx.Text(IDC_FADE_IN, m_fadeIn, 0.0, 1000.0);
    dx.Text(IDC_FADE_OUT, m_fadeOut, 0.0, 1000.0);
    dx.Text(IDC_SURF_PERIOD, m_surfPeriod, 0.0, 10000.0);
    dx.DateTime(IDC_PLAY_TIME, m_playTime);
    dx.Text(IDC_STATUS, m_status);
    dx.SliderPos(IDC_VOLUME, m_volume);
    dx.Text(IDC_TINNITUS_FREQ, m_tinnitusFreq, kMinFrequency, kMaxFrequency);
    dx.Radio(IDC_PHYSIOLOGICAL, m_noiseType);
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
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, [this] { OnHelp(); });
}

bool CMainDlg::OnInitDialog()
{
    BindControls();
    ConnectHandlers();
    // The constructor's values into the controls; the change handlers run.
    CDialogBase::OnInitDialog();
    setWindowIcon(m_hIcon);
    m_saveSetDlg.Create();  // hidden until a Save Setting button
    m_fileDialog.filterName = QStringLiteral("Microsoft wave format (*.wav)");
    m_fileDialog.filterPattern = QStringLiteral("*.wav");
    SetUpIconButtons();
    FillSettingCombos();
    // Writing the frequency above left the guard set for a paint that the
    // hidden slider never made.
    m_freqSyncGuard = false;
    m_freqSpin->SetRange(kMinFrequency, kMaxFrequency);
    m_freqSlider->SetRange(FreqToSliderPos(kMinFrequency), FreqToSliderPos(kMaxFrequency), true);
    m_freqSlider->SetPos(FreqToSliderPos(5000), true);
    m_volumeSlider->SetRange(0, RoundHalfAway(100.0 * std::log(100.0)));
    m_generatorProgress->SetRange(0, 100);
    m_generatorProgress->SetPos(0);
    m_savingProgress->SetRange(0, 100);
    m_savingProgress->SetPos(0);
    m_generatorSink.SetBar(m_generatorProgress);
    m_savingSink.SetBar(m_savingProgress);
    m_synth.m_progress = &m_generatorSink;
    m_writer.source = m_synth.m_source.get();
    m_writer.progress = &m_savingSink;
    m_writer.reporter = &m_reporter;
    // The devices; the first usable one is opened.
    FillDevices();
    m_initDone = true;
    ApplyNoiseSetting();
    ApplyFileSetting();
    m_deviceTimer.start();
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
        {m_exitButton, IDI_EXIT, true, IDS_TIP_EXIT},          {m_playButton, IDI_PLAY, true, IDS_TIP_PLAY},
        {m_stopButton, IDI_STOP, true, IDS_TIP_STOP},          {m_toFileButton, IDI_TO_FILE, true, IDS_TIP_TO_FILE},
        {m_toolsButton, IDI_TOOLS, true, IDS_TIP_TOOLS},       {m_helpButton, IDI_HELP, true, IDS_TIP_HELP},
        {m_browseButton, IDI_BROWSE, false, IDS_TIP_BROWSE},
    };
    for (const ButtonSetUp& setUp : buttons)
    {
        setUp.button->SetIcon(setUp.iconId);
        setUp.button->SetBalloonTooltip();
        setUp.button->SetTooltipText(setUp.tooltipId, true);
        if (setUp.handCursor)
            setUp.button->SetHoverCursor(IDC_HAND, true);
        // Enter presses the focused button: keyboard users must see which.
        setUp.button->SetFocusRectWhenFlat(true);
    }
    m_playButton->setText(QStringLiteral("Play"));
    m_browseButton->SetAlignment(1, true);
    SetItemTextFromResource(IDC_EXIT, IDS_EXIT);
}

void CMainDlg::FillSettingCombos()
{
    // Lists the occupied slots from..to-1; each entry carries its slot.
    const auto list = [](const auto& table, CComboCtrl* combo, int from, int to) {
        for (int slot = from; slot < to; ++slot)
        {
            if (!table.IsOccupied(slot))
                continue;
            const int entry = combo->AddString(QString::fromStdString(std::string(FieldText(table.m_slots[slot].name))));
            combo->setItemData(entry, slot);
        }
    };
    CNoiseSettingsTable& noise = m_settings.m_noiseSettings;
    CFileSettingsTable& file = m_settings.m_fileSettings;
    m_settings.SetUp();
    list(noise, m_noiseSettingCombo, 0, noise.m_firstUserSlot);
    list(file, m_fileSettingCombo, 0, file.m_firstUserSlot);
    for (SettingsKind kind : {SettingsKind::Noise, SettingsKind::File})
    {
        // A missing file is no problem; an unreadable or damaged one is named.
        const SettingsLoadResult& load = m_settings.LoadSettingsFile(kind);
        if (!load.problem.empty())
            Warn(QString::fromStdString(load.problem));
    }
    list(noise, m_noiseSettingCombo, noise.m_firstUserSlot, kSettingSlots);
    list(file, m_fileSettingCombo, file.m_firstUserSlot, kSettingSlots);
    m_noiseSettingIndex = m_settings.m_noiseSettings.m_savedSelection;
    m_fileSettingIndex = m_settings.m_fileSettings.m_savedSelection;

    // A saved position past the end of its list (the list changed since it
    // was saved) selects the first entry, as "none" does.
    m_noiseSettingCombo->SetCurSel(RestoredPosition(m_noiseSettingIndex, m_noiseSettingCombo->GetCount()));
    m_fileSettingCombo->SetCurSel(RestoredPosition(m_fileSettingIndex, m_fileSettingCombo->GetCount()));
}

void CMainDlg::FillDevices()
{
    m_engine.InitDevices();
    for (const std::string& name : m_engine.DeviceNames())
        m_deviceCombo->AddString(QString::fromStdString(name));
    m_deviceCombo->SetCurSel(m_engine.SelectedEntry());
    m_volume = m_engine.Volume();
}

PlayParameters CMainDlg::ReadControls()
{
    if (!std::exchange(m_controlsJustRead, false))
        UpdateData(true);
    PlayParameters params;
    params.noiseType = m_noiseType;
    params.lowerLimit = m_lowerLimit;
    params.upperLimit = m_upperLimit;
    params.tinnitusFreq = m_tinnitusFreq;
    params.surfStrength = m_surfStrength;
    params.surfPeriod = m_surfPeriod;
    return params;
}

void CMainDlg::ShowStatus(const std::string& text)
{
    ShowStatus(QString::fromStdString(text));
}

void CMainDlg::ShowStatus(const QString& text)
{
    m_status = text;
    auto* label = GetDlgItemAs<QLabel>(IDC_STATUS);
    if (label == nullptr)
        return;
    label->setText(m_status);
    // The work that follows keeps the thread busy: show the text now.
    if (label->isVisible())
        label->repaint();
}

void CMainDlg::Warn(const QString& text)
{
    CDialogServices::MessageBox().Show(this, text, QStringLiteral("Warning"), MessageIcon::Exclamation);
}

void CMainDlg::OnPlay()
{
    CBusyScope busy(*this);
    m_engine.OnPlay();
    if (m_engine.IsPlaying())
        m_playedType = m_engine.PlayedType();
}

void CMainDlg::OnStop()
{
    m_engine.OnStop();
}

void CMainDlg::OnSelchangeSoundDevice()
{
    m_engine.OnSelchangeSoundDevice(m_deviceCombo->GetCurSel());
}

void CMainDlg::OnCustomdrawVolume()
{
    // Runs on every paint of the slider: it must never raise a message box,
    // and nothing here may reach the engine while a signal is being made.
    if (Busy() || !m_initDone)
        return;
    UpdateDataQuietly();
    m_engine.SetVolume(m_volume);
    // The surf edits are heard at once, without pressing Play.
    m_engine.SetSurf(m_surfStrength, m_surfPeriod);
}

void CMainDlg::OnCheckDevice()
{
    if (Busy())
        return;
    m_engine.OnCheckDevice();
}

void CMainDlg::OnChangeLimit()
{
    m_synth.m_ready = false;
    if (m_generatorProgress != nullptr)
        m_generatorProgress->SetPos(0);
}

void CMainDlg::OnNoiseType()
{
    UpdateData(true);
    if (m_noiseType == m_playedType && m_synth.m_ready)
        return;
    if (m_initDone)
    {
        m_synth.m_ready = false;
        m_generatorProgress->SetPos(0);
    }
}

void CMainDlg::OnChangeTinnitusFreq()
{
    if (m_freqSyncGuard)
    {
        m_freqSyncGuard = false;
        return;
    }
    auto* edit = GetDlgItemAs<QLineEdit>(IDC_TINNITUS_FREQ);
    double frequency = LeadingNumber(edit->text());
    if (frequency > kMaxFrequency)
    {
        // Runs this handler again, nested, with "20000".
        edit->setText(QString::number(kMaxFrequency));
        frequency = kMaxFrequency;
    }
    m_tinnitusFreq = TruncToInt(frequency);
    m_freqSyncGuard = true;
    m_freqSlider->SetPos(FreqToSliderPos(frequency), true);
    // The slider's paint clears the guard; a hidden slider clears it at its
    // first paint.
    m_freqSlider->repaint();
    if (m_engine.IsPlaying() && m_playedType == kTinnitusFinder)
    {
        CBusyScope busy(*this);
        m_engine.RetuneTone(frequency);
    }
}

void CMainDlg::OnCustomdrawFreqSlider()
{
    if (Busy())
        return;
    if (m_freqSyncGuard)
    {
        m_freqSyncGuard = false;
        return;
    }
    const int frequency = SliderPosToFreq(m_freqSlider->GetPos());
    const bool changed = frequency != m_tinnitusFreq;
    m_tinnitusFreq = frequency;
    auto* edit = GetDlgItemAs<QLineEdit>(IDC_TINNITUS_FREQ);
    const QString text = QString::number(m_tinnitusFreq);
    // Only a text that changes raises the notification that clears the
    // guard; setting the guard without it would swallow the next edit.
    if (edit->text() != text)
    {
        m_freqSyncGuard = true;
        edit->setText(text);
    }
    // Every repaint comes here: retune only when the pitch moved, else the
    // playing tone would restart on each exposure.
    if (changed && m_engine.IsPlaying() && m_playedType == kTinnitusFinder)
    {
        CBusyScope busy(*this);
        m_engine.RetuneTone(m_tinnitusFreq);
    }
}

void CMainDlg::OnChangeSurf()
{
    m_engine.MarkSurfChanged();
}

void CMainDlg::OnTools()
{
    m_aboutDlg.DoModal();
}

void CMainDlg::OnHelp()
{
    CDialogServices::HelpCommand().ShowHelp(this);
}

void CMainDlg::SaveSettingsFiles()
{
    for (SettingsKind kind : {SettingsKind::Noise, SettingsKind::File})
    {
        const CComboCtrl& combo = SettingCombo(kind);
        const std::string error = m_settings.SaveSettingsFile(kind, combo.GetCurSel());
        if (!error.empty())
            Warn(QString::fromStdString(error));
    }
}

void CMainDlg::OnExit()
{
    SaveSettingsFiles();
    OnOK();
}

void CMainDlg::OnCancel()
{
    // Ending the window in the middle of its own work would pull the
    // window away from under the handler.
    if (Busy())
        return;
    CDialogBase::OnCancel();
}

void CMainDlg::MakeSignal()
{
    CBusyScope busy(*this);
    // The device must never play a half-made period: its refills wait.
    const std::unique_lock<std::mutex> lock = m_engine.LockSignal();
    if (m_noiseType == kTinnitusFinder)
        m_synth.SynthesizeTone(m_tinnitusFreq);
    else
        m_synth.Synthesize(m_noiseType, m_lowerLimit, m_upperLimit);
}

std::optional<QString> CMainDlg::ChooseFileName()
{
    const std::optional<QString> chosen = CDialogServices::SaveFileDialog().ChooseSaveFile(this, m_fileDialog);
    if (!chosen)
        return std::nullopt;
    // The writer keeps at most 255 bytes of a path; a longer one is refused
    // whole rather than cut into another file's name.
    if (chosen->size() > kMaxFileNameChars || FileSystemName(*chosen).size() > CWaveWriter::kMaxFileNameChars)
    {
        Warn(QStringLiteral("The path of the sound file is too long: at most %1 characters fit.\n\n%2")
                 .arg(kMaxFileNameChars)
                 .arg(*chosen));
        return std::nullopt;
    }
    // The next chooser starts where this one ended.
    m_fileDialog.initialName = *chosen;
    return chosen;
}

void CMainDlg::OnToFile()
{
    UpdateData(true);
    if (!m_synth.m_ready)
    {
        ShowStatus(kGenerating);
        MakeSignal();
        if (m_engine.IsPlaying())
        {
            // The next Play rebuilds the halves for the new signal. A signal
            // of another period length (tone against noise) would be played
            // through the old layout as a mix of old and new: restart now.
            m_engine.MarkSurfChanged();
            if (CSurfShaper::HalfLength(m_noiseType) != CSurfShaper::HalfLength(m_engine.PlayedType()))
            {
                m_controlsJustRead = true;
                m_engine.OnPlay();
                m_controlsJustRead = false;
            }
        }
    }
    m_playedType = m_noiseType;

    while (m_fileName.isEmpty())
    {
        const std::optional<QString> chosen = ChooseFileName();
        if (!chosen)
        {
            // "generating noise signal" would stay on show although nothing is being made.
            ShowStatus(m_engine.IsPlaying() ? kPlaying : kNothingToDo);
            return;
        }
        m_fileName = *chosen;
        SetDlgItemText(IDC_FILE_NAME, m_fileName);
    }
    if (!m_writer.SetFileName(FileSystemName(m_fileName)))
    {
        Warn(QStringLiteral("The path of the sound file is too long: at most %1 characters fit.\n\n%2")
                 .arg(kMaxFileNameChars)
                 .arg(m_fileName));
        ShowStatus(m_engine.IsPlaying() ? kPlaying : kNothingToDo);
        return;
    }

    ShowStatus(kWriting);
    const uint32_t blockLength = m_noiseType == kTinnitusFinder ? CNoiseSynth::kToneSamples
                                                                 : static_cast<uint32_t>(m_synth.m_size);
    // A validation failure ahead of the picker can leave an invalid time from
    // a damaged setting: the picker's time is what the user sees.
    if (m_playTime.GetHour() < 0 || m_playTime.GetMinute() < 0 || m_playTime.GetSecond() < 0)
    {
        const QTime shown = GetDlgItemAs<QTimeEdit>(IDC_PLAY_TIME)->time();
        m_playTime.SetDateTime(1899, 12, 30, shown.hour(), shown.minute(), shown.second());
    }
    {
        CBusyScope busy(*this);
        m_writer.Write(m_playTime.TotalSeconds(), m_surfStrength, m_surfPeriod, m_fadeIn, m_fadeOut, blockLength);
    }
    ShowStatus(m_engine.IsPlaying() ? kPlaying : kNothingToDo);
}

void CMainDlg::OnBrowse()
{
    UpdateData(true);
    if (!m_fileName.isEmpty())
        m_fileDialog.initialName = m_fileName;
    const std::optional<QString> chosen = ChooseFileName();
    if (!chosen)
        return;
    m_fileName = *chosen;
    // Only the name is shown: writing every member back would overwrite
    // values typed into other controls that the read above refused.
    SetDlgItemText(IDC_FILE_NAME, m_fileName);
}

void CMainDlg::ApplyNoiseSetting()
{
    const int entry = m_noiseSettingCombo->GetCurSel();
    if (entry >= 0)
    {
        const std::string name = m_noiseSettingCombo->GetLBText(entry).toStdString();
        const int slot = m_settings.m_noiseSettings.FindByName(name);
        if (slot >= 0)
        {
            const NoiseSetting& setting = m_settings.m_noiseSettings.m_slots[slot];
            m_noiseType = setting.noiseType;
            m_tinnitusFreq = setting.tinnitusFrequency;
            m_lowerLimit = setting.lowerLimit;
            m_upperLimit = setting.upperLimit;
            m_surfStrength = setting.surfStrength;
            m_surfPeriod = setting.surfPeriod;
        }
    }
    m_freqSlider->SetPos(FreqToSliderPos(m_tinnitusFreq), true);
    UpdateData(false);
    UpdateData(true);
    if (m_initDone && (m_noiseType != m_playedType || !m_synth.m_ready))
    {
        m_synth.m_ready = false;
        m_generatorProgress->SetPos(0);
    }
    if (m_engine.IsPlaying())
        OnPlay();
}

void CMainDlg::ApplyFileSetting()
{
    const int entry = m_fileSettingCombo->GetCurSel();
    if (entry >= 0)
    {
        const std::string name = m_fileSettingCombo->GetLBText(entry).toStdString();
        const int slot = m_settings.m_fileSettings.FindByName(name);
        if (slot >= 0)
        {
            const FileSetting& setting = m_settings.m_fileSettings.m_slots[slot];
            m_fadeIn = setting.fadeIn;
            m_fadeOut = setting.fadeOut;
            m_playTime.SetDateTime(1899, 12, 30, setting.hours, setting.minutes, setting.seconds);
            m_fileName = QString::fromStdString(std::string(FieldText(setting.fileName)));
        }
    }
    UpdateData(false);
}

void CMainDlg::OnSaveNoiseSetting()
{
    UpdateData(true);
    m_saveSetDlg.ShowForKind(SettingsKind::Noise);
}

void CMainDlg::OnSaveFileSetting()
{
    UpdateData(true);
    m_saveSetDlg.ShowForKind(SettingsKind::File);
}

CComboCtrl& CMainDlg::SettingCombo(SettingsKind kind)
{
    return kind == SettingsKind::Noise ? *m_noiseSettingCombo : *m_fileSettingCombo;
}

void CMainDlg::FillSlotFromMembers(SettingsKind kind, int slot)
{
    if (slot < 0 || slot >= kSettingSlots)
        return;
    if (kind == SettingsKind::Noise)
    {
        NoiseSetting& setting = m_settings.m_noiseSettings.m_slots[slot];
        setting.noiseType = static_cast<std::int8_t>(m_noiseType & 0xFF);
        setting.tinnitusFrequency = m_tinnitusFreq;
        setting.lowerLimit = m_lowerLimit;
        setting.upperLimit = m_upperLimit;
        setting.surfStrength = m_surfStrength;
        setting.surfPeriod = m_surfPeriod;
        return;
    }
    FileSetting& setting = m_settings.m_fileSettings.m_slots[slot];
    setting.fadeIn = TruncToInt(m_fadeIn);
    setting.fadeOut = TruncToInt(m_fadeOut);
    StoreFileName(setting.fileName, m_fileName.toStdString());
    setting.hours = m_playTime.GetHour();
    setting.minutes = m_playTime.GetMinute();
    setting.seconds = m_playTime.GetSecond();
}
