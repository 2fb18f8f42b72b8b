// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/progress_sink.h"

class CProgressCtrl;

// A progress sink for long work on the user-interface thread (making the
// signal, writing a file): moves its bar, then lets the window repaint
// itself without taking any input, so it stays painted while it works.
// Clicks and keys made meanwhile wait until the work is done.
class CPaintingProgress : public IProgressSink
{
public:
    void SetBar(CProgressCtrl* bar) { m_bar = bar; }
    void SetPos(int position) override;

private:
    CProgressCtrl* m_bar = nullptr;
};
