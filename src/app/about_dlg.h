// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/dialog/dialog_base.h"

// The About box: the application icon and the version line, with OK. Runs
// modally; the same object can be shown any number of times.
class CAboutDlg : public CDialogBase
{
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

protected:
    bool OnInitDialog() override;
};
