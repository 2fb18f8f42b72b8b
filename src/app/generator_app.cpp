// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/generator_app.h"

#include "app/app_resources.h"
#include "app/main_dlg.h"
#include "app/prefetched_wave_out.h"
#include "app/resource_ids.h"
#include "playback/backends/backend_choice.h"
#include "settings/settings_location.h"

#include <QApplication>

bool CGeneratorApp::InitInstance()
{
    // The sound system is reached and its devices listed while the window
    // builds; the device outlives the window, which closes it before it goes.
    CPrefetchedWaveOut waveOut([] { return CreateWaveOut(); });
    QApplication::setWindowIcon(CAppResources::LoadIcon(IDI_APP));
    // Lets the desktop match the window to its menu entry and icon (Wayland's app id).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.susurra.Susurra"));
    // Sets g_programFolder on the way.
    const std::string settingsFolder = ChooseSettingsFolder(SettingsEnvironment::FromSystem());
    CMainDlg dialog(waveOut, settingsFolder);
    dialog.DoModal();
    return false;
}
