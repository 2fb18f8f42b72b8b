// SPDX-License-Identifier: GPL-3.0-or-later
// Every window on the screen the test runs on (tests/app/CMakeLists.txt sets
// up one headless screen per run): each control a user can reach lies on the
// screen once the keyboard or the scroll bars bring it there.
#include "main_dlg_window_fixture.h"
#include "settings/hearing_profile_file.h"
#include "synth/hearing_check.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

namespace
{

QString Describe(const QWidget* w)
{
    QString text = w->metaObject()->className() + QStringLiteral(" ") + w->objectName();
    if (auto* button = qobject_cast<const QAbstractButton*>(w))
        text += QStringLiteral(" \"") + button->text() + QLatin1Char('"');
    return text;
}

std::string Text(const QRect& r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()).toStdString();
}

// The window lies on the screen, and so does each control once it has the
// focus (Tab) or, for one that takes none, once its scroll area has been
// scrolled to it.
void ExpectEveryControlReachable(QWidget* window)
{
    ASSERT_NE(window, nullptr);
    const QRect screen = window->screen()->availableGeometry();
    SCOPED_TRACE(window->windowTitle().toStdString());
    // The keyboard works in the active window only.
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    EXPECT_TRUE(screen.contains(window->frameGeometry()))
        << "window " << window->frameGeometry().x() << "," << window->frameGeometry().y() << " "
        << window->frameGeometry().width() << "x" << window->frameGeometry().height();
    int checked = 0;

    for (QWidget* w : window->findChildren<QWidget*>())
    {
        if (!w->isVisible() || w->window() != window || qobject_cast<QGroupBox*>(w) != nullptr
            || qobject_cast<QScrollArea*>(w) != nullptr || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        // Only the controls themselves: the scroll area's own parts and the
        // page they sit on are not.
        if (w->children().isEmpty() && w->parentWidget() == nullptr)
            continue;
        QScrollArea* area = nullptr;
        for (QWidget* up = w->parentWidget(); up != nullptr && area == nullptr; up = up->parentWidget())
            area = qobject_cast<QScrollArea*>(up);
        if (area != nullptr && (w == area->widget() || !area->widget()->isAncestorOf(w)))
            continue;
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled())
        {
            // Coming to it again, as Tab would: a control that kept the
            // focus while the page scrolled elsewhere is not moved to.
            if (w->hasFocus())
                w->clearFocus();
            w->setFocus(Qt::TabFocusReason);
        }
        else if (area != nullptr)
            area->ensureWidgetVisible(w, 0, 0);
        QCoreApplication::processEvents();
        const QRect r(w->mapToGlobal(QPoint(0, 0)), w->size());
        EXPECT_TRUE(screen.contains(r) && window->geometry().contains(r))
            << Describe(w).toStdString() << " at " << Text(r) << " in window " << Text(window->geometry())
            << " on screen " << Text(screen);
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

} // namespace

using ScreenFit = MainWindowTest;

TEST_F(ScreenFit, MainWindowAndManageSettings)
{
    CMainDlg& d = Start();
    ExpectEveryControlReachable(&d);
    Button(d, IDC_NOISE_SAVE_SETTING)->click();
    Settle();
    ExpectEveryControlReachable(QApplication::activeWindow());
}

TEST_F(ScreenFit, AboutBoxAndMatchDialog)
{
    CMainDlg& d = Start();
    QTimer::singleShot(0, [] {
        QWidget* about = QApplication::activeModalWidget();
        ExpectEveryControlReachable(about);
        if (about != nullptr)
            about->close();
    });
    Button(d, IDC_TOOLS)->click();

    Button(d, IDC_TINNITUS_FINDER)->click();
    QTimer::singleShot(0, [] {
        QWidget* match = QApplication::activeModalWidget();
        ExpectEveryControlReachable(match);
        if (match != nullptr)
            match->close();
    });
    d.GetDlgItemAs<QPushButton>(IDC_MATCH)->click();
}

TEST_F(ScreenFit, HearingCheckWithItsChartAndItsQuestions)
{
    HearingProfile profile{"2026-01-02", "Speakers", {}};
    for (int hz : CHearingCheck::Frequencies(true))
        profile.thresholds.push_back({HearingEar::Left, hz, -40, hz != 12000});
    ASSERT_TRUE(SaveHearingProfile(Folder(), profile));
    CMainDlg& d = Start();
    QTimer::singleShot(0, [] {
        QWidget* hearing = QApplication::activeModalWidget();
        ExpectEveryControlReachable(hearing);
        if (hearing == nullptr)
            return;
        hearing->findChild<QPushButton*>("clear")->click();
        ExpectEveryControlReachable(hearing);
        hearing->findChild<QPushButton*>("start")->click();
        ExpectEveryControlReachable(hearing);
        hearing->close();
    });
    Button(d, IDC_HEARING_CHECK)->click();
}
