// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

// The text a control shows: an edit's text, a label's, a button's caption, a
// group box's title, a combo box's current text. Empty for other widgets.
QString GetWindowText(const QWidget* control);

// Sets that text; an editable combo box takes it as its edit text. Other
// widgets are left alone.
void SetWindowText(QWidget* control, const QString& text);
