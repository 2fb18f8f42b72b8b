// SPDX-License-Identifier: GPL-3.0-or-later
// susurra-screen-grab WINDOW-ID FILE.png: saves what an X window shows, for
// the screenshots of the real program under Xvfb (scripts/screenshots.sh).

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf(stderr, "Usage: susurra-screen-grab WINDOW-ID FILE.png\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    bool ok = false;
    const WId window = QString::fromLocal8Bit(argv[1]).toULongLong(&ok, 0);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!ok || screen == nullptr)
    {
        std::fprintf(stderr, "susurra-screen-grab: no window %s\n", argv[1]);
        return 1;
    }
    const QPixmap picture = screen->grabWindow(window);
    if (picture.isNull() || !picture.save(QString::fromLocal8Bit(argv[2])))
    {
        std::fprintf(stderr, "susurra-screen-grab: cannot save %s\n", argv[2]);
        return 1;
    }
    return 0;
}
