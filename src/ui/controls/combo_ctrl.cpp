// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/combo_ctrl.h"

#include <QSignalBlocker>

CComboCtrl::CComboCtrl(QWidget* parent) : QComboBox(parent)
{
    setInsertPolicy(QComboBox::NoInsert);
    connect(this, &QComboBox::activated, this, &CComboCtrl::OnActivated);
}

int CComboCtrl::AddString(const QString& text)
{
    int position = count();
    if (m_sorted)
    {
        // After any entries that compare equal, so that equal names keep the
        // order in which they were added.
        int low = 0;
        int high = count();
        while (low < high)
        {
            const int mid = (low + high) / 2;
            if (m_order(itemText(mid), text) <= 0)
                low = mid + 1;
            else
                high = mid;
        }
        position = low;
    }
    const QSignalBlocker blocker(this);
    const int selected = currentIndex();
    insertItem(position, text);
    // QComboBox selects the first entry of an empty list by itself; a list
    // box does not.
    if (selected < 0)
        setCurrentIndex(-1);
    m_lastSelection = currentIndex();
    return position;
}

int CComboCtrl::DeleteString(int position)
{
    if (position < 0 || position >= count())
        return -1;
    const QSignalBlocker blocker(this);
    const bool wasSelected = position == currentIndex();
    removeItem(position);
    if (wasSelected)
        setCurrentIndex(-1);
    m_lastSelection = currentIndex();
    return count();
}

void CComboCtrl::ResetContent()
{
    const QSignalBlocker blocker(this);
    clear();
    m_lastSelection = -1;
}

int CComboCtrl::SetCurSel(int position)
{
    const QSignalBlocker blocker(this);
    setCurrentIndex(position >= 0 && position < count() ? position : -1);
    m_lastSelection = currentIndex();
    return currentIndex();
}

QString CComboCtrl::GetLBText(int position) const
{
    if (position < 0 || position >= count())
        return {};
    return itemText(position);
}

int CComboCtrl::FindStringExact(int startAfter, const QString& text) const
{
    const int n = count();
    if (n == 0)
        return -1;
    const int start = startAfter >= 0 && startAfter < n ? startAfter + 1 : 0;
    for (int i = 0; i < n; ++i)
    {
        const int position = (start + i) % n;
        if (m_order(itemText(position), text) == 0)
            return position;
    }
    return -1;
}

void CComboCtrl::OnActivated(int position)
{
    if (position == m_lastSelection)
        return;
    m_lastSelection = position;
    emit SelChange();
}
