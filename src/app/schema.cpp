#include "app/schema.h"

#include "schema_sql.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

QString schemaSql()
{
    return QString::fromUtf8(kSchemaSql);
}

bool createDatabase(const QString &path, QString *error)
{
    auto failed = [&](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (QFileInfo::exists(path))
        return failed(QStringLiteral("文件已存在: %1").arg(path));

    sqlite3 *db = nullptr;
    const QByteArray file = QFile::encodeName(path);
    int rc = sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_EXCLUSIVE, nullptr);
    char *message = nullptr;
    if (rc == SQLITE_OK) {
        const QByteArray script = "BEGIN;\n" + QByteArray(kSchemaSql) + "\nCOMMIT;";
        rc = sqlite3_exec(db, script.constData(), nullptr, nullptr, &message);
    }
    const QString text = message ? QString::fromUtf8(message) : QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_free(message);
    sqlite3_close(db);
    if (rc != SQLITE_OK) {
        QFile::remove(path);
        return failed(text);
    }
    return true;
}
