// The store's promises against a real database file: row status, the delete buffer, update by the
// key as read, failures that roll nothing back and keep the flags, bound arguments, sort.

#include "views/datastore.h"
#include "views/grouppattern.h"
#include "views/dataview.h"
#include "views/definition.h"

#include "app/connection.h"
#include "fakes.h"
#include "fixture.h"
#include "testmain.h"

using views::Column;
using views::DataStore;
using Status = DataStore::RowStatus;

namespace {

void addContact(const QString &group, const QString &name, const QString &mobile = {})
{
    DbResult done = testDb().execute(QStringLiteral("INSERT INTO t_telinfo (zuhao0, xingm0, shouji) VALUES (?, ?, ?)"),
                                     {group, name, mobile.isNull() ? QVariant() : QVariant(mobile)});
    if (done)
        done = testDb().commit();
    if (!done)
        qFatal("cannot add a contact: %s", qPrintable(done.reason));
}

QStringList column(const DataStore &ds, const QString &name)
{
    QStringList out;
    for (long r = 1; r <= ds.rowCount(); ++r)
        out << ds.getItemString(r, name);
    return out;
}

} // namespace

class tst_datastore : public QObject
{
    Q_OBJECT

private slots:
    void rowStatusThroughInsertEditDeleteUpdateReset()
    {
        fake::Platform platform;
        AppFolder folder;
        addContact(QStringLiteral("1"), QStringLiteral("张三"), QStringLiteral("13800000001"));
        addContact(QStringLiteral("1"), QStringLiteral("李四"));

        DataStore ds;
        QVERIFY(ds.setDataObject(QStringLiteral("dw_telper")));
        ds.setConnection(testDb());
        QCOMPARE(ds.retrieve({QStringLiteral("张三")}), 1L);
        QCOMPARE(ds.getItemStatus(1), Status::NotModified);
        QCOMPARE(ds.getItemString(1, QStringLiteral("shouji")), QStringLiteral("13800000001"));
        QVERIFY(ds.getItem(1, QStringLiteral("nich00")).isNull());

        QVERIFY(ds.setItem(1, QStringLiteral("nich00"), QStringLiteral("小张")));
        QCOMPARE(ds.getItemStatus(1), Status::DataModified);
        QCOMPARE(ds.getItemStatus(1, QStringLiteral("nich00")), Status::DataModified);
        QCOMPARE(ds.getItemStatus(1, QStringLiteral("shouji")), Status::NotModified);
        QVERIFY(ds.getItemOriginal(1, QStringLiteral("nich00")).isNull());

        QCOMPARE(ds.insertRow(0), 2L);
        QCOMPARE(ds.getItemStatus(2), Status::New);
        QVERIFY(ds.setItem(2, QStringLiteral("xingm0"), QStringLiteral("王五")));
        QVERIFY(ds.setItem(2, QStringLiteral("zuhao0"), QStringLiteral("2")));
        QCOMPARE(ds.getItemStatus(2), Status::NewModified);
        // An untouched new row is not written and, deleted, leaves no trace in the delete buffer.
        QCOMPARE(ds.insertRow(1), 1L);
        QCOMPARE(ds.getItemStatus(1), Status::New);
        QCOMPARE(ds.rowCount(), 3L);
        QVERIFY(ds.deleteRow(1));
        QCOMPARE(ds.deletedCount(), 0L);

        QVERIFY(ds.update());
        QVERIFY(testDb().commit());
        QCOMPARE(scalar(QStringLiteral("SELECT nich00 FROM t_telinfo WHERE xingm0 = '张三'")).toString(), QStringLiteral("小张"));
        QCOMPARE(scalar(QStringLiteral("SELECT zuhao0 FROM t_telinfo WHERE xingm0 = '王五'")).toString(), QStringLiteral("2"));
        // Flags stay until told to go.
        QCOMPARE(ds.getItemStatus(1), Status::DataModified);
        QCOMPARE(ds.getItemStatus(2), Status::NewModified);
        ds.resetUpdate();
        QCOMPARE(ds.getItemStatus(1), Status::NotModified);
        QCOMPARE(ds.getItemStatus(2), Status::NotModified);
        QCOMPARE(ds.getItemOriginal(1, QStringLiteral("nich00")).toString(), QStringLiteral("小张"));

        // The delete buffer: the row leaves the primary buffer now and the table at update().
        QVERIFY(ds.deleteRow(2));
        QCOMPARE(ds.rowCount(), 1L);
        QCOMPARE(ds.deletedCount(), 1L);
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM t_telinfo WHERE xingm0 = '王五'")).toInt(), 1);
        QVERIFY(ds.update(true));
        QVERIFY(testDb().commit());
        QCOMPARE(ds.deletedCount(), 0L);
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM t_telinfo WHERE xingm0 = '王五'")).toInt(), 0);

        ds.reset();
        QCOMPARE(ds.rowCount(), 0L);
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM t_telinfo")).toInt(), 2);
        QVERIFY(platform.boxes->shown.isEmpty());
    }

