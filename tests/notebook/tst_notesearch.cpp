// The find tab's search against the database: the index finds exactly the notes the plain statement
// finds, for hundreds of patterns and after every kind of write, and the grid gets them.

#include "corpus.h"
#include "notebook/notesearch.h"
#include "views/dataview.h"

#include "app/transaction.h"
#include "fakes.h"
#include "fixture.h"
#include "testmain.h"

#include <sqlite3.h>

using notesearch::kOff;
using notesearch::Patterns;

namespace {

// Every one of `patterns` finds what the plain statement finds, searched in titles and texts,
// titles only and texts only, over every group and over one scope: empty, or the first difference.
// `indexed` counts the searches the index served.
QString differenceFromPlain(const QStringList &patterns, int *indexed)
{
    const QList<std::optional<QString>> scopes = corpus::scopes();
    *indexed = 0;
    for (qsizetype i = 0; i < patterns.size(); ++i) {
        const QString &pattern = patterns.at(i);
        for (const std::optional<QString> &scope : {std::optional<QString>(), scopes.at(i % scopes.size())}) {
            for (const Patterns &p : {Patterns{scope, pattern, pattern}, Patterns{scope, pattern, kOff}, Patterns{scope, kOff, pattern}}) {
                bool viaIndex = false;
                const QString diff = corpus::compareWithPlain(p, &viaIndex);
                if (!diff.isEmpty())
                    return diff;
                *indexed += viaIndex ? 1 : 0;
            }
        }
    }
    return QString();
}

void write(const QString &sql, const QVariantList &values = {})
{
    if (!sqlca.execute(sql, values) || !sqlca.commit())
        qFatal("%s: %s", qPrintable(sql), qPrintable(sqlca.sqlerrtext));
}

QStringList hits(const views::DataView &dw)
{
    QStringList out;
    for (long r = 1; r <= dw.rowCount(); ++r)
        out << dw.getItemString(r, QStringLiteral("gid")) + QLatin1Char('/') + dw.getItemString(r, QStringLiteral("title"));
    return out;
}

} // namespace

class tst_notesearch : public QObject
{
    Q_OBJECT

private slots:
    void theIndexFindsWhatThePlainStatementFinds()
    {
        fake::Platform platform;
        AppFolder folder;
        corpus::addOddGroups();
        corpus::addNotes(400, 20090214);
        const QStringList patterns = corpus::patterns(corpus::texts(), 320, 7);
        int indexed = 0;
        const QString diff = differenceFromPlain(patterns, &indexed);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
        // Most pieces cut from the notes are long enough for the index; were none, nothing was compared.
        QVERIFY2(indexed > patterns.size(), qPrintable(QString::number(indexed)));
    }

