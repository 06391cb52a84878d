// Finding contacts by what a user types: characters, pinyin in its forms, phone digits; the ranking;
// a record changed or deleted between keystrokes; an address book read from a real database.

#include "find/findindex.h"
#include "find/pinyintable.h"

#include "app/connection.h"
#include "fixture.h"
#include "testmain.h"

#include <random>

using namespace finder;

namespace {

const QList<Field> kContactFields = {
    {QStringLiteral("姓名"), FieldKind::Pinyin}, {QStringLiteral("昵称"), FieldKind::Pinyin},
    {QStringLiteral("手机"), FieldKind::Phone},  {QStringLiteral("电话"), FieldKind::Phone},
    {QStringLiteral("Email"), FieldKind::Text},  {QStringLiteral("单位"), FieldKind::Text},
};

// A heteronym sixty times over: every way of reading it would be 3^60 strings.
const QString kManyReadings = QString(60, QChar(u'行')) + QStringLiteral("乐");

const QList<Record> kContacts = {
    {1, {"张三", "", "13800138000"}},
    {2, {"张三丰", "", "", "010-88886666"}},
    {3, {"李明朗"}},
    {4, {"单雄信"}},
    {5, {"曾国藩"}},
    {6, {"解缙"}},
    {7, {"乐嘉"}},
    {8, {"吕布"}},
    {9, {"Tom Smith", "", "", "", "tom@example.com"}},
    {10, {"陈长生"}},
    {11, {"赵四", "小张"}},
    {12, {"王五", kManyReadings, "", "(010) 6512-3456", "Zhang@Example.COM", "华信科技"}},
    {13, {"𠀀先生"}}, // a character beyond the Basic Multilingual Plane: hē
};

// "name field match" per hit, as the data rows write them.
QStringList describe(const FindIndex &index, const QList<Hit> &hits, const QHash<qint64, QString> &names)
{
    static const char *matches[] = {"exact", "prefix", "initials", "pinyin", "contains"};
    QStringList out;
    for (const Hit &h : hits)
        out << QStringLiteral("%1 %2 %3").arg(names.value(h.id), index.fields().at(h.field).name, QLatin1String(matches[int(h.match)]));
    return out;
}

QList<QList<qint64>> listed(const QList<Hit> &hits)
{
    QList<QList<qint64>> out;
    for (const Hit &h : hits)
        out << QList<qint64>{h.id, h.field, qint64(h.match)};
    return out;
}

QHash<qint64, QString> namesOf(const QList<Record> &records)
{
    QHash<qint64, QString> names;
    for (const Record &r : records)
        names.insert(r.id, r.values.value(0));
    return names;
}

} // namespace

class tst_findindex : public QObject
{
    Q_OBJECT

private slots:
    void readingsAreEveryDictionarysTonelessAndCompiledIn_data()
    {
        QTest::addColumn<QString>("character");
        QTest::addColumn<QStringList>("readings");   // the customary one first, then at least these
        QTest::newRow("单: surname shan") << "单" << QStringList{"dan", "shan", "chan"};
        QTest::newRow("曾") << "曾" << QStringList{"ceng", "zeng"};
        QTest::newRow("解: surname xie") << "解" << QStringList{"jie", "xie"};
        QTest::newRow("乐: surname yue") << "乐" << QStringList{"le", "yue"};
        QTest::newRow("吕: ü as v") << "吕" << QStringList{"lv"};
        QTest::newRow("beyond the BMP") << "𠀀" << QStringList{"he"};
        QTest::newRow("not Chinese") << "a" << QStringList{};
        QTest::newRow("ideographic space") << "\u3000" << QStringList{};
    }
    void readingsAreEveryDictionarysTonelessAndCompiledIn()
    {
        QFETCH(QString, character);
        QFETCH(QStringList, readings);
        const QStringList got = PinyinTable::syllables(character.toUcs4().first());
        QCOMPARE(got.value(0), readings.value(0));
        for (const QString &r : readings)
            QVERIFY2(got.contains(r), qPrintable(got.join(QLatin1Char(','))));
        QCOMPARE(got.isEmpty(), readings.isEmpty());
        // Compact: two bytes a character and little besides, for some 41,000 characters.
        QVERIFY(PinyinTable::characterCount() > 40000);
        QVERIFY2(PinyinTable::sizeInBytes() < 160 * 1024, qPrintable(QString::number(PinyinTable::sizeInBytes())));
    }

