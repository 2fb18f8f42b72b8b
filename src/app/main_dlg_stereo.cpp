// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's Stereo option: each ear its own noise at its own level,
// and the ear the tone plays in.
#include "app/main_dlg.h"

#include "app/resource_ids.h"
#include "synth/noise_type.h"
#include "ui/controls/combo_ctrl.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>

void CMainDlg::SetUpStereoControls()
{
    m_stereoCheck = GetDlgItemAs<QCheckBox>(IDC_STEREO);
    m_earSpins[0] = GetDlgItemAs<QSpinBox>(IDC_LEFT_EAR);
    m_earSpins[1] = GetDlgItemAs<QSpinBox>(IDC_RIGHT_EAR);
    m_toneEarCombo = GetDlgItemAs<CComboCtrl>(IDC_TONE_EAR);
    for (QSpinBox* spin : m_earSpins)
    {
        // One step below the quietest level is no sound at all.
        spin->setRange(StereoSound::kSilent, StereoSound::kMaxLevelDb);
        spin->setSpecialValueText(tr("Silent"));
        spin->setSuffix(tr(" dB"));
        connect(spin, &QSpinBox::valueChanged, this, [this] { OnStereoLevels(); });
    }
    // Each label beside its box: the room left of it is for longer translations.
    for (int id : {IDC_LEFT_EAR_LABEL, IDC_RIGHT_EAR_LABEL, IDC_TONE_EAR_LABEL})
        GetDlgItemAs<QLabel>(id)->setAlignment(Qt::AlignRight | Qt::AlignTop);
    // In the order of ToneEar.
    m_toneEarCombo->AddString(tr("Both ears"));
    m_toneEarCombo->AddString(tr("Left ear"));
    m_toneEarCombo->AddString(tr("Right ear"));
    connect(m_stereoCheck, &QAbstractButton::clicked, this, [this] { OnStereo(); });
    connect(m_toneEarCombo, &CComboCtrl::SelChange, this, [this] { OnStereoLevels(); });
    for (QAbstractButton* radio : RadioGroup(IDC_PHYSIOLOGICAL))
        connect(radio, &QAbstractButton::toggled, this, [this] { UpdateStereoEnabled(); });
    ShowStereo();
}

void CMainDlg::ShowStereo()
{
    if (m_stereoCheck == nullptr)
        return;
    {
        const QSignalBlocker check(m_stereoCheck);
        const QSignalBlocker left(m_earSpins[0]);
        const QSignalBlocker right(m_earSpins[1]);
        const QSignalBlocker ear(m_toneEarCombo);
        m_stereoCheck->setChecked(m_stereo.on);
        for (int i = 0; i < 2; ++i)
            m_earSpins[i]->setValue(m_stereo.earLevelDb[i]);
        m_toneEarCombo->SetCurSel(static_cast<int>(m_stereo.toneEar));
    }
    UpdateStereoEnabled();
    ShowSpectrum();
}

void CMainDlg::UpdateStereoEnabled()
{
    if (m_stereoCheck == nullptr)
        return;
    // Follows the radios, as Endless does: a refused value leaves the type unread.
    const QList<QAbstractButton*> types = RadioGroup(IDC_PHYSIOLOGICAL);
    const bool tone = types.size() > TinnitusFinder && types[TinnitusFinder]->isChecked();
    const bool stereo = m_stereoCheck->isChecked();
    for (int id : {IDC_LEFT_EAR_LABEL, IDC_LEFT_EAR, IDC_RIGHT_EAR_LABEL, IDC_RIGHT_EAR})
        GetDlgItem(id)->setEnabled(stereo);
    for (int id : {IDC_TONE_EAR_LABEL, IDC_TONE_EAR})
        GetDlgItem(id)->setEnabled(stereo && tone);
}

void CMainDlg::OnStereo()
{
    m_stereo.on = m_stereoCheck->isChecked();
    UpdateStereoEnabled();
    ShowSpectrum();
    if (!m_engine.IsPlaying())
        return;
    // One channel or two: the engine restarts only for a change it knows of.
    m_engine.MarkSurfChanged();
    OnPlay();
}

void CMainDlg::OnStereoLevels()
{
    for (int i = 0; i < 2; ++i)
        m_stereo.earLevelDb[i] = m_earSpins[i]->value();
    const int ear = m_toneEarCombo->GetCurSel();
    m_stereo.toneEar = ear == 1 ? ToneEar::Left : ear == 2 ? ToneEar::Right : ToneEar::Both;
    ShowSpectrum();
    // Heard from the next Play, as a surf field's edit is.
    m_engine.MarkSurfChanged();
}

int CMainDlg::MaxWaveSeconds() const
{
    return Limits::MaxWaveSeconds(m_stereo.on ? 2 : 1);
}
