// A database made before the search index opens and searches without it and gets it in the
// background, step by step: the hits stay the same before, during and after, notes edited meanwhile
// leave the index exact, and a build stopped, killed, failed or paused by a backup leaves a sound
// database whose next build completes it.

#include "corpus.h"
#include "notebook/indexbuilder.h"
#include "notebook/notesearch.h"
#include "notebook/searchindex.h"
#include "settings/backupcopy.h"

#include "app/schema.h"
#include "app/connection.h"
#include "fakes.h"
#include "fixture.h"
#include "testmain.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <limits>
#include <sqlite3.h>

using notesearch::BuildResult;
using notesearch::IndexState;

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

// Search answers right, through the index exactly when it is complete, and a note can be saved.
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

void exec(const QString &sql)
{
    const DbResult done = testDb().execute(sql);
    QVERIFY2(done && testDb().commit(), qPrintable(done.reason + sql));
}

// Edits through the program's connection on both sides of the build's mark: texts changed, notes
// deleted and added, a note's id moved from above the mark to below it.
void editNotes(int round)
{
    exec(QStringLiteral("UPDATE p_info SET content = coalesce(content, '') || ' 数据库hello%1' WHERE id % 7 = %2").arg(round).arg(round % 7));
    exec(QStringLiteral("DELETE FROM p_info WHERE id % 23 = %1").arg(round % 23));
    exec(QStringLiteral("INSERT INTO p_info (gid, title, content) VALUES ('1', 'ÉCOLE%1', '中文 hello')").arg(round));
    exec(QStringLiteral("UPDATE p_info SET id = %1 WHERE id = (SELECT max(id) FROM p_info)").arg(-1 - round));
}

// How far the build is; past every note once it is complete.
qint64 mark()
{
    if (notesearch::indexState(testDb()) != IndexState::Building)
        return std::numeric_limits<qint64>::max();
    return scalar(QStringLiteral("SELECT upto FROM p_info_indexing")).toLongLong();
}

// The index holds exactly the pieces of the notes as they are (rank 1: checked against p_info).
void expectExact(const QString &file = QString())
{
    if (file.isEmpty()) {
        scalar(QStringLiteral("INSERT INTO p_info_fts (p_info_fts, rank) VALUES ('integrity-check', 1)"));
        QCOMPARE(scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
        return;
    }
    sqlite3 *h = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &h, SQLITE_OPEN_READWRITE, nullptr);
    const int rc = sqlite3_exec(h, "INSERT INTO p_info_fts (p_info_fts, rank) VALUES ('integrity-check', 1)", nullptr, nullptr, nullptr);
    const QString message = QString::fromUtf8(sqlite3_errmsg(h));
    sqlite3_close(h);
    QVERIFY2(rc == SQLITE_OK, qPrintable(message));
}

} // namespace

class tst_searchindex : public QObject
{
    Q_OBJECT

private slots:
    // Hits the same before, during and after; edits meanwhile on either side of the mark; stopped
    // halfway, the next build goes on from the mark; an index that lost a part is made afresh.
    void theIndexIsBuiltStepByStep()
    {
        fake::Platform platform;
        OldFolder old(300);
        expectWorking(false);
        qint64 lastDone = -1, lastMark = -1;
        int steps = 0;
        QString reason;
        const auto during = [&](qint64 done, qint64 total) {
            if (done < lastDone || total < done || mark() < lastMark)
                return false;
            lastDone = done;
            lastMark = mark();
            ++steps;
            // Steps grow as fast as the machine allows: the last one may already have completed it.
            if (steps % 3 == 0 && done < total) {
                editNotes(steps);
                expectWorking(false);
            }
            return steps != 6;
        };
        QCOMPARE(notesearch::buildSearchIndex(old.database(), during, &reason, 1), BuildResult::Stopped);
        QVERIFY2(reason.isEmpty(), qPrintable(reason));
        QCOMPARE(notesearch::indexState(testDb()), IndexState::Building);
        QVERIFY(lastMark > 0);
        editNotes(100);
        expectWorking(false);
        QCOMPARE(notesearch::buildSearchIndex(old.database(), during, &reason, 1), BuildResult::Complete);
        QVERIFY(steps > 8);
        expectExact();
        expectWorking(true);
        QCOMPARE(notesearch::buildSearchIndex(old.database()), BuildResult::Complete);

        // An index that lost a trigger, and so missed a change, is made afresh.
        scalar(QStringLiteral("DROP TRIGGER p_info_fts_au"));
        exec(QStringLiteral("UPDATE p_info SET content = 'hello 数据库 again' WHERE id % 2 = 0"));
        QCOMPARE(notesearch::indexState(testDb()), IndexState::Missing);
        expectWorking(false);
        QCOMPARE(notesearch::buildSearchIndex(old.database()), BuildResult::Complete);
        expectExact();
        expectWorking(true);
    }

