// Adding the search index to a database made before it existed: it opens and searches without it,
// gets it in one go, and a cancel or failure on the way leaves the file exactly as it was.

#include "corpus.h"
#include "notebook/notesearch.h"
#include "notebook/searchindex.h"

#include "app/schema.h"
#include "app/transaction.h"
#include "fakes.h"
#include "fixture.h"
#include "testmain.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <sqlite3.h>

using notesearch::IndexResult;

namespace {

// A database as the schema made them before the index: the schema without the index's block.
void makeDatabaseWithoutIndex(const QString &path)
{
    QString schema = schemaSql();
    const qsizetype from = schema.indexOf(QStringLiteral("-- search index: begin"));
    const qsizetype to = schema.indexOf(QStringLiteral("-- search index: end"));
    if (from < 0 || to < from)
        qFatal("the schema has lost the marks around the search index");
    schema.remove(from, to - from);
    sqlite3 *db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK
        || sqlite3_exec(db, schema.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        qFatal("cannot make the database: %s", sqlite3_errmsg(db));
    sqlite3_close(db);
}

// A folder whose database lacks the index and holds `notes` notes; sqlca connected to it.
struct OldFolder
{
    explicit OldFolder(int notes)
        : folder(AppFolder::NoDatabase)
    {
        makeDatabaseWithoutIndex(folder.database());
        sqlca.database = folder.database();
        if (!sqlca.connect())
            qFatal("a database without the index does not open: %s", qPrintable(sqlca.sqlerrtext));
        corpus::addOddGroups();
        corpus::addNotes(notes, 11);
    }
    QByteArray bytes() const { return folder.readFile(QStringLiteral("mivo.mdb")); }
    AppFolder folder;
};

const QStringList kPatterns = {QStringLiteral("%数据库%"), QStringLiteral("%hello%"), QStringLiteral("%ÉCOLE%"),
                               QStringLiteral("%中文%"), QStringLiteral("%a_b%"), QStringLiteral("%%")};

// Every pattern, over every group, finds what the plain statement finds (through the index when
// `indexed`, the plain way otherwise).
void expectSearchAnswers(bool indexed)
{
    for (const QString &p : kPatterns) {
        bool viaIndex = false;
        const QString diff = corpus::compareWithPlain({std::nullopt, p, p}, &viaIndex);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
        if (!indexed)
            QVERIFY(!notesearch::statement({std::nullopt, p, p}, notesearch::hasSearchIndex(sqlca)).indexed);
    }
    QCOMPARE(notesearch::statement({std::nullopt, kPatterns.at(0), kPatterns.at(0)}, notesearch::hasSearchIndex(sqlca)).indexed, indexed);
}

// The database takes a note and keeps it.
void expectWritable()
{
    QVERIFY2(sqlca.execute(QStringLiteral("INSERT INTO p_info (gid, title, content) VALUES ('1', '之后', '仍可写入')")), qPrintable(sqlca.sqlerrtext));
    QVERIFY2(sqlca.commit(), qPrintable(sqlca.sqlerrtext));
    QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM p_info WHERE title = '之后'")).toInt(), 1);
}

} // namespace

class tst_searchindex : public QObject
{
    Q_OBJECT

private slots:
    void aNewDatabaseHasItAndAnOldOneGetsIt()
    {
        fake::Platform platform;
        {
            AppFolder fresh;
            QVERIFY(notesearch::hasSearchIndex(sqlca));
            QCOMPARE(notesearch::addSearchIndex(sqlca), IndexResult::Present);
        }
        OldFolder old(300);
        QVERIFY(!notesearch::hasSearchIndex(sqlca));
        expectSearchAnswers(false);

        QList<qint64> done;
        qint64 total = -1;
        QCOMPARE(notesearch::addSearchIndex(sqlca, [&](qint64 d, qint64 t) { done << d, total = t; return true; }), IndexResult::Added);
        QVERIFY(!sqlca.inTransaction());
        QCOMPARE(total, 300);
        QCOMPARE(done.first(), 0);
        QCOMPARE(done.last(), 300);
        QVERIFY(done.size() > 3);
        QVERIFY(std::is_sorted(done.begin(), done.end()));

        QVERIFY(notesearch::hasSearchIndex(sqlca));
        scalar(QStringLiteral("INSERT INTO p_info_fts (p_info_fts) VALUES ('integrity-check')"));
        expectSearchAnswers(true);
        expectWritable();
        expectSearchAnswers(true);
        // It stays: the next start finds it.
        sqlca.disconnect();
        QVERIFY(sqlca.connect());
        QCOMPARE(notesearch::addSearchIndex(sqlca), IndexResult::Present);
    }

