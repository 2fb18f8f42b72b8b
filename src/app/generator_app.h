// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The application: works out the program's folder and the settings folder,
// then runs the main window modally; the program ends when that run
// returns. Needs a QApplication.
class CGeneratorApp
{
public:
    // Runs the whole program. Returns false: there is no message loop of the
    // application's own after the main window.
    bool InitInstance();
};
