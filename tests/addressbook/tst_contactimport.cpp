// Contact files into the address book's database and out of it: every field through a vCard into a
// new database, the three answers to names already taken, the group each contact lands in, a
// failure or a cancel half-way that leaves nothing behind, and the import as the user goes through
// it, box by box; a group's export as vCard and as spreadsheets, read back by independent readers.

#include "addressbook/contactexport.h"
#include "addressbook/contactimport.h"
#include "addressbook/contacttransfer.h"
#include "exchange/contactcsvreader.h"
#include "exchange/vcardreader.h"
#include "exchange/vcardwriter.h"

#include "contacttext.h"
#include "fakes.h"
#include "fixture.h"
#include "sheetreader.h"
#include "testmain.h"

#include <QDir>
#include <QSqlQuery>

using namespace addressbook;
using exchange::Contact;
using exchange::ContactImport;
using platform::Answer;
using platform::Buttons;
using platform::Icon;
Q_DECLARE_METATYPE(addressbook::NameClash)

namespace {

Contact person(const QString &name, const QString &mobile = QString(), const QString &email = QString())
{
    Contact c;
    c.name = name;
    c.mobile = mobile;
    c.email = email;
    return c;
}

ContactImport fileOf(const QList<Contact> &contacts)
{
    ContactImport file;
    file.contacts = contacts;
    return file;
}

void run(Connection &db, const QString &sql)
{
    QSqlQuery q(db.sqlDatabase());
    QVERIFY2(q.exec(sql), qPrintable(sql));
}

void store(Connection &db, const QString &group, const Contact &c)
{
    QSqlQuery q(db.sqlDatabase());
    q.prepare(QStringLiteral("INSERT INTO t_telinfo (zuhao0, xingm0, shouji, email0) VALUES (?, ?, ?, ?)"));
    q.addBindValue(group);
    q.addBindValue(c.name);
    q.addBindValue(c.mobile);
    q.addBindValue(c.email);
    QVERIFY(q.exec());
}

QList<Contact> storedContacts(Connection &db, const QString &group = QStringLiteral("%"))
{
    QList<Contact> out;
    const DbResult read = readContacts(db, group, &out);
    if (!read)
        qFatal("cannot read the contacts: %s", qPrintable(read.reason));
    return out;
}

// Plans `file` against `db` and writes it; the plan comes back for its counts.
ImportPlan import(Connection &db, const ContactImport &file, const QString &group, NameClash clash,
                  ContactImporter::Outcome expected = ContactImporter::Outcome::Stored)
{
    ContactImporter importer(db);
    ImportPlan plan;
    if (!importer.load() || !importer.plan(file, group, clash, &plan))
        qFatal("cannot plan the import");
    DbResult failure;
    const auto outcome = importer.write(plan, {}, &failure);
    if (outcome != expected)
        qFatal("the import came to %d: %s", int(outcome), qPrintable(failure.reason));
    return plan;
}

QString field(Connection &db, const QString &name, const QString &column)
{
    QSqlQuery q(db.sqlDatabase());
    q.prepare(QStringLiteral("SELECT ") + column + QStringLiteral(" FROM t_telinfo WHERE xingm0 = ?"));
    q.addBindValue(name);
    q.exec();
    return q.next() ? q.value(0).toString() : QStringLiteral("<none>");
}

QStringList names(Connection &db)
{
    QStringList out;
    for (const Contact &c : storedContacts(db))
        out << c.name;
    out.sort();
    return out;
}

} // namespace

class TestContactImport : public QObject
{
    Q_OBJECT

private slots:
    void everyFieldThroughVCardIntoANewDatabase();
    void namesAlreadyTaken_data();
    void namesAlreadyTaken();
    void theGroupEachContactLandsIn();
    void aFailureOrACancelStoresNothing();
    void theUserImportsAFile();
    void theUserExportsAGroup_data();
    void theUserExportsAGroup();
};

