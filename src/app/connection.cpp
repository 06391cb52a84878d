#include "app/connection.h"

#include "app/sqlerror.h"
#include "app/writepause.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <sqlite3.h>

namespace {

// Each connection registers under a name of its own, so two of them (the program's and a test's, or
// a benchmark's) never replace one another.
QString newConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("mivo-%1").arg(counter.fetchAndAddRelaxed(1) + 1);
}

} // namespace

const QStringList &requiredTables()
{
    static const QStringList tables = {
        QStringLiteral("t_group"), QStringLiteral("t_telinfo"), QStringLiteral("p_group"),
        QStringLiteral("p_info"),  QStringLiteral("ca_group"),  QStringLiteral("ca_info"),
        QStringLiteral("t_account"),
    };
    return tables;
}

Connection::Connection()
    : m_connectionName(newConnectionName())
{
}

Connection::~Connection()
{
    close();
}

void Connection::removeDatabase()
{
    QSqlDatabase::removeDatabase(m_connectionName);
}

DbResult Connection::open(const QString &file)
{
    close();
    m_file = file;

    const QFileInfo info(file);
    if (!info.exists())
        return DbResult::failure(DbResult::ProgramCode, QStringLiteral("数据库文件不存在: %1").arg(QDir::toNativeSeparators(file)));
    if (!info.isFile())
        return DbResult::failure(DbResult::ProgramCode, QStringLiteral("数据库路径不是文件: %1").arg(QDir::toNativeSeparators(file)));

    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
        // mode=rw: read-write, never create. The path travels percent-encoded, so blanks, '#', '?' and
        // Chinese reach the database unchanged.
        db.setDatabaseName(QUrl::fromLocalFile(info.absoluteFilePath()).toString(QUrl::FullyEncoded)
                           + QStringLiteral("?mode=rw"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=3000"));
        if (!db.open()) {
            const DbResult result = failure(db.lastError());
            db = QSqlDatabase();
            removeDatabase();
            return result;
        }
        if (sqlite3 *h = handle()) {
            sqlite3_extended_result_codes(h, 1);
            // Lists read whole tables in index order: reading the file through memory mapping and a
            // page cache of some megabytes, instead of the default 2 MB, saves a copy of every page.
            sqlite3_exec(h, "PRAGMA mmap_size = 1073741824; PRAGMA cache_size = -16384", nullptr, nullptr, nullptr);
        }

        // Reading the catalogue proves the file is a database; then every table must be there.
        QSqlQuery q(db);
        QStringList present;
        DbResult result;
        if (!q.exec(QStringLiteral("SELECT lower(name) FROM sqlite_master WHERE type = 'table'"))) {
            result = failure(q.lastError());
        } else {
            while (q.next())
                present << q.value(0).toString();
            QStringList missing;
            for (const QString &t : requiredTables())
                if (!present.contains(t))
                    missing << t;
            if (!missing.isEmpty())
                result = DbResult::failure(DbResult::ProgramCode,
                                           QStringLiteral("数据库中缺少数据表: %1").arg(missing.join(QStringLiteral(", "))));
        }
        // Lists read their text as it is stored when that is UTF-8 (see the data store's retrieve).
        if (result && q.exec(QStringLiteral("PRAGMA encoding")) && q.next())
            m_utf8 = q.value(0).toString() == QLatin1String("UTF-8");
        if (!result) {
            q = QSqlQuery();
            db.close();
            db = QSqlDatabase();
            removeDatabase();
            m_utf8 = false;
            return result;
        }
    }
    m_open = true;
    return {};
}

void Connection::close()
{
    if (!m_open)
        return;
    {
        QSqlDatabase d = sqlDatabase();
        if (m_inTransaction)
            d.rollback();
        d.close();
    }
    removeDatabase();
    m_open = false;
    setInTransaction(false);
    m_utf8 = false;
    ++m_closes;
}

QSqlDatabase Connection::sqlDatabase() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

sqlite3 *Connection::handle() const
{
    const QSqlDatabase db = sqlDatabase();
    const QVariant v = db.driver() ? db.driver()->handle() : QVariant();
    if (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0)
        return *static_cast<sqlite3 *const *>(v.data());
    return nullptr;
}

DbResult Connection::failure(int sqliteCode, const QString &databaseText) const
{
    return DbResult::failure(sqliteCode, describeSqlError(sqliteCode, databaseText));
}

DbResult Connection::failure(const QSqlError &error) const
{
    // The driver reports the primary code; the handle knows the extended one (which constraint).
    int code = error.nativeErrorCode().toInt();
    if (sqlite3 *h = handle()) {
        const int extended = sqlite3_extended_errcode(h);
        if ((extended & 0xff) == (code & 0xff) || code == 0)
            code = extended;
    }
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.text();
    return failure(code, text);
}

DbResult Connection::begin()
{
    if (!m_open)
        return DbResult::failure(DbResult::ProgramCode, QStringLiteral("数据库未连接。"));
    // The database ends a transaction by itself after some failures (a full disk, an I/O error);
    // a new one is opened then, so later statements are not committed one by one.
    if (m_inTransaction && !databaseEndedTransaction())
        return {};
    setInTransaction(false);
    QSqlDatabase d = sqlDatabase();
    if (!d.transaction())
        return failure(d.lastError());
    setInTransaction(true);
    return {};
}

void Connection::setInTransaction(bool open)
{
    // A background writer lets an open transaction of this connection finish first.
    if (open != m_inTransaction)
        app::WritePause::foregroundTransaction(open);
    m_inTransaction = open;
}

bool Connection::databaseEndedTransaction() const
{
    sqlite3 *h = handle();
    return h && sqlite3_get_autocommit(h) != 0;
}

DbResult Connection::commit()
{
    if (!m_inTransaction)
        return {};
    QSqlDatabase d = sqlDatabase();
    if (!d.commit())
        return failure(d.lastError());
    setInTransaction(false);
    return {};
}

DbResult Connection::rollback()
{
    if (!m_inTransaction)
        return {};
    setInTransaction(false);
    if (databaseEndedTransaction())
        return {};   // already rolled back by the database itself
    QSqlDatabase d = sqlDatabase();
    if (!d.rollback())
        return failure(d.lastError());
    return {};
}

DbResult Connection::execute(const QString &sql, const QVariantList &values)
{
    if (DbResult opened = begin(); !opened)
        return opened;
    QSqlQuery q(sqlDatabase());
    if (!q.prepare(sql))
        return failure(q.lastError());
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec())
        return failure(q.lastError());
    DbResult result;
    result.rows = q.numRowsAffected();
    return result;
}
