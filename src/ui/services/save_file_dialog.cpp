// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/services/save_file_dialog.h"

#include <QFileDialog>
#include <QRegularExpression>

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
    dialog.setNameFilters(QStringList{filter} + options.moreFilters);
    dialog.setDefaultSuffix(options.defaultSuffix);
    // "Name (*.ext)" -> "ext": the suffix a bare name gets follows the type.
    const auto suffixOf = [](const QString& nameFilter) {
        const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("\\(\\*\\.(\\w+)")).match(nameFilter);
        return match.hasMatch() ? match.captured(1) : QString();
    };
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, suffixOf](const QString& chosen) {
        if (const QString suffix = suffixOf(chosen); !suffix.isEmpty())
            dialog.setDefaultSuffix(suffix);
    });
    // The chooser opens on the type of the name it starts with.
    for (const QString& offered : options.moreFilters)
        if (!suffixOf(offered).isEmpty()
            && options.initialName.endsWith(QLatin1Char('.') + suffixOf(offered), Qt::CaseInsensitive))
        {
            dialog.selectNameFilter(offered);
            dialog.setDefaultSuffix(suffixOf(offered));
        }
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.confirmOverwrite);
    if (!options.initialFolder.isEmpty())
        dialog.setDirectory(options.initialFolder);
    dialog.selectFile(options.initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}
