// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCursor>
#include <QIcon>
#include <QPushButton>

#include <optional>

// A flat push button that paints itself: a 32x32 icon with the caption
// beside it (or the icon alone), a thin raised edge while the pointer is
// over it, a thin sunken edge with icon and caption shifted one pixel right
// and down while it is pressed, an optional hover cursor and a tooltip.
// Clicks reach the dialog like those of any push button; a double-click
// counts as two clicks. It draws no focus rectangle unless asked to. The
// background is left transparent, so that the button sits on a frame's
// panel as on the window.
class CIconButton : public QPushButton
{
    Q_OBJECT
public:
    // Where icon and caption went, for a given pressed state.
    struct Layout
    {
        QRect icon;    // empty without an icon
        QRect caption; // the area the caption is centred in
    };

    static constexpr int kIconSize = 32;

    explicit CIconButton(QWidget* parent = nullptr);

    void SetIcon(const QIcon& icon);

    // Asks for balloon tooltips (CBalloonTip) instead of the desktop's plain
    // ones; call before SetTooltipText.
    void SetBalloonTooltip();
    // An empty text changes nothing. The tooltip shows only while activated.
    void SetTooltipText(const QString& text, bool activate = true);

    // Shows cursor over the button; nullopt: the parent's cursor.
    void SetHoverCursor(const std::optional<QCursor>& cursor, bool repaint = true);
    bool HasHoverCursor() const { return m_hasHoverCursor; }

    // Icon placement 0..3: 0 left of the caption, 1 above it, 2 right of it,
    // 3 at the top-left corner. Returns 0, or 4 for any other value, which
    // changes nothing.
    int SetAlignment(int alignment, bool repaint = true);
    int GetAlignment() const { return m_alignment; }

    void SetFocusRectWhenFlat(bool draw, bool repaint = true);

    bool IsHovered() const { return m_hovered; }

    Layout ComputeLayout(bool pressed) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void SetHovered(bool hovered);
    bool ShowsFocusRect() const;

    QIcon m_icon;
    int m_alignment = 0;
    bool m_focusRectWhenFlat = false;
    bool m_hovered = false;
    bool m_hasHoverCursor = false;
    bool m_balloonTooltip = false;
    bool m_tooltipActive = false;
    QString m_tooltipText;
};
