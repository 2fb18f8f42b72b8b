#include "app/painting_progress.h"

#include "app/progress_ctrl.h"

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
