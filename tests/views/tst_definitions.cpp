// Every definition of every page against the real schema: each reads, each updatable one writes
// back; formats and edit masks turn values into text and text into values as the pages need.

#include "views/datastore.h"
#include "views/grouppattern.h"
#include "views/definition.h"
#include "views/format.h"

#include "app/sqlerror.h"
#include "app/connection.h"
#include "fakes.h"
#include "fixture.h"
#include "testmain.h"

using namespace views;

namespace {

void run(const QString &sql, const QVariantList &values = {})
{
    if (const DbResult done = testDb().execute(sql, values); !done)
        qFatal("%s: %s", qPrintable(sql), qPrintable(done.reason));
}

void sampleData()
{
    run(QStringLiteral("INSERT INTO t_telinfo (zuhao0, xingm0, xingb0, shengr, jwjl00) VALUES ('1', '张三', '1', '19900501', '见过')"));
    run(QStringLiteral("INSERT INTO p_info (gid, title, content) VALUES ('1', '第一篇', '今天天气很好')"));
    run(QStringLiteral("INSERT INTO ca_info (gid, name, num, worth, buyprice, buydate) VALUES ('1', '电视', 2, 7000, 3500, '20240101')"));
    run(QStringLiteral("INSERT INTO t_account (vtype, vdate, vname, vmoney) VALUES ('1', '20240105', '午饭', 12.5), "
                       "('2', '20240110', '工资', 8000), ('1', '20231201', '书', 45)"));
    if (!testDb().commit())
        qFatal("commit failed");
}

// Arguments that find the sample rows.
QVariantList argumentsFor(const Definition &d)
{
    static const QHash<QString, QVariantList> known = {
        {QStringLiteral("dw_telall"), {views::allGroupsPattern()}},
        {QStringLiteral("dw_telper"), {QStringLiteral("张三")}},
        {QStringLiteral("ds_xingm0"), {QStringLiteral("1")}},
        {QStringLiteral("ds_info"), {QStringLiteral("1")}},
        {QStringLiteral("dw_find"), {QStringLiteral("%"), QStringLiteral("%第一%"), QStringLiteral("@#$")}},
        {QStringLiteral("dw_ca_all"), {views::allGroupsPattern()}},
        {QStringLiteral("dw_ca_one"), {1}},
        {QStringLiteral("ds_ca_name"), {QStringLiteral("1")}},
        {QStringLiteral("dw_ac_out"), {QStringLiteral("0")}},
        {QStringLiteral("dw_ac_in"), {QStringLiteral("0")}},
    };
    return known.value(d.name);
}

} // namespace

class tst_definitions : public QObject
{
    Q_OBJECT

private slots:
    void everyDefinitionReadsTheRealSchema()
    {
        fake::Platform platform;
        AppFolder folder;
        sampleData();
        const QStringList names = definitionNames();
        for (const char *expected : {"dw_telall", "dw_telper", "ds_group", "ds_xingm0", "dddw_group", "ds_pt_group",
                                     "ds_info", "dw_find", "dw_ca_all", "dw_ca_one", "ds_ca_group", "ds_ca_name",
                                     "dddw_ca_group", "dw_ac_out", "dw_ac_in", "dw_ac_stat", "dw_group", "d_telpro_all",
                                     "d_notepro_all", "d_capital_all", "d_account_all"})
            QVERIFY2(names.contains(QString::fromLatin1(expected)), expected);

        for (const QString &name : names) {
            const Definition *d = definition(name);
            QVERIFY(d);
            QCOMPARE(definition(name.toUpper()), d);
            DataStore ds;
            QVERIFY(ds.setDataObject(name));
            ds.setConnection(testDb());
            const long rows = ds.retrieve(argumentsFor(*d));
            QVERIFY2(rows >= 1, qPrintable(name + QStringLiteral(": ") + ds.lastError().reason));
            // Every grid column and summary field names a column that exists.
            for (int c : d->gridColumns())
                QVERIFY(c >= 0 && c < d->columns.size());
            for (const Compute &c : d->summary)
                QVERIFY2(d->column(c.underColumn), qPrintable(name + QStringLiteral(".") + c.name));
            for (const QString &k : d->keyColumns)
                QVERIFY2(d->column(k), qPrintable(name + QStringLiteral(" key ") + k));
        }
        QVERIFY(platform.boxes->shown.isEmpty());
    }