void TestContactImport::everyFieldThroughVCardIntoANewDatabase()
{
    AppFolder from;
    const QList<Contact> tricky = trickyContacts();
    import(from.db(), fileOf(tricky), QStringLiteral("%"), NameClash::Skip);

    // Stored field for field, each in the group its first known category names, else the first group.
    const QHash<QString, QPair<QString, QString>> groupOf = {
        {QStringLiteral("张三"), {QStringLiteral("2"), QStringLiteral("朋友")}},
        {QStringLiteral("欧阳娜娜"), {QStringLiteral("1"), QStringLiteral("家人")}},
        {QStringLiteral("John Ronald Smith"), {QStringLiteral("4"), QStringLiteral("同事")}},
    };
    const QList<Contact> stored = storedContacts(from.db());
    QCOMPARE(stored.size(), tricky.size());
    for (Contact expected : tricky) {
        expected.groupCode = groupOf.value(expected.name).first;
        expected.categories = {groupOf.value(expected.name).second};
        expected.uid.clear();
        const auto found = std::find_if(stored.begin(), stored.end(), [&](const Contact &c) { return c.name == expected.name; });
        QVERIFY2(found != stored.end(), qPrintable(expected.name));
        QCOMPARE(describe(*found), describe(expected));
    }

    // Out as a vCard file and into an empty database: every contact comes back, in its group.
    const QString path = from.file(QStringLiteral("通讯录.vcf"));
    QString reason;
    QVERIFY2(exchange::VCardWriter().writeToPath(path, stored, &reason), qPrintable(reason));
    AppFolder to;
    const ContactImport file = ContactImporter::readFile(path);
    QVERIFY(!file.failed());
    const ImportPlan plan = import(to.db(), file, QStringLiteral("%"), NameClash::Skip);
    QCOMPARE(plan.added, int(tricky.size()));
    QVERIFY(plan.notes.isEmpty());
    QCOMPARE(describeAll(storedContacts(to.db())), describeAll(stored));
    // A group's export takes its own contacts only.
    QCOMPARE(storedContacts(to.db(), QStringLiteral("4")).size(), 1);
    QCOMPARE(storedContacts(to.db(), QStringLiteral("4")).first().name, QStringLiteral("John Ronald Smith"));
}

void TestContactImport::namesAlreadyTaken_data()
{
    QTest::addColumn<NameClash>("clash");
    QTest::addColumn<QList<int>>("counts");     // added, merged, skipped
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("zhangSan");  // 张三's mobile, email, QQ afterwards

    const QString twenty = QStringLiteral("一二三四五六七八九十一二三四五六七八九十");
    const QStringList before{QStringLiteral("Anna"), twenty, QStringLiteral("张三"), QStringLiteral("张三 (2)")};
    QTest::newRow("skip") << NameClash::Skip << QList<int>{1, 0, 4} << (before + QStringList{QStringLiteral("王五")})
                          << QStringList{QStringLiteral("13800000001"), QString(), QString()};
    // The new names are unique without regard to case and fit the name's 20 characters.
    QTest::newRow("keep both") << NameClash::KeepBoth << QList<int>{5, 0, 0}
                               << (before + QStringList{QStringLiteral("ANNA (2)"), QStringLiteral("一二三四五六七八九十一二三四五六 (2)"),
                                                        QStringLiteral("张三 (3)"), QStringLiteral("张三 (4)"), QStringLiteral("王五")})
                               << QStringList{QStringLiteral("13800000001"), QString(), QString()};
    // Both cards of 张三 fill the stored one, whose own mobile stays; cards with nothing to give are skipped.
    QTest::newRow("fill empty") << NameClash::FillEmpty << QList<int>{1, 2, 2} << (before + QStringList{QStringLiteral("王五")})
                                << QStringList{QStringLiteral("13800000001"), QStringLiteral("zs@example.cn"), QStringLiteral("12345")};
}

void TestContactImport::namesAlreadyTaken()
{
    QFETCH(NameClash, clash);
    QFETCH(QList<int>, counts);
    QFETCH(QStringList, names);
    QFETCH(QStringList, zhangSan);

    AppFolder folder;
    Connection &db = folder.db();
    const QString twenty = QStringLiteral("一二三四五六七八九十一二三四五六七八九十");
    for (const Contact &c : {person(QStringLiteral("张三"), QStringLiteral("13800000001")), person(QStringLiteral("张三 (2)")),
                             person(QStringLiteral("Anna")), person(twenty)})
        store(db, QStringLiteral("1"), c);

    Contact second = person(QStringLiteral("张三"));
    second.qq = QStringLiteral("12345");
    const ImportPlan plan = import(db, fileOf({person(QStringLiteral("张三"), QStringLiteral("13900000000"), QStringLiteral("zs@example.cn")),
                                               second, person(QStringLiteral("ANNA")), person(twenty), person(QStringLiteral("王五"))}),
                                   QStringLiteral("1"), clash);
    QCOMPARE((QList<int>{plan.added, plan.merged, plan.skipped}), counts);
    names.sort();
    QCOMPARE(::names(db), names);
    QCOMPARE((QStringList{field(db, QStringLiteral("张三"), QStringLiteral("shouji")), field(db, QStringLiteral("张三"), QStringLiteral("email0")),
                          field(db, QStringLiteral("张三"), QStringLiteral("qq0000"))}),
             zhangSan);
}

