// vCard in and out: files as phones, desktop address books and servers write them land field by
// field where they should; bad files are refused as a whole with the reason and the line; what the
// writer writes reads back exactly, and a failed write leaves the old file as it was.

#include "exchange/vcardreader.h"
#include "exchange/vcardwriter.h"
#include "exchange/pendingfile.h"

#include "contacttext.h"
#include "filesizelimit.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using exchange::Contact;
using exchange::ContactImport;
using exchange::VCardReader;
using exchange::VCardVersion;
using exchange::VCardWriter;
Q_DECLARE_METATYPE(exchange::VCardVersion)

namespace {

QString dataFile(const QString &name)
{
    return QStringLiteral(MIVO_SOURCE_DIR "/tests/exchange/data/") + name;
}

} // namespace

class TestVCard : public QObject
{
    Q_OBJECT

private slots:
    void readsWhatExportersWrite_data();
    void readsWhatExportersWrite();
    void refusesBadFilesWhole_data();
    void refusesBadFilesWhole();
    void oddButSoundFiles_data();
    void oddButSoundFiles();
    void writesWhatItReadsBack_data();
    void writesWhatItReadsBack();
    void failedWriteLeavesTheFileAsItWas();
    void uniqueNames_data();
    void uniqueNames();
};

void TestVCard::readsWhatExportersWrite_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QList<QStringList>>("contacts");
    QTest::addColumn<QStringList>("skipped");
    QTest::addColumn<QStringList>("warnings");

    // 2.1 from phones: quoted-printable GB2312 with soft line breaks that split characters, UTF-8,
    // BIG5; bare types; a preferred mobile; a fax; an indented BASE64 photo ended by a blank line.
    QTest::newRow("2.1") << QStringLiteral("phone21.vcf")
        << QList<QStringList>{
               {"xingm0=张三", "shouji=13800138000", "dianh0=01065528888", "dizhi0=北京市朝阳区建国路88号",
                "youb00=100022", "beizhu=老同学\r\n喜欢下棋,住在三里屯\n手机: 13912345678\n传真: 01065528889",
                "qq0000=12345678", "shengr=19800102"},
               {"xingm0=欧阳娜娜", "shouji=13700001111", "dianh0=02112345678", "email0=nana@example.cn",
                "danwei=某某公司 市场部", "zhiye0=经理"},
               {"xingm0=陳大文", "shouji=0912345678", "dizhi0_dw=台北市信義路五段7號", "youb00=110"}}
        << QStringList() << QStringList();
    // 3.0 from a desktop address book, with a byte-order mark: property groups and their labels, a
    // formatted address label, escapes, two e-mails (the preferred wins), a folded BASE64 photo, a
    // Western name, a Chinese name whose FN is in Western order, a fold inside a character.
    QTest::newRow("3.0") << QStringLiteral("desktop30.vcf")
        << QList<QStringList>{
               {"xingm0=John Smith", "nich00=Johnny", "danwei=Example Corp. R&D", "zhiye0=Engineer",
                "shouji=+15551234567", "dianh0=5550000", "dianh0_dw=+15557654321", "email0=john@work.example",
                "dizhi0_dw=1 Main St., Springfield, IL, USA", "youb00=62701", "dizhi0=42 Elm St.\nSpringfield",
                "beizhu=Met at the conference, 2019; likes tea\nCall after 6 \\ weekdays only, or at the weekend "
                "by appointment\nEmail: john@home.example",
                "categories=朋友|Work", "uid=urn:uuid:4fbe8971-0bc3-424c-9c26-36c3e1eff6b1", "qq0000=87654321",
                "shengr=19750630"},
               {"xingm0=王小明", "shouji=13512345678", "xingb0=1",
                "beizhu=一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十"}}
        << QStringList() << QStringList();
    // 4.0 from a server: GENDER, a birthday without a year, tel: addresses, a structured Chinese
    // address, a group card, a card whose name is blanks, values too long for their columns.
    QTest::newRow("4.0") << QStringLiteral("server40.vcf")
        << QList<QStringList>{
               {"uid=urn:uuid:9c4a6fb2-5f44-4d1e-9a3e-0d1f5b8a2c77", "xingm0=韩梅梅", "xingb0=2", "shengr=00000102",
                "shouji=13800138000", "dianh0=+861065528888", "dizhi0_dw=中国北京市朝阳区建国路88号", "youb00=100022",
                "email0=meimei@example.cn", "qq0000=10001"},
               {"xingm0=长名字", "beizhu=" + QString(190, QChar(u'备')),
                "jwjl00=单位: " + QStringLiteral("很长的单位名称").repeated(5) + "\n手机: 13800000002",
                "shouji=13800000001"}}
        << QStringList{"第 15 行: 这是一个联系人分组,不是联系人,未导入。", "第 21 行: 名片没有姓名,未导入。"}
        << QStringList{"第 27 行(长名字): 单位超过 30 个字,全文移入交往记录。",
                       "第 27 行(长名字): 备注已满,手机移入交往记录。"};
}

