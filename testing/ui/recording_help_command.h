// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/services/help_command.h"

// A help command for tests: counts the requests.
class CRecordingHelpCommand : public IHelpCommand
{
public:
    void ShowHelp(QWidget*) override { ++m_requests; }

    int m_requests = 0;
};
