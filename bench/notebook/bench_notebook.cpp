// The notebook's search over many long notes, measured in one run on one database:
//  - building the search index of a database made without it, in the background as the program does,
//    while a note is saved every 100 ms on the program's connection: the time, its longest step,
//    the saves' longest wait, and the index's size against the text;
//  - a rare word of three or more characters (ASCII, Chinese) through the index against the plain
//    statement (target: at least 50 times faster);
//  - a two-character word, which the index cannot serve, against the plain statement (target: at most
//    1.1 times its time);
//  - resident memory at its peak during the searches against before them (target: below 1.2 times).
// Usage: bench_notebook [notes=20000] [bytes per note=8192]   (in a Release build)

#include "generator.h"

#include "app/connection.h"
#include "notebook/notesearch.h"
#include "notebook/searchindex.h"
#include "views/datastore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <thread>
#include <cstdio>
#include <ctime>

namespace {

constexpr int kRounds = 7;

double cpuMs()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.at(v.size() / 2);
}

// kB of the process's resident set ("VmRSS") or its peak since the last reset ("VmHWM").
long statusKb(const char *field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field) + 1).trimmed().split(' ').first().toLong();
    return -1;
}

void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

qint64 scalar(Connection &db, const QString &sql)
{
    QSqlQuery q(db.sqlDatabase());
    if (!q.exec(sql) || !q.next())
        qFatal("%s failed", qPrintable(sql));
    return q.value(0).toLongLong();
}

struct Side
{
    QList<double> wall, cpu;
    long rows = 0;
};

// Retrieves the hits of `p` into a store showing dw_find, by the statement given (empty: dw_find's own).
void search(Connection &db, Side &side, const QString &sql, const QVariantList &args)
{
    views::DataStore store;
    store.setDataObject(QStringLiteral("dw_find"));
    store.setConnection(db);
    store.setSelect(sql);
    QElapsedTimer wall;
    const double c0 = cpuMs();
    wall.start();
    side.rows = store.retrieve(args);
    side.wall << double(wall.nsecsElapsed()) / 1e6;
    side.cpu << cpuMs() - c0;
    if (side.rows < 0)
        qFatal("search failed: %s", qPrintable(store.lastError().reason));
}