    void theSameAfterWritesOfEveryKind()
    {
        fake::Platform platform;
        AppFolder folder;
        corpus::addOddGroups();
        corpus::addNotes(150, 1);
        write(QStringLiteral("UPDATE p_info SET title = 'ÉCOLE 笔记本 renamed' WHERE id % 7 = 0"));
        write(QStringLiteral("UPDATE p_info SET content = content || '追加的内容 appended' WHERE id % 5 = 0"));
        write(QStringLiteral("UPDATE p_info SET content = NULL, title = '' WHERE id % 11 = 0"));
        write(QStringLiteral("UPDATE p_info SET gid = '%' WHERE id % 3 = 0"));   // the text stays as it is
        write(QStringLiteral("UPDATE p_info SET id = id + 1000 WHERE id % 13 = 0"));
        write(QStringLiteral("DELETE FROM p_info WHERE id % 4 = 0"));
        corpus::addNotes(40, 2);
        // The index agrees with the notes, piece for piece.
        write(QStringLiteral("INSERT INTO p_info_fts (p_info_fts) VALUES ('integrity-check')"));

        // Another program's connection, and a row replaced in place (no delete trigger runs then).
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open(folder.database().toUtf8().constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other,
                              "INSERT INTO p_info (gid, title, content) VALUES ('1', '外部写入 outside', '另一个连接 writes');"
                              "INSERT OR REPLACE INTO p_info (id, gid, title, content) SELECT id, '2', '替换 replaced', 'new text' "
                              "  FROM p_info WHERE id IN (SELECT id FROM p_info ORDER BY id LIMIT 3);"
                              "UPDATE OR REPLACE p_info SET id = (SELECT max(id) FROM p_info) WHERE id = (SELECT min(id) FROM p_info);",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
        sqlite3_close(other);
        write(QStringLiteral("UPDATE p_info SET title = title || ' 再改' WHERE title LIKE '%replaced%'"));

        QStringList patterns = corpus::patterns(corpus::texts(), 120, 3);
        patterns << QStringLiteral("%renamed%") << QStringLiteral("%appended%") << QStringLiteral("%外部写入%")
                 << QStringLiteral("%replaced%") << QStringLiteral("%再改%") << QStringLiteral("%new text%");
        int indexed = 0;
        const QString diff = differenceFromPlain(patterns, &indexed);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
        QVERIFY(indexed > 0);
    }

    void theGridGetsTheHitsAsTheTabAsksForThem()
    {
        fake::Platform platform;
        AppFolder folder;
        corpus::addOddGroups();
        write(QStringLiteral("INSERT INTO p_info (gid, title, content) VALUES "
                             "('2', '周报', '本周完成了搜索功能的设计'), ('1', '搜索功能设计', '草稿'), "
                             "('1', '搜索功能设计', '第二稿'), ('%', 'Search 索引', '搜索功能在百分号组'), "
                             "('_', '无关', '下划线组'), ('1', NULL, NULL), (NULL, '搜索功能', '没有组')"));
        views::DataView dw;
        QVERIFY(dw.setDataObject(QStringLiteral("dw_find")));
        dw.setTransObject(sqlca);
        const auto find = [&](std::optional<QString> group, const QString &typed, bool inTitles, bool inContents) {
            notesearch::retrieve(dw, notesearch::fromFind(group, typed, inTitles, inContents));
            return hits(dw);
        };

        // Titles only leave out the note whose text alone holds the words; with texts they come in,
        // ordered by group code, then title. Blanks around the words do not count; other spaces do.
        QCOMPARE(find({}, QStringLiteral("  搜索功能 "), true, false),
                 (QStringList{QStringLiteral("1/搜索功能设计"), QStringLiteral("1/搜索功能设计")}));
        QVERIFY(dw.store()->selectStatement().contains(QStringLiteral("p_info_fts")));
        QCOMPARE(find({}, QStringLiteral("搜索功能"), true, true),
                 (QStringList{QStringLiteral("%/Search 索引"), QStringLiteral("1/搜索功能设计"), QStringLiteral("1/搜索功能设计"),
                              QStringLiteral("2/周报")}));
        QCOMPARE(find({}, QStringLiteral("\u3000搜索功能"), true, true), QStringList());
        QCOMPARE(find({}, QStringLiteral("SEARCH"), true, false), QStringList{QStringLiteral("%/Search 索引")});

        // A group's scope is its code exactly: "%" and "_" are groups like any other here.
        QCOMPARE(find(QStringLiteral("%"), QStringLiteral("搜索"), true, true), QStringList{QStringLiteral("%/Search 索引")});
        QCOMPARE(find(QStringLiteral("_"), QString(), true, true), QStringList{QStringLiteral("_/无关")});
        QCOMPARE(find(QStringLiteral("3"), QStringLiteral("搜索"), true, true), QStringList());

        // Two characters go the plain way and find the same; "_" and "%" typed are wildcards.
        const QStringList twoCharacters = find(QStringLiteral("1"), QStringLiteral("搜索"), true, true);
        QVERIFY(!dw.store()->selectStatement().contains(QStringLiteral("p_info_fts")));
        QCOMPARE(twoCharacters, find(QStringLiteral("1"), QStringLiteral("搜索功能"), true, true));
        QCOMPARE(find({}, QStringLiteral("搜_功能"), false, true), (QStringList{QStringLiteral("%/Search 索引"), QStringLiteral("2/周报")}));
        QCOMPARE(find({}, QStringLiteral("本周%设计"), false, true), QStringList{QStringLiteral("2/周报")});

        // Nothing typed lists every note of the scope that has a title or a text; a note with
        // neither, and one without a group, are not listed.
        QCOMPARE(find({}, QString(), true, true).size(), 5);
        QCOMPARE(find(QStringLiteral("1"), QStringLiteral("   "), true, true).size(), 2);
    }

    void aDamagedIndexStillAnswersThePlainWay()
    {
        fake::Platform platform;
        AppFolder folder;
        corpus::addNotes(60, 5);
        write(QStringLiteral("INSERT INTO p_info (gid, title, content) VALUES ('1', '数据库索引', '坏了也能找到')"));
        const Patterns p = notesearch::fromFind({}, QStringLiteral("数据库索引"), true, true);
        QVERIFY(notesearch::statement(p, true).indexed);
        QCOMPARE(corpus::compareWithPlain(p), QString());
        views::DataView dw;
        dw.setDataObject(QStringLiteral("dw_find"));
        dw.setTransObject(sqlca);
        const long before = notesearch::retrieve(dw, p);
        QVERIFY(before >= 1);

        write(QStringLiteral("DELETE FROM p_info_fts_data"));
        sqlca.disconnect();   // the connection keeps what it knew of the index
        QVERIFY(sqlca.connect());
        int errors = 0;
        dw.setDbErrorHandler([&errors](long, const QString &, const QString &, long) { return ++errors, 1; });
        QCOMPARE(notesearch::retrieve(dw, p), before);
        QCOMPARE(errors, 1);
        QVERIFY(!dw.store()->selectStatement().contains(QStringLiteral("p_info_fts")));
        QVERIFY(platform.boxes->shown.isEmpty());
    }
};

MIVO_TEST_MAIN(tst_notesearch)
#include "tst_notesearch.moc"
