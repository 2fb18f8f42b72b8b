// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/balloon_tip.h"

#include <QApplication>
#include <QBitmap>
#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

#include <algorithm>

namespace
{

constexpr int kMaxTextWidth = 400;
constexpr int kPadding = 8;
constexpr int kTailHeight = 8;
constexpr int kTailHalfWidth = 7;
constexpr int kTailInset = 18; // from the balloon's left edge to the tail's tip
constexpr int kCornerRadius = 6;
constexpr int kAnchorGap = 18; // below the pointer, clear of the cursor image
constexpr int kShowMilliseconds = 10000;

QPointer<CBalloonTip> g_balloon;

} // namespace

CBalloonTip::CBalloonTip() : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_hideTimer.setSingleShot(true);
    connect(&m_hideTimer, &QTimer::timeout, this, &QWidget::hide);
}

void CBalloonTip::ShowText(const QPoint& globalAnchor, const QString& text, QWidget* owner)
{
    if (text.isEmpty())
    {
        HideText();
        return;
    }
    if (g_balloon == nullptr)
        g_balloon = new CBalloonTip(); // kept for reuse until the program ends
    g_balloon->Present(globalAnchor, text, owner);
}

void CBalloonTip::HideText()
{
    if (g_balloon != nullptr)
        g_balloon->hide();
}

CBalloonTip* CBalloonTip::Shown()
{
    return g_balloon != nullptr && g_balloon->isVisible() ? g_balloon.data() : nullptr;
}

void CBalloonTip::Present(const QPoint& globalAnchor, const QString& text, QWidget* owner)
{
    if (m_owner != nullptr)
        m_owner->removeEventFilter(this);
    m_owner = owner;
    if (m_owner != nullptr)
        m_owner->installEventFilter(this);
    m_text = text;
    setPalette(QApplication::palette("QTipLabel"));
    setFont(QApplication::font("QTipLabel"));

    const QRect textBounds =
        fontMetrics().boundingRect(QRect(0, 0, kMaxTextWidth, 10000), Qt::TextWordWrap | Qt::AlignLeft, m_text);
    const QSize size(textBounds.width() + 2 * kPadding + 1, textBounds.height() + 2 * kPadding + kTailHeight + 1);

    // Below the pointer with the tail at the anchor, kept on the screen.
    QPoint topLeft(globalAnchor.x() - kTailInset, globalAnchor.y() + kAnchorGap - kTailHeight);
    if (const QScreen* screen = QGuiApplication::screenAt(globalAnchor))
    {
        const QRect area = screen->availableGeometry();
        topLeft.setX(std::clamp(topLeft.x(), area.left(), std::max(area.left(), area.right() - size.width())));
        topLeft.setY(std::min(topLeft.y(), std::max(area.top(), area.bottom() - size.height())));
    }
    m_tailX = std::clamp(globalAnchor.x() - topLeft.x(), kCornerRadius + kTailHalfWidth,
                         size.width() - kCornerRadius - kTailHalfWidth);
    setGeometry(QRect(topLeft, size));

    // The window takes the balloon's shape, so no compositor is needed.
    QBitmap mask(size);
    mask.fill(Qt::color0);
    QPainter maskPainter(&mask);
    maskPainter.setPen(Qt::color1);
    maskPainter.setBrush(Qt::color1);
    maskPainter.drawPath(Outline());
    maskPainter.end();
    setMask(mask);

    show();
    raise();
    update();
    m_hideTimer.start(kShowMilliseconds);
}

QPainterPath CBalloonTip::Outline() const
{
    const QRectF body(0.5, kTailHeight + 0.5, width() - 1.0, height() - kTailHeight - 1.0);
    QPainterPath bubble;
    bubble.addRoundedRect(body, kCornerRadius, kCornerRadius);
    QPainterPath tail;
    tail.moveTo(m_tailX - kTailHalfWidth, kTailHeight + 1.5);
    tail.lineTo(m_tailX, 0.5);
    tail.lineTo(m_tailX + kTailHalfWidth, kTailHeight + 1.5);
    tail.closeSubpath();
    return bubble.united(tail);
}

QRect CBalloonTip::TextRect() const
{
    return QRect(kPadding, kTailHeight + kPadding, width() - 2 * kPadding, height() - kTailHeight - 2 * kPadding);
}

void CBalloonTip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().color(QPalette::ToolTipText), 1.0));
    painter.setBrush(palette().color(QPalette::ToolTipBase));
    painter.drawPath(Outline());
    painter.setPen(palette().color(QPalette::ToolTipText));
    painter.drawText(TextRect(), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignVCenter, m_text);
}

bool CBalloonTip::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_owner)
    {
        switch (event->type())
        {
            case QEvent::Leave:
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
            case QEvent::Hide:
            case QEvent::KeyPress:
            case QEvent::WindowDeactivate:
            case QEvent::FocusOut:
                hide();
                break;
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
