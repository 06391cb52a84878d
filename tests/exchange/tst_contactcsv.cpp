// Contacts from CSV: what the program's own export writes comes back field for field; the cells'
// forms (quotes, the apostrophe before formula-like text, labels as headings, GBK from a
// spreadsheet) are read as meant; and no value the reader hands on is too long for the database.

#include "exchange/contactcsvreader.h"
#include "exchange/spreadsheet.h"

#include "app/connection.h"
#include "views/datastore.h"

#include "contacttext.h"
#include "fixture.h"
#include "testmain.h"

using exchange::Contact;
using exchange::ContactCsvReader;
using exchange::ContactField;
using exchange::ContactImport;
using exchange::contactFields;

namespace {

void insert(const Contact &c, const QString &group)
{
    QStringList columns, marks;
    QVariantList values;
    for (const ContactField &f : contactFields()) {
        columns << f.column;
        marks << QStringLiteral("?");
        const QString value = f.member == &Contact::groupCode ? group : c.*f.member;
        values << (value.isEmpty() ? QVariant() : QVariant(value));
    }
    const QString sql = QStringLiteral("INSERT INTO t_telinfo (%1) VALUES (%2)").arg(columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    const DbResult added = testDb().execute(sql, values);
    QVERIFY2(added, qPrintable(c.name + QStringLiteral(": ") + added.reason));
}

} // namespace

class TestContactCsv : public QObject
{
    Q_OBJECT

private slots:
    void readsBackTheProgramsExport();
    void readsTheFormsOfItsCells_data();
    void readsTheFormsOfItsCells();
    void handsOnOnlyWhatTheDatabaseHolds();
};

void TestContactCsv::readsBackTheProgramsExport()
{
    AppFolder folder;
    Contact a;
    a.groupCode = QStringLiteral("1");
    a.name = QStringLiteral("张三");
    a.nickname = QStringLiteral("=SUM(A1:A2)");
    a.sex = QStringLiteral("1");
    a.birthday = QStringLiteral("00000102");
    a.mobile = QStringLiteral("013912345678");
    a.homePhone = QStringLiteral("-5");
    a.officePhone = QStringLiteral("+86 10 1234");
    a.email = QStringLiteral("a,b@x.cn");
    a.msn = QStringLiteral("  两边空格  ");
    a.homeAddress = QStringLiteral("北京市\r\n朝阳区\n建国路\r");
    a.employer = QStringLiteral("制表\t符");
    a.nativePlace = QStringLiteral("😀表情");
    a.remarks = QStringLiteral("他说:\"你好\",然后走了");
    a.history = QStringLiteral("交往记录,\"引号\"\n").repeated(3000);
    a.updated = QStringLiteral("20240101");
    Contact b;
    b.groupCode = QStringLiteral("Z");
    b.name = QStringLiteral("O'Brien");
    b.qq = QStringLiteral("1e5");
    b.postcode = QStringLiteral("007");
    for (const Contact &c : {a, b})
        insert(c, c.groupCode);
    QVERIFY(testDb().commit());

    views::DataStore ds;
    ds.setDataObject(QStringLiteral("d_telpro_all"));
    ds.setConnection(testDb());
    QCOMPARE(ds.retrieve(), 2L);
    const QString path = folder.file(QStringLiteral("通讯录.csv"));
    QString reason;
    QVERIFY2(exchange::writeSheet(path, exchange::SheetFormat::Csv, ds.exportRows(true), &reason), qPrintable(reason));

    const ContactImport result = ContactCsvReader::readFile(path);
    QVERIFY2(!result.failed(), qPrintable(result.error.message()));
    QVERIFY(result.warnings.isEmpty() && result.skipped.isEmpty());
    QCOMPARE(describeAll(result.contacts), describeAll({a, b}));
}

void TestContactCsv::readsTheFormsOfItsCells_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<QStringList>>("contacts");
    QTest::addColumn<QStringList>("notes");   // warnings, then rows left out
    QTest::addColumn<QString>("error");