    void readValuesMatchTheirQueries()
    {
        fake::Platform platform;
        AppFolder folder;
        sampleData();
        DataStore ds;
        ds.setDataObject(QStringLiteral("dw_ac_stat"));
        ds.setConnection(testDb());
        // One row per month, in month order, with its sums; a side without entries has no value.
        QCOMPARE(ds.retrieve(), 2L);
        QCOMPARE(ds.getItemString(1, QStringLiteral("vdate")), QStringLiteral("202312"));
        QCOMPARE(ds.getItemString(2, QStringLiteral("vdate")), QStringLiteral("202401"));
        QCOMPARE(ds.getItemNumber(1, QStringLiteral("out")), 45.0);
        QVERIFY(ds.getItem(1, QStringLiteral("in")).isNull());
        QVERIFY(ds.getItem(1, QStringLiteral("diff")).isNull());
        QCOMPARE(ds.getItemNumber(2, QStringLiteral("diff")), 8000 - 12.5);

        ds.setDataObject(QStringLiteral("dw_ac_out"));
        ds.setConnection(testDb());
        QCOMPARE(ds.retrieve({QStringLiteral("20240101")}), 1L);
        QCOMPARE(ds.getItemString(1, QStringLiteral("vname")), QStringLiteral("午饭"));
        QCOMPARE(ds.retrieve({QStringLiteral("0")}), 2L);
        QCOMPARE(ds.getItemString(1, QStringLiteral("vdate")), QStringLiteral("20231201"));

        ds.setDataObject(QStringLiteral("dw_find"));
        ds.setConnection(testDb());
        QCOMPARE(ds.retrieve({QStringLiteral("%"), QStringLiteral("@#$"), QStringLiteral("%天气%")}), 1L);
        QCOMPARE(ds.retrieve({QStringLiteral("2"), QStringLiteral("%"), QStringLiteral("%")}), 0L);

        ds.setDataObject(QStringLiteral("dw_ca_one"));
        ds.setConnection(testDb());
        QCOMPARE(ds.retrieve({1}), 1L);
        QCOMPARE(ds.getItem(1, QStringLiteral("num")).toLongLong(), 2LL);
        QCOMPARE(ds.getItem(1, QStringLiteral("worth")).toDouble(), 7000.0);
    }

