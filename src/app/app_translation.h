// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>

// Puts the window into the user's language: Susurra's own translation (built
// in) and Qt's for its standard buttons and boxes, chosen from the locale's
// languages in order. English, the language the texts are written in, needs
// none and is what is left when no translation fits.
class CAppTranslation
{
public:
    // Installs the translators into the running application; they live
    // until Remove or the end of the program. Returns the language of
    // Susurra's own translation, or "en".
    static QString Install(const QLocale& locale = QLocale());
    static void Remove();
};