    // One apostrophe comes off, whatever follows it, also inside quotes; a second one stays.
    QTest::newRow("apostrophes") << QByteArray("Xingm0,Beizhu,Nich00,Dianh0 Dw\r\n'=SUM(A1),'-5,''引号,\"'@a,b\"\r\n")
                                 << QList<QStringList>{{"xingm0==SUM(A1)", "beizhu=-5", "nich00='引号", "dianh0_dw=@a,b"}}
                                 << QStringList() << QString();
    QTest::newRow("labels") << QByteArray("\xEF\xBB\xBF姓名,组别,手机,微信\n张三,2,13800138000,zs\n,1,139\n")
                            << QList<QStringList>{{"xingm0=张三", "zuhao0=2", "shouji=13800138000"}}
                            << QStringList{"第 1 行: 不认识这些列,它们的内容未导入: 微信。", "第 3 行: 这一行没有姓名,未导入。"}
                            << QString();
    QTest::newRow("GBK") << QByteArray("\xD0\xD5\xC3\xFB\x2C\xB5\xA5\xCE\xBB\x0D\x0A\xC0\xEE\xCB\xC4\x2C\xC4\xB3\xB9\xAB\xCB\xBE\x0D\x0A")
                         << QList<QStringList>{{"xingm0=李四", "danwei=某公司"}} << QStringList() << QString();
    QTest::newRow("line breaks in cells") << QByteArray("Xingm0,Jwjl00\r\n甲,\"一\r\n二\"\"\"\r\n  ,x\r\n")
                                          << QList<QStringList>{{"xingm0=甲", "jwjl00=一\r\n二\""}}
                                          << QStringList{"第 4 行: 这一行没有姓名,未导入。"} << QString();
    QTest::newRow("open quote") << QByteArray("Xingm0\r\n甲\r\n\"乙\r\n丙\r\n") << QList<QStringList>() << QStringList()
                                << QStringLiteral("第 3 行: 从这一行开始的引号到文件末尾都没有结束,文件可能不完整。");
    QTest::newRow("no name column") << QByteArray("Name,Phone\r\nx,1\r\n") << QList<QStringList>() << QStringList()
                                    << QStringLiteral("第 1 行: 这不是通讯录导出的 CSV 文件: 第一行没有“姓名”(Xingm0)一列。");
    QTest::newRow("not UTF-8") << QByteArray("\xEF\xBB\xBFXingm0\r\n甲\r\n\xFF\r\n") << QList<QStringList>() << QStringList()
                               << QStringLiteral("第 3 行: 文件的内容不是有效的 UTF-8 文字。");
}

void TestContactCsv::readsTheFormsOfItsCells()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<QStringList>, contacts);
    QFETCH(QStringList, notes);
    QFETCH(QString, error);

    const ContactImport result = ContactCsvReader::read(bytes);
    QCOMPARE(result.error.message(), error);
    QStringList expected;
    for (const QStringList &c : contacts)
        expected << describe(c);
    QCOMPARE(describeAll(result.contacts), expected);
    QCOMPARE(messages(result.warnings) + messages(result.skipped), notes);
}

// Every column filled to its width is taken as it is; one character more and the whole text moves to
// 备注 or 交往记录 with a warning. Both rows then go into a database made from the schema.
void TestContactCsv::handsOnOnlyWhatTheDatabaseHolds()
{
    QStringList headings, full, over;
    for (const ContactField &f : contactFields()) {
        headings << f.column;
        const int width = f.width > 0 ? f.width : 100;
        full << (f.member == &Contact::name ? QString(width, QLatin1Char('A')) : QString(width, QLatin1Char('a')));
        // Chinese characters: a width counted in GBK bytes would already refuse half of them.
        over << QString(width + 1, QChar(u'长'));
    }
    const QString text = headings.join(QLatin1Char(',')) + QStringLiteral("\r\n") + full.join(QLatin1Char(','))
        + QStringLiteral("\r\n") + over.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    const ContactImport result = ContactCsvReader::read(text.toUtf8());
    QVERIFY(!result.failed());
    QCOMPARE(result.contacts.size(), 2);

    const Contact &asIs = result.contacts.at(0);
    for (qsizetype i = 0; i < contactFields().size(); ++i)
        QCOMPARE(asIs.*contactFields().at(i).member, full.at(i));
    // Every limited column but the group code (resolved by the caller) warns once, all on row 3.
    int limited = 0;
    for (const ContactField &f : contactFields())
        limited += f.width > 0 && f.member != &Contact::groupCode;
    QCOMPARE(result.warnings.size(), limited);
    for (const exchange::ImportNote &n : result.warnings)
        QCOMPARE(n.line, 3);
    const Contact &moved = result.contacts.at(1);
    QCOMPARE(moved.name, QString(20, QChar(u'长')));
    for (qsizetype i = 0; i < contactFields().size(); ++i)
        if (contactFields().at(i).width > 0 && contactFields().at(i).member != &Contact::groupCode)
            QVERIFY2((moved.remarks + moved.history).contains(over.at(i)), qPrintable(contactFields().at(i).column));

    AppFolder folder;
    insert(asIs, QStringLiteral("1"));
    insert(moved, QStringLiteral("1"));
    QVERIFY(testDb().commit());
}

MIVO_TEST_MAIN(TestContactCsv)
#include "tst_contactcsv.moc"