// Both sides, back to back in every round; the median of the per-round ratios plain / search.
void compare(Connection &db, const char *what, const QString &word, const char *target, bool speedUp)
{
    const notesearch::Patterns p = notesearch::fromFind(std::nullopt, word, true, true);
    const notesearch::Statement s = notesearch::statement(p, notesearch::hasSearchIndex(db));
    Side plain, index;
    for (int round = 0; round < kRounds; ++round) {
        search(db, plain, QString(), {QStringLiteral("%"), p.title, p.content});
        search(db, index, s.sql, s.args);
    }
    if (plain.rows != index.rows)
        qFatal("%s: %ld hits the plain way, %ld the other", what, plain.rows, index.rows);
    QList<double> wallRatio, cpuRatio;
    for (int i = 0; i < kRounds; ++i) {
        wallRatio << (speedUp ? plain.wall.at(i) / index.wall.at(i) : index.wall.at(i) / plain.wall.at(i));
        cpuRatio << (speedUp ? plain.cpu.at(i) / std::max(index.cpu.at(i), 1e-3) : index.cpu.at(i) / plain.cpu.at(i));
    }
    std::printf("  %-34s %5ld hits  plain %8.2f ms  %-7s %8.2f ms  %s %7.1f x (CPU %7.1f x)  %s\n", what, plain.rows,
                median(plain.wall), s.indexed ? "index" : "plain'", median(index.wall), speedUp ? "faster" : "time  ",
                median(wallRatio), median(cpuRatio), target);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int notes = argc > 1 ? atoi(argv[1]) : 20000;
    const int bytes = argc > 2 ? atoi(argv[2]) : 8192;

    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("mivo.mdb"));
    QElapsedTimer timer;
    timer.start();
    QString error;
    if (!bench::generateNotes(db, notes, bytes, false, &error))
        qFatal("generator: %s", qPrintable(error));
    std::printf("generated %d notes of about %d bytes, without the search index, in %.1f s\n", notes, bytes,
                double(timer.elapsed()) / 1e3);

    Connection connection;
    if (const DbResult opened = connection.open(db); !opened)
        qFatal("connect: %s", qPrintable(opened.reason));
    const qint64 text = scalar(connection, QStringLiteral("SELECT sum(length(CAST(title AS BLOB)) + length(CAST(content AS BLOB))) FROM p_info"));
    const qint64 before = QFileInfo(db).size();

    // The reference: the same build in steps as large as it takes (up to 4,096 notes), nothing else
    // running, on a copy of the file: what the short steps and the saves cost beside it.
    const QString reference = dir.filePath(QStringLiteral("reference.mdb"));
    QFile::copy(db, reference);
    double referenceCpu = 0;
    timer.restart();
    std::thread([&] {
        const double cpu0 = cpuMs();
        if (notesearch::buildSearchIndex(reference, {}, nullptr, 1000000) != notesearch::BuildResult::Complete)
            qFatal("building the reference index failed");
        referenceCpu = cpuMs() - cpu0;
    }).join();
    const double referenceSeconds = double(timer.elapsed()) / 1e3;
    QFile::remove(reference);

    int steps = 0;
    double buildCpu = 0;
    qint64 longestStep = 0;
    QElapsedTimer stepTimer;
    std::atomic<bool> building{true};
    timer.restart();
    stepTimer.start();
    QString reason;
    notesearch::BuildResult built = notesearch::BuildResult::Failed;
    std::thread worker([&] {
        const double cpu0 = cpuMs();
        built = notesearch::buildSearchIndex(db, [&](qint64, qint64) {
            longestStep = std::max(longestStep, stepTimer.restart());
            return ++steps, true;
        }, &reason);
        buildCpu = cpuMs() - cpu0;
        building = false;
    });
    // Saves meanwhile, as a user's would be: how long each waits for the build's step under way.
    QList<double> saves, savesAfter;
    const qint64 lastId = scalar(connection, QStringLiteral("SELECT max(id) FROM p_info"));
    auto save = [&connection](qint64 id) {
        QElapsedTimer took;
        took.start();
        DbResult done = connection.execute(QStringLiteral("UPDATE p_info SET content = content || 'x' WHERE id = ?"), {id});
        if (done)
            done = connection.commit();
        if (!done)
            qFatal("a save failed: %s", qPrintable(done.reason));
        return double(took.nsecsElapsed()) / 1e6;
    };
    for (qint64 id = 1; building; id = id % lastId + 1) {
        QThread::msleep(100);
        saves << save(id);
    }
    worker.join();
    const double addSeconds = double(timer.elapsed()) / 1e3;
    if (built != notesearch::BuildResult::Complete)
        qFatal("building the index: %s", qPrintable(reason));
    const qint64 after = QFileInfo(db).size();
    // The same saves once the index is complete (its triggers then index every saved note).
    for (qint64 id = 1; id <= 40; ++id) {
        QThread::msleep(20);
        savesAfter << save(id * 97 % lastId + 1);
    }

    std::printf("\nthe notes' text (UTF-8)                 %8.1f MB\n", double(text) / 1048576.0);
    std::printf("database without the index              %8.1f MB\n", double(before) / 1048576.0);
    std::printf("building the index in the background    %8.1f s  (%d steps, %.1f MB of text a second)\n", addSeconds, steps,
                double(text) / 1048576.0 / addSeconds);
    std::printf("  its thread's CPU                      %8.1f s  (%.2f x the reference's)\n", buildCpu / 1e3, buildCpu / referenceCpu);
    std::printf("  its longest step                      %8lld ms\n", static_cast<long long>(longestStep));
    std::printf("reference: large steps, nothing else    %8.1f s  (CPU %.1f s)\n", referenceSeconds, referenceCpu / 1e3);
    for (auto *list : {&saves, &savesAfter})
        std::sort(list->begin(), list->end());
    if (!saves.isEmpty())
        std::printf("%lld saves meanwhile: median, longest   %8.1f ms, %.1f ms\n", static_cast<long long>(saves.size()),
                    saves.at(saves.size() / 2), saves.last());
    std::printf("%lld saves after it: median, longest     %8.1f ms, %.1f ms\n", static_cast<long long>(savesAfter.size()),
                savesAfter.at(savesAfter.size() / 2), savesAfter.last());
    std::printf("the index                               %8.1f MB  (%.2f x the text; target <= 2.5)\n",
                double(after - before) / 1048576.0, double(after - before) / double(text));

    // The file in the system's cache, as after any first search.
    Side warm;
    search(connection, warm, QString(), {QStringLiteral("%"), QStringLiteral("%zzz%"), QStringLiteral("%zzz%")});

    const long rssBefore = statusKb("VmRSS:");
    resetPeak();
    std::printf("\nsearching all groups, titles and texts; median of %d rounds (wall), ratio of the medians of each round:\n", kRounds);
    compare(connection, "rare ASCII word", bench::kRareAscii, "target >= 50", true);
    compare(connection, "rare Chinese word (3 characters)", bench::kRareChinese, "target >= 50", true);
    compare(connection, "common ASCII word", QStringLiteral("database"), "", true);
    compare(connection, "two characters (plain statement)", bench::kRareChinese.left(2), "target <= 1.1", false);
    compare(connection, "two ASCII characters (plain)", QStringLiteral("zq"), "target <= 1.1", false);
    const long rssPeak = statusKb("VmHWM:");
    std::printf("\nresident memory before the searches     %8.1f MB\n", double(rssBefore) / 1024.0);
    std::printf("resident memory at its peak during them %8.1f MB  (%.2f x; target < 1.2)\n", double(rssPeak) / 1024.0,
                double(rssPeak) / double(rssBefore));
#if defined(__SANITIZE_ADDRESS__)
    std::printf("\n(sanitized build: the figures mean little here; build with\n"
                " -DCMAKE_BUILD_TYPE=Release -DMIVO_BENCH=ON for them)\n");
#endif
    connection.close();
    return 0;
}
