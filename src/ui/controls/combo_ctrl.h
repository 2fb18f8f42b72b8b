// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QComboBox>

#include <functional>

// A drop-down list addressed by position, optionally kept sorted by name
// (ascending in its name order; new entries go after equal ones).
// The program's own changes never emit SelChange; only a user's choice of
// another entry does. No entry is selected until one is chosen or set.
class CComboCtrl : public QComboBox
{
    Q_OBJECT
public:
    explicit CComboCtrl(QWidget* parent = nullptr);

    // How names compare: negative, zero or positive like strcmp. It orders
    // a sorted list and decides which texts FindStringExact takes as equal.
    // By default Qt's comparison without regard to case.
    using NameOrder = std::function<int(const QString&, const QString&)>;

    void SetSorted(bool sorted) { m_sorted = sorted; }
    bool IsSorted() const { return m_sorted; }
    void SetNameOrder(NameOrder order) { m_order = std::move(order); }

    // Adds an entry at its sorted position (at the end when unsorted) and
    // returns that position.
    int AddString(const QString& text);
    // Removes the entry at position; a removed selected entry leaves no
    // selection. Returns the number of entries left, -1 for a bad position.
    int DeleteString(int position);
    void ResetContent();
    int GetCount() const { return count(); }

    // Selects the entry at position; -1 or a position past the end leaves no
    // selection. Returns the position, or -1 when nothing is selected.
    int SetCurSel(int position);
    int GetCurSel() const { return currentIndex(); }
    // The text of the entry at position; empty for a bad position.
    QString GetLBText(int position) const;

    // The first entry whose whole text equals text in the name order,
    // searching from the entry after startAfter to the end and then from the
    // start (startAfter -1: the whole list from the start). -1 if none.
    int FindStringExact(int startAfter, const QString& text) const;

signals:
    // The user chose another entry than the one selected before.
    void SelChange();

private:
    void OnActivated(int position);

    bool m_sorted = false;
    NameOrder m_order = [](const QString& a, const QString& b) { return QString::compare(a, b, Qt::CaseInsensitive); };
    int m_lastSelection = -1;
};
