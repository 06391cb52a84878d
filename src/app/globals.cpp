#include "app/globals.h"

const QString gs_version = QStringLiteral("2.2");
const QString gs_build = QStringLiteral("20090214");
QString gs_apppath;
bool gb_shortcut_get = false;
const QString reg_run = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
uo_icon *u_icon = nullptr;

QString appFile(const QString &name)
{
    return gs_apppath + QLatin1Char('/') + name;
}
