// SPDX-License-Identifier: GPL-3.0-or-later
// The main window towards the desktop: brought to the front by a second
// start or the media controls, and what they show of it.
#include "app/main_dlg.h"

#include "ui/controls/combo_ctrl.h"
#include "ui/controls/slider_ctrl.h"

#include <algorithm>

void CMainDlg::BringToFront()
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

void CMainDlg::SetVolumeFromDesktop(int position)
{
    m_volumeSlider->SetPos(std::clamp(position, m_volumeSlider->minimum(), m_volumeSlider->maximum()), true);
    m_volume = m_volumeSlider->GetPos();
    m_engine.SetVolume(m_volume);
    emit PlayerStateChanged();
}

QString CMainDlg::NoiseSettingName() const
{
    if (m_noiseSettingCombo == nullptr || m_noiseSettingCombo->GetCurSel() < 0)
        return {};
    return m_noiseSettingCombo->GetLBText(m_noiseSettingCombo->GetCurSel());
}
