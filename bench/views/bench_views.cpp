// The data-view engine against SQLite itself, measured in one run:
//  - retrieving every contact into dw_telall (argument "%") against stepping through the same query;
//  - the memory the store holds for them against the UTF-16 size of their text.
// Usage: bench_views [contacts=100000] [groups=10]   (in a Release build; see the note it prints otherwise)

#include "generator.h"
#include "timing.h"

#include "app/transaction.h"
#include "views/datastore.h"
#include "views/dataview.h"
#include "views/definition.h"

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
    sqlite3_bind_text(s, sqlite3_bind_parameter_index(s, ":as_zuhao0"), "%", 1, SQLITE_STATIC);
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

size_t heapInUse()
{
    malloc_trim(0);
    return mallinfo2().uordblks;
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

    sqlca.database = db;
    if (!sqlca.connect())
        qFatal("connect: %s", qPrintable(sqlca.sqlerrtext));
    sqlite3 *h = sqlca.handle();
    const QString sql = views::definition(QStringLiteral("dw_telall"))->select;
    stepThrough(h, sql, false);   // warm the page cache


    views::DataStore store;
    store.setDataObject(QStringLiteral("dw_telall"));
    store.setTransObject(sqlca);
    views::DataView dw;
    dw.resize(1000, 600);
    dw.setDataObject(QStringLiteral("dw_telall"));
    dw.setTransObject(sqlca);

    long rows = 0;
    Timing raw, rawText, storeTime, controlTime;
    for (int round = 0; round < kRounds; ++round) {
        measure(raw, [&] { rows = stepThrough(h, sql, false); });
        measure(rawText, [&] { stepThrough(h, sql, true); });
        measure(storeTime, [&] { store.retrieve({QStringLiteral("%")}); });
        measure(controlTime, [&] { dw.retrieve({QStringLiteral("%")}); });
    }
    if (dw.rowCount() != rows || store.rowCount() != rows)
        qFatal("row counts differ: %ld / %ld / %ld", rows, store.rowCount(), dw.rowCount());

    // Memory: what the rows cost the heap, against their text in UTF-16.
    store.reset();
    const size_t before = heapInUse();
    store.retrieve({QStringLiteral("%")});
    const size_t after = heapInUse();
    qint64 text = 0;
    const int columns = int(store.definition()->columns.size());
    for (long r = 1; r <= store.rowCount(); ++r)
        for (int c = 0; c < columns; ++c)
            text += store.getItemString(r, store.definition()->columns.at(c).name).size() * 2;

    std::printf("\nretrieving %ld contacts into dw_telall (argument \"%%\"), %d rounds; CPU ms (best), wall ms (best),\n"
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
    std::printf("  heap the store holds (malloc)                %8.1f MB  (%.2f x text; target <= 3)\n",
                (after - before) / 1048576.0, double(after - before) / double(text));
    std::printf("  the store's own count                        %8.1f MB  (%.2f x text)\n",
                store.memoryUsage() / 1048576.0, double(store.memoryUsage()) / double(text));
#if defined(__SANITIZE_ADDRESS__)
    std::printf("\n(sanitized build: the times and the heap figure mean little here; build with\n"
                " -DCMAKE_BUILD_TYPE=Release -DMIVO_BENCH=ON for the figures)\n");
#endif
    sqlca.disconnect();
    return 0;
}
