// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's notch at the tinnitus frequency and its pitch match.
#include "app/core_text.h"
#include "app/main_dlg.h"

#include "app/pitch_match_dlg.h"
#include "app/resource_ids.h"
#include "ui/controls/combo_ctrl.h"
#include "ui/controls/progress_ctrl.h"
#include "ui/controls/slider_ctrl.h"

#include <QCheckBox>
#include <QLineEdit>

namespace
{
// The width choices, in the order of the list.
const double kWidths[] = {0.5, 1.0};
} // namespace

NotchBand CMainDlg::CurrentNotch() const
{
    return NotchBand{m_notch && !IsTone(m_noiseType), static_cast<double>(m_tinnitusFreq), m_notchWidthOctaves};
}

void CMainDlg::SetUpNotchControls()
{
    m_notchCheck = GetDlgItemAs<QCheckBox>(IDC_NOTCH);
    m_notchWidthCombo = GetDlgItemAs<CComboCtrl>(IDC_NOTCH_WIDTH);
    m_notchWidthCombo->AddString(tr("\u00bd octave"));
    m_notchWidthCombo->AddString(tr("1 octave"));
    connect(m_notchCheck, &QAbstractButton::clicked, this, [this] { OnNotch(); });
    connect(m_notchWidthCombo, &CComboCtrl::SelChange, this, [this] { OnNotchWidth(); });
    connect(GetDlgItemAs<QAbstractButton>(IDC_MATCH), &QAbstractButton::clicked, this, [this] { OnMatch(); });
    ShowNotch();
}

void CMainDlg::ShowNotch()
{
    if (m_notchCheck == nullptr)
        return;
    m_notchCheck->setChecked(m_notch);
    m_notchWidthCombo->SetCurSel(m_notchWidthOctaves == kWidths[0] ? 0 : 1);
    const bool noise = !IsTone(m_noiseType);
    m_notchCheck->setEnabled(noise);
    m_notchWidthCombo->setEnabled(noise);
    GetDlgItem(IDC_NOTCH_WIDTH_LABEL)->setEnabled(noise);
}

void CMainDlg::MarkNotchStale()
{
    if (!m_initDone || !m_synth.m_ready || SameNotch(CurrentNotch(), m_generatedNotch))
        return;
    m_synth.m_ready = false;
    m_generatorProgress->SetPos(0);
}

void CMainDlg::OnNotch()
{
    m_notch = m_notchCheck->isChecked();
    MarkNotchStale();
}

void CMainDlg::OnNotchWidth()
{
    const int entry = m_notchWidthCombo->GetCurSel();
    m_notchWidthOctaves = entry == 0 ? kWidths[0] : kWidths[1];
    MarkNotchStale();
}

void CMainDlg::ApplyMatchedFrequency(int frequency)
{
    // The edit's handler moves the slider and the up-down with it.
    GetDlgItemAs<QLineEdit>(IDC_TINNITUS_FREQ)->setText(QString::number(frequency));
}

void CMainDlg::OnMatch()
{
    if (Busy())
        return;
    StartSound();
    CPitchMatchDlg dialog(m_engine, m_volume, this);
    // While the dialog runs, the window's paints must not put its own volume
    // back over the one chosen for the tones; no busy cursor, though.
    ++m_busy;
    m_matchDialog = &dialog;
    ShowStatus(tr("matching pitch"));
    dialog.exec();
    m_matchDialog = nullptr;
    --m_busy;
    ShowStatus(CCoreText::Translate(m_engine.IsPlaying() ? "playing" : "nothing to do"));
    // The noise stopped for the tones: a running sleep timer has nothing left to end.
    if (!m_engine.IsPlaying())
        CancelSleepTimer();
    switch (dialog.GetOutcome())
    {
        case CPitchMatchDlg::Outcome::Cancelled:
            return;
        case CPitchMatchDlg::Outcome::Use:
            ApplyMatchedFrequency(dialog.Result());
            return;
        case CPitchMatchDlg::Outcome::SaveAsSetting:
            ApplyMatchedFrequency(dialog.Result());
            OnSaveNoiseSetting();
            return;
    }
}
