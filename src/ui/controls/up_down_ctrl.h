// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// A pair of arrow buttons that steps an integer in a buddy edit: each click,
// or the arrow keys in the buddy, writes the value +-1 within the range
// (without wrapping) into the buddy as plain decimal text. The buddy's text
// is read before each step; when it holds no integer the last position
// counts. Horizontal pairs step down to the left and up to the right.
class CUpDownCtrl : public QWidget
{
    Q_OBJECT
public:
    explicit CUpDownCtrl(Qt::Orientation orientation = Qt::Horizontal, QWidget* parent = nullptr);

    void SetBuddy(QLineEdit* buddy);
    QLineEdit* GetBuddy() const { return m_buddy; }

    void SetRange(int lower, int upper);
    int GetLower() const { return m_lower; }
    int GetUpper() const { return m_upper; }

    // Sets the position (clamped to the range) and writes it to the buddy.
    void SetPos(int position);
    // The buddy's integer within the range, else the last position.
    int GetPos() const;

    // One step up (+1) or down (-1).
    void Step(int direction);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    Qt::Orientation m_orientation;
    QToolButton* m_down;
    QToolButton* m_up;
    QLineEdit* m_buddy = nullptr;
    int m_lower = 0;
    int m_upper = 100;
    int m_position = 0;
};
