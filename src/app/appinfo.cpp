#include "app/appinfo.h"

const QString appVersion = QStringLiteral("2.2");
const QString appBuild = QStringLiteral("20090214");

namespace {

QString g_folder;

} // namespace

QString appFolder()
{
    return g_folder;
}

void setAppFolder(const QString &folder)
{
    g_folder = folder;
}

QString appFile(const QString &name)
{
    return g_folder + QLatin1Char('/') + name;
}
