// SPDX-License-Identifier: GPL-3.0-or-later
// Before any Qt header, which defines "slots" as a macro.
#include "settings/settings_store.h"

#include "tests/app/main_dlg_window_fixture.h"

#include <QPushButton>
#include <QSignalSpy>

namespace
{

// Texts with the slot each entry carries.
QStringList Listed(const QComboBox& combo)
{
    QStringList texts;
    for (int i = 0; i < combo.count(); ++i)
        texts.append(combo.itemText(i) + "@" + combo.itemData(i).toString());
    return texts;
}

// The Manage Settings window over the real main window, which it lists and
// fills the slots from.
class DlgSaveSet : public MainWindowTest
{
protected:
    void SetUp() override { Start(); }

    CDlgSaveSet& Dlg() { return m_dialog->m_saveSetDlg; }
    CComboCtrl& MainList() { return *m_dialog->m_noiseSettingCombo; }
    CComboCtrl& FileList() { return *m_dialog->m_fileSettingCombo; }
    QLineEdit& NameField() { return *Dlg().GetDlgItemAs<QLineEdit>(IDC_SETTING_NAME); }
    CComboCtrl& Names() { return *Dlg().GetDlgItemAs<CComboCtrl>(IDC_SETTING_NAMES); }
    CSettingsStore& Store() { return m_dialog->m_settings; }
    NoiseSetting& Noise(int slot) { return Store().m_noiseSettings.m_slots[slot]; }
    std::string NoiseName(int slot) { return std::string(FieldText(Noise(slot).name)); }
    QString MainSelection() { return MainList().GetLBText(MainList().GetCurSel()); }
    void Save(SettingsKind kind, const QString& name)
    {
        Dlg().ShowForKind(kind);
        NameField().setText(name);
        Dlg().GetDlgItemAs<QPushButton>(IDC_SETTING_SAVE)->click();
    }
    void Delete(int position)
    {
        Names().SetCurSel(position);
        Dlg().GetDlgItemAs<QPushButton>(IDC_SETTING_DELETE)->click();
    }
};

} // namespace

TEST_F(DlgSaveSet, SavingListsTheNewSettingInBothListsSelectsItAndHides)
{
    m_dialog->m_tinnitusFreq = 3000;
    m_dialog->m_fadeIn = 42;
    QSignalSpy applied(&MainList(), &CComboCtrl::SelChange);
    Save(SettingsKind::Noise, "Easy Pacific Surf");
    EXPECT_FALSE(Dlg().isVisible());
    EXPECT_EQ(NoiseName(7), "Easy Pacific Surf");
    EXPECT_EQ(Noise(7).tinnitusFrequency, 3000);
    // A second entry of the name; the new one is selected, not the built-in.
    EXPECT_EQ(Listed(MainList()).mid(1, 3),
              (QStringList{"Easy Pacific Surf@2", "Easy Pacific Surf@7", "Rainforest Waterfall@0"}));
    EXPECT_EQ(MainList().GetCurSel(), 2);
    EXPECT_EQ(Listed(Names()), Listed(MainList()));
    EXPECT_EQ(applied.count(), 0);

    Save(SettingsKind::Noise, QString(60, 'x'));
    EXPECT_EQ(NoiseName(8), std::string(49, 'x'));
    EXPECT_EQ(MainSelection(), QString(49, 'x'));

    Save(SettingsKind::File, "Long night");
    EXPECT_EQ(Store().m_fileSettings.m_slots[1].fadeIn, 42);
    EXPECT_EQ(Listed(FileList()), (QStringList{"Long night@1", "Standard CD@0"}));
    EXPECT_TRUE(m_messages.m_messages.isEmpty());
}

TEST_F(DlgSaveSet, DeleteRemovesExactlyTheChosenSettingEvenWhenNamesDifferInCase)
{
    for (const char* name : {"night", "Night", "night"})
        Save(SettingsKind::Noise, name);
    Dlg().ShowForKind(SettingsKind::Noise);
    Delete(3); // "Night", slot 8
    EXPECT_TRUE(Dlg().isVisible());
    Delete(3); // the second "night", slot 9
    EXPECT_EQ(NoiseName(7), "night");
    EXPECT_EQ(NoiseName(8), "");
    EXPECT_EQ(NoiseName(9), "");
    EXPECT_EQ(Listed(MainList()).mid(2, 2), (QStringList{"night@7", "Rainforest Waterfall@0"}));
    EXPECT_EQ(Listed(Names()), Listed(MainList()));
    EXPECT_EQ(Names().GetCurSel(), 0);

    // A name typed over the field deletes only an entry that reads exactly so.
    Names().setEditText("NIGHT");
    Dlg().GetDlgItemAs<QPushButton>(IDC_SETTING_DELETE)->click();
    EXPECT_EQ(MainList().GetCount(), 8);
}

TEST_F(DlgSaveSet, DeletingTheMainSelectionFallsBackToTheFirstEntryAndFreesNoSlotForReuse)
{
    QSignalSpy applied(&MainList(), &CComboCtrl::SelChange);
    MainList().SetCurSel(4);
    Dlg().ShowForKind(SettingsKind::Noise);
    Delete(4); // "Strong Bay Surf", slot 5, selected in the main list
    EXPECT_EQ(NoiseName(5), "");
    EXPECT_EQ(Noise(5).surfStrength, 40); // only the name goes
    EXPECT_EQ(MainSelection(), "Easy Bay Surf");
    MainList().SetCurSel(3);
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
    Dlg().ShowForKind(SettingsKind::Noise);
    NameField().setFocus();
    QTest::keyClicks(&NameField(), "Dusk");
    QTest::keyClick(&NameField(), Qt::Key_Return);
    EXPECT_FALSE(Dlg().isVisible());
    EXPECT_EQ(MainList().GetCount(), 7);
    EXPECT_EQ(Store().m_noiseSettings.OccupiedCount(), 7);

    Dlg().ShowForKind(SettingsKind::Noise);
    QTest::keyClick(&Dlg(), Qt::Key_Escape);
    EXPECT_FALSE(Dlg().isVisible());
    Dlg().ShowForKind(SettingsKind::File);
    EXPECT_EQ(Listed(Names()), QStringList{"Standard CD@0"});

    // Every activation or deactivation copies the list afresh.
    FileList().setItemData(FileList().AddString("Aaa"), 50);
    Names().SetCurSel(1);
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(&Dlg(), &deactivate);
    EXPECT_EQ(Listed(Names()), (QStringList{"Aaa@50", "Standard CD@0"}));
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
    EXPECT_EQ(MainList().GetCount(), 7);
    EXPECT_EQ(Names().GetCount(), 7);
    EXPECT_TRUE(Dlg().isVisible());
}

TEST_F(DlgSaveSet, EachShowingFocusesTheNameSoTypingNeverPressesAButton)
{
    Dlg().ShowForKind(SettingsKind::Noise);
    NameField().setText("Alpha");
    auto* finished = Dlg().GetDlgItemAs<QPushButton>(IDOK);
    finished->setFocus();
    QTest::keyClick(finished, Qt::Key_Space);
    ASSERT_FALSE(Dlg().isVisible());

    Dlg().ShowForKind(SettingsKind::Noise);
    ASSERT_EQ(Dlg().focusWidget(), &NameField());
    EXPECT_EQ(NameField().selectedText(), "Alpha");
    QTest::keyClicks(Dlg().focusWidget(), "Night Rain");
    EXPECT_TRUE(Dlg().isVisible());
    EXPECT_EQ(NameField().text(), "Night Rain");
}
