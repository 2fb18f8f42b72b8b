// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/time_edit.h"

#include "ui/dialog/data_exchange.h"
#include "ui/services/dialog_services.h"
#include "ui/services/message_box.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

CTimeEdit::CTimeEdit(QWidget* parent) : QTimeEdit(parent)
{
    lineEdit()->installEventFilter(this);
}

QDateTimeEdit::Section CTimeEdit::SectionAt(int position) const
{
    const QString text = lineEdit()->text();
    const int firstColon = text.indexOf(QLatin1Char(':'));
    const int secondColon = text.indexOf(QLatin1Char(':'), firstColon + 1);
    if (firstColon < 0 || position <= firstColon)
        return HourSection;
    if (secondColon < 0 || position <= secondColon)
        return MinuteSection;
    return SecondSection;
}

bool CTimeEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && !lineEdit()->hasSelectedText())
    {
        // A click leaves the cursor amid the digits, where typing would mix
        // old and new ones: the section clicked is typed over whole.
        setSelectedSection(SectionAt(lineEdit()->cursorPosition()));
    }
    return QTimeEdit::eventFilter(watched, event);
}

void CTimeEdit::keyPressEvent(QKeyEvent* event)
{
    const QString typed = event->text();
    if (typed.size() != 1 || !typed[0].isDigit() || (event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)))
    {
        QTimeEdit::keyPressEvent(event);
        return;
    }
    // The digits the section would hold: the typed one alone over a
    // selection, else after those already typed before the cursor.
    QLineEdit* edit = lineEdit();
    const int cursor = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    const Section section = SectionAt(cursor);
    QString digits = typed;
    if (!edit->hasSelectedText())
    {
        const QString text = edit->text();
        int start = cursor;
        while (start > 0 && text[start - 1].isDigit())
            --start;
        digits = text.mid(start, cursor - start) + typed;
    }
    const int maximum = section == HourSection ? 23 : 59;
    if (digits.size() <= 2 && digits.toInt() > maximum)
    {
        event->accept();
        CDialogServices::MessageBox().Show(this, RangeMessage(0, maximum), CDialogServices::ApplicationName(),
                                           MessageIcon::Exclamation);
        setFocus(Qt::OtherFocusReason);
        setSelectedSection(section);
        return;
    }
    QTimeEdit::keyPressEvent(event);
}
