#include "exchange/sheetwriters_p.h"
#include "exchange/spreadsheet.h"

#include "app/connection.h"
#include "platform/modules.h"
#include "views/datastore.h"

#include "fakes.h"
#include "filesizelimit.h"
#include "fixture.h"
#include "sheetreader.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <cerrno>
#include <sqlite3.h>

using exchange::SheetFormat;
Q_DECLARE_METATYPE(exchange::SheetFormat)

namespace {

void exec(const QString &sql, const QVariantList &values)
{
    if (const DbResult done = testDb().execute(sql, values); !done)
        qFatal("test data: %s", qPrintable(done.reason));
}

const QVariant null;

// Values that trip writers up: separators, quotes, line breaks of every kind, blanks at the ends,
// text that looks like a number or a formula, Latin-1 and characters beyond 16 bits, NULL and empty
// text, integers and fractions, and notes as long as a cell holds, in one- and two-byte characters.
void fillTrickyRecords()
{
    const QString contact = QStringLiteral(
        "INSERT INTO t_telinfo (zuhao0, xingm0, nich00, xingb0, shengr, shouji, email0, msn00, dizhi0, danwei, "
        "yuanji, beizhu, jwjl00, gxrq00) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    exec(contact, {"1", "张三", null, "1", "19800101", "013912345678", "a,b@x.cn", "  两边空格  ",
                   "北京市\r\n朝阳区\n建国路\r", "制表\t符", "😀表情", "他说:\"你好\",然后走了", "=SUM(A1:A2)", "20240101"});
    exec(contact, {"2", "O'Brien", "", null, null, "1e5", null, "_x0041_x0042_ 像转义_x", null, null, null, null,
                   QStringLiteral("交往记录,").repeated(3000), null});
    exec(contact, {"1", "李四", "小四", "2", "19900230", "13800000000", "@某人", "\"", ",", "\n", "'撇号", "+86 10 1234", "-减号", null});