    void everyUpdatableDefinitionWritesBack_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariantList>("args");
        QTest::addColumn<QVariantList>("insert");   // column, value, column, value...
        QTest::addColumn<QString>("changeColumn");
        QTest::addColumn<QString>("count");         // counts the rows written
        QTest::newRow("dw_telper") << "dw_telper" << QVariantList{"张三"}
                                   << QVariantList{"zuhao0", "2", "xingm0", "李四", "shengr", "20000229"}
                                   << "nich00" << "SELECT count(*) FROM t_telinfo";
        QTest::newRow("dw_ca_one") << "dw_ca_one" << QVariantList{1}
                                   << QVariantList{"gid", "2", "name", "沙发", "num", 1, "buyprice", 999.5, "worth", 999.5}
                                   << "name" << "SELECT count(*) FROM ca_info";
        QTest::newRow("dw_ac_out") << "dw_ac_out" << QVariantList{"0"}
                                   << QVariantList{"vtype", "1", "vdate", "20240301", "vname", "车费", "vmoney", 3}
                                   << "vname" << "SELECT count(*) FROM t_account";
        QTest::newRow("dw_ac_in") << "dw_ac_in" << QVariantList{"0"}
                                  << QVariantList{"vtype", "2", "vdate", "20240301", "vname", "奖金", "vmoney", 500}
                                  << "vremark" << "SELECT count(*) FROM t_account";
        QTest::newRow("dw_group") << "dw_group" << QVariantList{}
                                  << QVariantList{"zuhao0", "5", "zuming", "客户"}
                                  << "zuming" << "SELECT count(*) FROM t_group";
        QTest::newRow("ds_pt_group") << "ds_pt_group" << QVariantList{}
                                     << QVariantList{"groupid", "5", "groupname", "旅行"}
                                     << "groupname" << "SELECT count(*) FROM p_group";
        QTest::newRow("ds_ca_group") << "ds_ca_group" << QVariantList{}
                                     << QVariantList{"groupid", "5", "groupname", "车辆"}
                                     << "groupname" << "SELECT count(*) FROM ca_group";
    }

    void everyUpdatableDefinitionWritesBack()
    {
        QFETCH(QString, name);
        QFETCH(QVariantList, args);
        QFETCH(QVariantList, insert);
        QFETCH(QString, changeColumn);
        QFETCH(QString, count);
        fake::Platform platform;
        AppFolder folder;
        sampleData();
        DataStore ds;
        ds.setDataObject(name);
        ds.setConnection(testDb());
        const long read = ds.retrieve(args);
        QVERIFY(read >= 1);
        const int before = scalar(count).toInt();

        // Change the first row, add one, delete nothing: then delete the added one again.
        const QString changed = QStringLiteral("改%1").arg(changeColumn.size());
        QVERIFY(ds.setItem(1, changeColumn, changed));
        const long row = ds.insertRow(0);
        for (int i = 0; i < insert.size(); i += 2)
            QVERIFY(ds.setItem(row, insert.at(i).toString(), insert.at(i + 1)));
        const DbResult written = ds.update(true);
        QVERIFY2(written, qPrintable(written.reason));
        QVERIFY(testDb().commit());
        QCOMPARE(scalar(count).toInt(), before + 1);

        DataStore again;
        again.setDataObject(name);
        again.setConnection(testDb());
        QCOMPARE(again.retrieve(args), read + (name.startsWith(QStringLiteral("dw_telper")) || name == QStringLiteral("dw_ca_one") ? 0 : 1));
        bool found = false;
        for (long r = 1; r <= again.rowCount(); ++r)
            found = found || again.getItemString(r, changeColumn) == changed;
        QVERIFY(found);

        QVERIFY(ds.deleteRow(row));
        QVERIFY(ds.update(true));
        QVERIFY(testDb().commit());
        QCOMPARE(scalar(count).toInt(), before);
    }

    void refusedValuesNameTheirFieldInChinese()
    {
        AppFolder folder;
        QVERIFY(definition(QStringLiteral("dw_telper")));   // the registry registers the captions
        QCOMPARE(columnCaption(QStringLiteral("t_telinfo"), QStringLiteral("jwjl00")), QStringLiteral("交往记录"));
        QCOMPARE(columnCaption(QStringLiteral("t_account"), QStringLiteral("vname")), QStringLiteral("项目"));
        QCOMPARE(columnCaption(QStringLiteral("ca_group"), QStringLiteral("groupname")), QStringLiteral("组名"));
        const DbResult refused = testDb().execute(QStringLiteral("INSERT INTO p_info (gid, title) VALUES ('1', ?)"), {QString(256, QLatin1Char('x'))});
        QVERIFY(!refused);
        QVERIFY2(refused.reason.startsWith(QStringLiteral("“标题”的内容太长。")), qPrintable(refused.reason));
        testDb().rollback();
    }

    void displayFormats()
    {
        QCOMPARE(formatNumber(1234.5, QStringLiteral("###,###.00")), QStringLiteral("1,234.50"));
        QCOMPARE(formatNumber(0.5, QStringLiteral("###,###.00")), QStringLiteral(".50"));
        QCOMPARE(formatNumber(0, QStringLiteral("#,##0.00")), QStringLiteral("0.00"));
        QCOMPARE(formatNumber(-1234567.891, QStringLiteral("#,##0.00")), QStringLiteral("-1,234,567.89"));
        QCOMPARE(formatNumber(-0.001, QStringLiteral("#,##0.00")), QStringLiteral("0.00"));
        QCOMPARE(formatNumber(999.999, QStringLiteral("#,##0.00")), QStringLiteral("1,000.00"));
        QCOMPARE(applyTextMask(QStringLiteral("####-##-##"), QStringLiteral("20240501")), QStringLiteral("2024-05-01"));
        QCOMPARE(applyTextMask(QStringLiteral("####-##"), QStringLiteral("202405")), QStringLiteral("2024-05"));
        // Short or long values lose nothing.
        QCOMPARE(applyTextMask(QStringLiteral("####-##-##"), QStringLiteral("2024")), QStringLiteral("2024"));
        QCOMPARE(applyTextMask(QStringLiteral("####-##"), QStringLiteral("2024051")), QStringLiteral("2024-051"));
        QCOMPARE(formatValue(QVariant(), QStringLiteral("#,##0.00"), ColumnType::Number), QString());
        QCOMPARE(formatValue(12.0, QString(), ColumnType::Number), QStringLiteral("12"));
        QCOMPARE(formatValue(qint64(7), QString(), ColumnType::Integer), QStringLiteral("7"));
    }

    void editMasksTurnTextIntoValues()
    {
        const Definition *card = definition(QStringLiteral("dw_telper"));
        const Definition *asset = definition(QStringLiteral("dw_ca_one"));
        QVariant v;
        QString why;
        QVERIFY(parseEditText(*card->column(QStringLiteral("shengr")), QStringLiteral("1990-05-01"), &v, &why));
        QCOMPARE(v.toString(), QStringLiteral("19900501"));
        QVERIFY(parseEditText(*card->column(QStringLiteral("shengr")), QStringLiteral("--"), &v, &why));
        QCOMPARE(v.toString(), QString());
        QVERIFY(!parseEditText(*card->column(QStringLiteral("shengr")), QStringLiteral("1990-02-30"), &v, &why));
        QVERIFY2(why.contains(QStringLiteral("“生日”不是有效的日期")), qPrintable(why));
        QVERIFY(!parseEditText(*card->column(QStringLiteral("shengr")), QStringLiteral("1990-05"), &v, &why));
        QVERIFY(!parseEditText(*card->column(QStringLiteral("shouji")), QStringLiteral("1380000000a"), &v, &why));
        QVERIFY(!parseEditText(*card->column(QStringLiteral("youb00")), QStringLiteral("1234567"), &v, &why));
        QVERIFY(!parseEditText(*card->column(QStringLiteral("xingm0")), QString(21, QLatin1Char('x')), &v, &why));
        QVERIFY(parseEditText(*asset->column(QStringLiteral("buyprice")), QStringLiteral("1,234.5"), &v, &why));
        QCOMPARE(v.toDouble(), 1234.5);
        QVERIFY(!parseEditText(*asset->column(QStringLiteral("buyprice")), QStringLiteral("1.234"), &v, &why));
        QVERIFY(!parseEditText(*asset->column(QStringLiteral("num")), QStringLiteral("0"), &v, &why));
        QVERIFY(parseEditText(*asset->column(QStringLiteral("num")), QStringLiteral("9999"), &v, &why));
        QVERIFY(parseEditText(*asset->column(QStringLiteral("worth")), QString(), &v, &why));
        QVERIFY(v.isNull());
        QCOMPARE(editText(*asset->column(QStringLiteral("buyprice")), 3.5), QStringLiteral("3.50"));
        // Without a mask a sum of money starts with the decimals of its display format, unless they
        // would hide digits the value has.
        QCOMPARE(editText(*asset->column(QStringLiteral("worth")), 7.5), QStringLiteral("7.50"));
        QCOMPARE(editText(*asset->column(QStringLiteral("worth")), 0.3), QStringLiteral("0.30"));
        QCOMPARE(editText(*asset->column(QStringLiteral("worth")), 3 * 0.1), QStringLiteral("0.30000000000000004"));
        QCOMPARE(editText(*asset->column(QStringLiteral("worth")), 2468.999), QStringLiteral("2468.999"));
    }

    // Every registered definition names only what it has; a misspelt name in a grid order, a summary,
    // a key or a colour rule is refused (the registry stops the program at start with it).
    void misspeltNamesAreRefused()
    {
        for (const QString &name : definitionNames())
            QVERIFY2(definitionProblem(*definition(name)).isEmpty(), qPrintable(definitionProblem(*definition(name))));
        const Definition good = *definition(QStringLiteral("dw_telall"));
        Definition d = good;
        d.gridOrder[3] = QStringLiteral("xingbie");
        QVERIFY(definitionProblem(d).contains(QStringLiteral("\"xingbie\"")));
        d = good;
        d.summary[1].operand = QStringLiteral("xingm");
        QVERIFY(definitionProblem(d).contains(QStringLiteral("\"xingm\"")));
        d = good;
        d.summary[0].underColumn = QStringLiteral("zuhao");
        QVERIFY(!definitionProblem(d).isEmpty());
        d = *definition(QStringLiteral("dw_telper"));
        d.keyColumns = {QStringLiteral("name")};
        QVERIFY(!definitionProblem(d).isEmpty());
        d = good;
        d.columns[1].colorRule = {QStringLiteral("nothing"), 0, Qt::red, Qt::blue};
        QVERIFY(!definitionProblem(d).isEmpty());
    }
};

MIVO_TEST_MAIN(tst_definitions)
#include "tst_definitions.moc"
