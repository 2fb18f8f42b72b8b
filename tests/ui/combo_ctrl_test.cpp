// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/combo_ctrl.h"
#include "testing/ui/qt_test_app.h"

#include <QSignalSpy>
#include <QTest>

namespace
{

QStringList Entries(const CComboCtrl& combo)
{
    QStringList texts;
    for (int i = 0; i < combo.GetCount(); ++i)
        texts.append(combo.GetLBText(i));
    return texts;
}

class ComboCtrl : public QtTest
{
protected:
    void SetUp() override
    {
        m_combo.SetSorted(true);
        for (const char* name :
             {"Strong Bay Surf", "easy pacific surf", "Wideband White Noise", "Easy Bay Surf", "Rainforest Waterfall"})
            m_combo.AddString(QString::fromLatin1(name));
    }

    CComboCtrl m_combo;
};

} // namespace

TEST_F(ComboCtrl, SortedEntriesIgnoreCase)
{
    EXPECT_EQ(Entries(m_combo), (QStringList{"Easy Bay Surf", "easy pacific surf", "Rainforest Waterfall",
                                             "Strong Bay Surf", "Wideband White Noise"}));
    // An equal name goes after the one already there.
    EXPECT_EQ(m_combo.AddString("EASY BAY SURF"), 1);
    EXPECT_EQ(m_combo.GetLBText(0), "Easy Bay Surf");

    CComboCtrl devices; // unsorted: in the order added
    devices.AddString("Zeta");
    EXPECT_EQ(devices.AddString("alpha"), 1);
}

TEST_F(ComboCtrl, SelectionIsOnlyWhatWasSetAndGoesWithADeletedEntry)
{
    EXPECT_EQ(m_combo.GetCurSel(), -1);
    EXPECT_EQ(m_combo.SetCurSel(2), 2);
    m_combo.AddString("Aaa"); // before the selection: it moves along
    EXPECT_EQ(m_combo.GetLBText(m_combo.GetCurSel()), "Rainforest Waterfall");

    EXPECT_EQ(m_combo.DeleteString(0), 5);
    EXPECT_EQ(m_combo.GetCurSel(), 2);
    EXPECT_EQ(m_combo.DeleteString(2), 4);
    EXPECT_EQ(m_combo.GetCurSel(), -1);
    EXPECT_EQ(m_combo.DeleteString(4), -1);
    EXPECT_EQ(m_combo.SetCurSel(4), -1); // past the end: no selection
    EXPECT_EQ(m_combo.GetCurSel(), -1);
    EXPECT_EQ(m_combo.GetLBText(9), "");
}

TEST_F(ComboCtrl, ExactSearchIgnoresCaseStartsAfterAPositionAndWraps)
{
    m_combo.AddString("Easy Bay Surf"); // a second one, at position 1
    EXPECT_EQ(m_combo.FindStringExact(-1, "EASY BAY SURF"), 0);
    EXPECT_EQ(m_combo.FindStringExact(0, "easy bay surf"), 1);
    EXPECT_EQ(m_combo.FindStringExact(1, "Easy Bay Surf"), 0); // wrapped around
    EXPECT_EQ(m_combo.FindStringExact(-1, "Easy"), -1);        // whole texts only
    EXPECT_EQ(m_combo.FindStringExact(99, "wideband white noise"), 5);
}

TEST_F(ComboCtrl, OnlyTheUsersChoiceOfAnotherEntrySignalsAChange)
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
    emit m_combo.activated(2); // the entry already selected: no change
    EXPECT_EQ(changes.count(), 1);
}
