// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's setting lists: filling them, applying an entry, saving
// the current values into a slot and the files on Exit.
#include "app/io_result_message.h"
#include "app/main_dlg.h"

#include "app/core_text.h"
#include "settings/noise_extras.h"

#include "settings/noise_extras.h"
#include "settings/setting_list.h"
#include "settings/setting_text.h"
#include "synth/rounding.h"
#include "ui/controls/combo_ctrl.h"
#include "ui/controls/progress_ctrl.h"
#include "ui/controls/slider_ctrl.h"

#include <string>

void CMainDlg::FillSettingCombos()
{
    // Lists the occupied slots from..to-1; each entry carries its slot.
    const auto list = [](const auto& table, CComboCtrl* combo, int from, int to) {
        for (int slot = from; slot < to; ++slot)
        {
            if (!table.IsOccupied(slot))
                continue;
            const int entry =
                combo->AddString(QString::fromStdString(std::string(FieldText(table.m_slots[slot].name))));
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
        if (!load.io)
            Warn(IoResultMessage(load.io));
        else if (!load.problem.empty())
            Warn(CCoreText::Translate(load.problem));
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
            m_noiseType = NoiseTypeOfRecord(setting);
            m_tinnitusFreq = setting.tinnitusFrequency;
            m_lowerLimit = setting.lowerLimit;
            m_upperLimit = setting.upperLimit;
            m_surfStrength = setting.surfStrength;
            m_surfPeriod = setting.surfPeriod;
            const NoiseExtras extras = ReadNoiseExtras(setting);
            m_notch = extras.notch;
            m_notchWidthOctaves = extras.notch ? ValidNotchWidth(extras.notchWidthOctaves) : 1.0;
            m_endless = extras.endless;
            // The engine restarts only for a change it knows of.
            if (extras.stereo != m_stereo)
                m_engine.MarkSurfChanged();
            m_stereo = extras.stereo;
            m_hearingShaped = extras.hearingShaped;
        }
    }
    m_freqSlider->SetPos(FreqToSliderPos(m_tinnitusFreq), true);
    UpdateData(false);
    const bool valid = UpdateData(true);
    ShowNotch();
    UpdateEndlessEnabled();
    ShowStereo();
    if (m_initDone
        && (m_noiseType != m_generatedType || !m_synth.m_ready || !SameNotch(CurrentNotch(), m_generatedNotch)))
    {
        m_synth.m_ready = false;
        m_generatorProgress->SetPos(0);
    }
    // The setting is shown either way; the sound restarts only with every
    // value read.
    if (valid && m_engine.IsPlaying())
        OnPlay();
    emit PlayerStateChanged();
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
    // The window would store the values that the refusal left unread.
    if (!UpdateData(true))
        return;
    m_saveSetDlg.ShowForKind(SettingsKind::Noise);
}

void CMainDlg::OnSaveFileSetting()
{
    // The window would store the values that the refusal left unread.
    if (!UpdateData(true))
        return;
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
        setting.noiseType = RecordTypeOfNoise(m_noiseType);
        setting.tinnitusFrequency = m_tinnitusFreq;
        setting.lowerLimit = m_lowerLimit;
        setting.upperLimit = m_upperLimit;
        setting.surfStrength = m_surfStrength;
        setting.surfPeriod = m_surfPeriod;
        // A fresh block: a freed slot may still hold a deleted setting's options.
        NoiseExtras extras;
        extras.endless = m_endless;
        extras.notch = m_notch && !IsTone(m_noiseType);
        extras.notchWidthOctaves = extras.notch ? m_notchWidthOctaves : 0.0;
        extras.brown = m_noiseType == Brown;
        if (m_stereo.on)
            extras.stereo = m_stereo;
        extras.hearingShaped = m_hearingShaped;
        WriteNoiseExtras(setting, extras);
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

void CMainDlg::SaveSettingsFiles(bool quiet)
{
    for (SettingsKind kind : {SettingsKind::Noise, SettingsKind::File})
    {
        const CComboCtrl& combo = SettingCombo(kind);
        const CIoResult saved = m_settings.SaveSettingsFile(kind, combo.GetCurSel());
        if (!saved && quiet)
            ShowStatus(IoResultMessage(saved));
        else if (!saved)
            Warn(IoResultMessage(saved));
    }
}
