// SPDX-License-Identifier: GPL-3.0-or-later
// The main window towards the desktop: brought to the front by a second
// start or the media controls, and what they show of it.
#include "app/main_dlg.h"

#include "app/resource_ids.h"
#include "ui/controls/combo_ctrl.h"
#include "ui/controls/slider_ctrl.h"

#include <QAbstractButton>
#include <QGuiApplication>

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

void CMainDlg::OnKeepAwake()
{
    if (auto* check = GetDlgItemAs<QAbstractButton>(IDC_KEEP_AWAKE))
        m_keepAwake = check->isChecked();
    KeepAwakeWhilePlaying();
}

void CMainDlg::KeepAwakeWhilePlaying()
{
    const bool wanted = m_keepAwake && m_engine.IsPlaying();
    if (wanted == m_inhibitor.Active())
        return;
    if (!wanted)
    {
        m_inhibitor.Release();
        return;
    }
    // The desktop may name the window that keeps it awake; only X11 has a
    // handle that another process can use without exporting it first.
    InhibitRequest request{"org.susurra.Susurra", "Playing noise", {}, 0};
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
    {
        const WId window = winId();
        request.windowHandle = "x11:" + QString::number(window, 16).toStdString();
        request.toplevelXid = static_cast<uint32_t>(window);
    }
    m_inhibitor.Hold(request);
}
