#include "fixture.h"

#include "app/globals.h"
#include "app/schema.h"
#include "app/transaction.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

AppFolder::AppFolder(Option option, const QString &subfolder)
    : m_savedAppPath(gs_apppath)
{
    m_path = m_dir.path();
    if (!subfolder.isEmpty()) {
        m_path += QLatin1Char('/') + subfolder;
        QDir().mkpath(m_path);
    }
    gs_apppath = m_path;
    if (option != NoDatabase) {
        QString error;
        if (!createDatabase(database(), &error))
            qFatal("cannot create the test database: %s", qPrintable(error));
    }
    if (option == Connect) {
        sqlca.disconnect();
        sqlca.database = database();
        if (!sqlca.connect())
            qFatal("cannot connect the test database: %s", qPrintable(sqlca.sqlerrtext));
    }
}

AppFolder::~AppFolder()
{
    sqlca.disconnect();
    gs_apppath = m_savedAppPath;
}

void AppFolder::writeFile(const QString &name, const QByteArray &bytes) const
{
    QFile f(file(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file(name)));
}

QByteArray AppFolder::readFile(const QString &name) const
{
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QVariant scalar(const QString &sql, const QVariantList &values)
{
    QSqlQuery q(sqlca.db());
    if (!q.prepare(sql))
        qFatal("bad test statement %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec())
        qFatal("test statement failed %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    return q.next() ? q.value(0) : QVariant();
}
