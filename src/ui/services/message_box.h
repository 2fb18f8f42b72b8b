// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/message_reporter.h"

#include <QString>

class QWidget;

// Shows a message box with an OK button and waits until the user closes it.
// The window goes through this interface so that tests can script it.
class IMessageBox
{
public:
    virtual ~IMessageBox() = default;
    virtual void Show(QWidget* owner, const QString& text, const QString& caption, MessageIcon icon) = 0;
};

// The real message box, on QMessageBox.
class CQtMessageBox : public IMessageBox
{
public:
    void Show(QWidget* owner, const QString& text, const QString& caption, MessageIcon icon) override;
};

// Lets the core report warnings through the window's message box, owned by
// the given window. translate, when given, puts the core's caption and text
// into the user's language.
class CMessageBoxReporter : public IMessageReporter
{
public:
    using Translator = QString (*)(const std::string&);
    explicit CMessageBoxReporter(QWidget* owner, Translator translate = nullptr);
    void Report(const std::string& caption, const std::string& text, MessageIcon icon) override;

private:
    QWidget* m_owner;
    Translator m_translate;
};
