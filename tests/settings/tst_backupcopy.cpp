#include "settings/backupcopy.h"
#include "exchange/spreadsheet.h"

#include "app/connection.h"

#include "filesizelimit.h"
#include "fixture.h"
#include "sqlitediskfull.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

using settings::CopyResult;

namespace {

void addNotes(int count, int length)
{
    for (int i = 0; i < count; ++i)
        if (const DbResult added = testDb().execute(QStringLiteral("INSERT INTO p_info (gid, title, content) VALUES ('1', ?, ?)"),
                                                    {QStringLiteral("笔记%1").arg(i), QString(length, QChar(u'文' + i % 50))});
            !added)
            qFatal("notes: %s", qPrintable(added.reason));
    if (const DbResult done = testDb().commit(); !done)
        qFatal("commit: %s", qPrintable(done.reason));
}

// Every row of every table as text; two databases with the same content give the same list.
QStringList dump(sqlite3 *db)
{
    QStringList lines;
    for (const QString &table : requiredTables()) {
        sqlite3_stmt *s = nullptr;
        const QByteArray sql = "SELECT * FROM " + table.toUtf8() + " ORDER BY 1, 2";
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &s, nullptr) != SQLITE_OK)
            return {QStringLiteral("cannot read ") + table};
        while (sqlite3_step(s) == SQLITE_ROW) {
            QStringList cells;
            for (int c = 0; c < sqlite3_column_count(s); ++c)
                cells << QString::number(sqlite3_column_type(s, c)) + QLatin1Char(':')
                             + QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, c)));
            lines << table + QLatin1Char('|') + cells.join(QLatin1Char('|'));
        }
        sqlite3_finalize(s);
    }
    return lines;
}

QStringList dumpFile(const QString &path)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return {QStringLiteral("cannot open ") + path};
    }
    const QStringList lines = dump(db);
    sqlite3_close(db);
    return lines;
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A database whose schema reads but one of whose table pages is damaged: copying its pages works,
// checking the copy does not.
sqlite3 *openDamagedDatabase(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_exec(db, "CREATE TABLE t (x TEXT); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                     "INSERT INTO t SELECT printf('%0100d', i) FROM n;",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt *s = nullptr;
    sqlite3_prepare_v2(db, "SELECT rootpage, (SELECT page_size FROM pragma_page_size) FROM sqlite_master WHERE name = 't'", -1, &s, nullptr);
    sqlite3_step(s);
    const qint64 root = sqlite3_column_int64(s, 0), pageSize = sqlite3_column_int64(s, 1);
    sqlite3_finalize(s);
    sqlite3_close(db);

    QFile f(path);
    if (!f.open(QIODevice::ReadWrite) || !f.seek((root - 1) * pageSize) || f.write(QByteArray(64, '\x7f')) != 64)
        qFatal("cannot damage %s", qPrintable(path));
    f.close();
    sqlite3_open(path.toUtf8().constData(), &db);
    return db;
}

} // namespace

class tst_backupcopy : public QObject
{
    Q_OBJECT

private slots:
    void copyOpensWithTheSameRowsAndLeavesNothingElse()
    {
        AppFolder folder;
        addNotes(60, 3000);
        QVERIFY(testDb().execute(QStringLiteral("INSERT INTO t_account (vtype, vdate, vname, vmoney) VALUES ('1', '20240101', '午饭', 25.5)")));
        QVERIFY(testDb().commit());
        const QString backups = folder.file(QStringLiteral("备份 文件夹"));
        QVERIFY(QDir().mkpath(backups));
        const QString target = backups + QStringLiteral("/20240101.mdb");

        QList<QPair<int, int>> steps;
        QString reason;
        const CopyResult result = settings::copyDatabase(
            testDb().handle(), target, &reason,
            [&](int done, int total) {
                steps.append({done, total});
                return true;
            },
            16);
        QVERIFY2(result == CopyResult::Copied, qPrintable(reason));
        QVERIFY(steps.size() > 3);
        for (qsizetype i = 1; i < steps.size(); ++i)
            QVERIFY(steps.at(i).first > steps.at(i - 1).first);
        QCOMPARE(steps.last().first, steps.last().second);

        const QStringList source = dump(testDb().handle());
        QVERIFY(source.size() > 60);
        QCOMPARE(dumpFile(target), source);
        QCOMPARE(entries(backups), QStringList{QStringLiteral("20240101.mdb")});
        // The program's own connection goes on working.
        QVERIFY(testDb().execute(QStringLiteral("DELETE FROM t_account")));
        QVERIFY(testDb().commit());
    }

