// SPDX-License-Identifier: GPL-3.0-or-later
// Before any Qt header, which defines "slots" as a macro.
#include "settings/settings_store.h"

#include "ui/controls/combo_ctrl.h"
#include "ui/services/dialog_services.h"
#include "app/dlg_save_set.h"
#include "app/resource_ids.h"
#include "app/save_set_host.h"
#include "app/setting_name_order.h"
#include "testing/ui/recording_message_box.h"
#include "testing/ui/qt_test_app.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace
{

// The main window's side: the built-ins listed in sorted order with their
// slots, and fixed values to store.
class CFakeHost : public ISaveSetHost
{
public:
    CFakeHost()
    {
        m_store.SetUp();
        // As the main window sets its lists up.
        m_noise.SetSorted(true);
        m_file.SetSorted(true);
        m_noise.SetNameOrder(CompareSettingNamesNoCase);
        m_file.SetNameOrder(CompareSettingNamesNoCase);
        for (int slot : m_store.m_noiseSettings.SortedSlots())
            m_noise.setItemData(m_noise.AddString(m_store.m_noiseSettings.m_slots[slot].name), slot);
        m_file.setItemData(m_file.AddString("Standard CD"), 0);
        m_noise.SetCurSel(0);
    }
    CSettingsStore& SettingsStore() override { return m_store; }
    CComboCtrl& SettingCombo(SettingsKind kind) override { return kind == SettingsKind::Noise ? m_noise : m_file; }
    void FillSlotFromMembers(SettingsKind kind, int slot) override
    {
        if (kind == SettingsKind::Noise)
            m_store.m_noiseSettings.m_slots[slot].tinnitusFrequency = 3000;
        else
            m_store.m_fileSettings.m_slots[slot].fadeIn = 42;
    }

    CSettingsStore m_store;
    CComboCtrl m_noise;
    CComboCtrl m_file;
};

QStringList Entries(const QComboBox& combo)
{
    QStringList texts;
    for (int i = 0; i < combo.count(); ++i)
        texts.append(combo.itemText(i) + "@" + combo.itemData(i).toString());
    return texts;
}

class DlgSaveSet : public QtTest
{
protected:
    void SetUp() override { m_dlg.Create(); }

    QLineEdit& NameField() { return *m_dlg.GetDlgItemAs<QLineEdit>(IDC_SETTING_NAME); }
    CComboCtrl& Names() { return *m_dlg.GetDlgItemAs<CComboCtrl>(IDC_SETTING_NAMES); }
    NoiseSetting& Noise(int slot) { return m_host.m_store.m_noiseSettings.m_slots[slot]; }
    std::string NoiseName(int slot) { return std::string(FieldText(Noise(slot).name)); }
    QString MainSelection() { return m_host.m_noise.GetLBText(m_host.m_noise.GetCurSel()); }
    void Save(SettingsKind kind, const QString& name)
    {
        m_dlg.ShowForKind(kind);
        NameField().setText(name);
        m_dlg.GetDlgItemAs<QPushButton>(IDC_SETTING_SAVE)->click();
    }
    void Delete(int position)
    {
        Names().SetCurSel(position);
        m_dlg.GetDlgItemAs<QPushButton>(IDC_SETTING_DELETE)->click();
    }

    CRecordingMessageBox m_messages;
    CScopedDialogServices m_services{&m_messages};
    CFakeHost m_host;
    CDlgSaveSet m_dlg{m_host, nullptr};
};

} // namespace

TEST_F(DlgSaveSet, SavingListsTheNewSettingInBothListsSelectsItAndHides)
{
    QSignalSpy applied(&m_host.m_noise, &CComboCtrl::SelChange);
    Save(SettingsKind::Noise, "Easy Pacific Surf");
    EXPECT_FALSE(m_dlg.isVisible());
    EXPECT_EQ(NoiseName(7), "Easy Pacific Surf");
    EXPECT_EQ(Noise(7).tinnitusFrequency, 3000);
    // A second entry of the name; the new one is selected, not the built-in.
    EXPECT_EQ(Entries(m_host.m_noise).mid(1, 3),
              (QStringList{"Easy Pacific Surf@2", "Easy Pacific Surf@7", "Rainforest Waterfall@0"}));
    EXPECT_EQ(m_host.m_noise.GetCurSel(), 2);
    EXPECT_EQ(Entries(Names()), Entries(m_host.m_noise));
    EXPECT_EQ(applied.count(), 0);

    Save(SettingsKind::Noise, QString(60, 'x'));
    EXPECT_EQ(NoiseName(8), std::string(49, 'x'));
    EXPECT_EQ(MainSelection(), QString(49, 'x'));

    Save(SettingsKind::File, "Long night");
    EXPECT_EQ(m_host.m_store.m_fileSettings.m_slots[1].fadeIn, 42);
    EXPECT_EQ(Entries(m_host.m_file), (QStringList{"Long night@1", "Standard CD@0"}));
    EXPECT_TRUE(m_messages.m_messages.isEmpty());
}

