// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/dialog/dialog_base.h"
#include "settings/settings_kind.h"

#include <QString>

class CComboCtrl;
class ISaveSetHost;

// The Manage Settings window: stores the main window's current values under
// a new name, and deletes settings, in the list of one kind at a time.
//
// Modeless and hidden between uses: the main window constructs it, calls
// Create() once while it initialises, and for each "Save Setting" button
// calls ShowForKind. "Save" stores and hides, "Finished" and Enter read the
// controls and hide, Escape and the close box hide. The window and its
// members live on, so the name field keeps its text from one showing to the
// next unless the kind changes.
//
// Changes go to the host's tables and to both lists at once; nothing is
// written to disk here. Entries of both lists carry their slot as item data
// (Qt::UserRole), see ISaveSetHost. The host must outlive the dialog.
// User-interface thread only.
class CDlgSaveSet : public CDialogBase
{
    Q_OBJECT
public:
    CDlgSaveSet(ISaveSetHost& host, QWidget* parent);

    // Which list the next showing works on; takes effect at the next
    // activation.
    void SetKind(SettingsKind kind);
    SettingsKind Kind() const { return m_kind; }

    // Sets the kind, shows the window in its normal size and activates it.
    // The list is refreshed at once, whether or not the window system
    // delivers the activation.
    void ShowForKind(SettingsKind kind);

    // The handlers of the window's events and buttons.
    // Every activation and deactivation: the list is copied afresh from the
    // main window's list of the kind and its first entry selected; a change
    // of kind since the last activation empties the name field.
    void OnActivate();
    // Stores the name field's text in the lowest free user slot with the
    // main window's values, lists it in both lists, selects it in the main
    // window's list (without applying it) and hides. An empty name, or a
    // table without a free user slot, is refused with a warning and nothing
    // changes.
    void OnSave();
    // Frees the slot of the chosen entry and removes exactly that setting's
    // entries from both lists. The main list falls back to its first entry
    // when its selected entry went. Nothing happens when no entry is chosen.
    void OnDelete();

    // The warnings OnSave shows, caption "Warning".
    static QString EmptyNameMessage();
    static QString NoRoomMessage(SettingsKind kind);

protected:
    void DoDataExchange(CDataExchange& dx) override;
    bool OnInitDialog() override;
    bool event(QEvent* event) override;

private:
    CComboCtrl& MainCombo() const;
    // The position of the entry the combo's field shows, -1 if none.
    int ChosenEntry() const;

    ISaveSetHost& m_host;
    QString m_name;
    CComboCtrl* m_existingNames = nullptr;
    SettingsKind m_kind = SettingsKind::Noise;
    // 255 until the first activation, so that it always counts as a change.
    unsigned char m_previousKind = 255;
};
