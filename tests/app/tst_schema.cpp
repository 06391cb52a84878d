#include "app/schema.h"
#include "app/connection.h"
#include "fixture.h"
#include "testmain.h"

#include <QFile>
#include <QProcess>

class tst_schema : public QObject
{
    Q_OBJECT

private slots:
    void everyTableAndTheDefaultGroups()
    {
        AppFolder folder;
        for (const QString &t : requiredTables())
            QVERIFY2(scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' AND name=?"), {t}).toInt() == 1,
                     qPrintable(t));
        for (const char *table : {"t_group", "ca_group"}) {
            const QString code = QString::fromLatin1(table) == QStringLiteral("t_group") ? QStringLiteral("zuhao0") : QStringLiteral("groupid");
            QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM %1 WHERE %2 = 'Z'").arg(QLatin1String(table), code)).toInt(), 1);
        }
        QVERIFY(scalar(QStringLiteral("SELECT count(*) FROM p_group")).toInt() > 0);
        // Plain file copies are backups: no journal beside the file at rest.
        QCOMPARE(scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("delete"));
    }

    void overLongTextRefusedWithTheFieldNamed()
    {
        AppFolder folder;
        const DbResult tooLong = testDb().execute(QStringLiteral("INSERT INTO t_telinfo (zuhao0, xingm0, youb00) VALUES ('1', '张三', '1234567')"));
        QVERIFY(!tooLong);
        QVERIFY2(tooLong.reason.contains(QStringLiteral("太长")), qPrintable(tooLong.reason));
        QVERIFY2(tooLong.reason.contains(QStringLiteral("youb00")), qPrintable(tooLong.reason));
        testDb().rollback();
        // Widths count characters: twenty Chinese characters fit a name of width 20, twenty-one do not.
        QVERIFY(testDb().execute(QStringLiteral("INSERT INTO t_telinfo (xingm0) VALUES (?)"), {QString(20, QChar(0x5F20))}));
        QVERIFY(!testDb().execute(QStringLiteral("INSERT INTO t_telinfo (xingm0) VALUES (?)"), {QString(21, QChar(0x674E))}));
        testDb().rollback();
        QVERIFY(!testDb().execute(QStringLiteral("INSERT INTO t_group VALUES ('AB', 'x')")));
        testDb().rollback();
    }

    void secondContactWithTheSameNameRefused()
    {
        AppFolder folder;
        QVERIFY(testDb().execute(QStringLiteral("INSERT INTO t_telinfo (zuhao0, xingm0, shouji) VALUES ('1', 'Tom', '111')")));
        QVERIFY(testDb().commit());
        const DbResult twice = testDb().execute(QStringLiteral("INSERT INTO t_telinfo (zuhao0, xingm0, shouji) VALUES ('2', 'tom', '222')"));
        QVERIFY(!twice);
        QVERIFY2(twice.reason.startsWith(QStringLiteral("“xingm0”已存在相同的记录。")), qPrintable(twice.reason));
        QVERIFY(twice.reason.contains(QStringLiteral("UNIQUE constraint failed")));
        testDb().rollback();
        const DbResult nameless = testDb().execute(QStringLiteral("INSERT INTO t_telinfo (zuhao0) VALUES ('1')"));
        QVERIFY(!nameless);
        QVERIFY2(nameless.reason.contains(QStringLiteral("不能为空")), qPrintable(nameless.reason));
        testDb().rollback();
        QCOMPARE(scalar(QStringLiteral("SELECT shouji FROM t_telinfo WHERE xingm0 = 'TOM'")).toString(), QStringLiteral("111"));
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM t_telinfo")).toInt(), 1);
    }

    void identitiesAssignedAndNeverReused()
    {
        AppFolder folder;
        for (int i = 0; i < 3; ++i)
            QVERIFY(testDb().execute(QStringLiteral("INSERT INTO p_info (gid, title, content) VALUES ('1', ?, '')"), {QString::number(i)}));
        QVERIFY(testDb().execute(QStringLiteral("DELETE FROM p_info WHERE title = '2'")));
        QVERIFY(testDb().execute(QStringLiteral("INSERT INTO p_info (gid, title) VALUES ('1', 'new')")));
        QVERIFY(testDb().commit());
        QCOMPARE(scalar(QStringLiteral("SELECT id FROM p_info WHERE title = 'new'")).toInt(), 4);
        QVERIFY(testDb().execute(QStringLiteral("INSERT INTO t_account (vtype, vdate, vname, vmoney) VALUES ('1', '20261207', '午饭', 12.5)")));
        QCOMPARE(scalar(QStringLiteral("SELECT vmoney FROM t_account WHERE id = 1")).toDouble(), 12.5);
        testDb().rollback();
    }

    void theBuildToolNeverOverwritesADatabase()
    {
        AppFolder folder(AppFolder::NoDatabase, QStringLiteral("有 空格"));
        const QString tool = QStringLiteral(MIVO_BINARY_DIR "/tools/mivo_mkdb");
        QCOMPARE(QProcess::execute(tool, {folder.database()}), 0);
        QVERIFY(folder.db().open(folder.database()));
        QVERIFY(testDb().execute(QStringLiteral("INSERT INTO t_telinfo (zuhao0, xingm0) VALUES ('1', '保留')")));
        QVERIFY(testDb().commit());
        folder.db().close();
        const QByteArray before = folder.readFile(QStringLiteral("mivo.mdb"));

        QCOMPARE(QProcess::execute(tool, {folder.database()}), 0);
        QCOMPARE(folder.readFile(QStringLiteral("mivo.mdb")), before);
        // The library refuses too.
        QString error;
        QVERIFY(!createDatabase(folder.database(), &error));
        QCOMPARE(folder.readFile(QStringLiteral("mivo.mdb")), before);
    }

    void theDeliveredDatabaseIsThere()
    {
        // The build put one next to the executable; it holds every table.
        const QString delivered = QStringLiteral(MIVO_BINARY_DIR "/bin/mivo.mdb");
        QVERIFY(QFile::exists(delivered));
        Connection db;
        const DbResult opened = db.open(delivered);
        QVERIFY2(opened, qPrintable(opened.reason));
    }
};

MIVO_TEST_MAIN(tst_schema)
#include "tst_schema.moc"
