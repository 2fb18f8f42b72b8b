// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

// A balloon tooltip: a rounded bubble in the desktop's tooltip colours with
// a small tail pointing up at the spot it explains, the text wrapped at 400
// pixels. One balloon shows at a time; it goes away when the pointer leaves
// its owner, when the owner is clicked or hidden, and after ten seconds.
class CBalloonTip : public QWidget
{
    Q_OBJECT
public:
    static void ShowText(const QPoint& globalAnchor, const QString& text, QWidget* owner);
    static void HideText();
    // The balloon on screen, nullptr when none shows.
    static CBalloonTip* Shown();

    QString Text() const { return m_text; }
    QWidget* Owner() const { return m_owner; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CBalloonTip();
    void Present(const QPoint& globalAnchor, const QString& text, QWidget* owner);
    QRect TextRect() const;
    QPainterPath Outline() const;

    QString m_text;
    QPointer<QWidget> m_owner;
    QTimer m_hideTimer;
    int m_tailX = 0;
};
