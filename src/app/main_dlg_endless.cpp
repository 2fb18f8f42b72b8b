// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's Endless option: noise that never repeats.
#include "app/main_dlg.h"

#include "app/resource_ids.h"

#include <QAbstractButton>

void CMainDlg::UpdateEndlessEnabled()
{
    // Follows the radios, not m_noiseType: a refused value leaves the type unread.
    const QList<QAbstractButton*> types = RadioGroup(IDC_PHYSIOLOGICAL);
    const bool tone = types.size() > TinnitusFinder && types[TinnitusFinder]->isChecked();
    // Shaping to the hearing profile, too, is for the noises only.
    for (int id : {IDC_ENDLESS, IDC_HEARING_SHAPED})
        if (QWidget* box = GetDlgItem(id))
            box->setEnabled(!tone);
}

void CMainDlg::OnEndless()
{
    if (!m_engine.IsPlaying())
        return;
    // The engine restarts only for a change it knows of.
    m_engine.MarkSurfChanged();
    OnPlay();
}
