// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

// What the Save As chooser offers.
struct SaveFileOptions
{
    QString filterName = QStringLiteral("Microsoft wave format (*.wav)");
    QString filterPattern = QStringLiteral("*.wav");
    // Further types offered after the first, each as "Name (*.ext)". A name
    // typed without a suffix gets the chosen type's.
    QStringList moreFilters;
    QString defaultSuffix = QStringLiteral("wav");
    QString initialName = QStringLiteral("noise.wav");
    QString initialFolder; // empty: the chooser's own choice
    bool confirmOverwrite = true;
};

// Asks the user for the path of a file to write. Returns the full path, or
// nullopt when the user cancels. Behind an interface so that tests can script
// the answer instead of blocking on a window.
class ISaveFileDialog
{
public:
    virtual ~ISaveFileDialog() = default;
    virtual std::optional<QString> ChooseSaveFile(QWidget* owner, const SaveFileOptions& options) = 0;
};

// The real chooser, on QFileDialog in save mode.
class CQtSaveFileDialog : public ISaveFileDialog
{
public:
    std::optional<QString> ChooseSaveFile(QWidget* owner, const SaveFileOptions& options) override;
};