void TestContactImport::theGroupEachContactLandsIn()
{
    AppFolder folder;
    Connection &db = folder.db();
    // "Z" comes first in the groups' order here, and is still not where contacts go by default.
    run(db, QStringLiteral("DELETE FROM t_group WHERE zuhao0 <> 'Z'"));
    run(db, QStringLiteral("INSERT INTO t_group (zuhao0, zuming) VALUES ('a', '客户'), ('b', '朋友')"));

    const QByteArray cards = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:甲\r\nCATEGORIES:同学,朋友\r\nEND:VCARD\r\n"
                             "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:乙\r\nCATEGORIES:不存在\r\nEND:VCARD\r\n"
                             "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:丙\r\nEND:VCARD\r\n";
    const ContactImport vcard = exchange::VCardReader::read(cards);
    QVERIFY(!vcard.failed());
    import(db, vcard, QStringLiteral("%"), NameClash::Skip);
    QCOMPARE((QStringList{field(db, QStringLiteral("甲"), QStringLiteral("zuhao0")), field(db, QStringLiteral("乙"), QStringLiteral("zuhao0")),
                          field(db, QStringLiteral("丙"), QStringLiteral("zuhao0"))}),
             (QStringList{QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("a")}));
    // Opened on a group, the cards go there whatever they name.
    import(db, vcard, QStringLiteral("Z"), NameClash::KeepBoth);
    QCOMPARE(field(db, QStringLiteral("甲 (2)"), QStringLiteral("zuhao0")), QStringLiteral("Z"));

    // The CSV's 组别 wins where it names a group, by code or by name; else the menu's group.
    const ContactImport csv = exchange::ContactCsvReader::read("姓名,组别\r\n丁,b\r\n戊,客户\r\n己,q\r\n");
    QVERIFY(!csv.failed());
    import(db, csv, QStringLiteral("Z"), NameClash::Skip);
    QCOMPARE((QStringList{field(db, QStringLiteral("丁"), QStringLiteral("zuhao0")), field(db, QStringLiteral("戊"), QStringLiteral("zuhao0")),
                          field(db, QStringLiteral("己"), QStringLiteral("zuhao0"))}),
             (QStringList{QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("Z")}));

    // With no group but "Z", an import from the root has nowhere to put a contact: nothing is planned.
    run(db, QStringLiteral("DELETE FROM t_group WHERE zuhao0 <> 'Z'"));
    ContactImporter importer(db);
    ImportPlan plan;
    QVERIFY(importer.load());
    const DbResult planned = importer.plan(fileOf({person(QStringLiteral("庚"))}), QStringLiteral("%"), NameClash::Skip, &plan);
    QVERIFY(!planned);
    QVERIFY2(planned.reason.contains(QStringLiteral("没有可以放入联系人的组")), qPrintable(planned.reason));
}

void TestContactImport::aFailureOrACancelStoresNothing()
{
    AppFolder folder;
    Connection &db = folder.db();
    store(db, QStringLiteral("1"), person(QStringLiteral("张三")));
    QList<Contact> many;
    for (int i = 0; i < 3000; ++i) {
        Contact c = person(QStringLiteral("联系人%1").arg(i));
        c.history = QString(1000, QChar(u'记'));
        many << c;
    }
    ContactImporter importer(db);
    ImportPlan plan;
    QVERIFY(importer.load());
    QVERIFY(importer.plan(fileOf(many), QStringLiteral("1"), NameClash::Skip, &plan));

    // A full disk half-way: nothing of the import is stored, and the connection is usable after.
    QSqlQuery pages(db.sqlDatabase());
    QVERIFY(pages.exec(QStringLiteral("PRAGMA page_count")) && pages.next());
    run(db, QStringLiteral("PRAGMA max_page_count = %1").arg(pages.value(0).toInt() + 50));
    DbResult failure;
    QCOMPARE(importer.write(plan, {}, &failure), ContactImporter::Outcome::Failed);
    QVERIFY2(failure.reason.contains(QStringLiteral("full")) || failure.reason.contains(QStringLiteral("满")), qPrintable(failure.reason));
    QCOMPARE(names(db), QStringList{QStringLiteral("张三")});
    QVERIFY(!db.inTransaction());

    // A cancel after the first step: rolled back as well.
    run(db, QStringLiteral("PRAGMA max_page_count = 1073741823"));
    QList<qint64> calls;
    const auto cancelLate = [&](qint64 done, qint64 total) {
        calls << done;
        return total == 3000 && done < 400;
    };
    QCOMPARE(importer.write(plan, cancelLate, &failure), ContactImporter::Outcome::Cancelled);
    QCOMPARE(calls, (QList<qint64>{0, 200, 400}));
    QCOMPARE(names(db), QStringList{QStringLiteral("张三")});

    // Another writer's open change is neither taken into the import nor rolled back by it.
    QVERIFY(db.execute(QStringLiteral("UPDATE t_telinfo SET shouji = '1' WHERE xingm0 = '张三'")));
    QCOMPARE(importer.write(plan, {}, &failure), ContactImporter::Outcome::Failed);
    QVERIFY(db.inTransaction());
    QVERIFY(db.commit());
    QCOMPARE(field(db, QStringLiteral("张三"), QStringLiteral("shouji")), QStringLiteral("1"));

    QCOMPARE(importer.write(plan, {}, &failure), ContactImporter::Outcome::Stored);
    QCOMPARE(storedContacts(db).size(), 3001);
}

