// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/painting_progress.h"

#include "ui/controls/progress_ctrl.h"

#include <QCoreApplication>
#include <QEventLoop>

void CPaintingProgress::SetPos(int position)
{
    if (m_bar != nullptr)
        m_bar->SetPos(position);
    // Exposures and repaints only: input stays queued, so no handler can run
    // in the middle of the work.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
