#pragma once
// A connection to the program's database. Automatic commit is off: a write opens a transaction that
// the page ends with commit() or rollback(), so no transaction outlives the event that began it.
// Every write answers with what it came to; nothing of a failure is left behind in the connection.

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

class QSqlError;
struct sqlite3;

// What a statement, a commit or a view's write came to.
struct DbResult
{
    // A reason of the program's own (a row that vanished, a value that does not fit), not the database's.
    static constexpr int ProgramCode = -1;

    bool ok = true;
    qint64 rows = 0;    // rows a statement changed
    int code = 0;       // the database's extended result code of a failure, or ProgramCode
    QString reason;     // what the user is shown: a Chinese reason where one is known, then the database's text

    explicit operator bool() const { return ok; }
    static DbResult failure(int code, const QString &reason) { return {false, 0, code, reason}; }
};

class Connection
{
public:
    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Opens `file` read-write, never creating it, and checks that it holds the program's tables.
    // The file is kept (file()) also when the open fails.
    DbResult open(const QString &file);
    void close();
    bool isOpen() const { return m_open; }
    QString file() const { return m_file; }
    int closeCount() const { return m_closes; }

    // Opens a write transaction unless one is open; every writer calls it before its first statement.
    DbResult begin();
    DbResult commit();
    DbResult rollback();
    bool inTransaction() const { return m_inTransaction; }

    // One statement with bound values, inside the write transaction.
    DbResult execute(const QString &sql, const QVariantList &values = {});

    // A failure as the user is told it: the extended code (which constraint) and describeSqlError's text.
    DbResult failure(const QSqlError &error) const;
    DbResult failure(int sqliteCode, const QString &databaseText) const;

    // The database stores its text in UTF-8 (read once when it opens: the encoding of a database
    // cannot change once it holds tables).
    bool isUtf8() const { return m_utf8; }

    QSqlDatabase sqlDatabase() const;
    sqlite3 *handle() const;
    QString connectionName() const { return m_connectionName; }

private:
    bool databaseEndedTransaction() const;
    void setInTransaction(bool open);
    void removeDatabase();

    QString m_connectionName;
    QString m_file;
    bool m_open = false;
    bool m_inTransaction = false;
    bool m_utf8 = false;
    int m_closes = 0;
};

// The tables every page expects to find.
const QStringList &requiredTables();
