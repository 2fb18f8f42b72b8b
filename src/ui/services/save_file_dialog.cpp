// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/services/save_file_dialog.h"

#include <QFileDialog>

std::optional<QString> CQtSaveFileDialog::ChooseSaveFile(QWidget* owner, const SaveFileOptions& options)
{
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The filter's name already shows its pattern, as "Name (*.ext)", which
    // is the form the chooser reads its patterns from.
    QString filter = options.filterName;
    if (!filter.contains(options.filterPattern))
        filter += QStringLiteral(" (%1)").arg(options.filterPattern);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(options.defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.confirmOverwrite);
    if (!options.initialFolder.isEmpty())
        dialog.setDirectory(options.initialFolder);
    dialog.selectFile(options.initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}