    void updateFindsTheRowByItsKeyAsReadAndSetsOnlyChangedColumns()
    {
        fake::Platform platform;
        AppFolder folder;
        addContact(QStringLiteral("1"), QStringLiteral("张三"), QStringLiteral("111"));
        DataStore ds;
        ds.setDataObject(QStringLiteral("dw_telper"));
        ds.setConnection(testDb());
        QCOMPARE(ds.retrieve({QStringLiteral("张三")}), 1L);
        QVERIFY(ds.setItem(1, QStringLiteral("xingm0"), QStringLiteral("张三丰")));
        QVERIFY(ds.setItem(1, QStringLiteral("email0"), QStringLiteral("z@example.com")));
        QCOMPARE(ds.getItemOriginal(1, QStringLiteral("xingm0")).toString(), QStringLiteral("张三"));
        // Someone else changes a column the card did not touch: the update must leave it alone.
        QVERIFY(testDb().execute(QStringLiteral("UPDATE t_telinfo SET shouji = '222'")));
        QVERIFY(testDb().commit());

        QVERIFY(ds.update(true));
        QVERIFY(testDb().commit());
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM t_telinfo")).toInt(), 1);
        QCOMPARE(scalar(QStringLiteral("SELECT xingm0 || '/' || email0 || '/' || shouji FROM t_telinfo")).toString(),
                 QStringLiteral("张三丰/z@example.com/222"));
        // After the flags are reset the new name is the key.
        QVERIFY(ds.setItem(1, QStringLiteral("beizhu"), QStringLiteral("备注")));
        QVERIFY(ds.update(true));
        QVERIFY(testDb().commit());
        QCOMPARE(scalar(QStringLiteral("SELECT beizhu FROM t_telinfo WHERE xingm0 = '张三丰'")).toString(), QStringLiteral("备注"));
    }