void TestVCard::readsWhatExportersWrite()
{
    QFETCH(QString, file);
    QFETCH(QList<QStringList>, contacts);
    QFETCH(QStringList, skipped);
    QFETCH(QStringList, warnings);

    const ContactImport result = VCardReader::readFile(dataFile(file));
    QVERIFY2(!result.failed(), qPrintable(result.error.message()));
    QStringList expected;
    for (const QStringList &c : contacts)
        expected << describe(c);
    QCOMPARE(describeAll(result.contacts), expected);
    QCOMPARE(messages(result.skipped), skipped);
    QCOMPARE(messages(result.warnings), warnings);
}

void TestVCard::refusesBadFilesWhole_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");

    QTest::newRow("not vCard") << QByteArray("姓名,手机\r\n张三,13800138000\r\n")
                               << QStringLiteral("第 1 行: 这不是 vCard 文件: 文件中没有 BEGIN:VCARD。");
    QTest::newRow("empty") << QByteArray() << QStringLiteral("第 1 行: 这不是 vCard 文件: 文件中没有 BEGIN:VCARD。");
    QTest::newRow("cut off at the end")
        << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:甲\r\nEND:VCARD\r\nBEGIN:VCARD\r\nVERSION:3.0\r\nFN:乙\r\nTEL:1")
        << QStringLiteral("第 5 行: 从这一行开始的名片没有 END:VCARD 结尾,文件在第 8 行就结束了,可能不完整。");
    QTest::newRow("cut off by the next card")
        << QByteArray("BEGIN:VCARD\nFN:甲\nBEGIN:VCARD\nFN:乙\nEND:VCARD\n")
        << QStringLiteral("第 1 行: 从这一行开始的名片没有 END:VCARD 结尾(第 3 行又开始了一张新名片),文件可能不完整。");
    QTest::newRow("not GB2312")
        << QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=GB2312;ENCODING=QUOTED-PRINTABLE:=D5=C5;=FF=FE;;;\r\nEND:VCARD\r\n")
        << QStringLiteral("第 3 行: N 的内容不是有效的 GB2312 文字。");
    QTest::newRow("not UTF-8") << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:\xD5\xC5\xC8\xFD\r\nEND:VCARD\r\n")
                               << QStringLiteral("第 3 行: FN 的内容不是有效的 UTF-8 文字。");
    QTest::newRow("unknown charset")
        << QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\nFN:x\r\nNOTE;CHARSET=X-NONE:abc\r\nEND:VCARD\r\n")
        << QStringLiteral("第 4 行: NOTE 声明的字符集 X-NONE 无法识别。");
    QTest::newRow("broken BASE64") << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:x\r\nNOTE;ENCODING=b:@@@@\r\nEND:VCARD\r\n")
                                   << QStringLiteral("第 4 行: NOTE 的 BASE64 编码有误。");
}

void TestVCard::refusesBadFilesWhole()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    const ContactImport result = VCardReader::read(bytes);
    QVERIFY(result.failed());
    QCOMPARE(result.error.message(), error);
    QVERIFY(result.contacts.isEmpty());
}

void TestVCard::oddButSoundFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("contacts");

    // Properties of no use are not decoded: bytes that are no text in a photo or a key do no harm, and
    // a skipped quoted-printable value's continuation is not taken for a property.
    QTest::newRow("skipped values") << QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\nFN:甲\r\nPHOTO;ENCODING=BASE64:\xFF\xFE\x80\r\n \xC0\xC1\r\n"
                                                  "X-OTHER;ENCODING=QUOTED-PRINTABLE:a=\r\nTEL:999=\r\n=41\r\nKEY:\xFF\r\nEND:VCARD\r\n")
                                    << QStringList{"xingm0=甲"};
    // A card inside a card (2.1's AGENT) is not a contact of its own, nor does it end the outer one.
    QTest::newRow("nested card") << QByteArray("BEGIN:VCARD\nVERSION:2.1\nFN:甲\nAGENT:\nBEGIN:VCARD\nFN:乙\nEND:VCARD\n"
                                               "TEL;CELL:13800000000\nEND:VCARD\n")
                                 << QStringList{"xingm0=甲", "shouji=13800000000"};
    // Lines ending in CR alone; a UTF-16 file with its byte-order mark.
    QTest::newRow("CR line ends") << QByteArray("BEGIN:VCARD\rVERSION:3.0\rFN:甲\rNOTE:a\\nb\rEND:VCARD\r")
                                  << QStringList{"xingm0=甲", "beizhu=a\nb"};
    const QString utf16 = QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:乙\r\nEND:VCARD\r\n");
    QTest::newRow("UTF-16") << QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char *>(utf16.utf16()), utf16.size() * 2)
                            << QStringList{"xingm0=乙"};
}