void TestContactImport::theUserImportsAFile()
{
    fake::Platform fakes;
    AppFolder folder;
    Connection &db = folder.db();
    store(db, QStringLiteral("1"), person(QStringLiteral("张三"), QStringLiteral("13800000001")));
    const QString longNote = QString(250, QChar(u'注'));
    folder.writeFile(QStringLiteral("phone.vcf"),
                     "BEGIN:VCARD\r\nVERSION:2.1\r\nN:张;三\r\nTEL;CELL:+86 139-0000-0000\r\nEND:VCARD\r\n"
                     "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:李四\r\nNOTE:" + longNote.toUtf8() + "\r\nEND:VCARD\r\n"
                     "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:  \r\nTEL:123\r\nEND:VCARD\r\n");
    ContactTransfer transfer(db, nullptr);
    transfer.progressAfterMs = 0;

    // Answering No at the counts stores nothing.
    fakes.dialogs->openPath = folder.file(QStringLiteral("phone.vcf"));
    fakes.boxes->answers = {Answer::No, Answer::No};
    QVERIFY(!transfer.importContacts(QStringLiteral("2")));
    QCOMPARE(fakes.boxes->titles(), (QStringList{QStringLiteral("T13"), QStringLiteral("T14")}));
    QCOMPARE(names(db), QStringList{QStringLiteral("张三")});

    // Keep both, then Yes: the report names what moved and what was left out.
    fakes.boxes->shown.clear();
    fakes.boxes->answers = {Answer::No, Answer::Yes};
    QVERIFY(transfer.importContacts(QStringLiteral("2")));
    QCOMPARE(fakes.dialogs->openRequests.size(), 2);
    const auto &boxes = fakes.boxes->shown;
    QCOMPARE(fakes.boxes->titles(), (QStringList{QStringLiteral("T13"), QStringLiteral("T14"), QStringLiteral("T16")}));
    QCOMPARE(boxes[0].icon, Icon::Question);
    QCOMPARE(boxes[0].buttons, Buttons::YesNoCancel);
    QCOMPARE(boxes[0].defaultButton, 3);
    QVERIFY2(boxes[0].text.contains(QStringLiteral("“张三 (2)”")), qPrintable(boxes[0].text));
    QCOMPARE(boxes[1].icon, Icon::Question);
    QCOMPARE(boxes[1].buttons, Buttons::YesNo);
    QCOMPARE(boxes[1].defaultButton, 2);
    QVERIFY2(boxes[1].text.contains(QStringLiteral("新增 2 个, 补全 0 个, 跳过 1 个")), qPrintable(boxes[1].text));
    QCOMPARE(boxes[2].icon, Icon::Information);
    for (const QString &said : {QStringLiteral("导入成功!"), QStringLiteral("第 6 行(李四): 备注超过 200 个字,全文移入交往记录。"),
                                QStringLiteral("第 11 行: 名片没有姓名,未导入。"), QStringLiteral("改名为“张三 (2)”")})
        QVERIFY2(boxes[2].text.contains(said), qPrintable(boxes[2].text + QStringLiteral(" / ") + said));
    QCOMPARE(names(db), (QStringList{QStringLiteral("张三"), QStringLiteral("张三 (2)"), QStringLiteral("李四")}));
    QCOMPARE(field(db, QStringLiteral("张三 (2)"), QStringLiteral("shouji")), QStringLiteral("13900000000"));
    QCOMPARE(field(db, QStringLiteral("张三 (2)"), QStringLiteral("zuhao0")), QStringLiteral("2"));
    QCOMPARE(field(db, QStringLiteral("李四"), QStringLiteral("jwjl00")), longNote);

    // A card cut off: the whole file is refused with its line, nothing stored.
    fakes.boxes->shown.clear();
    folder.writeFile(QStringLiteral("cut.vcf"), "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:王五\r\n");
    QVERIFY(!transfer.importFile(folder.file(QStringLiteral("cut.vcf")), QStringLiteral("%")));
    QCOMPARE(fakes.boxes->titles(), QStringList{QStringLiteral("T12")});
    QCOMPARE(boxes[0].icon, Icon::Stop);
    QVERIFY2(boxes[0].text.startsWith(QStringLiteral("无法导入文件 cut.vcf!\n第 1 行")), qPrintable(boxes[0].text));
    QCOMPARE(names(db).size(), 3);
}

