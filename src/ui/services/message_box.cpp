// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/services/message_box.h"

#include "ui/services/dialog_services.h"

#include <QMessageBox>

namespace
{

QMessageBox::Icon ToQtIcon(MessageIcon icon)
{
    switch (icon)
    {
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void CQtMessageBox::Show(QWidget* owner, const QString& text, const QString& caption, MessageIcon icon)
{
    QMessageBox box(ToQtIcon(icon), caption, text, QMessageBox::Ok, owner);
    box.exec();
}

CMessageBoxReporter::CMessageBoxReporter(QWidget* owner, Translator translate) : m_owner(owner), m_translate(translate)
{}

void CMessageBoxReporter::Report(const std::string& caption, const std::string& text, MessageIcon icon)
{
    const auto shown = [this](const std::string& english) {
        return m_translate != nullptr ? m_translate(english) : QString::fromStdString(english);
    };
    CDialogServices::MessageBox().Show(m_owner, shown(text), shown(caption), icon);
}
