// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/time_edit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRegularExpression>

namespace
{

// hh:mm:ss with one or two digits a section, as typing leaves it.
const QRegularExpression& SectionsPattern()
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d{1,2}):(\\d{1,2}):(\\d{1,2})\\s*$"));
    return pattern;
}

} // namespace

CTimeEdit::CTimeEdit(QWidget* parent)
    : QTimeEdit(parent)
{
    lineEdit()->installEventFilter(this);
}

std::optional<CTimeEdit::RangeError> CTimeEdit::FirstOutOfRange(const QString& text)
{
    const QRegularExpressionMatch match = SectionsPattern().match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const RangeError ranges[] = {{HourSection, 0, 23}, {MinuteSection, 0, 59}, {SecondSection, 0, 59}};
    for (int i = 0; i < 3; ++i)
    {
        const int value = match.captured(i + 1).toInt();
        if (value < ranges[i].minimum || value > ranges[i].maximum)
            return ranges[i];
    }
    return std::nullopt;
}

std::optional<CTimeEdit::RangeError> CTimeEdit::OutOfRange() const
{
    return FirstOutOfRange(lineEdit()->text());
}

QValidator::State CTimeEdit::validate(QString& input, int& pos) const
{
    const QValidator::State state = QTimeEdit::validate(input, pos);
    // Refusing the keystroke would keep only the digits before it ("2" of a
    // typed "24"), which later reads as another time.
    if (state == QValidator::Invalid && FirstOutOfRange(input))
        return QValidator::Intermediate;
    return state;
}

bool CTimeEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && !lineEdit()->hasSelectedText())
    {
        // A click leaves the cursor amid the digits, where typing would mix
        // old and new ones: the section clicked is typed over whole.
        const QString text = lineEdit()->text();
        const int position = lineEdit()->cursorPosition();
        const int firstColon = text.indexOf(QLatin1Char(':'));
        const int secondColon = text.indexOf(QLatin1Char(':'), firstColon + 1);
        Section section = SecondSection;
        if (firstColon < 0 || position <= firstColon)
            section = HourSection;
        else if (secondColon < 0 || position <= secondColon)
            section = MinuteSection;
        setSelectedSection(section);
    }
    return QTimeEdit::eventFilter(watched, event);
}

void CTimeEdit::focusOutEvent(QFocusEvent* event)
{
    if (!OutOfRange())
    {
        QTimeEdit::focusOutEvent(event);
        return;
    }
    // The spin box would put its last valid time back: keep what was typed.
    QCoreApplication::sendEvent(lineEdit(), event);
    QWidget::focusOutEvent(event);
}