    // A failed build (here: its trigger's name taken by someone else's) leaves the database as it
    // was, searching the plain way, and the other object alone; once the cause is gone it completes.
    void aFailedBuildLeavesTheDatabaseAsItWas()
    {
        fake::Platform platform;
        OldFolder old(300);
        exec(QStringLiteral("CREATE TRIGGER p_info_fts_ad AFTER DELETE ON t_account BEGIN SELECT 1; END"));
        const QByteArray before = old.bytes();
        QString reason;
        QCOMPARE(notesearch::buildSearchIndex(old.database(), {}, &reason), BuildResult::Failed);
        QVERIFY(reason.contains(QStringLiteral("p_info_fts_ad")));
        QCOMPARE(old.bytes(), before);
        QCOMPARE(scalar(QStringLiteral("SELECT tbl_name FROM sqlite_master WHERE name = 'p_info_fts_ad'")).toString(), "t_account");
        expectWorking(false);
        exec(QStringLiteral("DROP TRIGGER p_info_fts_ad"));
        QCOMPARE(notesearch::buildSearchIndex(old.database(), {}, &reason), BuildResult::Complete);
        expectExact();
        expectWorking(true);
    }

    // A build killed at random moments (a process of its own, killed outright) leaves a sound
    // database that never goes back more than the step under way; the next build completes it.
    void aKilledBuildGoesOnAtTheNextStart()
    {
        fake::Platform platform;
        OldFolder old(400);
        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("seed %u", seed);
        QRandomGenerator random(seed);
        qint64 lastMark = -1;
        bool completed = false;
        for (int round = 0; round < 8 && !completed; ++round) {
            QProcess build;
            build.start(QStringLiteral(INDEXBUILD_HELPER), {old.database()});
            QVERIFY(build.waitForStarted());
            const int steps = int(random.bounded(12));
            int seen = 0;
            while (seen < steps && build.state() == QProcess::Running) {
                build.waitForReadyRead(10000);
                while (build.canReadLine()) {
                    build.readLine();
                    ++seen;
                }
            }
            QThread::usleep(random.bounded(3000));
            build.kill();
            build.waitForFinished();
            const bool exited = build.exitStatus() == QProcess::NormalExit && build.exitCode() == 0;
            QVERIFY2(build.exitStatus() == QProcess::CrashExit || exited, build.readAllStandardError().constData());

            QCOMPARE(scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
            const IndexState state = notesearch::indexState(testDb());
            // A kill between the last step's commit and the process's end leaves it complete too.
            completed = state == IndexState::Complete;
            QVERIFY(completed || !exited);
            if (state == IndexState::Building) {
                QVERIFY(mark() >= lastMark);
                lastMark = mark();
            }
            expectWorking(completed);
            editNotes(round);
        }
        QVERIFY(lastMark > 0 || completed);
        QCOMPARE(notesearch::buildSearchIndex(old.database()), BuildResult::Complete);
        expectExact();
        expectWorking(true);
    }

    // A backup while the build runs holds it back (a write from another connection would make the
    // copy start over), completes and passes its check; the copy, mid-build itself, completes too,
    // and so does the build once the backup is done.
    void aBackupDuringTheBuildCompletes()
    {
        fake::Platform platform;
        OldFolder old(300);
        int steps = 0;
        QCOMPARE(notesearch::buildSearchIndex(old.database(), [&](qint64, qint64) { return ++steps < 3; }, nullptr, 1),
                 BuildResult::Stopped);
        notesearch::IndexBuilder builder;
        builder.stepMs = 1;
        builder.start(testDb());
        QVERIFY(builder.isRunning());
        QThread::msleep(5);

        const QString copy = old.file(QStringLiteral("copy.mdb"));
        QList<qint64> marks;
        QString reason;
        const settings::CopyResult copied = settings::copyDatabase(
            testDb().handle(), copy, &reason,
            [&](int, int) {
                marks << mark();
                QThread::msleep(1);
                return true;
            },
            1);
        QVERIFY2(copied == settings::CopyResult::Copied, qPrintable(reason));
        QVERIFY(marks.size() > 20 && marks.first() > 0);
        QCOMPARE(marks.count(marks.first()), marks.size());
        {
            Connection copied;
            QVERIFY(copied.open(copy));
            QCOMPARE(notesearch::indexState(copied), IndexState::Building);
        }

        QCOMPARE(notesearch::buildSearchIndex(copy), BuildResult::Complete);
        expectExact(copy);
        QTRY_VERIFY_WITH_TIMEOUT(!builder.isRunning(), 30000);
        QVERIFY(notesearch::hasSearchIndex(testDb()));
        expectExact();
        expectWorking(true);
    }
};

MIVO_TEST_MAIN(tst_searchindex)
#include "tst_searchindex.moc"
