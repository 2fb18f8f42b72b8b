#include "app/combo_ctrl.h"
#include "qt_test_app.h"
#include "settings/setting_list.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace
{

QStringList Entries(const CComboCtrl& combo)
{
    QStringList texts;
    for (int i = 0; i < combo.GetCount(); ++i)
        texts.append(combo.GetLBText(i));
    return texts;
}

class ComboCtrl : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { EnsureQtApp(); }

    void SetUp() override
    {
        m_combo.SetSorted(true);
        for (const char* name : {"Strong Bay Surf", "easy pacific surf", "Wideband White Noise", "Easy Bay Surf",
                                  "Rainforest Waterfall"})
            m_combo.AddString(QString::fromLatin1(name));
    }

    CComboCtrl m_combo;
};

} // namespace

TEST_F(ComboCtrl, sorted_entries_ignore_case_and_report_their_position)
{
    EXPECT_EQ(Entries(m_combo), (QStringList{"Easy Bay Surf", "easy pacific surf", "Rainforest Waterfall",
                                             "Strong Bay Surf", "Wideband White Noise"}));
    EXPECT_EQ(m_combo.AddString("standard physiological noise"), 3);
    EXPECT_EQ(m_combo.AddString("a"), 0);
    EXPECT_EQ(m_combo.AddString("zz"), 7);
    // An equal name goes after the one already there.
    EXPECT_EQ(m_combo.AddString("EASY BAY SURF"), 2);
    EXPECT_EQ(m_combo.GetLBText(1), "Easy Bay Surf");
}

TEST_F(ComboCtrl, unsorted_entries_keep_their_order)
{
    CComboCtrl devices;
    EXPECT_EQ(devices.AddString("Zeta"), 0);
    EXPECT_EQ(devices.AddString("alpha"), 1);
    EXPECT_EQ(Entries(devices), (QStringList{"Zeta", "alpha"}));
}

TEST_F(ComboCtrl, selection_is_only_what_was_set_and_goes_with_a_deleted_entry)
{
    EXPECT_EQ(m_combo.GetCurSel(), -1);
    EXPECT_EQ(m_combo.SetCurSel(2), 2);
    m_combo.AddString("Aaa"); // before the selection: it moves along
    EXPECT_EQ(m_combo.GetCurSel(), 3);
    EXPECT_EQ(m_combo.GetLBText(3), "Rainforest Waterfall");

    EXPECT_EQ(m_combo.DeleteString(0), 5);
    EXPECT_EQ(m_combo.GetCurSel(), 2);
    EXPECT_EQ(m_combo.DeleteString(2), 4);
    EXPECT_EQ(m_combo.GetCurSel(), -1);
    EXPECT_EQ(m_combo.DeleteString(4), -1);

    EXPECT_EQ(m_combo.SetCurSel(4), -1); // past the end: no selection
    EXPECT_EQ(m_combo.GetCurSel(), -1);
    EXPECT_EQ(m_combo.GetLBText(9), "");

    m_combo.ResetContent();
    EXPECT_EQ(m_combo.GetCount(), 0);
    EXPECT_EQ(m_combo.AddString("Only"), 0);
    EXPECT_EQ(m_combo.GetCurSel(), -1);
}

TEST_F(ComboCtrl, exact_search_ignores_case_starts_after_a_position_and_wraps)
{
    m_combo.AddString("Easy Bay Surf"); // a second one, at position 1
    EXPECT_EQ(m_combo.FindStringExact(-1, "EASY BAY SURF"), 0);
    EXPECT_EQ(m_combo.FindStringExact(0, "easy bay surf"), 1);
    EXPECT_EQ(m_combo.FindStringExact(1, "Easy Bay Surf"), 0); // wrapped around
    EXPECT_EQ(m_combo.FindStringExact(3, "Rainforest Waterfall"), 3);
    EXPECT_EQ(m_combo.FindStringExact(-1, "Easy"), -1); // whole texts only
    EXPECT_EQ(m_combo.FindStringExact(99, "wideband white noise"), 5);
    EXPECT_EQ(CComboCtrl().FindStringExact(-1, "x"), -1);
}

TEST_F(ComboCtrl, only_the_users_choice_of_another_entry_signals_a_change)
{
    QSignalSpy changes(&m_combo, &CComboCtrl::SelChange);
    m_combo.SetCurSel(1);
    m_combo.AddString("Zzz");
    m_combo.DeleteString(4);
    EXPECT_EQ(changes.count(), 0);

    m_combo.show();
    m_combo.setFocus();
    QTest::keyClick(&m_combo, Qt::Key_Down);
    EXPECT_EQ(m_combo.GetCurSel(), 2);
    EXPECT_EQ(changes.count(), 1);
    // Choosing the entry that is already selected is no change.
    emit m_combo.activated(2);
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(ComboCtrl, sorts_and_finds_as_the_settings_lists_do)
{
    // A saved selection is a position in this list, so it must agree with
    // the settings' own order, non-ASCII names included.
    CComboCtrl combo;
    combo.SetSorted(true);
    std::vector<std::string> names;
    for (const char* name : {"Zebra", "\xc3\x84rger", "apple", "Apple", "_x", "zebra", "\xc3\xa4rger", "Bay"})
    {
        const QString text = QString::fromUtf8(name);
        const std::size_t expected = SortedInsertPosition(names, name);
        names.insert(names.begin() + static_cast<std::ptrdiff_t>(expected), name);
        EXPECT_EQ(combo.AddString(text), static_cast<int>(expected)) << name;
    }
    for (const std::string& name : names)
        EXPECT_EQ(combo.FindStringExact(0, QString::fromStdString(name)), FindEntryNoCase(names, name)) << name;
}
