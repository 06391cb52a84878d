// The find tab's search: through the index it finds exactly what the plain statement finds, for
// hundreds of patterns and after writes of every kind, and the hits reach the grid.

#include "corpus.h"
#include "notebook/notesearch.h"
#include "views/dataview.h"

#include "app/connection.h"
#include "fakes.h"
#include "fixture.h"
#include "testmain.h"

#include <sqlite3.h>

namespace {

void write(const QString &sql)
{
    DbResult done = testDb().execute(sql);
    if (done)
        done = testDb().commit();
    if (!done)
        qFatal("%s: %s", qPrintable(sql), qPrintable(done.reason));
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
    void theIndexFindsWhatThePlainStatementFindsAfterAnyWrite()
    {
        fake::Platform platform;
        AppFolder folder;
        corpus::addNotes(300, 20090214);
        int indexed = 0;
        QString diff = corpus::differenceFromPlain(corpus::patterns(300, 7), &indexed);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
        QVERIFY2(indexed > 600, qPrintable(QString::number(indexed)));   // else little was compared

        write(QStringLiteral("UPDATE p_info SET title = 'ÉCOLE 笔记本 renamed' WHERE id % 7 = 0"));
        write(QStringLiteral("UPDATE p_info SET content = content || '追加 appended', gid = '%' WHERE id % 5 = 0"));
        write(QStringLiteral("UPDATE p_info SET content = NULL, title = '' WHERE id % 11 = 0"));
        write(QStringLiteral("UPDATE p_info SET id = id + 1000 WHERE id % 13 = 0"));
        write(QStringLiteral("DELETE FROM p_info WHERE id % 4 = 0"));
        corpus::addNotes(40, 2);
        write(QStringLiteral("INSERT INTO p_info_fts (p_info_fts, rank) VALUES ('integrity-check', 1)"));
        // Another program's connection; rows replaced in place, where no delete trigger runs.
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open(folder.database().toUtf8().constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other,
                              "INSERT INTO p_info (gid, title, content) VALUES ('1', '外部 outside', '另一个连接 writes');"
                              "INSERT OR REPLACE INTO p_info (id, gid, title, content) SELECT id, '2', '替换 replaced', 'new text' "
                              "  FROM p_info ORDER BY id LIMIT 3;"
                              "UPDATE OR REPLACE p_info SET id = (SELECT max(id) FROM p_info) WHERE id = (SELECT min(id) FROM p_info);",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
        sqlite3_close(other);
        write(QStringLiteral("UPDATE p_info SET title = title || ' 再改' WHERE title LIKE '%replaced%'"));

        const QStringList written = {"%renamed%", "%appended%", "%outside%", "%replaced%", "%再改%", "%new text%", "%écOLE%"};
        diff = corpus::differenceFromPlain(written + corpus::patterns(100, 3));
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }

    void theGridGetsTheHitsOfTheTab()
    {
        fake::Platform platform;
        AppFolder folder;
        write(QStringLiteral("INSERT INTO p_group VALUES ('%', '百分号')"));
        write(QStringLiteral("INSERT INTO p_info (gid, title, content) VALUES ('2', '周报', '完成了搜索功能的设计'), "
                             "('1', '搜索功能', '草稿'), ('%', 'Search', '搜索功能在百分号组'), ('1', NULL, NULL), (NULL, '搜索功能', '')"));
        views::DataView dw;
        QVERIFY(dw.setDataObject(QStringLiteral("dw_find")));
        dw.setConnection(testDb());
        auto find = [&](std::optional<QString> group, const QString &typed, bool inTitles, bool inContents) {
            notesearch::retrieve(dw, notesearch::fromFind(group, typed, inTitles, inContents));
            return hits(dw);
        };
        // Blanks around the words do not count, an ideographic space does; titles only leave out the
        // note whose text alone holds the words; a group is its code exactly, "%" too.
        QCOMPARE(find({}, QStringLiteral("  搜索功能 "), true, false), QStringList{"1/搜索功能"});
        QVERIFY(dw.store()->selectStatement().contains(QStringLiteral("p_info_fts")));
        QCOMPARE(find({}, QStringLiteral("\u3000搜索功能"), true, true), QStringList());
        QCOMPARE(find({}, QStringLiteral("搜索功能"), true, true), (QStringList{"%/Search", "1/搜索功能", "2/周报"}));
        QCOMPARE(find(QStringLiteral("%"), QStringLiteral("search"), true, true), QStringList{"%/Search"});
        // Two characters, or wildcards leaving fewer than three together, go the plain way.
        QCOMPARE(find({}, QStringLiteral("搜_功%"), false, true), (QStringList{"%/Search", "2/周报"}));
        QVERIFY(!dw.store()->selectStatement().contains(QStringLiteral("p_info_fts")));
        // Nothing typed: every note of a group that has a title or a text.
        QCOMPARE(find({}, QString(), true, true).size(), 3);
    }

    void aDamagedIndexStillAnswersThePlainWay()
    {
        fake::Platform platform;
        AppFolder folder;
        corpus::addNotes(60, 5);
        views::DataView dw;
        dw.setDataObject(QStringLiteral("dw_find"));
        dw.setConnection(testDb());
        const notesearch::Patterns p = notesearch::fromFind({}, QStringLiteral("数据库"), true, true);
        const long found = notesearch::retrieve(dw, p);
        QVERIFY(found > 0);

        write(QStringLiteral("DELETE FROM p_info_fts_data"));
        testDb().close();   // the connection keeps what it knew of the index
        QVERIFY(testDb().open(folder.database()));
        int errors = 0;
        dw.setErrorHandler([&errors](const DbResult &, const QString &, long) { ++errors; });
        QCOMPARE(notesearch::retrieve(dw, p), found);
        QCOMPARE(errors, 1);
        QVERIFY(platform.boxes->shown.isEmpty());
    }
};

MIVO_TEST_MAIN(tst_notesearch)
#include "tst_notesearch.moc"