void TestContactImport::theUserExportsAGroup_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("filter");     // left chosen in the dialog; the name then has no suffix
    QTest::newRow("vcf") << QStringLiteral("vcf") << QString();
    QTest::newRow("vcf by its filter") << QString() << QStringLiteral("vCard 文件 (*.vcf)");
    QTest::newRow("xlsx") << QStringLiteral("xlsx") << QString();
    QTest::newRow("xls") << QStringLiteral("xls") << QString();
    QTest::newRow("csv") << QStringLiteral("csv") << QString();
}

void TestContactImport::theUserExportsAGroup()
{
    QFETCH(QString, kind);
    QFETCH(QString, filter);
    fake::Platform fakes;
    AppFolder from;
    import(from.db(), fileOf(trickyContacts()), QStringLiteral("%"), NameClash::Skip);
    ContactTransfer transfer(from.db(), nullptr);

    // An empty group: said so, no dialog.
    QVERIFY(!transfer.exportContacts(QStringLiteral("3"), QStringLiteral("同学")));
    QCOMPARE(fakes.boxes->titles(), QStringList{QStringLiteral("T19")});
    QCOMPARE(fakes.boxes->shown.last().icon, Icon::Exclamation);
    QVERIFY(fakes.dialogs->saveRequests.isEmpty());

    fakes.dialogs->savePath = from.file(QStringLiteral("朋友") + (kind.isEmpty() ? QString() : QLatin1Char('.') + kind));
    fakes.dialogs->saveFilter = filter;
    QVERIFY(transfer.exportContacts(QStringLiteral("2"), QStringLiteral("朋友")));
    QCOMPARE(fakes.dialogs->saveRequests.last().fileName, QStringLiteral("朋友.vcf"));
    const QString written = fakes.dialogs->savePath + (kind.isEmpty() ? QStringLiteral(".vcf") : QString());
    QCOMPARE(fakes.boxes->shown.last().title, QStringLiteral("T17"));
    QCOMPARE(fakes.boxes->shown.last().text, QStringLiteral("导出成功!\n") + QDir::toNativeSeparators(written));
    const QList<Contact> group = storedContacts(from.db(), QStringLiteral("2"));
    QCOMPARE(group.size(), 1);

    if (kind == QLatin1String("xlsx") || kind == QLatin1String("xls")) {
        // Every column as the settings page's export writes it, the group's rows only.
        QList<QVariantList> expected;
        for (const QVariantList &row : databaseRows(QStringLiteral("d_telpro_all")))
            if (expected.isEmpty() || row.at(1).toString() == QLatin1String("2"))
                expected << row;
        QString error;
        const QList<ReadSheet> sheets = readBack(kind, written, &error);
        QVERIFY2(!sheets.isEmpty(), qPrintable(error));
        QCOMPARE(firstDifference(expected, sheets.first().rows, kind == QLatin1String("xls") ? Numbers::Exact : Numbers::SixteenDigits), QString());
        return;
    }
    // vCard and CSV come back into an empty database exactly, into the group they name.
    AppFolder to;
    ContactTransfer back(to.db(), nullptr);
    fakes.boxes->answers = {Answer::Yes};
    QVERIFY(back.importFile(written, QStringLiteral("%")));
    QCOMPARE(describeAll(storedContacts(to.db())), describeAll(group));
}

MIVO_TEST_MAIN(TestContactImport)
#include "tst_contactimport.moc"
