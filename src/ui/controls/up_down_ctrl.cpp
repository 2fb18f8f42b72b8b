// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/up_down_ctrl.h"

#include "ui/dialog/number_text.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

#include <algorithm>

CUpDownCtrl::CUpDownCtrl(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), m_orientation(orientation), m_down(new QToolButton(this)), m_up(new QToolButton(this))
{
    const bool horizontal = orientation == Qt::Horizontal;
    m_down->setArrowType(horizontal ? Qt::LeftArrow : Qt::DownArrow);
    m_up->setArrowType(horizontal ? Qt::RightArrow : Qt::UpArrow);
    for (QToolButton* button : {m_down, m_up})
    {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
    }
    // Arrows say nothing to a screen reader; their names do.
    m_down->setAccessibleName(tr("Step down"));
    m_up->setAccessibleName(tr("Step up"));
    connect(m_down, &QToolButton::clicked, this, [this] { Step(-1); });
    connect(m_up, &QToolButton::clicked, this, [this] { Step(+1); });
}

void CUpDownCtrl::SetBuddy(QLineEdit* buddy)
{
    if (m_buddy != nullptr)
        m_buddy->removeEventFilter(this);
    m_buddy = buddy;
    if (m_buddy != nullptr)
        m_buddy->installEventFilter(this);
}

void CUpDownCtrl::SetRange(int lower, int upper)
{
    m_lower = lower;
    m_upper = upper;
}

void CUpDownCtrl::SetPos(int position)
{
    m_position = std::clamp(position, std::min(m_lower, m_upper), std::max(m_lower, m_upper));
    if (m_buddy != nullptr)
    {
        const QString text = QString::fromStdString(FormatDialogInt(m_position));
        if (m_buddy->text() != text)
            m_buddy->setText(text);
    }
}

int CUpDownCtrl::GetPos() const
{
    if (m_buddy != nullptr)
    {
        if (const auto value = ParseDialogInt(m_buddy->text().toStdString()))
            return std::clamp(*value, std::min(m_lower, m_upper), std::max(m_lower, m_upper));
    }
    return m_position;
}

void CUpDownCtrl::Step(int direction)
{
    m_position = GetPos();
    const int step = m_upper >= m_lower ? direction : -direction;
    SetPos(m_position + step);
}

bool CUpDownCtrl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_buddy && event->type() == QEvent::KeyPress)
    {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down)
        {
            Step(key == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CUpDownCtrl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_orientation == Qt::Horizontal)
    {
        const int half = width() / 2;
        m_down->setGeometry(0, 0, half, height());
        m_up->setGeometry(half, 0, width() - half, height());
    }
    else
    {
        const int half = height() / 2;
        m_up->setGeometry(0, 0, width(), half);
        m_down->setGeometry(0, half, width(), height() - half);
    }
}