void TestVCard::oddButSoundFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, contacts);
    const ContactImport result = VCardReader::read(bytes);
    QVERIFY2(!result.failed(), qPrintable(result.error.message()));
    QCOMPARE(describeAll(result.contacts), QStringList{describe(contacts)});
}

void TestVCard::writesWhatItReadsBack_data()
{
    QTest::addColumn<VCardVersion>("version");
    QTest::newRow("3.0") << VCardVersion::V30;
    QTest::newRow("4.0") << VCardVersion::V40;
}

void TestVCard::writesWhatItReadsBack()
{
    QFETCH(VCardVersion, version);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("通讯录.vcf"));
    const QList<Contact> contacts = trickyContacts();
    QString reason;
    QVERIFY2(VCardWriter(version).writeFile<exchange::PendingFile>(path, contacts, &reason), qPrintable(reason));

    const ContactImport result = VCardReader::readFile(path);
    QVERIFY2(!result.failed(), qPrintable(result.error.message()));
    QVERIFY(result.warnings.isEmpty());
    QCOMPARE(describeAll(result.contacts), describeAll(contacts));
    QVERIFY(result.contacts == contacts);

    // The form other programs rely on: CRLF, at most 75 octets a line, no character cut by a fold,
    // a Chinese name's N family name first.
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.endsWith("END:VCARD\r\n"));
    QVERIFY(!bytes.contains("\n\n") && bytes.count('\n') == bytes.count("\r\n"));
    for (const QByteArray &line : bytes.split('\n')) {
        QVERIFY2(line.size() <= 76, line.constData());
        QVERIFY2(line.isValidUtf8(), line.constData());
    }
    for (const char *line : {"\r\nN:张;三;;;\r\nFN:张三\r\n", "\r\nN:欧阳;娜娜;;;\r\n", "\r\nN:Smith;John Ronald;;;\r\n",
                             "\r\nCATEGORIES:同事,a\\,b\r\n", "\r\nBDAY:--0229\r\n"})
        QVERIFY2(bytes.contains(line), line);
    QVERIFY(bytes.contains(version == VCardVersion::V40 ? "\r\nGENDER:F\r\n" : "\r\nX-GENDER:Female\r\n"));
}

void TestVCard::failedWriteLeavesTheFileAsItWas()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.vcf"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old contents");
    }
    QList<Contact> many;
    for (int i = 0; i < 200; ++i)
        many << trickyContacts().first();
    QString reason;
    {
        const FileSizeLimit full(64 * 1024);
        QVERIFY(!VCardWriter().writeFile<exchange::PendingFile>(path, many, &reason));
    }
    QVERIFY(reason.startsWith(QStringLiteral("写入 vCard 文件失败")));
    QFile old(path);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old contents"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old.vcf"});
}

void TestVCard::uniqueNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("taken");
    QTest::addColumn<QString>("unique");
    const QString twenty = QStringLiteral("一二三四五六七八九十一二三四五六七八九😀");
    QTest::newRow("free") << QStringLiteral("张三") << QStringList{QStringLiteral("李四")} << QStringLiteral("张三");
    QTest::newRow("taken") << QStringLiteral("张三") << QStringList{QStringLiteral("张三")} << QStringLiteral("张三 (2)");
    QTest::newRow("taken twice") << QStringLiteral("张三") << QStringList{QStringLiteral("张三"), QStringLiteral("张三 (2)")}
                                 << QStringLiteral("张三 (3)");
    QTest::newRow("without regard to case") << QStringLiteral("Tom") << QStringList{QStringLiteral("TOM"), QStringLiteral("tom (2)")}
                                            << QStringLiteral("Tom (3)");
    // Shortened to fit the name's 20 characters, never through a character beyond 16 bits.
    QTest::newRow("full length") << twenty << QStringList{twenty} << QStringLiteral("一二三四五六七八九十一二三四五六 (2)");
    const QString wide = QStringLiteral("一二三四五六七八九十一二三四五😀七八九十");
    QTest::newRow("a wide character at the cut") << wide << QStringList{wide} << QStringLiteral("一二三四五六七八九十一二三四五😀 (2)");
    QTest::newRow("too long, cut whole") << twenty + QStringLiteral("甲") << QStringList{twenty} << QStringLiteral("一二三四五六七八九十一二三四五六 (2)");
}

void TestVCard::uniqueNames()
{
    QFETCH(QString, name);
    QFETCH(QStringList, taken);
    QFETCH(QString, unique);
    QSet<QString> keys;
    for (const QString &t : taken)
        keys.insert(exchange::nameKey(t));
    const QString made = exchange::uniqueName(name, [&](const QString &key) { return keys.contains(key); });
    QCOMPARE(made, unique);
    QVERIFY(exchange::characterCount(made) <= 20);
}

MIVO_TEST_MAIN(TestVCard)
#include "tst_vcard.moc"
