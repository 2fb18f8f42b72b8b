// Before any Qt header, which defines "slots" as a macro.
#include "settings/settings_store.h"

#include "app/combo_ctrl.h"
#include "app/dialog_services.h"
#include "app/dlg_save_set.h"
#include "app/resource_ids.h"
#include "app/save_set_host.h"
#include "app/testing/recording_message_box.h"
#include "qt_test_app.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>

namespace
{

// The main window's side: the built-in presets, both lists filled in their
// sorted order with each entry's slot, and fixed values to store.
class CFakeHost : public ISaveSetHost
{
public:
    CFakeHost()
    {
        m_store.SetUp();
        Fill(m_noiseCombo, m_store.m_noiseSettings);
        Fill(m_fileCombo, m_store.m_fileSettings);
    }

    CSettingsStore& SettingsStore() override { return m_store; }
    CComboCtrl& SettingCombo(SettingsKind kind) override
    {
        return kind == SettingsKind::Noise ? m_noiseCombo : m_fileCombo;
    }
    void FillSlotFromMembers(SettingsKind kind, int slot) override
    {
        if (kind == SettingsKind::Noise)
        {
            NoiseSetting& s = m_store.m_noiseSettings.m_slots[slot];
            s.noiseType = 1;
            s.tinnitusFrequency = 3000;
            s.lowerLimit = 250.5;
            s.upperLimit = 9000;
            s.surfStrength = 12;
            s.surfPeriod = 7.5;
        }
        else
        {
            m_store.m_fileSettings.m_slots[slot].fadeIn = 42;
        }
    }

    CSettingsStore m_store;
    CComboCtrl m_noiseCombo;
    CComboCtrl m_fileCombo;

private:
    template <class Table>
    static void Fill(CComboCtrl& combo, const Table& table)
    {
        combo.SetSorted(true);
        for (int slot : table.SortedSlots())
        {
            const std::string_view name = FieldText(table.m_slots[slot].name);
            combo.setItemData(combo.AddString(QString::fromUtf8(name.data(), qsizetype(name.size()))), slot);
        }
        combo.SetCurSel(0);
    }
};

QStringList Entries(const QComboBox& combo)
{
    QStringList texts;
    for (int i = 0; i < combo.count(); ++i)
        texts.append(combo.itemText(i) + "@" + combo.itemData(i).toString());
    return texts;
}

class DlgSaveSet : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { EnsureQtApp(); }

    void SetUp() override { m_dlg.Create(); }

