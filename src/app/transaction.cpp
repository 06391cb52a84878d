#include "app/transaction.h"

#include "app/sqlerror.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <sqlite3.h>

Transaction sqlca;

const QStringList &requiredTables()
{
    static const QStringList tables = {
        QStringLiteral("t_group"), QStringLiteral("t_telinfo"), QStringLiteral("p_group"),
        QStringLiteral("p_info"),  QStringLiteral("ca_group"),  QStringLiteral("ca_info"),
        QStringLiteral("t_account"),
    };
    return tables;
}

bool Transaction::fail(const QString &reason)
{
    sqlcode = Failure;
    sqlerrtext = reason;
    return false;
}

bool Transaction::connect()
{
    clearError();
    if (m_connected)
        return true;

    const QFileInfo file(database);
    if (!file.exists())
        return fail(QStringLiteral("数据库文件不存在: %1").arg(QDir::toNativeSeparators(database)));
    if (!file.isFile())
        return fail(QStringLiteral("数据库路径不是文件: %1").arg(QDir::toNativeSeparators(database)));

    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
        // mode=rw: read-write, never create. The path travels percent-encoded, so blanks, '#', '?' and
        // Chinese reach the database unchanged.
        db.setDatabaseName(QUrl::fromLocalFile(file.absoluteFilePath()).toString(QUrl::FullyEncoded)
                           + QStringLiteral("?mode=rw"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=3000"));
        if (!db.open()) {
            setError(db.lastError());
            const QString text = sqlerrtext;
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_connectionName);
            return fail(text);
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
        if (!q.exec(QStringLiteral("SELECT lower(name) FROM sqlite_master WHERE type = 'table'"))) {
            setError(q.lastError());
        } else {
            while (q.next())
                present << q.value(0).toString();
        }
        QStringList missing;
        if (sqlcode == Success) {
            for (const QString &t : requiredTables())
                if (!present.contains(t))
                    missing << t;
        }
        if (sqlcode != Success || !missing.isEmpty()) {
            const QString text = sqlcode != Success
                ? sqlerrtext
                : QStringLiteral("数据库中缺少数据表: %1").arg(missing.join(QStringLiteral(", ")));
            q = QSqlQuery();
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_connectionName);
            return fail(text);
        }
    }
    m_connected = true;
    return true;
}

void Transaction::disconnect()
{
    if (!m_connected)
        return;
    {
        QSqlDatabase d = db();
        if (m_inTransaction)
            d.rollback();
        d.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
    m_connected = false;
    m_inTransaction = false;
    ++m_disconnects;
}

QSqlDatabase Transaction::db() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

sqlite3 *Transaction::handle() const
{
    const QVariant v = db().driver() ? db().driver()->handle() : QVariant();
    if (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0)
        return *static_cast<sqlite3 *const *>(v.data());
    return nullptr;
}

void Transaction::clearError()
{
    sqlcode = Success;
    sqldbcode = 0;
    sqlerrtext.clear();
}

void Transaction::setError(int sqliteCode, const QString &databaseText)
{
    sqlcode = Failure;
    sqldbcode = sqliteCode;
    sqlerrtext = describeSqlError(sqliteCode, databaseText);
}

void Transaction::setError(const QSqlError &error)
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
    setError(code, text);
}

bool Transaction::begin()
{
    if (!m_connected)
        return fail(QStringLiteral("数据库未连接。"));
    // The database ends a transaction by itself after some failures (a full disk, an I/O error);
    // a new one is opened then, so later statements are not committed one by one.
    if (m_inTransaction && !databaseEndedTransaction())
        return true;
    m_inTransaction = false;
    QSqlDatabase d = db();
    if (!d.transaction()) {
        setError(d.lastError());
        return false;
    }
    m_inTransaction = true;
    return true;
}

bool Transaction::databaseEndedTransaction() const
{
    sqlite3 *h = handle();
    return h && sqlite3_get_autocommit(h) != 0;
}

bool Transaction::commit()
{
    clearError();
    if (!m_inTransaction)
        return true;
    QSqlDatabase d = db();
    if (!d.commit()) {
        setError(d.lastError());
        return false;
    }
    m_inTransaction = false;
    return true;
}

bool Transaction::rollback()
{
    clearError();
    if (!m_inTransaction)
        return true;
    m_inTransaction = false;
    if (databaseEndedTransaction())
        return true;   // already rolled back by the database itself
    QSqlDatabase d = db();
    if (!d.rollback()) {
        setError(d.lastError());
        return false;
    }
    return true;
}

bool Transaction::execute(const QString &sql, const QVariantList &values)
{
    clearError();
    sqlnrows = 0;
    if (!begin())
        return false;
    QSqlQuery q(db());
    if (!q.prepare(sql)) {
        setError(q.lastError());
        return false;
    }
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        setError(q.lastError());
        return false;
    }
    sqlnrows = q.numRowsAffected();
    if (sqlnrows == 0 && !q.isSelect())
        sqlcode = NotFound;
    return true;
}
