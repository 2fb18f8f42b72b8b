#include "app/setting_name_order.h"

int CompareSettingNamesNoCase(const QString& a, const QString& b)
{
    return QString::compare(a, b, Qt::CaseInsensitive);
}

bool SettingNamesEqualNoCase(const QString& a, const QString& b)
{
    return CompareSettingNamesNoCase(a, b) == 0;
}
