// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTimeEdit>

// A time-of-day editor (hh:mm:ss) that takes what the user types:
// - a click in a section selects that section, so typing replaces it;
// - a digit that would take a section out of its range ("24" hours) is
//   refused with the range in a message box, as the dialogs refuse other
//   values, and the section is selected again; it never turns the typed
//   number into another one.
class CTimeEdit : public QTimeEdit
{
    Q_OBJECT
public:
    explicit CTimeEdit(QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The section at a cursor position of the text shown.
    Section SectionAt(int position) const;
};
