// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/digits_edit.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QToolTip>

CDigitsEdit::CDigitsEdit(QWidget* parent) : QLineEdit(parent) {}

bool CDigitsEdit::IsRefused(const QString& typed)
{
    for (const QChar c : typed)
    {
        // Control characters come with editing shortcuts (Ctrl+V, Backspace)
        // and are not typed text.
        if (c.isPrint() && !(c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            return true;
    }
    return false;
}

void CDigitsEdit::ShowRefusal()
{
    QApplication::beep();
    QToolTip::showText(mapToGlobal(QPoint(0, height())), tr("Only digits can be typed here."), this);
}

void CDigitsEdit::keyPressEvent(QKeyEvent* event)
{
    const bool shortcut = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!shortcut && IsRefused(event->text()))
    {
        event->accept();
        ShowRefusal();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CDigitsEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (IsRefused(event->commitString()))
    {
        event->accept();
        ShowRefusal();
        return;
    }
    QLineEdit::inputMethodEvent(event);
}
