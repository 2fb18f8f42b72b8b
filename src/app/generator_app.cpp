// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/generator_app.h"

#include "app/app_resources.h"
#include "app/main_dlg.h"
#include "app/mpris_player.h"
#include "app/prefetched_wave_out.h"
#include "app/resource_ids.h"
#include "playback/backends/backend_choice.h"
#include "app/single_instance.h"
#include "settings/settings_location.h"

#include <QApplication>

bool CGeneratorApp::InitInstance()
{
    // Two windows would each write both settings files at Exit, the later
    // throwing away what was saved in the other: the running one comes
    // forward instead.
    CSingleInstance instance;
    if (instance.HandOverToRunning())
        return false;
    // The sound system is reached and its devices listed while the window
    // builds; the device outlives the window, which closes it before it goes.
    CPrefetchedWaveOut waveOut([] { return CreateWaveOut(); });
    QApplication::setWindowIcon(CAppResources::LoadIcon(IDI_APP));
    // Lets the desktop match the window to its menu entry and icon (Wayland's app id).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.susurra.Susurra"));
    // Sets g_programFolder on the way.
    const std::string settingsFolder = ChooseSettingsFolder(SettingsEnvironment::FromSystem());
    CMainDlg dialog(waveOut, settingsFolder);
    QObject::connect(&instance, &CSingleInstance::RaiseRequested, &dialog, &CMainDlg::BringToFront);
    // Without a session bus the window works as before, and says nothing.
    auto* mpris = new CMprisPlayer(dialog);
    mpris->Register();
    dialog.DoModal();
    return false;
}
