// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

// One control of a dialog template. Kinds: "pushbutton", "defpushbutton",
// "iconbutton", "radio", "checkbox", "label", "icon", "groupbox", "edit", "combo",
// "updown", "spinbox", "slider", "progress", "timeedit". Style words refine a kind:
// "tabstop", "group" (starts a group of radio buttons), "digits", "right",
// "auto-hscroll", "sorted", "dropdown" (editable) or "dropdown-list",
// "vscroll", "horizontal", "no-ticks", "sel-range", "smooth", "border",
// "buddy-previous", "set-buddy-int", "arrow-keys", "no-thousands",
// "center-image".
//
// A caption may mark its mnemonic with "&". A label or frame names the
// control whose id is in its "for" (a label also becomes its buddy, so the
// mnemonic moves the focus there); a control that shows no caption of its
// own and has no such label carries its accessible name in "name".
struct DialogItemTemplate
{
    int id = -1; // -1: a label or frame without an id
    QString kind;
    QStringList style;
    QString caption;
    QRect rectDlu;     // x, y, width, height in dialog units
    int labelFor = -1; // the control this label or frame names, -1: none
    QString name;      // accessible name of a control without a caption

    bool HasStyle(const QString& word) const { return style.contains(word); }
};

// A dialog template: title, client size in dialog units and the controls in
// creation order, which is also their tab order. The program builds its
// templates in as resources and names them by path.
class CDialogTemplate
{
public:
    // Loads the template at path (a file or a ":/" resource); an empty
    // template (IsEmpty) if there is none.
    static CDialogTemplate Load(const QString& path);

    // Parses a template from its JSON text; an empty template on bad input.
    static CDialogTemplate FromJson(const QByteArray& json);

    bool IsEmpty() const { return m_items.isEmpty() && m_sizeDlu.isEmpty(); }

    int m_id = 0;
    QString m_caption;
    QSize m_sizeDlu;
    QStringList m_style; // "caption", "sysmenu", "minimizebox", "modal", "center", "dialog-frame"
    QList<DialogItemTemplate> m_items;
};
