// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app_resources.h"
#include "app/resource_ids.h"
#include "app/string_table.h"
#include "testing/ui/qt_test_app.h"
#include "testing/param_name.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdlib>

using AppResources = QtTest;

TEST_F(AppResources, StringTableEntryIsFoundByIdAndAMissingOneIsEmpty)
{
    EXPECT_EQ(CStringTable::Load(IDS_TIP_TO_FILE), "Save the sound signal to a file of your choice");
    EXPECT_EQ(CStringTable::Load(9999), "");
}

TEST_F(AppResources, HandCursorIsThePointingHandAndAnUnknownCursorIsNone)
{
    const std::optional<QCursor> hand = CAppResources::LoadCursor(IDC_HAND);
    ASSERT_TRUE(hand.has_value());
    EXPECT_EQ(hand->shape(), Qt::PointingHandCursor);
    EXPECT_FALSE(CAppResources::LoadCursor(12345).has_value());
}

namespace
{

// Pixels of the icon drawn at 32 x 32 on `background` whose luminance
// differs from it by more than a third of the scale.
int ContrastingPixels(const QIcon& icon, QColor background)
{
    QImage canvas(32, 32, QImage::Format_RGB32);
    canvas.fill(background);
    {
        QPainter painter(&canvas);
        icon.paint(&painter, canvas.rect());
    }
    int count = 0;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            count += std::abs(qGray(canvas.pixel(x, y)) - qGray(background.rgb())) > 85 ? 1 : 0;
    return count;
}

struct CommandIcon
{
    const char* name;
    int id;
};

class CommandIcons : public QtTest, public testing::WithParamInterface<CommandIcon>
{};

} // namespace

TEST_P(CommandIcons, TheProgramsOwnDrawingStandsOutOnLightAndDarkPalettes)
{
    // A desktop theme offering every usual name must not replace it.
    QTemporaryDir themes;
    QDir(themes.path()).mkpath("pale/32x32");
    QFile index(themes.filePath("pale/index.theme"));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=pale\nDirectories=32x32\n[32x32]\nSize=32\n");
    index.close();
    QImage pale(32, 32, QImage::Format_ARGB32);
    pale.fill(Qt::transparent);
    for (const char* name : {"media-playback-start", "media-playback-stop", "document-save", "preferences-system",
                             "application-exit", "document-open", "help-browser"})
        pale.save(themes.filePath(QStringLiteral("pale/32x32/%1.png").arg(name)));
    const QStringList oldPaths = QIcon::themeSearchPaths();
    const QString oldTheme = QIcon::themeName();
    QIcon::setThemeSearchPaths({themes.path()});
    QIcon::setThemeName("pale");

    const QIcon icon = CAppResources::LoadIcon(GetParam().id);
    // The outline alone (a quarter of the frame's edge) would give about 60.
    EXPECT_GT(ContrastingPixels(icon, QColor(0xf0, 0xf0, 0xf0)), 60);
    EXPECT_GT(ContrastingPixels(icon, QColor(0x20, 0x20, 0x20)), 60);

    QIcon::setThemeName(oldTheme);
    QIcon::setThemeSearchPaths(oldPaths);
}

INSTANTIATE_TEST_SUITE_P(Buttons, CommandIcons,
                         testing::Values(CommandIcon{"Play", IDI_PLAY}, CommandIcon{"Stop", IDI_STOP},
                                         CommandIcon{"ToFile", IDI_TO_FILE}, CommandIcon{"Tools", IDI_TOOLS},
                                         CommandIcon{"Exit", IDI_EXIT}, CommandIcon{"Browse", IDI_BROWSE},
                                         CommandIcon{"Help", IDI_HELP}),
                         RowName());