    QLineEdit& NameField() { return *m_dlg.GetDlgItemAs<QLineEdit>(IDC_SETTING_NAME); }
    CComboCtrl& Names() { return *m_dlg.GetDlgItemAs<CComboCtrl>(IDC_SETTING_NAMES); }
    NoiseSetting& Noise(int slot) { return m_host.m_store.m_noiseSettings.m_slots[slot]; }
    std::string NoiseName(int slot) { return std::string(FieldText(Noise(slot).name)); }

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

TEST_F(DlgSaveSet, saving_a_noise_setting_lists_it_everywhere_selects_it_and_hides)
{
    QSignalSpy applied(&m_host.m_noiseCombo, &CComboCtrl::SelChange);
    Save(SettingsKind::Noise, "Night Rain");

    EXPECT_FALSE(m_dlg.isVisible());
    EXPECT_EQ(NoiseName(7), "Night Rain");
    EXPECT_EQ(Noise(7).tinnitusFrequency, 3000);
    EXPECT_EQ(Noise(7).surfPeriod, 7.5);
    const QStringList expected{"Easy Bay Surf@4",        "Easy Pacific Surf@2", "Night Rain@7",
                               "Rainforest Waterfall@0", "Standard Physiological Noise@6",
                               "Strong Bay Surf@5",      "Strong Pacific Surf@3", "Wideband White Noise@1"};
    EXPECT_EQ(Entries(m_host.m_noiseCombo), expected);
    EXPECT_EQ(Entries(Names()), expected);
    EXPECT_EQ(m_host.m_noiseCombo.GetCurSel(), 2);
    EXPECT_EQ(applied.count(), 0);
    EXPECT_EQ(Entries(m_host.m_fileCombo), QStringList{"Standard CD@0"});
    EXPECT_TRUE(m_messages.m_messages.isEmpty());

    // The file list works the same way on its own table.
    Save(SettingsKind::File, "Long night");
    EXPECT_EQ(m_host.m_store.m_fileSettings.m_slots[1].fadeIn, 42);
    EXPECT_EQ(Entries(m_host.m_fileCombo), (QStringList{"Long night@1", "Standard CD@0"}));
    EXPECT_EQ(m_host.m_fileCombo.GetCurSel(), 0);
}

TEST_F(DlgSaveSet, a_repeated_name_adds_a_second_entry_and_long_names_are_cut)
{
    Save(SettingsKind::Noise, "Easy Bay Surf");
    EXPECT_EQ(NoiseName(4), "Easy Bay Surf");
    EXPECT_EQ(NoiseName(7), "Easy Bay Surf");
    EXPECT_EQ(Entries(m_host.m_noiseCombo).mid(0, 2), (QStringList{"Easy Bay Surf@4", "Easy Bay Surf@7"}));
    // The new entry is selected, not the built-in of the same name.
    EXPECT_EQ(m_host.m_noiseCombo.GetCurSel(), 1);

    const QString sixty(60, QChar('x'));
    Save(SettingsKind::Noise, sixty);
    EXPECT_EQ(NoiseName(8), std::string(49, 'x'));
    EXPECT_EQ(m_host.m_noiseCombo.GetLBText(m_host.m_noiseCombo.GetCurSel()), sixty.left(49));
}

TEST_F(DlgSaveSet, delete_removes_exactly_the_chosen_setting_even_when_names_differ_in_case)
{
    Save(SettingsKind::Noise, "night");
    Save(SettingsKind::Noise, "Night");
    Save(SettingsKind::Noise, "night");
    m_dlg.ShowForKind(SettingsKind::Noise);
    ASSERT_EQ(Entries(Names()).mid(2, 3), (QStringList{"night@7", "Night@8", "night@9"}));

    Delete(3); // "Night", slot 8
    EXPECT_TRUE(m_dlg.isVisible());
    EXPECT_EQ(NoiseName(7), "night");
    EXPECT_EQ(NoiseName(8), "");
    EXPECT_EQ(NoiseName(9), "night");
    EXPECT_EQ(Entries(m_host.m_noiseCombo).mid(2, 2), (QStringList{"night@7", "night@9"}));
    EXPECT_EQ(Entries(Names()), Entries(m_host.m_noiseCombo));
    EXPECT_EQ(Names().GetCurSel(), 0);

    Delete(3); // the second "night", slot 9
    EXPECT_EQ(NoiseName(7), "night");
    EXPECT_EQ(NoiseName(9), "");
    EXPECT_EQ(Entries(m_host.m_noiseCombo).mid(2, 2), (QStringList{"night@7", "Rainforest Waterfall@0"}));
}

TEST_F(DlgSaveSet, deleting_the_main_selection_falls_back_to_the_first_entry_without_applying_it)
{
    QSignalSpy applied(&m_host.m_noiseCombo, &CComboCtrl::SelChange);
    m_host.m_noiseCombo.SetCurSel(4); // "Strong Bay Surf"
    m_dlg.ShowForKind(SettingsKind::Noise);
    Delete(4);
    EXPECT_EQ(NoiseName(5), "");
    EXPECT_EQ(Noise(5).surfStrength, 40); // only the name is cleared
    EXPECT_EQ(m_host.m_noiseCombo.GetCount(), 6);
    EXPECT_EQ(m_host.m_noiseCombo.GetCurSel(), 0);
    EXPECT_EQ(applied.count(), 0);

    // Deleting another entry leaves the main selection where it is.
    m_host.m_noiseCombo.SetCurSel(3);
    Delete(0);
    EXPECT_EQ(m_host.m_noiseCombo.GetLBText(m_host.m_noiseCombo.GetCurSel()), "Standard Physiological Noise");

    // A freed built-in slot is not reused: a setting there would never be stored.
    Save(SettingsKind::Noise, "Mine");
    EXPECT_EQ(NoiseName(4), "");
    EXPECT_EQ(NoiseName(5), "");
    EXPECT_EQ(NoiseName(7), "Mine");
}

TEST_F(DlgSaveSet, enter_in_the_name_field_finishes_and_the_name_lasts_for_the_same_kind_only)
{
    m_dlg.ShowForKind(SettingsKind::Noise);
    NameField().setFocus();
    QTest::keyClicks(&NameField(), "Dusk");
    QTest::keyClick(&NameField(), Qt::Key_Return);
    EXPECT_FALSE(m_dlg.isVisible());
    EXPECT_EQ(m_host.m_store.m_noiseSettings.OccupiedCount(), 7);
    EXPECT_EQ(m_host.m_noiseCombo.GetCount(), 7);

    m_dlg.ShowForKind(SettingsKind::Noise);
    EXPECT_EQ(NameField().text(), "Dusk");
    QTest::keyClick(&m_dlg, Qt::Key_Escape);
    EXPECT_FALSE(m_dlg.isVisible());

    m_dlg.ShowForKind(SettingsKind::File);
    EXPECT_EQ(NameField().text(), "");
    EXPECT_EQ(Entries(Names()), QStringList{"Standard CD@0"});
    EXPECT_EQ(Names().currentText(), "Standard CD");
}

TEST_F(DlgSaveSet, each_activation_rebuilds_the_list_and_selects_its_first_entry)
{
    m_dlg.ShowForKind(SettingsKind::Noise);
    Names().SetCurSel(5);
    m_host.m_noiseCombo.setItemData(m_host.m_noiseCombo.AddString("Aaa"), 50);
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(&m_dlg, &deactivate);
    EXPECT_EQ(Entries(Names()), Entries(m_host.m_noiseCombo));
    EXPECT_EQ(Names().currentText(), "Aaa");
}

TEST_F(DlgSaveSet, an_empty_name_or_a_full_table_is_refused_with_a_warning)
{
    Save(SettingsKind::Noise, "");
    EXPECT_TRUE(m_dlg.isVisible());
    ASSERT_EQ(m_messages.m_messages.size(), 1);
    EXPECT_EQ(m_messages.m_messages[0].text, "Please enter a name for the new setting.");
    EXPECT_EQ(m_messages.m_messages[0].caption, "Warning");
    EXPECT_EQ(m_messages.m_messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(m_host.m_noiseCombo.GetCount(), 7);
    EXPECT_EQ(Names().GetCount(), 7);
    EXPECT_EQ(Noise(7).tinnitusFrequency, 0);

    for (int slot = 7; slot < kSettingSlots; ++slot)
        StoreName(Noise(slot).name, "user");
    const NoiseSetting last = Noise(kSettingSlots - 1);
    Save(SettingsKind::Noise, "One too many");
    ASSERT_EQ(m_messages.m_messages.size(), 2);
    EXPECT_EQ(m_messages.m_messages[1].text,
              "I have no room for another noise setting. Please delete one you no longer need.");
    EXPECT_EQ(m_messages.m_messages[1].caption, "Warning");
    EXPECT_EQ(std::memcmp(&Noise(kSettingSlots - 1), &last, sizeof last), 0);
    EXPECT_EQ(m_host.m_noiseCombo.GetCount(), 7);
    EXPECT_TRUE(m_dlg.isVisible());
}
