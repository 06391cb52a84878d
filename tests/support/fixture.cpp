#include "fixture.h"

#include "app/globals.h"
#include "app/schema.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

namespace {

AppFolder *current = nullptr;

} // namespace

AppFolder::AppFolder(Option option, const QString &subfolder)
    : m_savedAppPath(gs_apppath)
    , m_previous(current)
{
    current = this;
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
        if (const DbResult opened = m_db.open(database()); !opened)
            qFatal("cannot connect the test database: %s", qPrintable(opened.reason));
    }
}

AppFolder::~AppFolder()
{
    m_db.close();
    gs_apppath = m_savedAppPath;
    current = m_previous;
}

Connection &testDb()
{
    if (!current)
        qFatal("no test folder is alive");
    return current->db();
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
    QSqlQuery q(testDb().sqlDatabase());
    if (!q.prepare(sql))
        qFatal("bad test statement %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec())
        qFatal("test statement failed %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    return q.next() ? q.value(0) : QVariant();
}
