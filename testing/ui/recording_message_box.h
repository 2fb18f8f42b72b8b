// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/services/message_box.h"

#include <QApplication>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QWidget>

// A message box for tests: records each message instead of showing it, and
// returns at once.
class CRecordingMessageBox : public IMessageBox
{
public:
    struct Message
    {
        QString text;
        QString caption;
        MessageIcon icon = MessageIcon::None;
        QPointer<QWidget> owner;
    };

    void Show(QWidget* owner, const QString& text, const QString& caption, MessageIcon icon) override
    {
        m_messages.append(Message{text, caption, icon, owner});
    }

    // The texts alone, in order.
    QStringList Texts() const
    {
        QStringList texts;
        for (const Message& message : m_messages)
            texts.append(message.text);
        return texts;
    }

    QList<Message> m_messages;
};
