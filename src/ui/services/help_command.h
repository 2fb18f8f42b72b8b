// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

// Opens the program's help.
class IHelpCommand
{
public:
    virtual ~IHelpCommand() = default;
    virtual void ShowHelp(QWidget* owner) = 0;
};

// Opens the HTML help beside the program (the program file's path with
// ".html" added), or else that of an installed copy (share/<program>/
// <program>.html beside the program's bin/ folder), in the desktop's browser.
// A page in the user's language ("<program>_de.html") comes before the
// English one. Tells the user in a message box when the file is missing or no
// browser takes it.
class CDesktopHelpCommand : public IHelpCommand
{
public:
    void ShowHelp(QWidget* owner) override;

    // The help file's path for the running program; the path beside the
    // program when neither file exists.
    static QString HelpFilePath();
};