    void findsByCharactersPinyinAndDigitsBestFirst_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("hits");
        QTest::newRow("characters") << "张三" << QStringList{"张三 姓名 exact", "张三丰 姓名 prefix"};
        QTest::newRow("initials, then from the second character on")
            << "zs" << QStringList{"张三 姓名 initials", "张三丰 姓名 initials", "赵四 姓名 initials", "陈长生 姓名 contains"};
        QTest::newRow("initials zh/ch/sh") << "zhs" << QStringList{"张三 姓名 initials", "张三丰 姓名 initials", "赵四 姓名 initials", "陈长生 姓名 contains"};
        QTest::newRow("full pinyin") << "zhangsan" << QStringList{"张三 姓名 pinyin", "张三丰 姓名 pinyin"};
        QTest::newRow("with blanks, upper case") << " Zhang San " << QStringList{"张三 姓名 pinyin", "张三丰 姓名 pinyin"};
        QTest::newRow("mixture zsan") << "zsan" << QStringList{"张三 姓名 pinyin", "张三丰 姓名 pinyin"};
        QTest::newRow("mixture zhangs; other fields by name")
            << "zhangs" << QStringList{"张三 姓名 pinyin", "张三丰 姓名 pinyin", "陈长生 姓名 contains"};
        QTest::newRow("a syllable: nickname, email")
            << "zhang" << QStringList{"张三 姓名 pinyin", "张三丰 姓名 pinyin", "陈长生 姓名 contains",
                                      "王五 Email contains", "赵四 昵称 contains"};
        QTest::newRow("ü as v") << "lv" << QStringList{"吕布 姓名 pinyin"};
        QTest::newRow("ü as u") << "lub" << QStringList{"吕布 姓名 pinyin"};
        QTest::newRow("单 as dan") << "danxx" << QStringList{"单雄信 姓名 pinyin"};
        QTest::newRow("单 as shan") << "shanxiongxin" << QStringList{"单雄信 姓名 pinyin"};
        QTest::newRow("曾 as zeng") << "zenggf" << QStringList{"曾国藩 姓名 pinyin"};
        QTest::newRow("曾 as ceng") << "cgf" << QStringList{"曾国藩 姓名 initials"};
        QTest::newRow("解 as xie") << "xiej" << QStringList{"解缙 姓名 pinyin"};
        QTest::newRow("解 as jie") << "jiejin" << QStringList{"解缙 姓名 pinyin"};
        QTest::newRow("乐 as yue") << "yuej" << QStringList{"乐嘉 姓名 pinyin"};
        QTest::newRow("乐 as le") << "lej" << QStringList{"乐嘉 姓名 pinyin"};
        QTest::newRow("sixty characters of three readings each")
            << "xinghangheng le" << QStringList{"王五 昵称 contains"};
        QTest::newRow("initials of three") << "lml" << QStringList{"李明朗 姓名 initials"};
        QTest::newRow("beyond the BMP") << "hxs" << QStringList{"𠀀先生 姓名 initials"};
        QTest::newRow("Latin, either case") << "TOM" << QStringList{"Tom Smith 姓名 prefix"};
        QTest::newRow("Latin inside the name") << "smiTH" << QStringList{"Tom Smith 姓名 contains"};
        QTest::newRow("Latin words' initials") << "ts" << QStringList{"Tom Smith 姓名 initials"};
        QTest::newRow("full-width letters") << "ｅｘａｍｐｌｅ" << QStringList{"Tom Smith Email contains", "王五 Email contains"};
        QTest::newRow("full-width digits") << "１３８" << QStringList{"张三 手机 contains"};
        QTest::newRow("phone fragment with a blank") << "138 0013" << QStringList{"张三 手机 contains"};
        QTest::newRow("phone written otherwise") << "6512 3456" << QStringList{"王五 电话 contains"};
        QTest::newRow("area code alone") << "010" << QStringList{"王五 电话 contains", "张三丰 电话 contains"};
        QTest::newRow("plain text field") << "科技" << QStringList{"王五 单位 contains"};
        QTest::newRow("no match") << "qqqx" << QStringList{};
        QTest::newRow("no pinyin with signs") << "z-s" << QStringList{};
        QTest::newRow("blank") << "  " << QStringList{};
    }
    void findsByCharactersPinyinAndDigitsBestFirst()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, hits);
        FindIndex index(kContactFields);
        index.setRecords(kContacts);
        QCOMPARE(describe(index, index.search(typed), namesOf(kContacts)), hits);
        QCOMPARE(index.search(typed, 1).size(), qMin<qsizetype>(1, hits.size()));
    }

    // Typing on searches among the last hits; a change between two keystrokes must still show, and
    // typing back (or typing what the last text could not have matched) must widen again.
    void aRecordChangedOrDeletedWhileTypingIsFoundAsItIsNow()
    {
        FindIndex index(kContactFields);
        index.setRecords(kContacts);
        const auto names = [&](const QString &typed) {
            QStringList out;
            for (const Hit &h : index.search(typed))
                out << QString::number(h.id);
            return out.join(QLatin1Char(' '));
        };
        // 曾 is customarily ceng, so it comes first.
        QCOMPARE(names("z"), QStringLiteral("5 1 2 11 10 12"));
        index.update({1, {"李四", "", "13800138000"}});
        QCOMPARE(names("zs"), QStringLiteral("2 11 10"));
        QCOMPARE(names("ls"), QStringLiteral("1"));
        QVERIFY(index.remove(2));
        QVERIFY(!index.remove(2));
        QCOMPARE(names("zsf"), QString());
        QCOMPARE(names("zs"), QStringLiteral("11 10"));
        index.update({40, {"周杉"}});
        QCOMPARE(names("zs"), QStringLiteral("11 40 10"));
        QCOMPARE(index.size(), kContacts.size());
        // "'" is compared as no pinyin, "'z" is: it is not looked for among the hits of "'". Nor "(1",
        // compared as digits, among those of "(".
        QCOMPARE(names("'"), QString());
        QCOMPARE(names("'z"), QStringLiteral("5 11 40 10"));
        QCOMPARE(names("("), QString());
        QCOMPARE(names("(1"), QStringLiteral("1 12"));
    }

    // 10,000 contacts of common names: each is found by its characters, its full pinyin and its
    // initials, always in order of match; typing on and back gives what a fresh search gives.
    void tenThousandContacts()
    {
        const QList<QPair<QString, QString>> surnames = {{"王", "wang"}, {"李", "li"}, {"张", "zhang"}, {"刘", "liu"},
                                                         {"陈", "chen"}, {"杨", "yang"}, {"黄", "huang"}, {"周", "zhou"}};
        const QList<QPair<QString, QString>> given = {{"伟", "wei"}, {"芳", "fang"}, {"娜", "na"}, {"敏", "min"},
                                                      {"静", "jing"}, {"磊", "lei"}, {"军", "jun"}, {"洋", "yang"},
                                                      {"杰", "jie"}, {"涛", "tao"}};
        std::mt19937 rng(7);
        QList<Record> records;
        QList<QStringList> pinyin;
        for (int i = 0; i < 10000; ++i) {
            QString name;
            QStringList syllables;
            const auto add = [&](const QList<QPair<QString, QString>> &from) {
                const auto &p = from.at(qsizetype(rng() % from.size()));
                name += p.first;
                syllables << p.second;
            };
            add(surnames);
            add(given);
            if (rng() % 2)
                add(given);
            records << Record{i + 1, {name, "", QStringLiteral("139%1").arg(i, 8, 10, QLatin1Char('0'))}};
            pinyin << syllables;
        }
        FindIndex index(kContactFields), fresh(kContactFields);
        index.setRecords(records);
        fresh.setRecords(records);
        const auto freshSearch = [&](const QString &typed) {
            fresh.search(QString());
            return fresh.search(typed);
        };
        const auto matchOf = [](const QList<Hit> &hits, qint64 id) {
            for (const Hit &h : hits)
                if (h.id == id)
                    return int(h.match);
            return -1;
        };
        for (int i = 0; i < 10000; i += 397) {
            const qint64 id = i + 1;
            QString initials;
            for (const QString &s : pinyin.at(i))
                initials += s.front();
            QVERIFY(matchOf(index.search(records.at(i).values.first()), id) == int(Match::ExactName));
            QVERIFY(matchOf(index.search(pinyin.at(i).join(QLatin1Char(' '))), id) == int(Match::NamePinyin));
            QVERIFY(matchOf(index.search(initials), id) == int(Match::NameInitials));
            QCOMPARE(index.search(records.at(i).values.at(2).mid(3)).first().id, id);
            // Typed on key by key and back again, each list as a fresh search gives it.
            const QString typed = pinyin.at(i).join(QString());
            for (int k = 1; k <= typed.size(); ++k) {
                const QList<Hit> hits = index.search(typed.left(k));
                QCOMPARE(listed(hits), listed(freshSearch(typed.left(k))));
                for (qsizetype h = 1; h < hits.size(); ++h)
                    QVERIFY(hits.at(h - 1).match <= hits.at(h).match);
            }
            QCOMPARE(listed(index.search(typed.left(1))), listed(freshSearch(typed.left(1))));
        }

        // A sync that changes every contact three times over and deletes some: the index, changed record
        // by record (and compacted on the way), finds what one built from the result finds.
        for (int round = 0; round < 3; ++round)
            for (Record &r : records) {
                r.values[0] = records.at(qsizetype(rng() % records.size())).values.first() + given.at(round).first;
                r.values[2] = QStringLiteral("1%1").arg(rng() % 1000000000u, 10, 10, QLatin1Char('0'));
                index.update(r);
            }
        for (qsizetype i = records.size() - 1; i >= 0; i -= 3)
            QVERIFY(index.remove(records.takeAt(i).id));
        fresh.setRecords(records);
        QCOMPARE(index.size(), records.size());
        for (const QString &typed : QStringList{"w", "zhangwei", "lf", "李芳", "伟芳", "138", "15 02", "n"})
            QCOMPARE(listed(index.search(typed)), listed(freshSearch(typed)));
        // The old texts were let go of.
        QVERIFY(index.memoryUsage() < 2 * fresh.memoryUsage());
    }

    // What a user has: an address book in mivo.mdb. Read once, then a save and a delete reach it row by row.
    void readsTheAddressBookFromItsDatabase()
    {
        AppFolder folder;
        const auto write = [](const QString &sql) {
            DbResult written = testDb().execute(sql);
            if (written)
                written = testDb().commit();
            QVERIFY2(written, qPrintable(written.reason));
        };
        write(QStringLiteral("INSERT INTO t_telinfo (zuhao0, xingm0, nich00, shouji, dianh0, email0, danwei) VALUES "
                             "('1', '张三', NULL, '13800138000', NULL, NULL, '华信'), ('2', '单田芳', '评书', NULL, NULL, 'sh@x.cn', NULL)"));
        const QString select = QStringLiteral("SELECT id, xingm0, nich00, shouji, dianh0, email0, danwei FROM t_telinfo");
        FindIndex index(kContactFields);
        QString error;
        QVERIFY2(index.load(testDb().handle(), select, &error), qPrintable(error));
        QCOMPARE(index.size(), 2);
        const qint64 shan = scalar(QStringLiteral("SELECT id FROM t_telinfo WHERE xingm0 = '单田芳'")).toLongLong();
        QCOMPARE(index.search(QStringLiteral("stf")).value(0).id, shan);

        // A statement that fails leaves the index as it was, and says why.
        QVERIFY(!index.load(testDb().handle(), QStringLiteral("SELECT id, xingm0 FROM no_such_table"), &error));
        QVERIFY2(error.contains(QLatin1String("no_such_table")), qPrintable(error));
        QVERIFY(!index.load(testDb().handle(), QStringLiteral("SELECT id, xingm0 FROM t_telinfo"), &error));
        QCOMPARE(index.size(), 2);

        write(QStringLiteral("UPDATE t_telinfo SET xingm0 = '单雄信' WHERE id = %1").arg(shan));
        QVERIFY(index.update(testDb().handle(), select + QStringLiteral(" WHERE id = %1").arg(shan), &error));
        QCOMPARE(index.search(QStringLiteral("stf")).size(), 0);
        QCOMPARE(index.search(QStringLiteral("sxx")).value(0).id, shan);
        write(QStringLiteral("DELETE FROM t_telinfo WHERE id = %1").arg(shan));
        QVERIFY(index.remove(shan));
        QCOMPARE(index.search(QStringLiteral("sxx")).size(), 0);
        QCOMPARE(index.search(QStringLiteral("0013")).value(0).field, 2);
    }
};

MIVO_TEST_MAIN(tst_findindex)
#include "tst_findindex.moc"
