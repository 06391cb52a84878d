// The data-view engine against SQLite itself, measured in one run:
//  - retrieving every contact into dw_telall (the pattern of all groups) against stepping through the
//    same query;
//  - the memory the store holds for them against the UTF-16 size of their text: the heap's small
//    blocks and the large ones the allocator maps from the system for itself, and the resident size.
// Usage: bench_views [contacts=100000] [groups=10]   (in a Release build; see the note it prints otherwise)

#include "generator.h"
#include "timing.h"

#include "app/connection.h"
#include "views/datastore.h"
#include "views/dataview.h"
#include "views/definition.h"
#include "views/grouppattern.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <sqlite3.h>

namespace {

using bench::Timing;
using bench::measure;
using bench::medianRatio;

constexpr int kRounds = 7;

long stepThrough(sqlite3 *h, const QString &sql, bool readText)
{
    sqlite3_stmt *s = nullptr;
    if (sqlite3_prepare16_v2(h, sql.utf16(), int(sql.size() * 2), &s, nullptr) != SQLITE_OK)
        qFatal("prepare: %s", sqlite3_errmsg(h));
    const QByteArray all = views::allGroupsPattern().toUtf8();
    sqlite3_bind_text(s, sqlite3_bind_parameter_index(s, ":as_zuhao0"), all.constData(), int(all.size()), SQLITE_TRANSIENT);
    long rows = 0;
    const int columns = sqlite3_column_count(s);
    while (sqlite3_step(s) == SQLITE_ROW) {
        ++rows;
        if (readText)
            for (int c = 0; c < columns; ++c) {
                sqlite3_column_text16(s, c);
                sqlite3_column_bytes16(s, c);
            }
    }
    sqlite3_finalize(s);
    return rows;
}

// What the allocator holds for the program: the blocks in its arenas and the large blocks it maps
// from the system one by one (above the mmap threshold; a list of 100,000 rows has several).
struct Heap
{
    size_t arena = 0, mapped = 0;
    long residentKb = 0;
    size_t total() const { return arena + mapped; }
};

long residentKilobytes()
{
    FILE *f = std::fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    long kb = -1;
    while (kb < 0 && std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmRSS: %ld", &kb) != 1)
            kb = -1;
    std::fclose(f);
    return kb;
}

Heap heapInUse()
{
    malloc_trim(0);
    const struct mallinfo2 m = mallinfo2();
    return {m.uordblks, m.hblkhd, residentKilobytes()};
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int contacts = argc > 1 ? atoi(argv[1]) : 100000;
    const int groups = argc > 2 ? atoi(argv[2]) : 10;

    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("mivo.mdb"));
    QElapsedTimer gen;
    gen.start();
    QString error;
    if (!bench::generateContacts(db, contacts, groups, &error))
        qFatal("generator: %s", qPrintable(error));
    std::printf("generated %d contacts in %d groups in %.0f ms\n", contacts, groups, gen.nsecsElapsed() / 1e6);

    Connection connection;
    if (const DbResult opened = connection.open(db); !opened)
        qFatal("connect: %s", qPrintable(opened.reason));
    sqlite3 *h = connection.handle();
    const QString sql = views::definition(QStringLiteral("dw_telall"))->select;
    stepThrough(h, sql, false);   // warm the page cache


    views::DataStore store;
    store.setDataObject(QStringLiteral("dw_telall"));
    store.setConnection(connection);

    // Memory first, while the allocator is as fresh as a user's program: after a few large blocks
    // are freed it raises its threshold for mapping them and keeps the next ones in its arenas.
    const Heap before = heapInUse();
    store.retrieve({views::allGroupsPattern()});
    const Heap after = heapInUse();
    qint64 text = 0;
    const int columns = int(store.definition()->columns.size());
    for (long r = 1; r <= store.rowCount(); ++r)
        for (int c = 0; c < columns; ++c)
            text += store.getItemString(r, store.definition()->columns.at(c).name).size() * 2;
    const qint64 heldByStore = store.memoryUsage();

    views::DataView dw;
    dw.resize(1000, 600);
    dw.setDataObject(QStringLiteral("dw_telall"));
    dw.setConnection(connection);

    long rows = 0;
    Timing raw, rawText, storeTime, controlTime;
    for (int round = 0; round < kRounds; ++round) {
        measure(raw, [&] { rows = stepThrough(h, sql, false); });
        measure(rawText, [&] { stepThrough(h, sql, true); });
        measure(storeTime, [&] { store.retrieve({views::allGroupsPattern()}); });
        measure(controlTime, [&] { dw.retrieve({views::allGroupsPattern()}); });
    }
    if (rows != contacts || dw.rowCount() != rows || store.rowCount() != rows)
        qFatal("row counts differ: %ld / %ld / %ld", rows, store.rowCount(), dw.rowCount());


    std::printf("\nretrieving %ld contacts into dw_telall (every group), %d rounds; CPU ms (best), wall ms (best),\n"
                "median of the per-round ratios to stepping (CPU / wall):\n", rows, kRounds);
    auto line = [&](const char *what, const Timing &t, const char *note) {
        std::printf("  %-44s %7.1f  %7.1f   %.2f / %.2f%s\n", what, t.bestCpu(), t.bestWall(), medianRatio(t.cpu, raw.cpu),
                    medianRatio(t.wall, raw.wall), note);
    };
    line("sqlite3 stepping through the query", raw, "");
    line("sqlite3 stepping and reading every column", rawText, "");
    line("store retrieve", storeTime, "");
    line("control retrieve (grid, drop-down, summary)", controlTime, "   target <= 1.5");
    std::printf("\nmemory for %ld contacts:\n", rows);
    std::printf("  UTF-16 size of their text                    %8.1f MB\n", text / 1048576.0);
    const double mb = 1048576.0;
    const double arena = double(after.arena) - double(before.arena), mapped = double(after.mapped) - double(before.mapped);
    const double resident = (after.residentKb - before.residentKb) * 1024.0;
    std::printf("  heap the store holds: small blocks (arenas)  %8.1f MB\n", arena / mb);
    std::printf("                        large blocks (mapped)  %8.1f MB\n", mapped / mb);
    std::printf("                        both                   %8.1f MB  (%.2f x text; target <= 3)\n",
                (arena + mapped) / mb, (arena + mapped) / double(text));
    std::printf("  resident size grew by                        %8.1f MB  (%.2f x text)\n", resident / mb,
                resident / double(text));
    std::printf("  the store's own count                        %8.1f MB  (%.2f x text)\n",
                heldByStore / 1048576.0, double(heldByStore) / double(text));
#if defined(__SANITIZE_ADDRESS__)
    std::printf("\n(sanitized build: the times and the heap figure mean little here; build with\n"
                " -DCMAKE_BUILD_TYPE=Release -DMIVO_BENCH=ON for the figures)\n");
#endif
    connection.close();
    return 0;
}
