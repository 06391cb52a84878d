// Listing every asset item under the root of the personal-assets page (the list with its group
// names, colours and total), against SQLite stepping through the same query. Prints the figures
// and the ratio (target: at most 1.5).
// Usage: bench_assets [items=100000] [groups=10]   (in a Release build)

#include "assets/assetspage.h"
#include "app/appinfo.h"
#include "app/application.h"
#include "app/connection.h"
#include "generator.h"
#include "timing.h"
#include "views/dataview.h"
#include "views/definition.h"
#include "views/grouppattern.h"
#include "widgets/handletree.h"

#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>
#include <vector>

namespace {

using bench::cpuMs;
using bench::median;

constexpr int kRounds = 9;

// Steps through the list's query for every group, optionally touching every value as text.
long stepThrough(sqlite3 *h, const QString &sql, bool readValues)
{
    sqlite3_stmt *s = nullptr;
    if (sqlite3_prepare16_v2(h, sql.utf16(), int(sql.size() * 2), &s, nullptr) != SQLITE_OK)
        qFatal("prepare: %s", sqlite3_errmsg(h));
    const QByteArray all = views::allGroupsPattern().toUtf8();
    sqlite3_bind_text(s, 1, all.constData(), int(all.size()), SQLITE_TRANSIENT);
    long rows = 0;
    const int columns = sqlite3_column_count(s);
    while (sqlite3_step(s) == SQLITE_ROW) {
        ++rows;
        if (readValues)
            for (int c = 0; c < columns; ++c) {
                sqlite3_column_text16(s, c);
                sqlite3_column_bytes16(s, c);
            }
    }
    sqlite3_finalize(s);
    return rows;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    const int items = argc > 1 ? atoi(argv[1]) : 100000;
    const int groups = argc > 2 ? atoi(argv[2]) : 10;
    QTemporaryDir dir;
    setAppFolder(dir.path());
    const QString db = appFile(QStringLiteral("mivo.mdb"));
    QString error;
    if (!bench::generateItems(db, items, groups, &error)) {
        std::fprintf(stderr, "generator: %s\n", qPrintable(error));
        return 1;
    }
    Connection connection;
    if (const DbResult opened = connection.open(db); !opened) {
        std::fprintf(stderr, "connect: %s\n", qPrintable(opened.reason));
        return 1;
    }
    AssetsPage page(connection);
    page.resize(1000, 700);
    page.show();
    const long root = page.groupTree->findItem(widgets::TreeNavigation::Root);
    const QString sql = views::definition(QStringLiteral("dw_ca_all"))->select;
    stepThrough(connection.handle(), sql, false);   // warm the page cache

    std::vector<double> raw, rawValues, listing, ratios;
    long rows = 0;
    for (int round = 0; round < kRounds; ++round) {
        double t0 = cpuMs();
        rows = stepThrough(connection.handle(), sql, false);
        raw.push_back(cpuMs() - t0);
        t0 = cpuMs();
        stepThrough(connection.handle(), sql, true);
        rawValues.push_back(cpuMs() - t0);
        // What choosing the root does: the list definition, retrieved with every group.
        t0 = cpuMs();
        page.showSelection(0, root);
        listing.push_back(cpuMs() - t0);
        ratios.push_back(listing.back() / raw.back());
        if (page.recordView->rowCount() != rows) {
            std::fprintf(stderr, "listed %ld items, the query has %ld\n", page.recordView->rowCount(), rows);
            return 1;
        }
    }
    std::printf("listing %ld items under the root (%d groups), %d rounds, median CPU ms:\n", rows, groups, kRounds);
    std::printf("  sqlite3 stepping through the query            %8.1f\n", median(raw));
    std::printf("  sqlite3 stepping and reading every column     %8.1f\n", median(rawValues));
    std::printf("  the page listing them (dw_ca_all)             %8.1f   ratio %.2f (target <= 1.50)\n", median(listing),
                median(ratios));
    std::printf("  total shown: %s\n", qPrintable(page.recordView->displayText(QStringLiteral("sum_worth"))));
#if defined(__SANITIZE_ADDRESS__)
    std::printf("\n(sanitized build: the times mean little here; build with -DCMAKE_BUILD_TYPE=Release -DMIVO_BENCH=ON)\n");
#endif
    connection.close();
    return 0;
}