    void failedUpdateRollsNothingBackAndKeepsTheFlags_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("reason");
        QTest::newRow("duplicate name") << "xingm0" << "李四" << "“姓名”已存在相同的记录。";
        QTest::newRow("over-long text") << "youb00" << "1234567" << "“邮编”的内容太长。";
        QTest::newRow("over-long name") << "xingm0" << QString(21, QChar(0x5F20)) << "“姓名”的内容太长。";
    }

    void failedUpdateRollsNothingBackAndKeepsTheFlags()
    {
        QFETCH(QString, column);
        QFETCH(QString, value);
        QFETCH(QString, reason);
        fake::Platform platform;
        AppFolder folder;
        addContact(QStringLiteral("1"), QStringLiteral("张三"));
        addContact(QStringLiteral("1"), QStringLiteral("李四"));
        addContact(QStringLiteral("2"), QStringLiteral("王五"));

        DataStore ds;
        ds.setDataObject(QStringLiteral("dw_telall"));   // read-only list: only for the rows
        DataStore card;
        card.setDataObject(QStringLiteral("dw_telper"));
        card.setConnection(testDb());
        QCOMPARE(card.retrieve({QStringLiteral("张三")}), 1L);
        // A delete that succeeds first, then the change that the database refuses.
        DataStore other;
        other.setDataObject(QStringLiteral("dw_telper"));
        other.setConnection(testDb());
        QCOMPARE(other.retrieve({QStringLiteral("王五")}), 1L);
        QVERIFY(other.deleteRow(1));
        QVERIFY(other.update());

        QList<DbResult> handled;
        long handledRow = 0;
        QString handledSql;
        card.setErrorHandler([&](const DbResult &failure, const QString &sql, long row) {
            handled << failure;
            handledRow = row;
            handledSql = sql;
        });
        QVERIFY(card.setItem(1, column, value));
        const DbResult failed = card.update();
        QVERIFY(!failed);
        QVERIFY2(failed.reason.startsWith(reason), qPrintable(failed.reason));
        // The database's extended code (which constraint) comes with the reason.
        QVERIFY(failed.code > 0 && failed.code != (failed.code & 0xff));
        QCOMPARE(handled.size(), 1);
        QCOMPARE(handled.at(0).reason, failed.reason);
        QCOMPARE(handled.at(0).code, failed.code);
        QCOMPARE(card.lastError().reason, failed.reason);
        QCOMPARE(handledRow, 1L);
        QVERIFY(handledSql.startsWith(QStringLiteral("UPDATE t_telinfo SET")));
        QVERIFY(platform.boxes->shown.isEmpty());

        // Nothing was rolled back by the store: the earlier delete is still pending in the transaction.
        QVERIFY(testDb().inTransaction());
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM t_telinfo WHERE xingm0 = '王五'")).toInt(), 0);
        QCOMPARE(card.getItemStatus(1), Status::DataModified);
        QCOMPARE(card.getItemString(1, column), value);
        QVERIFY(testDb().rollback());
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM t_telinfo")).toInt(), 3);

        // Corrected, the same store saves.
        QVERIFY(card.setItem(1, column, column == QStringLiteral("youb00") ? QStringLiteral("100000") : QStringLiteral("张三三")));
        QVERIFY(card.update(true));
        QVERIFY(testDb().commit());
    }

    void aFullDiskAndAReadOnlyDatabaseAreReportedInChinese()
    {
        fake::Platform platform;
        AppFolder folder;
        DataStore ds;
        ds.setDataObject(QStringLiteral("dw_telper"));
        ds.setConnection(testDb());
        const long pages = scalar(QStringLiteral("PRAGMA page_count")).toLongLong();
        scalar(QStringLiteral("PRAGMA max_page_count = %1").arg(pages));
        for (int i = 0; i < 40; ++i) {
            const long row = ds.insertRow(0);
            ds.setItem(row, QStringLiteral("xingm0"), QStringLiteral("联系人%1").arg(i));
            ds.setItem(row, QStringLiteral("jwjl00"), QString(2000, QChar(0x8BB0)));
        }
        QVERIFY(!ds.update());
        QVERIFY2(ds.lastError().reason.startsWith(QStringLiteral("磁盘已满")), qPrintable(ds.lastError().reason));
        QCOMPARE(ds.getItemStatus(1), Status::NewModified);
        // The database rolled the transaction back by itself; rolling back again is no failure.
        QVERIFY(testDb().rollback());
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM t_telinfo")).toInt(), 0);

        // With room again, the retry runs inside a transaction of its own, so a rollback undoes it.
        scalar(QStringLiteral("PRAGMA max_page_count = 1000000"));
        QVERIFY(ds.update());
        QVERIFY(testDb().rollback());
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM t_telinfo")).toInt(), 0);

        scalar(QStringLiteral("PRAGMA query_only = ON"));
        QVERIFY(!ds.update());
        QVERIFY2(ds.lastError().reason.startsWith(QStringLiteral("数据库文件是只读的")), qPrintable(ds.lastError().reason));
        testDb().rollback();
        scalar(QStringLiteral("PRAGMA query_only = OFF"));
        QVERIFY(ds.update(true));
        QVERIFY(testDb().commit());
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM t_telinfo")).toInt(), 40);
    }

    void aRowThatVanishedIsAFailureNotASilentSuccess()
    {
        fake::Platform platform;
        AppFolder folder;
        addContact(QStringLiteral("1"), QStringLiteral("张三"));
        addContact(QStringLiteral("1"), QStringLiteral("李四"));
        DataStore ds;
        ds.setDataObject(QStringLiteral("dw_telper"));
        ds.setConnection(testDb());
        QCOMPARE(ds.retrieve({QStringLiteral("张三")}), 1L);
        QVERIFY(testDb().execute(QStringLiteral("DELETE FROM t_telinfo WHERE xingm0 = '张三'")));
        QVERIFY(testDb().commit());
        ds.setItem(1, QStringLiteral("nich00"), QStringLiteral("x"));
        // By default the store shows nothing of its own; switched on, its box says the reason.
        QVERIFY(!ds.update());
        QVERIFY(platform.boxes->shown.isEmpty());
        testDb().rollback();
        ds.setShowsErrorBox(true);
        QVERIFY(!ds.update());
        QVERIFY2(ds.lastError().reason.contains(QStringLiteral("已不在数据库中")), qPrintable(ds.lastError().reason));
        QCOMPARE(ds.lastError().code, DbResult::ProgramCode);
        QCOMPARE(platform.boxes->shown.size(), 1);
        QCOMPARE(platform.boxes->shown.at(0).title, QStringLiteral("数据库错误"));
        QCOMPARE(platform.boxes->shown.at(0).text, ds.lastError().reason);
        QCOMPARE(platform.boxes->shown.at(0).icon, platform::Icon::Stop);
        testDb().rollback();

        QCOMPARE(ds.retrieve({QStringLiteral("李四")}), 1L);
        QVERIFY(testDb().execute(QStringLiteral("DELETE FROM t_telinfo")));
        QVERIFY(testDb().commit());
        ds.setShowsErrorBox(false);
        QVERIFY(ds.deleteRow(1));
        QVERIFY(!ds.update());
        QVERIFY2(ds.lastError().reason.contains(QStringLiteral("未能删除")), qPrintable(ds.lastError().reason));
        QCOMPARE(ds.deletedCount(), 1L);
        testDb().rollback();
    }

    // A definition may take a delete whose row is already gone as done; a change that finds no row
    // still fails there, and the deletes of other rows are written.
    void aDefinitionMayTakeAGoneRowAsDeleted()
    {
        fake::Platform platform;
        AppFolder folder;
        QVERIFY(testDb().execute(QStringLiteral("INSERT INTO t_account (vtype, vdate, vname, vmoney) VALUES "
                                             "('1', '20240101', '甲', 1), ('1', '20240102', '乙', 2), ('1', '20240103', '丙', 3)")));
        QVERIFY(testDb().commit());
        DataStore ds;
        ds.setDataObject(QStringLiteral("dw_ac_out"));
        ds.setConnection(testDb());
        QCOMPARE(ds.retrieve({QStringLiteral("0")}), 3L);
        QVERIFY(testDb().execute(QStringLiteral("DELETE FROM t_account WHERE vname IN ('甲', '丙')")));
        QVERIFY(testDb().commit());
        QVERIFY(ds.deleteRow(1));
        QVERIFY(ds.deleteRow(1));
        QVERIFY(ds.update(true));
        QVERIFY(testDb().commit());
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM t_account")).toInt(), 0);
        QCOMPARE(ds.deletedCount(), 0L);

        QCOMPARE(ds.retrieve({QStringLiteral("0")}), 0L);
        ds.insertRow(0);
        ds.setItem(1, QStringLiteral("vname"), QStringLiteral("丁"));
        QVERIFY(ds.update(true));
        QVERIFY(testDb().commit());
        QVERIFY(testDb().execute(QStringLiteral("DELETE FROM t_account")));
        QVERIFY(testDb().commit());
        ds.setItem(1, QStringLiteral("vname"), QStringLiteral("戊"));
        QVERIFY(!ds.update());
        QVERIFY2(ds.lastError().reason.contains(QStringLiteral("未能保存")), qPrintable(ds.lastError().reason));
        testDb().rollback();
        QVERIFY(platform.boxes->shown.isEmpty());
    }

    void retrieveBindsItsArguments()
    {
        fake::Platform platform;
        AppFolder folder;
        const QStringList odd = {
            QStringLiteral("O'Brien \"Bob\""), QStringLiteral("100%_x"), QStringLiteral("';DROP TABLE x;--"),
            QStringLiteral("表情😀"), QStringLiteral("a\\b"),
        };
        for (const QString &n : odd)
            addContact(QStringLiteral("1"), n);
        addContact(QStringLiteral("2"), QStringLiteral("Zed"));
        addContact(QStringLiteral("Z"), QStringLiteral("Old"));

        DataStore ds;
        ds.setDataObject(QStringLiteral("dw_telall"));
        ds.setConnection(testDb());
        QCOMPARE(ds.retrieve({views::allGroupsPattern()}), 7L);
        QCOMPARE(column(ds, QStringLiteral("zuhao0")).join(QString()), QStringLiteral("111112Z"));
        QCOMPARE(ds.retrieve({QStringLiteral("2")}), 1L);
        QCOMPARE(ds.getItemString(1, QStringLiteral("xingm0")), QStringLiteral("Zed"));
        QCOMPARE(ds.retrieve({QStringLiteral("'")}), 0L);
        QVERIFY(ds.lastError());

        DataStore card;
        card.setDataObject(QStringLiteral("dw_telper"));
        card.setConnection(testDb());
        for (const QString &n : odd) {
            QCOMPARE(card.retrieve({n}), 1L);
            QCOMPARE(card.getItemString(1, QStringLiteral("xingm0")), n);
        }
        // "%" is a plain character for "=": it finds nobody.
        QCOMPARE(card.retrieve({QStringLiteral("%")}), 0L);
        // Too few arguments is an error, not an empty list.
        QCOMPARE(card.retrieve({}), -1L);
        QVERIFY(card.lastError().reason.contains(QStringLiteral("检索参数")));
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM t_telinfo")).toInt(), 7);
    }

    void anotherStatementServesTheDefinitionUntilItIsSetAgain()
    {
        fake::Platform platform;
        AppFolder folder;
        for (const char *name : {"张三", "李四", "王五"})
            addContact(QStringLiteral("2"), QString::fromUtf8(name));
        views::DataView dw;
        QVERIFY(dw.setDataObject(QStringLiteral("ds_xingm0")));
        dw.setConnection(testDb());
        // Same column and named argument, another condition and order, for every retrieval after.
        dw.setSelect(QStringLiteral("SELECT xingm0 FROM t_telinfo WHERE xingm0 <> :as_zuhao0 ORDER BY xingm0 DESC"));
        for (int round = 0; round < 2; ++round) {
            QCOMPARE(dw.retrieve({QStringLiteral("李四")}), 2L);
            QCOMPARE(dw.displayText(QStringLiteral("xingm0"), 1), QStringLiteral("王五"));
        }
        // Setting the definition again drops it.
        QVERIFY(dw.setDataObject(QStringLiteral("ds_xingm0")));
        dw.setConnection(testDb());
        QCOMPARE(dw.retrieve({QStringLiteral("1")}), 0L);
        // A statement that does not give the definition's columns is refused, not misread.
        dw.setSelect(QStringLiteral("SELECT xingm0, zuhao0 FROM t_telinfo"));
        QCOMPARE(dw.retrieve({QStringLiteral("2")}), -1L);
        QVERIFY(dw.store()->lastError().reason.contains(QStringLiteral("列数")));
    }

    void sortTogglesAndRefusesUnknownColumns()
    {
        fake::Platform platform;
        AppFolder folder;
        for (const char *n : {"b", "C", "a", "张", "阿"})
            addContact(QStringLiteral("1"), QString::fromUtf8(n));
        DataStore ds;
        ds.setDataObject(QStringLiteral("dw_telall"));
        ds.setConnection(testDb());
        QCOMPARE(ds.retrieve({views::allGroupsPattern()}), 5L);
        ds.selectRow(2, true);
        const QString second = ds.getItemString(2, QStringLiteral("xingm0"));

        QVERIFY(ds.setSort(QStringLiteral("xingm0 A")));
        QVERIFY(ds.sort());
        QCOMPARE(column(ds, QStringLiteral("xingm0")), (QStringList{"a", "b", "C", "阿", "张"}));
        QVERIFY(ds.setSort(QStringLiteral("xingm0 D")));
        QVERIFY(ds.sort());
        QCOMPARE(column(ds, QStringLiteral("xingm0")), (QStringList{"张", "阿", "C", "b", "a"}));
        // The highlight travels with its row.
        const long at = column(ds, QStringLiteral("xingm0")).indexOf(second) + 1;
        QVERIFY(ds.isSelected(at));
        QCOMPARE(ds.selectedCount(), 1L);

        // "合计:" is named t_total: its column would be "t_tot", which does not exist.
        QVERIFY(!ds.setSort(QStringLiteral("t_tot A")));
        QVERIFY(!ds.setSort(QStringLiteral("xingm0 X")));
        QCOMPARE(ds.sortCriteria(), QStringLiteral("xingm0 D"));
        QVERIFY(ds.sort());
        QCOMPARE(ds.getItemString(1, QStringLiteral("xingm0")), QStringLiteral("张"));
        QVERIFY(platform.boxes->shown.isEmpty());
    }

    void numbersSortAsNumbersAndNullsFirst()
    {
        fake::Platform platform;
        AppFolder folder;
        for (const QVariant &m : {QVariant(10.5), QVariant(9.0), QVariant(), QVariant(100.0)})
            QVERIFY(testDb().execute(QStringLiteral("INSERT INTO t_account (vtype, vdate, vname, vmoney) VALUES ('1', '20240101', 'x', ?)"), {m}));
        QVERIFY(testDb().commit());
        DataStore ds;
        ds.setDataObject(QStringLiteral("dw_ac_out"));
        ds.setConnection(testDb());
        QCOMPARE(ds.retrieve({QStringLiteral("0")}), 4L);
        QVERIFY(ds.setSort(QStringLiteral("vmoney A")));
        QVERIFY(ds.sort());
        QCOMPARE(column(ds, QStringLiteral("vmoney")), (QStringList{"", "9", "10.5", "100"}));
        QCOMPARE(ds.getItemNumber(3, QStringLiteral("vmoney")), 10.5);
        QCOMPARE(ds.getItemNumber(1, QStringLiteral("vmoney")), 0.0);
        QVERIFY(ds.getItem(1, QStringLiteral("vmoney")).isNull());
        // The values a summary counts: the empty one left out, whatever the column's case.
        QCOMPARE(ds.valueCount(QStringLiteral("VMONEY")), 3L);
        QCOMPARE(ds.valueCount(QStringLiteral("nosuchcolumn")), 0L);
        QVERIFY(!ds.setItem(1, QStringLiteral("vmoney"), QStringLiteral("abc")));
        QVERIFY(ds.setItem(1, QStringLiteral("vmoney"), QStringLiteral("12.25")));
        QCOMPARE(ds.getItem(1, QStringLiteral("vmoney")).toDouble(), 12.25);
        QCOMPARE(ds.valueCount(QStringLiteral("vmoney")), 4L);
        ds.insertRow(0);
        QCOMPARE(ds.valueCount(QStringLiteral("vmoney")), 4L);
    }

    void insertedIdentityIsTakenIntoTheRow()
    {
        fake::Platform platform;
        AppFolder folder;
        DataStore ds;
        ds.setDataObject(QStringLiteral("dw_ac_in"));
        ds.setConnection(testDb());
        QCOMPARE(ds.retrieve({QStringLiteral("0")}), 0L);
        const long row = ds.insertRow(0);
        ds.setItem(row, QStringLiteral("vtype"), QStringLiteral("2"));
        ds.setItem(row, QStringLiteral("vdate"), QStringLiteral("20240105"));
        ds.setItem(row, QStringLiteral("vmoney"), 3000);
        QVERIFY(ds.update(true));
        QVERIFY(testDb().commit());
        const qlonglong id = scalar(QStringLiteral("SELECT id FROM t_account")).toLongLong();
        QCOMPARE(ds.getItem(row, QStringLiteral("id")).toLongLong(), id);
        // So a later change finds it.
        ds.setItem(row, QStringLiteral("vname"), QStringLiteral("工资"));
        QVERIFY(ds.update(true));
        QVERIFY(testDb().commit());
        QCOMPARE(scalar(QStringLiteral("SELECT vname FROM t_account")).toString(), QStringLiteral("工资"));
    }

    void textComesBackExactlyAndRowsStayCompact()
    {
        fake::Platform platform;
        AppFolder folder;
        const QStringList texts = {QStringLiteral("ASCII only"), QStringLiteral("é ß ñ"), QStringLiteral("中文字符"),
                                   QStringLiteral("😀𠀀 four bytes"), QString(), QStringLiteral("tab\tand\nnewline"),
                                   // Runs of ASCII longer than eight bytes, broken by other text at every offset.
                                   QStringLiteral("abcdefghij中klmnopqrstu€vwxyz0123456789é0123456789ABCDEFG")};
        for (int i = 0; i < texts.size(); ++i)
            QVERIFY(testDb().execute(QStringLiteral("INSERT INTO t_telinfo (zuhao0, xingm0, beizhu) VALUES ('1', ?, ?)"),
                                  {QStringLiteral("n%1").arg(i), texts.at(i)}));
        // Stored as these bytes: what is no UTF-8 does not break the row, each byte reads as U+FFFD;
        // a text that begins with U+FEFF keeps it.
        const QMap<QString, QString> raw = {{QStringLiteral("41ff42e4b8"), QStringLiteral("A\uFFFDB\uFFFD\uFFFD")},
                                            {QStringLiteral("efbbbfe5bc80e5a4b4"), QStringLiteral("\uFEFF开头")},
                                            {QStringLiteral("41424344454647484aff"), QStringLiteral("ABCDEFGHJ\uFFFD")}};
        for (auto it = raw.cbegin(); it != raw.cend(); ++it)
            QVERIFY(testDb().execute(QStringLiteral("INSERT INTO t_telinfo (zuhao0, xingm0, beizhu) VALUES ('1', ?, CAST(x'%1' AS TEXT))").arg(it.key()),
                                     {it.key()}));
        QVERIFY(testDb().commit());
        DataStore ds;
        ds.setDataObject(QStringLiteral("d_telpro_all"));
        ds.setConnection(testDb());
        QCOMPARE(ds.retrieve(), long(texts.size() + raw.size()));
        for (long r = 1; r <= ds.rowCount(); ++r) {
            const QString name = ds.getItemString(r, QStringLiteral("xingm0"));
            if (raw.contains(name)) {
                QCOMPARE(ds.getItemString(r, QStringLiteral("beizhu")), raw.value(name));
                continue;
            }
            const int i = name.mid(1).toInt();
            QCOMPARE(ds.getItemString(r, QStringLiteral("beizhu")), texts.at(i));
            QCOMPARE(ds.getItem(r, QStringLiteral("beizhu")).isNull(), texts.at(i).isNull());
            QCOMPARE(ds.getItem(r, QStringLiteral("id")).typeId(), QMetaType::LongLong);
        }

        // Two thousand contacts with every listed field filled cost at most three times their text.
        const QStringList listed = {QStringLiteral("nich00"), QStringLiteral("xingb0"), QStringLiteral("shengr"), QStringLiteral("shouji"),
                                    QStringLiteral("xiaolt"), QStringLiteral("dianh0"), QStringLiteral("email0"), QStringLiteral("qq0000"),
                                    QStringLiteral("dizhi0"), QStringLiteral("youb00"), QStringLiteral("danwei"), QStringLiteral("yuanji"),
                                    QStringLiteral("dianh0_dw"), QStringLiteral("zhiye0"), QStringLiteral("dizhi0_dw"), QStringLiteral("msn00")};
        const QStringList sample = {QStringLiteral("小王"), QStringLiteral("1"), QStringLiteral("19800101"), QStringLiteral("13800138000"),
                                    QStringLiteral("01012345678"), QStringLiteral("010-12345678"), QStringLiteral("wang@example.com"),
                                    QStringLiteral("12345678"), QStringLiteral("北京市朝阳区建国路88号"), QStringLiteral("100000"),
                                    QStringLiteral("华信科技有限公司"), QStringLiteral("山东"), QStringLiteral("010-87654321"),
                                    QStringLiteral("工程师"), QStringLiteral("北京市长安街1号"), QStringLiteral("wang@hotmail.com")};
        const QString insert = QStringLiteral("INSERT INTO t_telinfo (zuhao0, xingm0, %1) VALUES ('2', ?%2)")
                                   .arg(listed.join(QStringLiteral(", ")), QStringLiteral(", ?").repeated(listed.size()));
        for (int i = 0; i < 2000; ++i) {
            QVariantList values{QStringLiteral("联系人%1").arg(i)};
            for (const QString &v : sample)
                values << v;
            QVERIFY(testDb().execute(insert, values));
        }
        QVERIFY(testDb().commit());
        ds.setDataObject(QStringLiteral("dw_telall"));
        ds.setConnection(testDb());
        QCOMPARE(ds.retrieve({QStringLiteral("2")}), 2000L);
        qint64 text = 0;
        for (long r = 1; r <= ds.rowCount(); ++r)
            for (const Column &c : ds.definition()->columns)
                text += ds.getItemString(r, c.name).size() * 2;
        QVERIFY2(ds.memoryUsage() <= 3 * text, qPrintable(QStringLiteral("%1 bytes for %2").arg(ds.memoryUsage()).arg(text)));
        // A changed row keeps its values as read, and only that row.
        const qsizetype before = ds.memoryUsage();
        ds.setItem(5, QStringLiteral("xingm0"), QStringLiteral("改名"));
        QVERIFY(ds.memoryUsage() > before);
        QVERIFY(ds.memoryUsage() < before + 1000);
        QCOMPARE(ds.getItemOriginal(5, QStringLiteral("xingm0")).toString().left(3), QStringLiteral("联系人"));
    }

    void exportGivesEveryRowAsStored()
    {
        fake::Platform platform;
        AppFolder folder;
        addContact(QStringLiteral("1"), QStringLiteral("张三"), QStringLiteral("139"));
        DataStore ds;
        ds.setDataObject(QStringLiteral("d_telpro_all"));
        ds.setConnection(testDb());
        QCOMPARE(ds.retrieve(), 1L);
        const QList<QVariantList> rows = ds.exportRows(true);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(0).value(0).toString(), QStringLiteral("Id"));
        QCOMPARE(rows.at(0).value(17).toString(), QStringLiteral("Dianh0 Dw"));
        QCOMPARE(rows.at(1).value(0).typeId(), QMetaType::LongLong);
        QCOMPARE(rows.at(1).value(1).toString(), QStringLiteral("1"));
        QCOMPARE(rows.at(1).value(2).toString(), QStringLiteral("张三"));
        QVERIFY(rows.at(1).value(3).isNull());
        QCOMPARE(ds.exportRows(false).size(), 1);
    }
};

MIVO_TEST_MAIN(tst_datastore)
#include "tst_datastore.moc"
