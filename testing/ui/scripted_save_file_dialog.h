// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/services/save_file_dialog.h"

#include <QList>

// A Save As chooser for tests: answers from a script (a path, or nullopt
// for Cancel; Cancel once the script runs out) and records what it was
// offered.
class CScriptedSaveFileDialog : public ISaveFileDialog
{
public:
    std::optional<QString> ChooseSaveFile(QWidget*, const SaveFileOptions& options) override
    {
        m_offered.append(options);
        if (m_answers.isEmpty())
            return std::nullopt;
        return m_answers.takeFirst();
    }

    QList<std::optional<QString>> m_answers;
    QList<SaveFileOptions> m_offered;
};