    void failedOverwriteKeepsTheEarlierBackup_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::newRow("cancelled") << QStringLiteral("cancelled");
        QTest::newRow("disk full") << QStringLiteral("disk full");
        QTest::newRow("copy fails its check") << QStringLiteral("check");
    }
    void failedOverwriteKeepsTheEarlierBackup()
    {
        QFETCH(QString, failure);
        AppFolder folder;
        addNotes(100, 2000);
        const QString backups = folder.file(QStringLiteral("backups"));
        QVERIFY(QDir().mkpath(backups));
        const QString target = backups + QStringLiteral("/20240101.mdb");
        QString reason;
        QVERIFY2(settings::copyDatabase(testDb().handle(), target, &reason) == CopyResult::Copied, qPrintable(reason));
        const QByteArray earlier = bytesOf(target);
        addNotes(100, 2000);   // a new copy would differ
        const QStringList before = entries(backups);

        CopyResult result;
        if (failure == QLatin1String("cancelled")) {
            int calls = 0;
            result = settings::copyDatabase(testDb().handle(), target, &reason, [&](int, int) { return ++calls < 2; }, 8);
            QCOMPARE(result, CopyResult::Cancelled);
            QCOMPARE(calls, 2);
        } else if (failure == QLatin1String("disk full")) {
            SqliteDiskFull full(64 * 1024 + 100);
            result = settings::copyDatabase(testDb().handle(), target, &reason);
            // The user is told in words what is wrong, and nothing says "not an error".
            QVERIFY2(reason.contains(QStringLiteral("磁盘已满")) && !reason.contains(QStringLiteral("not an error")),
                     qPrintable(reason));
        } else {
            sqlite3 *damaged = openDamagedDatabase(folder.file(QStringLiteral("damaged.db")));
            result = settings::copyDatabase(damaged, target, &reason);
            sqlite3_close(damaged);
            QVERIFY2(reason.contains(QStringLiteral("完整性检查")), qPrintable(reason));
        }
        QVERIFY(result != CopyResult::Copied);
        QVERIFY(!reason.isEmpty());
        QVERIFY(bytesOf(target) == earlier);
        QCOMPARE(entries(backups), before);
    }

    // A copy killed mid-way leaves its hidden temporary file; the next copy or export into that folder
    // takes it away, but neither the file a copy still at work is writing nor anything else.
    void aKilledCopysLeftoverGoesAtTheNextWrite()
    {
        AppFolder folder;
        addNotes(100, 2000);
        const QString backups = folder.file(QStringLiteral("backups"));
        QVERIFY(QDir().mkpath(backups));
        const QByteArray database = QFile::encodeName(folder.database());
        const pid_t child = ::fork();
        if (child == 0) {
            sqlite3 *db = nullptr;
            sqlite3_open_v2(database.constData(), &db, SQLITE_OPEN_READONLY, nullptr);
            settings::copyDatabase(db, backups + QStringLiteral("/20240101.mdb"), nullptr, [](int, int) {
                ::raise(SIGKILL);
                return true;
            }, 8);
            ::_exit(0);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        const QStringList left = entries(backups);
        QCOMPARE(left.size(), 1);
        QVERIFY2(left.first().startsWith(QStringLiteral(".20240101.mdb.")), qPrintable(left.first()));

        // Hidden names of that form that are not the program's files, and files of other forms.
        const QList<QPair<QString, QByteArray>> others = {
            {QStringLiteral(".profile.backup"), "export LANG=zh_CN.UTF-8\n"},
            {QStringLiteral("20240101.mdb.AbCdEf"), QByteArray("SQLite format 3\0", 16)},
            {QStringLiteral(".20240101.mdb.AbCdE"), QByteArray()},
        };
        for (const auto &[name, bytes] : others)
            folder.writeFile(QStringLiteral("backups/") + name, bytes);
        QVERIFY(QDir().mkpath(backups + QStringLiteral("/.folder.mdb.AbCdEf")));

        QString reason, running;
        bool exported = false, runningStayed = false;
        const CopyResult result = settings::copyDatabase(testDb().handle(), backups + QStringLiteral("/20240102.mdb"), &reason,
                                                         [&](int, int) {
            if (running.isEmpty()) {
                running = entries(backups).filter(QStringLiteral(".20240102.mdb.")).value(0);
                QString why;
                exported = exchange::writeSheet(backups + QStringLiteral("/export.csv"), exchange::SheetFormat::Csv,
                                                {{QStringLiteral("a")}}, &why);
                runningStayed = !running.isEmpty() && QFile::exists(backups + QLatin1Char('/') + running);
            }
            return true;
        }, 8);
        QVERIFY2(result == CopyResult::Copied, qPrintable(reason));
        QVERIFY(exported);
        QVERIFY2(runningStayed, qPrintable(running));
        QCOMPARE(dumpFile(backups + QStringLiteral("/20240102.mdb")), dump(testDb().handle()));
        QCOMPARE(entries(backups), (QStringList{QStringLiteral(".20240101.mdb.AbCdE"), QStringLiteral(".folder.mdb.AbCdEf"),
                                                QStringLiteral(".profile.backup"), QStringLiteral("20240101.mdb.AbCdEf"),
                                                QStringLiteral("20240102.mdb"), QStringLiteral("export.csv")}));
        for (const auto &[name, bytes] : others)
            QCOMPARE(bytesOf(backups + QLatin1Char('/') + name), bytes);
    }

    void theDatabaseItselfIsKnownUnderAnyName()
    {
        AppFolder folder;
        const QString db = folder.database();
        QVERIFY(QDir().mkpath(folder.file(QStringLiteral("sub"))));
        QVERIFY(QFile::link(db, folder.file(QStringLiteral("link.mdb"))));
        QCOMPARE(::link(QFile::encodeName(db).constData(), QFile::encodeName(folder.file(QStringLiteral("hard.mdb"))).constData()), 0);
        QVERIFY(QFile::copy(db, folder.file(QStringLiteral("copy.mdb"))));

        QVERIFY(settings::isSameFile(db, folder.file(QStringLiteral("sub/../mivo.mdb"))));
        QVERIFY(settings::isSameFile(db, folder.file(QStringLiteral("gone/../mivo.mdb"))));
        QVERIFY(settings::isSameFile(folder.file(QStringLiteral("link.mdb")), db));
        QVERIFY(settings::isSameFile(db, folder.file(QStringLiteral("hard.mdb"))));
        QVERIFY(!settings::isSameFile(db, folder.file(QStringLiteral("copy.mdb"))));
        QVERIFY(!settings::isSameFile(db, folder.file(QStringLiteral("mivo.mdb.bak"))));
        QVERIFY(settings::isSameFile(folder.file(QStringLiteral("sub/../new.mdb")), folder.file(QStringLiteral("new.mdb"))));

        const QStringList rows = dump(testDb().handle());
        const QStringList before = entries(folder.path());
        for (const char *name : {"link.mdb", "sub/../mivo.mdb", "hard.mdb"}) {
            QString reason;
            QCOMPARE(settings::copyDatabase(testDb().handle(), folder.file(QString::fromLatin1(name)), &reason), CopyResult::Failed);
            QVERIFY2(reason.contains(QStringLiteral("当前使用的数据库")), qPrintable(reason));
        }
        QVERIFY(QFileInfo(folder.file(QStringLiteral("link.mdb"))).isSymLink());
        QCOMPARE(entries(folder.path()), before);
        QCOMPARE(dump(testDb().handle()), rows);
    }

    void rotationKeepsExactlyTheNewestAndTouchesNothingElse()
    {
        AppFolder folder;
        const QString backups = folder.file(QStringLiteral("备份"));
        const QString autoFolder = backups + QStringLiteral("/auto");
        QString reason, written;
        QVERIFY(!settings::autoBackup(testDb().handle(), backups, QDateTime::currentDateTime(), &reason));
        QVERIFY2(reason.contains(QStringLiteral("不存在")), qPrintable(reason));
        QVERIFY(QDir().mkpath(backups));

        // The first automatic copy makes its folder.
        const QDateTime first(QDate(2024, 1, 1), QTime(8, 0, 0));
        QVERIFY2(settings::autoBackup(testDb().handle(), backups, first, &reason, 7, &written), qPrintable(reason));
        QCOMPARE(written, autoFolder + QStringLiteral("/mivo-auto-20240101-080000.mdb"));
        QCOMPARE(dumpFile(written), dump(testDb().handle()));

        // Older copies, and files that only look like them.
        auto put = [](const QString &path, const QByteArray &bytes) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        };
        for (int day = 2; day <= 9; ++day)
            put(autoFolder + QStringLiteral("/mivo-auto-2024010%1-000000.mdb").arg(day), "copy");
        const QStringList others = {QStringLiteral("20240101.mdb"), QStringLiteral("notes.txt"),
                                    QStringLiteral("mivo-auto-20240101-000000.mdb.bak"), QStringLiteral("mivo-auto-2024.mdb"),
                                    QStringLiteral("MIVO-AUTO-20200101-000000.MDB"), QStringLiteral("xmivo-auto-20200101-000000.mdb")};
        for (const QString &name : others)
            put(autoFolder + QLatin1Char('/') + name, name.toUtf8());
        put(backups + QStringLiteral("/mivo-auto-20000101-000000.mdb"), "outside");
        put(backups + QStringLiteral("/20240101.mdb"), "a backup made by hand");
        QVERIFY(QDir().mkpath(autoFolder + QStringLiteral("/mivo-auto-20000101-000000.mdb")));
        QVERIFY(QFile::link(autoFolder + QStringLiteral("/notes.txt"), autoFolder + QStringLiteral("/mivo-auto-19990101-000000.mdb")));

        const QDateTime may(QDate(2024, 5, 1), QTime(12, 30, 15));
        QVERIFY2(settings::autoBackup(testDb().handle(), backups, may, &reason, 7, &written), qPrintable(reason));
        QCOMPARE(QFileInfo(written).fileName(), QStringLiteral("mivo-auto-20240501-123015.mdb"));
        QStringList expected;
        for (int day = 4; day <= 9; ++day)
            expected << QStringLiteral("mivo-auto-2024010%1-000000.mdb").arg(day);
        expected << QStringLiteral("mivo-auto-20240501-123015.mdb");
        QCOMPARE(settings::autoBackups(autoFolder), expected);
        for (const QString &name : others)
            QCOMPARE(bytesOf(autoFolder + QLatin1Char('/') + name), name.toUtf8());
        QVERIFY(QFileInfo(autoFolder + QStringLiteral("/mivo-auto-20000101-000000.mdb")).isDir());
        QVERIFY(QFileInfo(autoFolder + QStringLiteral("/mivo-auto-19990101-000000.mdb")).isSymLink());
        QCOMPARE(bytesOf(backups + QStringLiteral("/mivo-auto-20000101-000000.mdb")), QByteArray("outside"));
        QCOMPARE(bytesOf(backups + QStringLiteral("/20240101.mdb")), QByteArray("a backup made by hand"));

        // A clock set back: the new copy sorts first and still stays.
        const QDateTime past(QDate(2023, 1, 1), QTime(0, 0, 0));
        QVERIFY2(settings::autoBackup(testDb().handle(), backups, past, &reason, 3), qPrintable(reason));
        QCOMPARE(settings::autoBackups(autoFolder),
                 (QStringList{QStringLiteral("mivo-auto-20230101-000000.mdb"), QStringLiteral("mivo-auto-20240109-000000.mdb"),
                              QStringLiteral("mivo-auto-20240501-123015.mdb")}));

        // A failed copy deletes nothing.
        const QStringList before = entries(autoFolder);
        {
            FileSizeLimit limit(4096);
            QVERIFY(!settings::autoBackup(testDb().handle(), backups, QDateTime(QDate(2025, 1, 1), QTime(0, 0)), &reason, 1));
        }
        QVERIFY(!reason.isEmpty());
        QCOMPARE(entries(autoFolder), before);
    }
};

MIVO_TEST_MAIN(tst_backupcopy)
#include "tst_backupcopy.moc"
