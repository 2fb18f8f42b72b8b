// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/progress_sink.h"

#include <QProgressBar>

// A smooth progress bar without text. Positions outside the range are
// clamped. SetPos repaints at once, so the bar advances while a long job
// keeps the user-interface thread busy.
class CProgressCtrl : public QProgressBar, public IProgressSink
{
    Q_OBJECT
public:
    explicit CProgressCtrl(QWidget* parent = nullptr);

    void SetRange(int lower, int upper);
    void SetPos(int position) override;
    int GetPos() const { return value(); }
};
