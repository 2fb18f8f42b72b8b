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
#include <QTimer>

bool CGeneratorApp::InitInstance()
{
    // Sets g_programFolder on the way.
    const std::string settingsFolder = ChooseSettingsFolder(SettingsEnvironment::FromSystem());
    // Two windows on one settings folder would each write both settings
    // files at Exit, the later throwing away what was saved in the other:
    // the running one comes forward instead.
    CSingleInstance instance(QString::fromStdString(settingsFolder));
    if (instance.HandOverToRunning())
        return false;
    // The sound system is reached and its devices listed once the window is
    // shown; the device outlives the window, which closes it before it goes.
    CPrefetchedWaveOut waveOut([] { return CreateWaveOut(); });
    // Lets the desktop match the window to its menu entry and icon (Wayland's app id).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.susurra.Susurra"));
    CMainDlg dialog(waveOut, settingsFolder);
    dialog.StartSoundLater();
    QObject::connect(&waveOut, &CPrefetchedWaveOut::Ready, &dialog, &CMainDlg::OnSoundReady);
    QObject::connect(&instance, &CSingleInstance::RaiseRequested, &dialog, &CMainDlg::BringToFront);
    // Without a session bus the window works as before, and says nothing.
    auto* mpris = new CMprisPlayer(dialog);
    // These wait for the window to be shown: its first paint needs none of them.
    QTimer::singleShot(0, &waveOut, &CPrefetchedWaveOut::Start);
    QTimer::singleShot(0, mpris, &CMprisPlayer::Register);
    QTimer::singleShot(0, [] { QApplication::setWindowIcon(CAppResources::LoadIcon(IDI_APP)); });
    dialog.DoModal();
    return false;
}
