// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's playback: the device list, Play and Stop, the volume and
// the changes that make the signal anew.
#include "app/main_dlg.h"

#include "base/random_seed.h"

#include "ui/controls/combo_ctrl.h"
#include "ui/controls/progress_ctrl.h"
#include "ui/controls/slider_ctrl.h"

#include <QApplication>

#include <algorithm>
#include <string>
#include <utility>

void CMainDlg::FillDevices()
{
    m_engine.InitDevices();
    FillDeviceCombo();
    m_volume = m_engine.Volume();
}

void CMainDlg::OnSoundReady()
{
    m_soundReady = true;
    // While the window builds, or a message box or a file holds it, the
    // next device check starts the sound instead.
    const QWidget* modal = QApplication::activeModalWidget();
    if (m_windowUp && !Busy() && (modal == nullptr || modal == this))
        StartSound();
}

void CMainDlg::StartSound()
{
    if (std::exchange(m_soundStarted, true))
        return;
    // The volume may have been moved while the devices were being looked for.
    const int shown = m_volumeSlider->GetPos();
    FillDevices();
    m_volume = shown;
    m_engine.SetVolume(m_volume);
}

void CMainDlg::FillDeviceCombo()
{
    m_deviceCombo->ResetContent();
    for (const std::string& name : m_engine.DeviceNames())
        m_deviceCombo->AddString(QString::fromStdString(name));
    m_deviceCombo->SetCurSel(m_engine.SelectedEntry());
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
    params.glide = m_glide;
    params.fadeInSamples = static_cast<int64_t>(m_playFadeInSeconds) * 44100;
    params.notch = m_notch;
    params.notchWidthOctaves = m_notchWidthOctaves;
    params.endless = m_endless && !IsTone(m_noiseType);
    params.stereo = m_stereo;
    // Each run of endless noise is one of its own.
    params.seed = DrawRandomSeed();
    return params;
}

void CMainDlg::OnPlay()
{
    if (!UpdateData(true))
        return;
    StartSound();
    if (!ApplyHearingShape())
        return;
    CBusyScope busy(*this);
    m_controlsJustRead = true;
    // Before Play: a run it starts falls from its first halves on.
    ArmSleepEnd();
    m_engine.OnPlay();
    m_controlsJustRead = false;
    if (m_engine.IsPlaying())
    {
        m_generatedType = m_engine.PlayedType();
        m_generatedNotch = CurrentNotch();
        SavePreferences();
    }
    // Play starts the sleep timer again, whether or not the sound restarted.
    StartSleepTimer();
    KeepAwakeWhilePlaying();
}

void CMainDlg::OnStop()
{
    CancelSleepTimer();
    m_engine.OnStop();
    KeepAwakeWhilePlaying();
}

void CMainDlg::OnSelchangeSoundDevice()
{
    // The change is refused with the value: the list shows the device
    // that is still open.
    if (!UpdateData(true))
    {
        m_deviceCombo->SetCurSel(m_engine.SelectedEntry());
        return;
    }
    m_controlsJustRead = true;
    m_engine.OnSelchangeSoundDevice(m_deviceCombo->GetCurSel());
    m_controlsJustRead = false;
}

void CMainDlg::OnCustomdrawVolume()
{
    // Runs on every paint of the slider: it must never raise a message box,
    // and nothing here may reach the engine while a signal is being made.
    if (Busy() || !m_initDone)
        return;
    UpdateDataQuietly();
    if (m_engine.Volume() != m_volume)
        emit PlayerStateChanged();
    m_engine.SetVolume(m_volume);
    // The surf edits are heard at once, without pressing Play.
    m_engine.SetSurf(m_surfStrength, m_surfPeriod);
}

void CMainDlg::OnCheckDevice()
{
    if (Busy())
        return;
    if (!m_soundStarted)
    {
        if (m_soundReady)
            OnSoundReady();
        return;
    }
    if (m_engine.OnCheckDevice())
    {
        // At night nobody reads a message box: the status line says it.
        if (m_sleepRunning)
        {
            CancelSleepTimer();
            ShowStatus(tr("sound device lost: sleep timer stopped"));
        }
    }
    else if (m_engine.OnCheckEnded())
    {
        OnSleepTimerEnded();
    }
    // Whatever ended playback (the timer, a lost device), suspend may come again.
    KeepAwakeWhilePlaying();
    if (m_leaveWhenIdle)
        LeaveQuietly();
    if (m_engine.RefreshDevices())
        FillDeviceCombo();
}

void CMainDlg::OnChangeLimit()
{
    m_synth.m_ready = false;
    if (m_generatorProgress != nullptr)
        m_generatorProgress->SetPos(0);
}

void CMainDlg::OnNoiseType()
{
    UpdateEndlessEnabled();
    // The radios come last in the exchange: after a refusal the type was not
    // read, so the signal counts as stale whatever it is.
    if (!UpdateData(true))
    {
        m_synth.m_ready = false;
        if (m_initDone)
            m_generatorProgress->SetPos(0);
        return;
    }
    ShowNotch();
    if (m_noiseType == m_generatedType && m_synth.m_ready)
        return;
    if (m_initDone)
    {
        m_synth.m_ready = false;
        m_generatorProgress->SetPos(0);
    }
}

void CMainDlg::OnChangeSurf()
{
    m_engine.MarkSurfChanged();
}
