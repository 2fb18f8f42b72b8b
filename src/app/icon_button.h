#pragma once

#include <QIcon>
#include <QPushButton>

#include <array>
#include <optional>

// A flat push button that paints itself: a 32x32 icon with the caption
// beside it (or the icon alone), a thin raised edge while the pointer is
// over it, a thin sunken edge with icon and caption shifted one pixel right
// and down while it is pressed, an optional hover cursor and a tooltip from
// the string table. Clicks reach the dialog like those of any push button;
// a double-click counts as two clicks. A flat button draws no focus
// rectangle unless asked to.
class CIconButton : public QPushButton
{
    Q_OBJECT
public:
    // Colour slots: a background and a text colour for each situation.
    enum ColorSlot
    {
        BackgroundHot = 0, // hovered or pressed
        ForegroundHot,
        BackgroundFocus, // has the keyboard focus
        ForegroundFocus,
        BackgroundNormal,
        ForegroundNormal,
        ColorSlotCount
    };

    // Where icon and caption went, for a given pressed state.
    struct Layout
    {
        QRect icon;    // empty without an icon
        QRect caption; // the area the caption is centred in
    };

    static constexpr int kIconSize = 32;

    explicit CIconButton(QWidget* parent = nullptr);

    // Loads icon resource iconId as the primary icon; secondIconId, when not
    // 0, is drawn instead while the button is neither hovered nor pressed.
    void SetIcon(int iconId, int secondIconId = 0);
    void SetIcons(const QIcon& icon, const QIcon& secondIcon = QIcon());

    // Asks for balloon tooltips (CBalloonTip) instead of the desktop's plain
    // ones; call before SetTooltipText.
    void SetBalloonTooltip();
    // Sets the tooltip from string table entry stringId; an empty entry
    // changes nothing. The tooltip shows only while activated.
    void SetTooltipText(int stringId, bool activate = true);
    void SetTooltipText(const QString& text, bool activate = true);
    QString TooltipText() const { return m_tooltipText; }
    bool IsTooltipActive() const { return m_tooltipActive; }
    bool IsBalloonTooltip() const { return m_balloonTooltip; }

    // Shows cursor resource cursorId over the button (0: none). Returns 1
    // when the cursor cannot be loaded, else 0.
    int SetHoverCursor(int cursorId, bool repaint = true);
    bool HasHoverCursor() const { return m_hasHoverCursor; }

    // Icon placement 0..3: 0 left of the caption, 1 above it, 2 right of it,
    // 3 at the top-left corner. Returns 0, or 4 for any other value, which
    // changes nothing.
    int SetAlignment(int alignment, bool repaint = true);
    int GetAlignment() const { return m_alignment; }

    void SetFlatLook(bool flat, bool repaint = true);
    bool IsFlatLook() const { return m_flat; }
    void SetDrawEdge(bool drawEdge, bool repaint = true);
    void SetFocusRectWhenFlat(bool draw, bool repaint = true);

    // Overrides one colour; an invalid colour returns to the system colour.
    // Without an override the background is left transparent.
    void SetColor(ColorSlot slot, const QColor& color, bool repaint = true);
    QColor GetColor(ColorSlot slot) const;

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
    QIcon m_secondIcon;
    int m_alignment = 0;
    bool m_flat = true;
    bool m_drawEdge = true;
    bool m_focusRectWhenFlat = false;
    bool m_hovered = false;
    bool m_hasHoverCursor = false;
    bool m_balloonTooltip = false;
    bool m_tooltipActive = false;
    QString m_tooltipText;
    std::array<std::optional<QColor>, ColorSlotCount> m_colors;
};
