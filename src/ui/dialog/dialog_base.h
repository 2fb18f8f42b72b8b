// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/dialog/dialog_template.h"
#include "ui/dialog/dialog_units.h"

#include <QDialog>
#include <QHash>
#include <QList>

class CDataExchange;

// End codes of a dialog run, also the ids of its OK and Cancel buttons.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

class QAbstractButton;
class QScrollArea;

// A dialog built from a template (dialog_template.h): its controls are
// created in template order, which is also the tab order, and placed by
// converting dialog units with the metrics of the dialog's font, again
// whenever that font changes.
//
// Modal use: DoModal creates the controls afresh, runs OnInitDialog, then
// blocks until EndDialog and returns its code; the owner window is disabled
// meanwhile. Modeless use: Create makes the controls and runs OnInitDialog
// once, hidden; ShowWindow shows or hides it; EndDialog only hides it, and
// the window and its controls live on.
//
// Texts: the template's title, captions and names pass through the
// application's translators in the context "CDialogTemplate".
//
// Names: a label or frame names the control its template item is "for" (a
// label is also its buddy), and an item's "name" names a control that shows
// no caption; screen readers read these names.
//
// Room: the controls sit on a page inside a scroll area. When the page fits
// the screen's free area, the window takes the page's size and shows no
// scroll bar; when it does not, the window shrinks to the screen, may be
// resized up to the page's size, scrolls, and brings each control that takes
// the focus into view.
//
// A template with the "center" style puts a window without a parent in the
// middle of its screen the first time it is shown; a dialog with a parent
// opens over its parent.
//
// Keys: Enter on a push button presses that button; elsewhere it presses the
// default push button, or runs OnOK when there is none. Escape and the close
// box run OnCancel.
//
// User-interface thread only.
class CDialogBase : public QDialog
{
    Q_OBJECT
public:
    // templatePath names the template, usually in the program's resources
    // (":/..."); a missing or bad template gives an empty window.
    explicit CDialogBase(const QString& templatePath, QWidget* parent = nullptr);
    ~CDialogBase() override;

    int DoModal();
    bool Create();
    void ShowWindow(bool show);
    void EndDialog(int result);

    // Exchanges all controls with their members through DoDataExchange:
    // true reads and validates (the first failure is reported and stops the
    // pass), false writes. Returns false when a control failed.
    bool UpdateData(bool saveAndValidate = true);
    // Reads all controls without any message box or focus change; controls
    // that fail leave their members as they were. For paths that must never
    // show a window, such as painting. Returns false when a control failed.
    bool UpdateDataQuietly();

    // The control with template id, nullptr if there is none. Pointers are
    // valid from OnInitDialog on, until the next DoModal recreates them.
    QWidget* GetDlgItem(int id) const;
    template <typename T>
    T* GetDlgItemAs(int id) const
    {
        return qobject_cast<T*>(GetDlgItem(id));
    }
    QString GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const QString& text);

    // The radio buttons of the group that starts with firstId, in template
    // order; CheckRadio checks the index-th of them (-1: none).
    QList<QAbstractButton*> RadioGroup(int firstId) const;
    void CheckRadio(int firstId, int index);

    // Controls in creation order, and the labels and frames without an id.
    const QList<QWidget*>& Controls() const { return m_controls; }
    const CDialogTemplate& Template() const { return m_template; }
    CDialogUnits Units() const;

    // OK and Cancel as Qt's own buttons and keys call them.
    void accept() override;
    void reject() override;

    // The code EndDialog was last given.
    int EndCode() const { return m_endCode; }

protected:
    // The exchange table: one CDataExchange call per bound member, in order.
    virtual void DoDataExchange(CDataExchange& dx);
    // Runs after the controls are created. The default writes the members
    // into the controls. Returning true gives the focus to the first control
    // in tab order.
    virtual bool OnInitDialog();
    // Default OK: read and validate all controls, end with IDOK when valid.
    virtual void OnOK();
    // Default Cancel: end with IDCANCEL without reading anything.
    virtual void OnCancel();

    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void CreateControls();
    void DestroyControls();
    QWidget* CreateControl(const DialogItemTemplate& item, QWidget* previous);
    void LayoutControls();
    void NameControls();
    void FitToScreen();
    void FocusFirstTabStop();
    bool Exchange(bool saveAndValidate, bool quiet);

    CDialogTemplate m_template;
    QScrollArea* m_scroll;
    QWidget* m_page;            // the controls' parent, the scroll area's content
    QList<QWidget*> m_controls; // parallel to m_template.m_items
    QHash<int, QWidget*> m_byId;
    QHash<int, QList<QAbstractButton*>> m_radioGroups; // by the group's first id
    bool m_created = false;
    bool m_placed = false;
    bool m_ended = false;
    int m_endCode = 0;
};
