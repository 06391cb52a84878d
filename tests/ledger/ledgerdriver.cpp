#include "ledgerdriver.h"

#include "app/appinfo.h"
#include "app/connection.h"

#include <QFile>
#include <QTest>
#include <sqlite3.h>

void addEntries(const QList<Entry> &entries)
{
    for (const Entry &e : entries)
        if (const DbResult added = testDb().execute(QStringLiteral("INSERT INTO t_account (vtype, vdate, vname, vmoney) VALUES (?, ?, ?, ?)"),
                                                    {e.type, e.date.isNull() ? QVariant() : QVariant(e.date), e.name, e.money});
            !added)
            qFatal("cannot add an entry: %s", qPrintable(added.reason));
    if (const DbResult done = testDb().commit(); !done)
        qFatal("cannot commit the entries: %s", qPrintable(done.reason));
}

namespace {

int traceListReads(unsigned, void *counter, void *statement, void *)
{
    const char *sql = sqlite3_sql(static_cast<sqlite3_stmt *>(statement));
    if (sql && QByteArray(sql).startsWith("SELECT vdate, vname, vmoney"))
        ++*static_cast<int *>(counter);
    return 0;
}

} // namespace

LedgerDriver::LedgerDriver(const QDate &today, const QList<Entry> &entries, const QByteArray &settings, int *listReads)
    : PageDriver<LedgerPage>([&] {
        static_cast<fake::Clock *>(platform::services().clock.get())->current = QDateTime(today, QTime(9, 0));
        if (!settings.isNull()) {
            QFile f(appFile(QStringLiteral("client.ini")));
            if (!f.open(QIODevice::WriteOnly) || f.write(settings) != settings.size())
                qFatal("cannot write the settings file");
        }
        addEntries(entries);
        if (listReads) {
            *listReads = 0;
            sqlite3_trace_v2(testDb().handle(), SQLITE_TRACE_STMT, traceListReads, listReads);
        }
    })
{
}

bool LedgerDriver::hasSettingsFile() const
{
    return QFile::exists(folder.file(QStringLiteral("client.ini")));
}

int LedgerDriver::entryCount(const QString &where) const
{
    return scalar(QStringLiteral("SELECT count(*) FROM t_account WHERE ") + where).toInt();
}
