#pragma once
// The one database transaction of the program. Automatic commit is off: a write opens a transaction
// that the page ends with commit() or rollback(), so no transaction outlives the event that began it.

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

struct sqlite3;

class Transaction
{
public:
    // Result codes as the pages read them.
    static constexpr long Success = 0;
    static constexpr long Failure = -1;
    static constexpr long NotFound = 100;

    QString dbms = QStringLiteral("SQLITE");
    QString database;      // the database file
    bool autocommit = false;

    long sqlcode = Success;
    long sqldbcode = 0;    // the database's (extended) result code of the last failure
    QString sqlerrtext;    // what the user is shown: a Chinese reason where one is known, then the database's text
    long sqlnrows = 0;

    // Opens `database` read-write, never creating it, and checks that it holds the program's tables.
    bool connect();
    void disconnect();
    bool isConnected() const { return m_connected; }
    int disconnectCount() const { return m_disconnects; }

    bool commit();
    bool rollback();
    bool inTransaction() const { return m_inTransaction; }
    // Opens a write transaction unless one is open; every writer calls it before its first statement.
    bool begin();

    // One statement with bound values, inside the write transaction. Sets sqlcode/sqlnrows/sqlerrtext.
    bool execute(const QString &sql, const QVariantList &values = {});

    QSqlDatabase db() const;
    sqlite3 *handle() const;
    QString connectionName() const { return m_connectionName; }

    void clearError();
    void setError(const QSqlError &error);
    void setError(int sqliteCode, const QString &databaseText);

private:
    bool fail(const QString &reason);
    bool databaseEndedTransaction() const;

    QString m_connectionName = QStringLiteral("sqlca");
    bool m_connected = false;
    bool m_inTransaction = false;
    int m_disconnects = 0;
};

extern Transaction sqlca;

// The tables every page expects to find.
const QStringList &requiredTables();