    const QString note = QStringLiteral("INSERT INTO p_info (gid, title, content) VALUES (?, ?, ?)");
    exec(note, {"1", "长笔记", QString(32767, QChar(u'记'))});
    exec(note, {"1", "long latin", QString(32767, QLatin1Char('a'))});
    exec(note, {"1", "混合", QString(8190, QLatin1Char('x')) + QStringLiteral("中文").repeated(5000)});
    exec(note, {"2", "空笔记", null});
    exec(note, {"2", "Àé naïve", "café; façade"});
    // Many short texts, so that string headers meet the ends of records at every offset.
    for (int i = 0; i < 400; ++i)
        exec(note, {"3", QStringLiteral("笔记 %1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("内容 x").repeated(i % 7 + 1)});

    const QString asset = QStringLiteral(
        "INSERT INTO ca_info (gid, name, brand, descb, num, worth, buydate, buyplace, buyprice, dropdate, droptype, remark) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    const double awkward = 0.1 + 0.2;
    exec(asset, {"1", "电脑", "X1", "描述", 2, 12999.99, "20230615", "中关村", 6499.995, null, null, null});
    exec(asset, {"1", "零值", null, null, 0, awkward, null, null, -0.5, null, null, null});
    exec(asset, {"2", "大数", null, null, 2147483647, 1e-7, null, null, 123456789012.25, "20240101", "卖掉", "备注"});
    exec(asset, {"2", "空值", null, null, null, null, null, null, null, null, null, null});

    const QString entry = QStringLiteral("INSERT INTO t_account (vtype, vdate, vname, vmoney, vremark) VALUES (?, ?, ?, ?, ?)");
    exec(entry, {"1", "20240101", "午饭", 25.5, "和同事"});
    exec(entry, {"2", "20240131", "工资", 10000, null});
    exec(entry, {"1", "20240215", "书,\"C++\"", 0.01, "第一行\n第二行"});
    QVERIFY(testDb().commit());
}

QList<QVariantList> exportOf(const QString &definition)
{
    views::DataStore ds;
    ds.setDataObject(definition);
    ds.setConnection(testDb());
    if (ds.retrieve() < 0)
        qFatal("retrieve %s: %s", qPrintable(definition), qPrintable(ds.lastError().reason));
    return ds.exportRows(true);
}

QString readerFor(SheetFormat f)
{
    return exchange::sheetSuffix(f);
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

} // namespace

class tst_spreadsheet : public QObject
{
    Q_OBJECT

private slots:
    void everyTableReadsBackAsStored_data()
    {
        QTest::addColumn<SheetFormat>("format");
        QTest::addColumn<QString>("definition");
        for (SheetFormat f : {SheetFormat::Xls, SheetFormat::Xlsx, SheetFormat::Csv})
            for (const char *d : {"d_telpro_all", "d_notepro_all", "d_capital_all", "d_account_all"})
                QTest::addRow("%s %s", qPrintable(exchange::sheetSuffix(f)), d) << f << QString::fromLatin1(d);
    }
    void everyTableReadsBackAsStored()
    {
        QFETCH(SheetFormat, format);
        QFETCH(QString, definition);
        fake::Platform platform;
        AppFolder folder;
        fillTrickyRecords();
        const QString name = QStringLiteral("导出 %1.%2").arg(definition, exchange::sheetSuffix(format));
        const QString path = folder.file(name);
        QString reason;
        QVERIFY2(exchange::writeSheet(path, format, exportOf(definition), &reason, QStringLiteral("通讯录")), qPrintable(reason));

        QString error;
        const QList<ReadSheet> sheets = readBack(readerFor(format), path, &error);
        QVERIFY2(!sheets.isEmpty(), qPrintable(error));
        QCOMPARE(sheets.size(), 1);
        if (format != SheetFormat::Csv)
            QCOMPARE(sheets.first().name, QStringLiteral("通讯录"));
        const Numbers numbers = format == SheetFormat::Csv    ? Numbers::AsText
                                : format == SheetFormat::Xlsx ? Numbers::SixteenDigits
                                                              : Numbers::Exact;
        const QString difference = firstDifference(databaseRows(definition), sheets.first().rows, numbers);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        // Nothing but the database and the export: no temporary file is left beside it.
        QCOMPARE(entries(folder.path()), (QStringList{QStringLiteral("mivo.mdb"), name}));
    }

    void moreRecordsThanASheetHoldsGoOnAnotherSheetUnderTheHeadings()
    {
        fake::Platform platform;
        AppFolder folder;
        constexpr int kEntries = 70000;
        sqlite3 *db = testDb().handle();
        sqlite3_stmt *insert = nullptr;
        QCOMPARE(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), SQLITE_OK);
        QCOMPARE(sqlite3_prepare_v2(db, "INSERT INTO t_account (vtype, vdate, vname, vmoney, vremark) VALUES (?, ?, ?, ?, ?)",
                                    -1, &insert, nullptr),
                 SQLITE_OK);
        for (int i = 0; i < kEntries; ++i) {
            const QByteArray date = QByteArray::number(20000101 + i % 28);
            const QByteArray item = QStringLiteral("项目%1").arg(i).toUtf8();
            sqlite3_bind_text(insert, 1, i % 3 ? "1" : "2", 1, SQLITE_STATIC);
            sqlite3_bind_text(insert, 2, date.constData(), int(date.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 3, item.constData(), int(item.size()), SQLITE_TRANSIENT);
            sqlite3_bind_double(insert, 4, i * 0.25);
            if (i % 5 == 0)
                sqlite3_bind_null(insert, 5);
            else
                sqlite3_bind_text(insert, 5, "备注", -1, SQLITE_STATIC);
            QCOMPARE(sqlite3_step(insert), SQLITE_DONE);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        QCOMPARE(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);

        const QString path = folder.file(QStringLiteral("记帐.xls"));
        QString reason;
        QVERIFY2(exchange::writeSheet(path, SheetFormat::Xls, exportOf(QStringLiteral("d_account_all")), &reason,
                                      QStringLiteral("记帐")),
                 qPrintable(reason));
        QString error;
        const QList<ReadSheet> sheets = readBack(QStringLiteral("xls"), path, &error);
        QVERIFY2(!sheets.isEmpty(), qPrintable(error));
        QCOMPARE(sheets.size(), 2);
        QCOMPARE(sheets.at(0).name, QStringLiteral("记帐"));
        QCOMPARE(sheets.at(1).name, QStringLiteral("记帐 (2)"));
        QCOMPARE(sheets.at(0).rows.size(), 65536);
        QCOMPARE(sheets.at(1).rows.size(), kEntries - 65535 + 1);

        const QList<QVariantList> expected = databaseRows(QStringLiteral("d_account_all"));
        QCOMPARE(sheets.at(1).rows.first(), sheets.at(0).rows.first());
        QList<QVariantList> joined = sheets.at(0).rows;
        joined += sheets.at(1).rows.mid(1);
        const QString difference = firstDifference(expected, joined, Numbers::Exact);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    void sheetsSplitAtTheRowLimit()
    {
        using exchange::detail::planSheets;
        // A full sheet is the headings and 65,535 records; one more record starts a second sheet.
        QCOMPARE(planSheets(65536, 65536, QStringLiteral("S")).size(), 1);
        const auto two = planSheets(65537, 65536, QStringLiteral("S"));
        QCOMPARE(two.size(), 2);
        QCOMPARE(two.at(1).first, 65536);
        QCOMPARE(two.at(1).count, 1);
        // Headings alone still make a sheet.
        QCOMPARE(planSheets(1, 65536, QStringLiteral("S")).size(), 1);
    }

    void textLongerThanACellIsRefusedByWorkbooksOnly()
    {
        fake::Platform platform;
        AppFolder folder;
        exec(QStringLiteral("INSERT INTO p_info (gid, title, content) VALUES (?, ?, ?)"),
             {"1", "超长", QString(32768, QChar(u'长'))});
        QVERIFY(testDb().commit());
        const QList<QVariantList> rows = exportOf(QStringLiteral("d_notepro_all"));
        for (SheetFormat f : {SheetFormat::Xls, SheetFormat::Xlsx}) {
            const QString path = folder.file(QStringLiteral("超长.") + exchange::sheetSuffix(f));
            QString reason;
            QVERIFY(!exchange::writeSheet(path, f, rows, &reason));
            QVERIFY2(reason.contains(QStringLiteral("32767")) && reason.contains(QStringLiteral("第 2 行第 3 列")), qPrintable(reason));
            QCOMPARE(entries(folder.path()), QStringList{QStringLiteral("mivo.mdb")});
        }
        const QString csv = folder.file(QStringLiteral("超长.csv"));
        QString reason;
        QVERIFY2(exchange::writeSheet(csv, SheetFormat::Csv, rows, &reason), qPrintable(reason));
        QString error;
        const QList<ReadSheet> sheets = readBack(QStringLiteral("csv"), csv, &error);
        QVERIFY2(!sheets.isEmpty(), qPrintable(error));
        QCOMPARE(sheets.first().rows.value(1).value(2).toString().size(), 32768);
    }

    void failedWriteLeavesNoFileAndTheOldOneUntouched_data()
    {
        QTest::addColumn<SheetFormat>("format");
        QTest::addColumn<QString>("failure");
        for (SheetFormat f : {SheetFormat::Xls, SheetFormat::Xlsx, SheetFormat::Csv})
            for (const char *failure : {"missing folder", "target is a folder", "disk full"})
                QTest::addRow("%s %s", qPrintable(exchange::sheetSuffix(f)), failure) << f << QString::fromLatin1(failure);
        // The workbook writers are a module: a program installed without it says so.
        for (SheetFormat f : {SheetFormat::Xls, SheetFormat::Xlsx})
            QTest::addRow("%s module missing", qPrintable(exchange::sheetSuffix(f))) << f << QStringLiteral("module missing");
    }
    void failedWriteLeavesNoFileAndTheOldOneUntouched()
    {
        QFETCH(SheetFormat, format);
        QFETCH(QString, failure);
        fake::Platform platform;
        AppFolder folder;
        fillTrickyRecords();
        const QList<QVariantList> rows = exportOf(QStringLiteral("d_notepro_all"));
        const QString suffix = QLatin1Char('.') + exchange::sheetSuffix(format);
        QString reason;
        if (failure == QLatin1String("missing folder")) {
            QVERIFY(!exchange::writeSheet(folder.file(QStringLiteral("没有/导出") + suffix), format, rows, &reason));
            QVERIFY2(reason.contains(QStringLiteral("不存在")), qPrintable(reason));
            QCOMPARE(entries(folder.path()), QStringList{QStringLiteral("mivo.mdb")});
        } else if (failure == QLatin1String("target is a folder")) {
            const QString target = folder.file(QStringLiteral("文件夹") + suffix);
            QVERIFY(QDir().mkpath(target + QStringLiteral("/里面")));
            QVERIFY(!exchange::writeSheet(target, format, rows, &reason));
            QVERIFY2(reason.contains(QStringLiteral("文件夹")), qPrintable(reason));
            QVERIFY(QFileInfo(target).isDir());
            QCOMPARE(entries(target), QStringList{QStringLiteral("里面")});
            QCOMPARE(entries(folder.path()), (QStringList{QStringLiteral("mivo.mdb"), QStringLiteral("文件夹") + suffix}));
        } else if (failure == QLatin1String("module missing")) {
            const QString target = folder.file(QStringLiteral("旧的") + suffix);
            folder.writeFile(QStringLiteral("旧的") + suffix, "the earlier export");
            const QStringList before = entries(folder.path());
            const QString modules = platform::moduleFolder();
            platform::setModuleFolder(folder.file(QStringLiteral("modules")));
            const bool written = exchange::writeSheet(target, format, rows, &reason);
            platform::setModuleFolder(modules);
            QVERIFY(!written);
            QVERIFY2(reason.contains(QStringLiteral("“sheets”")) && reason.contains(QStringLiteral("覆盖安装")), qPrintable(reason));
            QCOMPARE(bytesOf(target), QByteArray("the earlier export"));
            QCOMPARE(entries(folder.path()), before);
            // Found again where it lies: a failed load is not remembered.
            QVERIFY2(exchange::writeSheet(target, format, rows, &reason), qPrintable(reason));
        } else {
            const QString target = folder.file(QStringLiteral("旧的") + suffix);
            folder.writeFile(QStringLiteral("旧的") + suffix, "the earlier export");
            const QStringList before = entries(folder.path());
            bool written;
            {
                FileSizeLimit limit(4096);
                written = exchange::writeSheet(target, format, rows, &reason);
            }
            QVERIFY(!written);
            // The system's own reason, not a guess.
            QVERIFY2(reason.contains(QStringLiteral("失败: ")) && reason.contains(qt_error_string(EFBIG)), qPrintable(reason));
            QCOMPARE(bytesOf(target), QByteArray("the earlier export"));
            QCOMPARE(entries(folder.path()), before);
        }
    }

    void replacesAnEarlierFileAndKeepsALinkToIt()
    {
        AppFolder folder(AppFolder::NoDatabase);
        const QList<QVariantList> rows = {{"标题"}, {"新内容"}};
        folder.writeFile(QStringLiteral("real.csv"), "old");
        QVERIFY(QFile::link(folder.file(QStringLiteral("real.csv")), folder.file(QStringLiteral("link.csv"))));
        QVERIFY(QFile::setPermissions(folder.file(QStringLiteral("real.csv")), QFile::ReadOwner | QFile::WriteOwner));
        const QFile::Permissions before = QFile::permissions(folder.file(QStringLiteral("real.csv")));
        QString reason;
        QVERIFY2(exchange::writeSheet(folder.file(QStringLiteral("link.csv")), SheetFormat::Csv, rows, &reason), qPrintable(reason));
        QVERIFY(QFileInfo(folder.file(QStringLiteral("link.csv"))).isSymLink());
        QCOMPARE(bytesOf(folder.file(QStringLiteral("real.csv"))), QByteArray("\xEF\xBB\xBF标题\r\n新内容\r\n"));
        QCOMPARE(QFile::permissions(folder.file(QStringLiteral("real.csv"))), before);
        QCOMPARE(entries(folder.path()), (QStringList{QStringLiteral("link.csv"), QStringLiteral("real.csv")}));
    }

    // A text a spreadsheet would take for a formula (or whose apostrophe it would drop) gets one more
    // apostrophe in front; numbers, negative ones too, stay numbers.
    void csvIsUtf8WithAByteOrderMarkQuotedWhereNeededCrlfAndWithoutFormulas()
    {
        AppFolder folder(AppFolder::NoDatabase);
        const QList<QVariantList> rows = {
            {"名称", "b,c", "   "},
            {qlonglong(-12), "say \"hi\"", null},
            {null, "line1\nline2", "cr\r"},
            {2.5, "中", QString()},
            {"=HYPERLINK(\"x\")", "+1", "-x", "@a", "\tt", "\rr", "'q", "a=b", -0.5},
        };
        QString reason;
        QVERIFY2(exchange::writeSheet(folder.file(QStringLiteral("t.csv")), SheetFormat::Csv, rows, &reason), qPrintable(reason));
        QCOMPARE(folder.readFile(QStringLiteral("t.csv")),
                 QByteArray("\xEF\xBB\xBF名称,\"b,c\",   \r\n-12,\"say \"\"hi\"\"\",\r\n,\"line1\nline2\",\"cr\r\"\r\n2.5,中,\r\n"
                            "\"'=HYPERLINK(\"\"x\"\")\",'+1,'-x,'@a,'\tt,\"'\rr\",''q,a=b,-0.5\r\n"));
    }

    void formatFollowsTheSuffixOrElseTheFilter()
    {
        using exchange::sheetTarget;
        const QStringList filters = exchange::sheetFilters();
        for (SheetFormat f : {SheetFormat::Xls, SheetFormat::Xlsx, SheetFormat::Csv})
            QVERIFY(exchange::formatOfFilter(filters.at(int(f))) == f);
        // The name's suffix wins, whatever its case; without one the filter's format and suffix.
        QCOMPARE(sheetTarget(QStringLiteral("/a/通讯录.XLSX"), filters.at(2)).format, SheetFormat::Xlsx);
        QCOMPARE(sheetTarget(QStringLiteral("/a/v1.2"), filters.at(2)).path, QStringLiteral("/a/v1.2.csv"));
        QCOMPARE(sheetTarget(QStringLiteral("/a/x"), QString()).path, QStringLiteral("/a/x.xls"));
    }

    void libreOfficeReadsTheWorkbooksAlike()
    {
        QString office = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
        if (office.isEmpty())
            office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (office.isEmpty())
            QSKIP("LibreOffice is not installed: the workbooks were read back by xlrd and openpyxl only; "
                  "the check with LibreOffice did not run");
        fake::Platform platform;
        AppFolder folder;
        fillTrickyRecords();
        const QString out = folder.file(QStringLiteral("converted"));
        // Its text export takes the first sheet only; contacts and notes have both numbers and long texts.
        for (const QString &definition : {QStringLiteral("d_telpro_all"), QStringLiteral("d_notepro_all")}) {
            const QList<QVariantList> rows = exportOf(definition);
            QList<QVariantList> expected = databaseRows(definition);
            // It writes every line break inside a cell as LF.
            for (QVariantList &row : expected)
                for (QVariant &v : row)
                    if (v.typeId() == QMetaType::QString)
                        v = v.toString().replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
            for (SheetFormat f : {SheetFormat::Xls, SheetFormat::Xlsx}) {
                const QString path = folder.file(QStringLiteral("export.") + exchange::sheetSuffix(f));
                QString reason;
                QVERIFY2(exchange::writeSheet(path, f, rows, &reason), qPrintable(reason));
                QProcess convert;
                convert.start(office, {QStringLiteral("-env:UserInstallation=file://") + folder.file(QStringLiteral("profile")),
                                       QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                                       QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1"), QStringLiteral("--outdir"),
                                       out, path});
                QVERIFY(convert.waitForFinished(240000));
                const QString csv = out + QStringLiteral("/export.csv");
                QString error;
                const QList<ReadSheet> sheets = readBack(QStringLiteral("plaincsv"), csv, &error);
                QVERIFY2(!sheets.isEmpty(), qPrintable(error + QString::fromLocal8Bit(convert.readAllStandardError())));
                const QString difference = firstDifference(expected, sheets.first().rows, Numbers::AsText);
                QVERIFY2(difference.isEmpty(), qPrintable(definition + QLatin1Char(' ') + exchange::sheetSuffix(f) + QStringLiteral(": ") + difference));
                QFile::remove(csv);
            }
        }
    }
};

MIVO_TEST_MAIN(tst_spreadsheet)
#include "tst_spreadsheet.moc"