    void anIndexThatLostATriggerIsMadeAfresh()
    {
        fake::Platform platform;
        AppFolder folder;
        corpus::addNotes(80, 3);
        scalar(QStringLiteral("DROP TRIGGER p_info_fts_au"));
        QVERIFY(!notesearch::hasSearchIndex(sqlca));
        expectSearchAnswers(false);
        // Meanwhile the index missed a change.
        QVERIFY(sqlca.execute(QStringLiteral("UPDATE p_info SET content = 'hello 数据库 again' WHERE id % 2 = 0")));
        QVERIFY(sqlca.commit());
        QCOMPARE(notesearch::addSearchIndex(sqlca), IndexResult::Added);
        scalar(QStringLiteral("INSERT INTO p_info_fts (p_info_fts) VALUES ('integrity-check')"));
        expectSearchAnswers(true);
    }

    void aFailureOrCancelLeavesTheDatabaseAsItWas_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("expected");
        QTest::newRow("a trigger's name is taken") << "name" << int(IndexResult::Failed);
        QTest::newRow("the disk fills") << "full" << int(IndexResult::Failed);
        QTest::newRow("cancel before the first note") << "cancel0" << int(IndexResult::Cancelled);
        QTest::newRow("cancel halfway") << "cancel" << int(IndexResult::Cancelled);
        QTest::newRow("another change is pending") << "pending" << int(IndexResult::Failed);
    }

    void aFailureOrCancelLeavesTheDatabaseAsItWas()
    {
        fake::Platform platform;
        QFETCH(QString, how);
        QFETCH(int, expected);
        OldFolder old(300);
        if (how == QStringLiteral("name")) {
            // Someone else's trigger on another table; it must survive.
            QVERIFY(sqlca.execute(QStringLiteral("CREATE TRIGGER p_info_fts_ad AFTER DELETE ON t_account BEGIN SELECT 1; END")));
            QVERIFY(sqlca.commit());
        }
        const QByteArray before = old.bytes();
        if (how == QStringLiteral("full"))
            scalar(QStringLiteral("PRAGMA max_page_count = %1").arg(scalar(QStringLiteral("PRAGMA page_count")).toInt() + 20));
        if (how == QStringLiteral("pending"))
            QVERIFY(sqlca.execute(QStringLiteral("INSERT INTO p_info (gid, title) VALUES ('1', '未提交')")));

        const IndexResult result = notesearch::addSearchIndex(sqlca, [&](qint64 done, qint64 total) {
            return how == QStringLiteral("cancel0") ? false : how != QStringLiteral("cancel") || done < total / 2;
        });
        QCOMPARE(int(result), expected);
        if (result == IndexResult::Failed)
            QVERIFY(!sqlca.sqlerrtext.isEmpty());
        if (how == QStringLiteral("full"))
            QVERIFY2(sqlca.sqlerrtext.contains(QStringLiteral("full")), qPrintable(sqlca.sqlerrtext));
        if (how == QStringLiteral("pending")) {
            // The pending change is the caller's to end, untouched.
            QVERIFY(sqlca.inTransaction());
            QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM p_info WHERE title = '未提交'")).toInt(), 1);
            QVERIFY(sqlca.rollback());
        }
        QVERIFY(!sqlca.inTransaction());
        scalar(QStringLiteral("PRAGMA max_page_count = 1073741823"));

        QCOMPARE(old.bytes(), before);
        QVERIFY(!notesearch::hasSearchIndex(sqlca));
        if (how == QStringLiteral("name"))
            QCOMPARE(scalar(QStringLiteral("SELECT tbl_name FROM sqlite_master WHERE name = 'p_info_fts_ad'")).toString(), QStringLiteral("t_account"));
        expectSearchAnswers(false);
        expectWritable();
        expectSearchAnswers(false);
    }

    void theProgressDialogCancels()
    {
        fake::Platform platform;
        OldFolder old(400);
        const QByteArray before = old.bytes();
        bool offered = false;
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QVERIFY(dialog->isVisible());
            QVERIFY(!dialog->accessibleName().isEmpty());
            QPushButton *cancel = dialog->findChild<QPushButton *>();
            QVERIFY(cancel);
            QCOMPARE(cancel->accessibleName(), QStringLiteral("取消"));
            offered = true;
            QTest::mouseClick(cancel, Qt::LeftButton);
        });
        QCOMPARE(notesearch::addSearchIndexWithProgress(sqlca, nullptr, 0), IndexResult::Cancelled);
        QVERIFY(offered);
        QCOMPARE(old.bytes(), before);

        QCOMPARE(notesearch::addSearchIndexWithProgress(sqlca, nullptr, 0), IndexResult::Added);
        QVERIFY(!QApplication::activeModalWidget());
        expectSearchAnswers(true);
    }
};

MIVO_TEST_MAIN(tst_searchindex)
#include "tst_searchindex.moc"