TEST_F(DlgSaveSet, DeleteRemovesExactlyTheChosenSettingEvenWhenNamesDifferInCase)
{
    for (const char* name : {"night", "Night", "night"})
        Save(SettingsKind::Noise, name);
    m_dlg.ShowForKind(SettingsKind::Noise);
    Delete(3); // "Night", slot 8
    EXPECT_TRUE(m_dlg.isVisible());
    Delete(3); // the second "night", slot 9
    EXPECT_EQ(NoiseName(7), "night");
    EXPECT_EQ(NoiseName(8), "");
    EXPECT_EQ(NoiseName(9), "");
    EXPECT_EQ(Entries(m_host.m_noise).mid(2, 2), (QStringList{"night@7", "Rainforest Waterfall@0"}));
    EXPECT_EQ(Entries(Names()), Entries(m_host.m_noise));
    EXPECT_EQ(Names().GetCurSel(), 0);

    // A name typed over the field deletes only an entry that reads exactly so.
    Names().setEditText("NIGHT");
    m_dlg.GetDlgItemAs<QPushButton>(IDC_SETTING_DELETE)->click();
    EXPECT_EQ(m_host.m_noise.GetCount(), 8);
}

TEST_F(DlgSaveSet, DeletingTheMainSelectionFallsBackToTheFirstEntryAndFreesNoSlotForReuse)
{
    QSignalSpy applied(&m_host.m_noise, &CComboCtrl::SelChange);
    m_host.m_noise.SetCurSel(4);
    m_dlg.ShowForKind(SettingsKind::Noise);
    Delete(4); // "Strong Bay Surf", slot 5, selected in the main list
    EXPECT_EQ(NoiseName(5), "");
    EXPECT_EQ(Noise(5).surfStrength, 40); // only the name goes
    EXPECT_EQ(MainSelection(), "Easy Bay Surf");
    m_host.m_noise.SetCurSel(3);
    Delete(0);
    EXPECT_EQ(MainSelection(), "Standard Physiological Noise");
    EXPECT_EQ(applied.count(), 0);

    // Freed built-in slots are not written at Exit, so they are not reused.
    Save(SettingsKind::Noise, "Mine");
    EXPECT_EQ(NoiseName(4), "");
    EXPECT_EQ(NoiseName(7), "Mine");
}

TEST_F(DlgSaveSet, EnterFinishesWithoutSavingAndTheListFollowsTheKind)
{
    m_dlg.ShowForKind(SettingsKind::Noise);
    NameField().setFocus();
    QTest::keyClicks(&NameField(), "Dusk");
    QTest::keyClick(&NameField(), Qt::Key_Return);
    EXPECT_FALSE(m_dlg.isVisible());
    EXPECT_EQ(m_host.m_noise.GetCount(), 7);
    EXPECT_EQ(m_host.m_store.m_noiseSettings.OccupiedCount(), 7);

    m_dlg.ShowForKind(SettingsKind::Noise);
    QTest::keyClick(&m_dlg, Qt::Key_Escape);
    EXPECT_FALSE(m_dlg.isVisible());
    m_dlg.ShowForKind(SettingsKind::File);
    EXPECT_EQ(Entries(Names()), QStringList{"Standard CD@0"});

    // Every activation or deactivation copies the list afresh.
    m_host.m_file.setItemData(m_host.m_file.AddString("Aaa"), 50);
    Names().SetCurSel(1);
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(&m_dlg, &deactivate);
    EXPECT_EQ(Entries(Names()), (QStringList{"Aaa@50", "Standard CD@0"}));
    EXPECT_EQ(Names().currentText(), "Aaa");
}

TEST_F(DlgSaveSet, AnEmptyNameOrAFullTableIsRefusedWithAWarning)
{
    Save(SettingsKind::Noise, "");
    for (int slot = 7; slot < kSettingSlots; ++slot)
        StoreName(Noise(slot).name, "user");
    Save(SettingsKind::Noise, "One too many");
    ASSERT_EQ(m_messages.m_messages.size(), 2);
    EXPECT_EQ(m_messages.m_messages[0].text, "Please enter a name for the new setting.");
    EXPECT_EQ(m_messages.m_messages[1].text,
              "I have no room for another noise setting. Please delete one you no longer need.");
    EXPECT_EQ(m_messages.m_messages[1].caption, "Warning");
    EXPECT_EQ(Noise(7).tinnitusFrequency, 0);
    EXPECT_EQ(Noise(kSettingSlots - 1).tinnitusFrequency, 0);
    EXPECT_EQ(m_host.m_noise.GetCount(), 7);
    EXPECT_EQ(Names().GetCount(), 7);
    EXPECT_TRUE(m_dlg.isVisible());
}

TEST_F(DlgSaveSet, EachShowingFocusesTheNameSoTypingNeverPressesAButton)
{
    m_dlg.ShowForKind(SettingsKind::Noise);
    NameField().setText("Alpha");
    auto* finished = m_dlg.GetDlgItemAs<QPushButton>(IDOK);
    finished->setFocus();
    QTest::keyClick(finished, Qt::Key_Space);
    ASSERT_FALSE(m_dlg.isVisible());

    m_dlg.ShowForKind(SettingsKind::Noise);
    ASSERT_EQ(m_dlg.focusWidget(), &NameField());
    EXPECT_EQ(NameField().selectedText(), "Alpha");
    QTest::keyClicks(m_dlg.focusWidget(), "Night Rain");
    EXPECT_TRUE(m_dlg.isVisible());
    EXPECT_EQ(NameField().text(), "Night Rain");
}
