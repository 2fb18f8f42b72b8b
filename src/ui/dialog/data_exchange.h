// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class CDateTimeValue;
class CDialogBase;
class QWidget;

// One pass of data exchange between a dialog's controls and its members,
// made by CDialogBase::UpdateData and handed to DoDataExchange, which calls
// the functions below in the order of its exchange table.
//
// Writing (m_saveAndValidate false) puts each member into its control; an
// edit's or label's text is replaced only when it differs, so unchanged
// values raise no change notification. Doubles are written as "%.*g" with
// 15 digits, ints as "%d".
//
// Reading (m_saveAndValidate true) parses and checks each control. The first
// failure shows its message in a message box titled with the application's
// name, gives the control the focus (selecting an edit's text), and makes
// every later call of the pass do nothing. In quiet mode no message is shown,
// the focus stays where it is and the pass goes on with the next control.
// Either way a member whose control fails keeps its previous value.
class CDataExchange
{
public:
    CDataExchange(CDialogBase& dialog, bool saveAndValidate, bool quiet = false);

    bool Failed() const { return m_failed; }

    // Edit text as a double, optionally with an inclusive range check.
    void Text(int id, double& value);
    void Text(int id, double& value, double minimum, double maximum);
    // Edit text as an int; the range is checked on the value as a double.
    void Text(int id, int& value);
    void Text(int id, int& value, double minimum, double maximum);
    // Text of an edit, a label, a button or an editable combo's field;
    // maxChars < 0: no limit.
    void Text(int id, QString& value, int maxChars = -1);
    // Index of the checked radio button in the group that starts with
    // firstId; -1 when none is checked.
    void Radio(int firstId, int& index);
    // Whether a check box is checked.
    void Check(int id, bool& checked);
    // Position of a slider.
    void SliderPos(int id, int& position);
    // Time of day of a time editor. Reading always gives a valid value on day
    // zero; writing shows a valid, convertible value and otherwise leaves the
    // editor as it is.
    void DateTime(int id, CDateTimeValue& value);

    const bool m_saveAndValidate;
    const bool m_quiet;

private:
    QString ControlText(QWidget* control) const;
    void SetControlText(QWidget* control, const QString& text);
    // Shows the message (unless quiet), focuses the control, stops the pass.
    void Fail(QWidget* control, const QString& message);
    bool ReadDouble(QWidget* control, double& value, const QString& notANumberMessage);

    CDialogBase& m_dialog;
    bool m_failed = false;
};

// The validation messages.
QString NotANumberMessage();
QString NotAnIntegerMessage();
QString RangeMessage(double minimum, double maximum);
QString MaxCharsMessage(int maxChars);
