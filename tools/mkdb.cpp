// mivo_mkdb FILE: creates FILE as a new, empty database of the program. An existing FILE is left
// exactly as it is (exit 0), so a delivered database is never overwritten.

#include "app/schema.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: mivo_mkdb FILE\n");
        return 2;
    }
    const QString path = args.at(1);
    if (QFileInfo::exists(path))
        return 0;
    QString error;
    if (!createDatabase(path, &error)) {
        std::fprintf(stderr, "mivo_mkdb: %s: %s\n", qPrintable(path), qPrintable(error));
        return 1;
    }
    return 0;
}
