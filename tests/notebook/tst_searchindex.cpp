// A database made before the search index opens and searches without it, gets it in one go, and a
// cancel or failure on the way leaves the file exactly as it was.

#include "corpus.h"
#include "notebook/notesearch.h"
#include "notebook/searchindex.h"

#include "app/schema.h"
#include "app/connection.h"
#include "fakes.h"
#include "fixture.h"
#include "testmain.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <sqlite3.h>

using notesearch::IndexResult;

namespace {

// A database as the schema made them before the index, holding `notes` notes; its connection open.
struct OldFolder : AppFolder
{
    explicit OldFolder(int notes)
        : AppFolder(NoDatabase)
    {
        QString schema = schemaSql();
        const qsizetype from = schema.indexOf(QStringLiteral("-- search index: begin"));
        schema.remove(from, schema.indexOf(QStringLiteral("-- search index: end")) - from);
        sqlite3 *file = nullptr;
        sqlite3_open(database().toUtf8().constData(), &file);
        if (from < 0 || sqlite3_exec(file, schema.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            qFatal("cannot make the database: %s", sqlite3_errmsg(file));
        sqlite3_close(file);
        if (const DbResult opened = db().open(database()); !opened)
            qFatal("a database without the index does not open: %s", qPrintable(opened.reason));
        corpus::addNotes(notes, 11);
    }
    QByteArray bytes() const { return readFile(QStringLiteral("mivo.mdb")); }
};

const QStringList kPatterns = {"%数据库%", "%hello%", "%ÉCOLE%", "%中文%", "%a_b%", "%%", "@#$"};

// Search answers right, through the index exactly when it is there, and a note can be saved.
void expectWorking(bool indexed)
{
    QCOMPARE(notesearch::hasSearchIndex(testDb()), indexed);
    int viaIndex = 0;
    const QString diff = corpus::differenceFromPlain(kPatterns, &viaIndex);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    QCOMPARE(viaIndex > 0, indexed);
    DbResult saved = testDb().execute(QStringLiteral("INSERT INTO p_info (gid, title, content) VALUES ('1', 'hello', '数据库')"));
    if (saved)
        saved = testDb().commit();
    QVERIFY2(saved, qPrintable(saved.reason));
}

} // namespace

class tst_searchindex : public QObject
{
    Q_OBJECT

private slots:
    void anOldDatabaseGetsTheIndexOnce()
    {
        fake::Platform platform;
        OldFolder old(300);
        expectWorking(false);
        QList<qint64> done;
        QCOMPARE(notesearch::addSearchIndex(testDb(), [&](qint64 d, qint64 total) { return done << d, total == 301; }), IndexResult::Added);
        QVERIFY(done.size() > 3 && done.first() == 0 && done.last() == 301 && std::is_sorted(done.begin(), done.end()));
        QVERIFY(!testDb().inTransaction());
        scalar(QStringLiteral("INSERT INTO p_info_fts (p_info_fts) VALUES ('integrity-check')"));
        expectWorking(true);
        QCOMPARE(notesearch::addSearchIndex(testDb()), IndexResult::Present);

        // An index that lost a trigger, and so missed a change, is made afresh.
        scalar(QStringLiteral("DROP TRIGGER p_info_fts_au"));
        QVERIFY(testDb().execute(QStringLiteral("UPDATE p_info SET content = 'hello 数据库 again' WHERE id % 2 = 0")) && testDb().commit());
        expectWorking(false);
        QCOMPARE(notesearch::addSearchIndex(testDb()), IndexResult::Added);
        scalar(QStringLiteral("INSERT INTO p_info_fts (p_info_fts) VALUES ('integrity-check')"));
        expectWorking(true);
    }

    void aFailureOrCancelLeavesTheDatabaseAsItWas_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<IndexResult>("expected");
        QTest::newRow("a trigger's name is taken") << "name" << IndexResult::Failed;
        QTest::newRow("the disk fills") << "full" << IndexResult::Failed;
        QTest::newRow("another change is pending") << "pending" << IndexResult::Failed;
        QTest::newRow("cancel before the first note") << "cancel0" << IndexResult::Cancelled;
        QTest::newRow("cancel halfway") << "cancel" << IndexResult::Cancelled;
        QTest::newRow("cancel in the dialog") << "dialog" << IndexResult::Cancelled;
    }

    void aFailureOrCancelLeavesTheDatabaseAsItWas()
    {
        QFETCH(QString, how);
        QFETCH(IndexResult, expected);
        fake::Platform platform;
        OldFolder old(300);
        if (how == "name")   // someone else's trigger, on another table
            QVERIFY(testDb().execute(QStringLiteral("CREATE TRIGGER p_info_fts_ad AFTER DELETE ON t_account BEGIN SELECT 1; END")) && testDb().commit());
        const QByteArray before = old.bytes();
        if (how == "full")
            scalar(QStringLiteral("PRAGMA max_page_count = %1").arg(scalar(QStringLiteral("PRAGMA page_count")).toInt() + 20));
        if (how == "pending")
            QVERIFY(testDb().execute(QStringLiteral("INSERT INTO p_info (gid, title) VALUES ('1', '未提交')")));

        IndexResult result;
        QString reason;
        if (how == "dialog") {
            QTimer::singleShot(0, this, [] {
                QWidget *dialog = QApplication::activeModalWidget();
                QVERIFY(dialog && !dialog->accessibleName().isEmpty());
                QTest::mouseClick(dialog->findChild<QPushButton *>(QString(), Qt::FindDirectChildrenOnly), Qt::LeftButton);
            });
            result = notesearch::addSearchIndexWithProgress(testDb(), nullptr, 0, &reason);
        } else {
            result = notesearch::addSearchIndex(
                testDb(), [&](qint64 done, qint64 total) { return how != "cancel0" && (how != "cancel" || done < total / 2); },
                &reason);
        }
        QCOMPARE(result, expected);
        QCOMPARE(reason.isEmpty(), result == IndexResult::Cancelled);
        if (how == "full")
            QVERIFY2(reason.contains("full"), qPrintable(reason));
        if (how == "pending") {   // the pending change is the caller's, untouched
            QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM p_info WHERE title = '未提交'")).toInt(), 1);
            QVERIFY(testDb().rollback());
        }
        QVERIFY(!testDb().inTransaction());
        QCOMPARE(old.bytes(), before);
        scalar(QStringLiteral("PRAGMA max_page_count = 1073741823"));
        expectWorking(false);
        if (how == "name")
            QCOMPARE(scalar(QStringLiteral("SELECT tbl_name FROM sqlite_master WHERE name = 'p_info_fts_ad'")).toString(), "t_account");
    }
};

MIVO_TEST_MAIN(tst_searchindex)
#include "tst_searchindex.moc"
