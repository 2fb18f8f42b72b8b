// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's shaping of the noise to the hearing profile, and its
// Hearing Check dialog.
#include "app/core_text.h"
#include "app/main_dlg.h"

#include "app/hearing_check_dlg.h"
#include "app/hearing_profile_message.h"
#include "app/resource_ids.h"
#include "settings/hearing_profile_file.h"
#include "ui/controls/progress_ctrl.h"

#include <QCheckBox>

#include <algorithm>

namespace
{

bool SameTilt(const SpectrumTilt& a, const SpectrumTilt& b)
{
    return a.count == b.count && std::equal(a.hz.begin(), a.hz.begin() + a.count, b.hz.begin())
           && std::equal(a.db.begin(), a.db.begin() + a.count, b.db.begin());
}

} // namespace

void CMainDlg::SetUpHearingControls()
{
    m_hearingShapedCheck = GetDlgItemAs<QCheckBox>(IDC_HEARING_SHAPED);
    connect(m_hearingShapedCheck, &QAbstractButton::clicked, this, [this] { OnHearingShaped(); });
    connect(GetDlgItemAs<QAbstractButton>(IDC_HEARING_CHECK), &QAbstractButton::clicked, this,
            [this] { OnHearingCheck(); });
    ShowHearingHint();
}

void CMainDlg::ShowHearingHint()
{
    if (m_hearingShapedCheck == nullptr)
        return;
    const HearingProfileLoad load = LoadHearingProfile(m_settings.m_folder);
    QString hint;
    switch (load.state)
    {
        case HearingProfileLoad::State::Missing:
            hint = tr("No hearing profile yet: Hearing Check makes one. Until then the noise plays unshaped.");
            break;
        case HearingProfileLoad::State::Loaded:
            hint = tr("Shapes the noise to the hearing profile of %1, made on %2.")
                       .arg(QString::fromStdString(load.profile.date), QString::fromStdString(load.profile.device));
            break;
        case HearingProfileLoad::State::Damaged:
        case HearingProfileLoad::State::Unreadable:
            hint = HearingProfileMessage(load, m_settings.m_folder);
            break;
    }
    m_hearingShapedCheck->setToolTip(hint);
    m_hearingShapedCheck->setAccessibleDescription(hint);
}

std::optional<CMainDlg::EarTilts> CMainDlg::HearingShape()
{
    if (!m_hearingShaped || IsTone(m_noiseType))
        return EarTilts{};
    const HearingProfileLoad load = LoadHearingProfile(m_settings.m_folder);
    switch (load.state)
    {
        case HearingProfileLoad::State::Missing:
            return EarTilts{};
        case HearingProfileLoad::State::Loaded:
            // One channel: the shape of both ears together; stereo: each
            // ear its own.
            if (m_stereo.on)
                return EarTilts{HearingTilt(load.profile, HearingEar::Left),
                                HearingTilt(load.profile, HearingEar::Right)};
            return EarTilts{HearingTilt(load.profile, HearingEar::Both), SpectrumTilt{}};
        case HearingProfileLoad::State::Damaged:
        case HearingProfileLoad::State::Unreadable:
            break;
    }
    Warn(HearingProfileMessage(load, m_settings.m_folder));
    return std::nullopt;
}

bool CMainDlg::ApplyHearingShape()
{
    const std::optional<EarTilts> tilts = HearingShape();
    if (!tilts)
        return false;
    const auto& [left, right] = *tilts;
    if (!SameTilt(left, m_synth.m_tilt))
    {
        m_synth.m_ready = false;
        m_generatorProgress->SetPos(0);
        m_engine.MarkSurfChanged();
    }
    // The engine remakes the right ear only for changes it can see.
    if (!SameTilt(right, m_rightSynth.m_tilt))
    {
        m_rightSynth.m_ready = false;
        m_engine.MarkSurfChanged();
    }
    m_synth.m_tilt = left;
    m_rightSynth.m_tilt = right;
    m_engine.SetEndlessTilts(left, right);
    return true;
}

void CMainDlg::OnHearingShaped()
{
    m_hearingShaped = m_hearingShapedCheck->isChecked();
    ShowHearingHint();
    // A playing noise takes the new shape at once, as Endless does.
    if (m_engine.IsPlaying())
        OnPlay();
}

void CMainDlg::OnHearingCheck()
{
    if (Busy())
        return;
    StartSound();
    CHearingCheckDlg dialog(m_engine, m_settings.m_folder, m_volume, this);
    // While the dialog runs, the window's paints must not put its own volume
    // back over the check's; no busy cursor, though.
    ++m_busy;
    m_hearingDialog = &dialog;
    ShowStatus(tr("checking hearing"));
    dialog.exec();
    m_hearingDialog = nullptr;
    --m_busy;
    ShowStatus(CCoreText::Translate(m_engine.IsPlaying() ? "playing" : "nothing to do"));
    // The noise stopped for the tones: a running sleep timer has nothing left to end.
    if (!m_engine.IsPlaying())
        CancelSleepTimer();
    ShowHearingHint();
}
