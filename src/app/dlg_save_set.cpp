// SPDX-License-Identifier: GPL-3.0-or-later
// The settings headers come before any Qt header: Qt defines "slots" as a
// macro, and the settings table uses the word as a name.
#include "settings/settings_store.h"

#include "app/core_text.h"
#include "app/dlg_save_set.h"

#include "ui/controls/combo_ctrl.h"
#include "ui/dialog/data_exchange.h"
#include "ui/services/dialog_services.h"
#include "ui/services/message_box.h"
#include "app/resource_ids.h"
#include "app/save_set_host.h"
#include "app/setting_name_order.h"

#include <QByteArray>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVariant>

#include <string>

namespace
{

std::string ToBytes(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString FromBytes(std::string_view bytes)
{
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// The two tables differ in record type only; fn is called with the one of kind.
template <class Fn>
decltype(auto) WithTable(CSettingsStore& store, SettingsKind kind, Fn&& fn)
{
    if (kind == SettingsKind::Noise)
        return fn(store.m_noiseSettings);
    return fn(store.m_fileSettings);
}

// The slot an entry stands for, -1 when it carries none.
int SlotOf(const QComboBox& combo, int position)
{
    const QVariant data = combo.itemData(position);
    bool ok = false;
    const int slot = data.toInt(&ok);
    return data.isValid() && ok ? slot : -1;
}

// The main list's entry of a deleted setting. Entries are told apart by
// their slot, since names may repeat or differ only in case; the text is
// the fallback for an entry without a slot.
int MainEntryFor(const CComboCtrl& combo, int slot, const QString& text)
{
    if (slot >= 0)
    {
        for (int i = 0; i < combo.GetCount(); ++i)
            if (SlotOf(combo, i) == slot)
                return i;
    }
    const int exact = combo.findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    return exact >= 0 ? exact : combo.FindStringExact(0, text);
}

void Warn(QWidget* owner, const QString& text)
{
    CDialogServices::MessageBox().Show(owner, text, CCoreText::Translate("Warning"), MessageIcon::Exclamation);
}

} // namespace

CDlgSaveSet::CDlgSaveSet(ISaveSetHost& host, QWidget* parent) : CDialogBase(IDD_SAVE_SETTING, parent), m_host(host) {}

QString CDlgSaveSet::EmptyNameMessage()
{
    return tr("Please enter a name for the new setting.");
}

QString CDlgSaveSet::NoRoomMessage(SettingsKind kind)
{
    return kind == SettingsKind::Noise
               ? tr("I have no room for another noise setting. Please delete one you no longer need.")
               : tr("I have no room for another file setting. Please delete one you no longer need.");
}

void CDlgSaveSet::SetKind(SettingsKind kind)
{
    m_kind = kind;
}

void CDlgSaveSet::ShowForKind(SettingsKind kind)
{
    SetKind(kind);
    ShowWindow(true);
    // The focus would otherwise stay on the button pressed last time, and a
    // space typed into the name would press it.
    if (auto* name = GetDlgItemAs<QLineEdit>(IDC_SETTING_NAME))
    {
        name->setFocus(Qt::OtherFocusReason);
        name->selectAll();
    }
    // Window systems deliver the activation later, or not at all when they
    // refuse to move the focus; the list must match the kind before the
    // user can press Delete.
    OnActivate();
}

void CDlgSaveSet::DoDataExchange(CDataExchange& dx)
{
    dx.Text(IDC_SETTING_NAME, m_name);
}

bool CDlgSaveSet::OnInitDialog()
{
    m_existingNames = GetDlgItemAs<CComboCtrl>(IDC_SETTING_NAMES);
    // Sorted as the settings files sort their names.
    m_existingNames->SetNameOrder(CompareSettingNamesNoCase);
    if (auto* save = GetDlgItemAs<QPushButton>(IDC_SETTING_SAVE))
        connect(save, &QPushButton::clicked, this, &CDlgSaveSet::OnSave);
    if (auto* remove = GetDlgItemAs<QPushButton>(IDC_SETTING_DELETE))
        connect(remove, &QPushButton::clicked, this, &CDlgSaveSet::OnDelete);
    return CDialogBase::OnInitDialog();
}

bool CDlgSaveSet::event(QEvent* event)
{
    const bool handled = CDialogBase::event(event);
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate)
        OnActivate();
    return handled;
}

CComboCtrl& CDlgSaveSet::MainCombo() const
{
    return m_host.SettingCombo(m_kind);
}

void CDlgSaveSet::OnActivate()
{
    if (m_existingNames == nullptr)
        return;
    const CComboCtrl& main = MainCombo();
    m_existingNames->ResetContent();
    // Both lists sort alike, so each copied entry lands at the end.
    for (int i = 0; i < main.GetCount(); ++i)
    {
        const int position = m_existingNames->AddString(main.GetLBText(i));
        m_existingNames->setItemData(position, main.itemData(i));
    }
    m_existingNames->SetCurSel(0);
    if (m_kind != static_cast<SettingsKind>(m_previousKind))
    {
        m_name.clear();
        UpdateData(false);
    }
    m_previousKind = static_cast<unsigned char>(m_kind);
}

void CDlgSaveSet::OnSave()
{
    UpdateData(true);
    std::string name = ToBytes(m_name);
    // A zero byte ends a stored name; a name that starts with one would leave
    // the slot free while its entry stays listed.
    if (const std::size_t zero = name.find('\0'); zero != std::string::npos)
        name.resize(zero);
    if (name.empty())
    {
        Warn(this, EmptyNameMessage());
        if (QWidget* field = GetDlgItem(IDC_SETTING_NAME))
            field->setFocus(Qt::OtherFocusReason);
        return;
    }

    // Only slots from the first user slot on are written at Exit, so a freed
    // built-in slot is never taken: a setting there would be lost unnoticed.
    const int slot = WithTable(m_host.SettingsStore(), m_kind, [&name](auto& table) {
        const int free = table.LowestFreeSlot(table.m_firstUserSlot);
        if (free >= 0)
            StoreName(table.m_slots[free].name, name);
        return free;
    });
    if (slot < 0)
    {
        Warn(this, NoRoomMessage(m_kind));
        return;
    }
    const QString stored = WithTable(m_host.SettingsStore(), m_kind,
                                     [slot](auto& table) { return FromBytes(FieldText(table.m_slots[slot].name)); });
    m_host.FillSlotFromMembers(m_kind, slot);

    CComboCtrl& main = MainCombo();
    const int position = main.AddString(stored);
    main.setItemData(position, slot);
    if (m_existingNames != nullptr)
        m_existingNames->setItemData(m_existingNames->AddString(stored), slot);
    // The new entry itself, not the first of its name: a name may repeat.
    // Selecting it applies nothing, the controls already hold its values.
    main.SetCurSel(position);
    OnOK();
}

int CDlgSaveSet::ChosenEntry() const
{
    const int selected = m_existingNames->GetCurSel();
    const QString shown = m_existingNames->currentText();
    if (selected >= 0 && m_existingNames->GetLBText(selected) == shown)
        return selected;
    // The user typed over the field: only an entry that reads exactly so.
    return m_existingNames->findText(shown, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void CDlgSaveSet::OnDelete()
{
    UpdateData(true);
    if (m_existingNames == nullptr)
        return;
    const int position = ChosenEntry();
    if (position < 0)
        return;
    const QString text = m_existingNames->GetLBText(position);
    const int entrySlot = SlotOf(*m_existingNames, position);
    m_existingNames->DeleteString(position);

    const std::string name = ToBytes(text);
    const int slot = WithTable(m_host.SettingsStore(), m_kind, [&name, entrySlot](auto& table) {
        int found = entrySlot;
        if (found < 0 || found >= kSettingSlots || !table.IsOccupied(found)
            || FieldText(table.m_slots[found].name) != name)
            found = table.FindByName(name);
        if (found >= 0)
            table.Free(found);
        return found;
    });

    CComboCtrl& main = MainCombo();
    main.DeleteString(MainEntryFor(main, slot, text));
    // Falling back selects without applying: the controls keep their values.
    if (main.GetCurSel() < 0)
        main.SetCurSel(0);
    m_existingNames->SetCurSel(0);
    UpdateData(false);
}
