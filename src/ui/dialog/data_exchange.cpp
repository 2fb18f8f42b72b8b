// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialog/data_exchange.h"

#include "ui/controls/date_time_value.h"
#include "ui/dialog/dialog_base.h"
#include "ui/services/dialog_services.h"
#include "ui/services/message_box.h"
#include "ui/dialog/number_text.h"
#include "ui/dialog/window_text.h"

#include <QCoreApplication>
#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QSlider>
#include <QTimeEdit>

#include <cmath>

QString NotANumberMessage()
{
    return QCoreApplication::translate("CDataExchange", "Please enter a number.");
}

QString NotAnIntegerMessage()
{
    return QCoreApplication::translate("CDataExchange", "Please enter an integer.");
}

QString RangeMessage(double minimum, double maximum)
{
    return QCoreApplication::translate("CDataExchange", "Please enter a number between %1 and %2.")
        .arg(QString::fromStdString(FormatDialogDouble(minimum)), QString::fromStdString(FormatDialogDouble(maximum)));
}

QString MaxCharsMessage(int maxChars)
{
    return QCoreApplication::translate("CDataExchange", "Please enter no more than %1 characters.").arg(maxChars);
}

CDataExchange::CDataExchange(CDialogBase& dialog, bool saveAndValidate, bool quiet)
    : m_saveAndValidate(saveAndValidate), m_quiet(quiet), m_dialog(dialog)
{}

QString CDataExchange::ControlText(QWidget* control) const
{
    return GetWindowText(control);
}

void CDataExchange::SetControlText(QWidget* control, const QString& text)
{
    // Rewriting an unchanged text would raise a change notification.
    if (GetWindowText(control) != text)
        SetWindowText(control, text);
}

void CDataExchange::Fail(QWidget* control, const QString& message)
{
    if (m_quiet)
    {
        m_failed = true;
        return;
    }
    CDialogServices::MessageBox().Show(&m_dialog, message, CDialogServices::ApplicationName(),
                                       MessageIcon::Exclamation);
    if (control != nullptr)
    {
        control->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(control))
            edit->selectAll();
    }
    m_failed = true;
}

bool CDataExchange::ReadDouble(QWidget* control, double& value, const QString& notANumberMessage)
{
    const auto parsed = ParseDialogDouble(ControlText(control).toStdString());
    if (!parsed)
    {
        Fail(control, notANumberMessage);
        return false;
    }
    value = *parsed;
    return true;
}

void CDataExchange::Text(int id, double& value)
{
    Text(id, value, -HUGE_VAL, HUGE_VAL);
}

void CDataExchange::Text(int id, double& value, double minimum, double maximum)
{
    if (m_failed && !m_quiet)
        return;
    QWidget* control = m_dialog.GetDlgItem(id);
    if (!m_saveAndValidate)
    {
        SetControlText(control, QString::fromStdString(FormatDialogDouble(value)));
        return;
    }
    double read = 0.0;
    if (!ReadDouble(control, read, NotANumberMessage()))
        return;
    if (read < minimum || read > maximum)
    {
        Fail(control, RangeMessage(minimum, maximum));
        return;
    }
    value = read;
}

void CDataExchange::Text(int id, int& value)
{
    Text(id, value, -HUGE_VAL, HUGE_VAL);
}

void CDataExchange::Text(int id, int& value, double minimum, double maximum)
{
    if (m_failed && !m_quiet)
        return;
    QWidget* control = m_dialog.GetDlgItem(id);
    if (!m_saveAndValidate)
    {
        SetControlText(control, QString::fromStdString(FormatDialogInt(value)));
        return;
    }
    const auto parsed = ParseDialogInt(ControlText(control).toStdString());
    if (!parsed)
    {
        Fail(control, NotAnIntegerMessage());
        return;
    }
    const double asDouble = *parsed;
    if (asDouble < minimum || asDouble > maximum)
    {
        Fail(control, RangeMessage(minimum, maximum));
        return;
    }
    value = *parsed;
}

void CDataExchange::Text(int id, QString& value, int maxChars)
{
    if (m_failed && !m_quiet)
        return;
    QWidget* control = m_dialog.GetDlgItem(id);
    if (!m_saveAndValidate)
    {
        SetControlText(control, value);
        return;
    }
    const QString read = ControlText(control);
    if (maxChars >= 0 && read.size() > maxChars)
    {
        Fail(control, MaxCharsMessage(maxChars));
        return;
    }
    value = read;
}

void CDataExchange::Radio(int firstId, int& index)
{
    if (m_failed && !m_quiet)
        return;
    const QList<QAbstractButton*> group = m_dialog.RadioGroup(firstId);
    if (m_saveAndValidate)
    {
        index = -1;
        for (int i = 0; i < group.size(); ++i)
        {
            if (group[i]->isChecked())
                index = i;
        }
        return;
    }
    m_dialog.CheckRadio(firstId, index);
}

void CDataExchange::Check(int id, bool& value)
{
    if (m_failed && !m_quiet)
        return;
    auto* box = qobject_cast<QAbstractButton*>(m_dialog.GetDlgItem(id));
    if (box == nullptr)
        return;
    if (m_saveAndValidate)
        value = box->isChecked();
    else if (box->isChecked() != value)
        box->setChecked(value);
}

void CDataExchange::Reject(int id, const QString& message)
{
    if (m_failed && !m_quiet)
        return;
    Fail(m_dialog.GetDlgItem(id), message);
}

void CDataExchange::SliderPos(int id, int& position)
{
    if (m_failed && !m_quiet)
        return;
    auto* slider = qobject_cast<QSlider*>(m_dialog.GetDlgItem(id));
    if (slider == nullptr)
        return;
    if (m_saveAndValidate)
        position = slider->value();
    else
        slider->setValue(position);
}

void CDataExchange::DateTime(int id, CDateTimeValue& value)
{
    if (m_failed && !m_quiet)
        return;
    auto* editor = qobject_cast<QTimeEdit*>(m_dialog.GetDlgItem(id));
    if (editor == nullptr)
        return;
    if (m_saveAndValidate)
    {
        const QTime t = editor->time();
        value.SetDateTime(1899, 12, 30, t.hour(), t.minute(), t.second());
        return;
    }
    const int hour = value.GetHour();
    const int minute = value.GetMinute();
    const int second = value.GetSecond();
    if (hour < 0 || minute < 0 || second < 0)
        return;
    const QTime t(hour, minute, second);
    if (editor->time() != t)
        editor->setTime(t);
}
