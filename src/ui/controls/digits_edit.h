// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>

// A single-line edit that refuses typed characters other than the digits
// 0..9, with a short hint at the edit. Text that is pasted, dropped or set by
// the program is taken as it is.
class CDigitsEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit CDigitsEdit(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    static bool IsRefused(const QString& typed);
    void ShowRefusal();
};
