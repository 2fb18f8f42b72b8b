// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/setting_name_order.h"

#include "settings/setting_text.h"

#include <QByteArray>

// The settings store the names as UTF-8 and sort and search them with
// CompareNamesNoCase; the lists must agree with it entry for entry, since a
// saved selection is a position in the sorted list.
int CompareSettingNamesNoCase(const QString& a, const QString& b)
{
    const QByteArray x = a.toUtf8();
    const QByteArray y = b.toUtf8();
    return CompareNamesNoCase(std::string_view(x.constData(), static_cast<std::size_t>(x.size())),
                              std::string_view(y.constData(), static_cast<std::size_t>(y.size())));
}
