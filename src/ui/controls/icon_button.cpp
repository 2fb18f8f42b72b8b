// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/icon_button.h"

#include "ui/controls/balloon_tip.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QToolTip>

namespace
{

constexpr int kMarginX = 3;
constexpr int kMarginY = 3;
constexpr int kPressedShift = 1;
constexpr int kFocusInset = 3;

// Half of a difference, rounded toward zero as integer division does.
int Half(int difference)
{
    return difference / 2;
}

} // namespace

CIconButton::CIconButton(QWidget* parent) : QPushButton(parent)
{
    setMouseTracking(true);
    setAutoDefault(false);
}

void CIconButton::SetIcon(const QIcon& icon)
{
    m_icon = icon;
    update();
}

void CIconButton::SetBalloonTooltip()
{
    m_balloonTooltip = true;
}

void CIconButton::SetTooltipText(const QString& text, bool activate)
{
    if (text.isEmpty())
        return;
    m_tooltipText = text;
    m_tooltipActive = activate;
    // What the tip shows the mouse, a screen reader reads out.
    setAccessibleDescription(text);
}

void CIconButton::SetHoverCursor(const std::optional<QCursor>& cursor, bool repaint)
{
    unsetCursor();
    m_hasHoverCursor = cursor.has_value();
    if (cursor)
        setCursor(*cursor);
    if (repaint)
        update();
}

int CIconButton::SetAlignment(int alignment, bool repaint)
{
    if (alignment < 0 || alignment > 3)
        return 4;
    m_alignment = alignment;
    if (repaint)
        update();
    return 0;
}

void CIconButton::SetFocusRectWhenFlat(bool draw, bool repaint)
{
    m_focusRectWhenFlat = draw;
    if (repaint)
        update();
}

CIconButton::Layout CIconButton::ComputeLayout(bool pressed) const
{
    const QRect item = rect();
    const int left = item.x();
    const int top = item.y();
    const int right = item.x() + item.width(); // exclusive, as the arithmetic below expects
    const int bottom = item.y() + item.height();
    const bool hasCaption = !text().isEmpty();

    Layout layout;
    int capLeft = left;
    int capTop = top;
    int capRight = right;
    const int capBottom = bottom;
    if (!m_icon.isNull())
    {
        const int w = kIconSize;
        const int h = kIconSize;
        int x = left;
        int y = top;
        switch (m_alignment)
        {
            case 0:
                if (hasCaption)
                {
                    x = left + kMarginX;
                    y = top + Half(item.height() - h);
                    capLeft = left + kMarginX + w;
                }
                else
                {
                    x = left + Half(item.width() - w);
                    y = top + Half(item.height() - h);
                }
                break;
            case 1:
                x = left + Half(item.width() - w);
                if (hasCaption)
                {
                    y = kMarginY;
                    capTop = top + h;
                }
                else
                {
                    y = top + Half(item.height() - h);
                }
                break;
            case 2:
                if (hasCaption)
                {
                    x = width() - kMarginX - w;
                    y = top + Half(item.height() - h);
                    capLeft = kMarginX;
                    capRight = right - (left + kMarginX + w);
                }
                else
                {
                    x = left + Half(item.width() - w);
                    y = top;
                }
                break;
            default:
                break;
        }
        if (pressed)
        {
            x += kPressedShift;
            y += kPressedShift;
        }
        layout.icon = QRect(x, y, w, h);
    }
    layout.caption = QRect(capLeft, capTop, capRight - capLeft, capBottom - capTop);
    if (pressed)
        layout.caption.translate(kPressedShift, kPressedShift);
    return layout;
}

void CIconButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const bool pressed = isDown() || isChecked();
    const bool disabled = !isEnabled();
    const QRect item = rect();
    const QColor foreground = palette().color(QPalette::WindowText);

    const QColor shadow = palette().color(QPalette::Dark);
    const QColor highlight = palette().color(QPalette::Light);
    if (pressed || m_hovered)
    {
        const QColor topLeft = pressed ? shadow : highlight;
        const QColor bottomRight = pressed ? highlight : shadow;
        const int x1 = item.left();
        const int y1 = item.top();
        const int x2 = item.right();
        const int y2 = item.bottom();
        painter.setPen(topLeft);
        painter.drawLine(x1, y1, x2, y1);
        painter.drawLine(x1, y1, x1, y2);
        painter.setPen(bottomRight);
        painter.drawLine(x1, y2, x2, y2);
        painter.drawLine(x2, y1, x2, y2);
    }

    const Layout layout = ComputeLayout(pressed);
    if (!m_icon.isNull())
    {
        m_icon.paint(&painter, layout.icon, Qt::AlignCenter, disabled ? QIcon::Disabled : QIcon::Normal);
    }

    const QString caption = text();
    if (!caption.isEmpty())
    {
        const int flags = Qt::TextWordWrap | Qt::AlignHCenter | Qt::TextShowMnemonic;
        const QRect area = layout.caption;
        QRect measured = painter.fontMetrics().boundingRect(QRect(0, 0, area.width(), area.height()), flags, caption);
        measured.moveTo(area.x() + Half(area.width() - measured.width()),
                        area.y() + Half(area.height() - measured.height()));
        if (disabled)
        {
            painter.setPen(highlight);
            painter.drawText(measured.translated(1, 1), flags, caption);
            painter.setPen(shadow);
        }
        else
        {
            painter.setPen(foreground);
        }
        painter.drawText(measured, flags, caption);
    }

    if (ShowsFocusRect())
    {
        // A dotted rectangle of our own: styles draw theirs only after
        // keyboard navigation, and this one must follow the button's option.
        painter.setPen(QPen(foreground, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(item.adjusted(kFocusInset, kFocusInset, -kFocusInset - 1, -kFocusInset - 1));
    }
}

bool CIconButton::ShowsFocusRect() const
{
    return m_focusRectWhenFlat && hasFocus();
}

void CIconButton::SetHovered(bool hovered)
{
    if (m_hovered == hovered)
        return;
    m_hovered = hovered;
    update();
}

void CIconButton::enterEvent(QEnterEvent* event)
{
    QPushButton::enterEvent(event);
    // A drag that began elsewhere does not light the button up.
    if ((QApplication::mouseButtons() & Qt::LeftButton) && !m_hovered)
        return;
    SetHovered(true);
}

void CIconButton::leaveEvent(QEvent* event)
{
    QPushButton::leaveEvent(event);
    SetHovered(false);
}

void CIconButton::mouseMoveEvent(QMouseEvent* event)
{
    QPushButton::mouseMoveEvent(event);
    if ((event->buttons() & Qt::LeftButton) && !m_hovered)
        return;
    SetHovered(rect().contains(event->position().toPoint()));
}

void CIconButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second click of a double-click is a click of its own.
    mousePressEvent(event);
}

void CIconButton::focusOutEvent(QFocusEvent* event)
{
    QPushButton::focusOutEvent(event);
    SetHovered(false);
}

void CIconButton::changeEvent(QEvent* event)
{
    QPushButton::changeEvent(event);
    switch (event->type())
    {
        case QEvent::ActivationChange:
            if (!isActiveWindow())
                SetHovered(false);
            break;
        case QEvent::EnabledChange:
            if (!isEnabled())
                SetHovered(false);
            break;
        case QEvent::PaletteChange:
        case QEvent::StyleChange:
            update();
            break;
        default:
            break;
    }
}

bool CIconButton::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip)
    {
        if (m_tooltipActive && !m_tooltipText.isEmpty())
        {
            const auto* help = static_cast<QHelpEvent*>(event);
            if (m_balloonTooltip)
                CBalloonTip::ShowText(help->globalPos(), m_tooltipText, this);
            else
                QToolTip::showText(help->globalPos(), m_tooltipText, this, rect());
        }
        else
        {
            CBalloonTip::HideText();
            QToolTip::hideText();
        }
        event->accept();
        return true;
    }
    return QPushButton::event(event);
}
