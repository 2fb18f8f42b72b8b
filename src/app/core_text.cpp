// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/core_text.h"

#include <QCoreApplication>

#include <array>

namespace
{

// The core's fixed texts, for lupdate; the keys of Translate.
[[maybe_unused]] constexpr std::array kFixedTexts = {
    QT_TRANSLATE_NOOP("CCoreText", "nothing to do"),
    QT_TRANSLATE_NOOP("CCoreText", "generating noise signal"),
    QT_TRANSLATE_NOOP("CCoreText", "playing"),
    QT_TRANSLATE_NOOP("CCoreText", "Warning"),
    QT_TRANSLATE_NOOP("CCoreText", "No audio mixer device found"),
    QT_TRANSLATE_NOOP("CCoreText", "I can't open the sound device"),
    QT_TRANSLATE_NOOP("CCoreText",
                      "the name must end in .wav, .flac, .opus or .mp3 (the suffix chooses the file type)"),
    QT_TRANSLATE_NOOP("CCoreText", "a sound file can be at most 13:31:35 (48695 s) long"),
    QT_TRANSLATE_NOOP("CCoreText", "a sound file can be at most 23:59:59 long"),
    QT_TRANSLATE_NOOP("CCoreText", "it is not a regular file"),
    QT_TRANSLATE_NOOP("CCoreText", "the file ends inside its 12-byte header"),
    QT_TRANSLATE_NOOP("CCoreText", "a text without its terminating zero byte was cut"),
    QT_TRANSLATE_NOOP("CCoreText", "a record without a name was skipped"),
};

QString Fixed(const QString& text)
{
    return QCoreApplication::translate("CCoreText", text.toUtf8().constData());
}

} // namespace

QString CCoreText::Translate(const std::string& text)
{
    const QString english = QString::fromStdString(text);
    // "I can't <verb> <path>[: <reason>]": the path may hold anything but the
    // reasons hold no ": ".
    struct Pattern
    {
        QLatin1String prefix;
        const char* withReason;
        const char* alone;
    };
    static const Pattern patterns[] = {
        {QLatin1String("I can't write "), QT_TRANSLATE_NOOP("CCoreText", "I can't write %1: %2"),
         QT_TRANSLATE_NOOP("CCoreText", "I can't write %1")},
        {QLatin1String("I can't open "), QT_TRANSLATE_NOOP("CCoreText", "I can't open %1: %2"),
         QT_TRANSLATE_NOOP("CCoreText", "I can't open %1")},
        {QLatin1String("I can't read "), QT_TRANSLATE_NOOP("CCoreText", "I can't read %1: %2"),
         QT_TRANSLATE_NOOP("CCoreText", "I can't read %1")},
        {QLatin1String("I can't create the folder "),
         QT_TRANSLATE_NOOP("CCoreText", "I can't create the folder %1: %2"),
         QT_TRANSLATE_NOOP("CCoreText", "I can't create the folder %1")},
    };
    if (const QString fixed = Fixed(english); fixed != english)
        return fixed;
    for (const Pattern& pattern : patterns)
    {
        if (!english.startsWith(pattern.prefix))
            continue;
        const QString rest = english.mid(pattern.prefix.size());
        const qsizetype colon = rest.lastIndexOf(QLatin1String(": "));
        if (colon < 0)
            return QCoreApplication::translate("CCoreText", pattern.alone).arg(rest);
        return QCoreApplication::translate("CCoreText", pattern.withReason)
            .arg(rest.left(colon), Fixed(rest.mid(colon + 2)));
    }
    return Fixed(english);
}
