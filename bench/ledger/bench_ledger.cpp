// The ledger page against SQLite itself, measured in one run on entries spread over many months:
//  - the statistics (a click on "统计(&T)" until the grid and the chart are painted) against stepping
//    through the one GROUP BY query that computes the same sums;
//  - choosing "全部" in the expense list until the list is painted, against stepping through the
//    list's own query.
// Usage: bench_ledger [entries=100000] [months=240]   (in a Release build; see the note it prints otherwise)

#include "app/appinfo.h"
#include "app/schema.h"
#include "app/connection.h"
#include "ledger/monthchart.h"
#include "ledger/ledgerpage.h"
#include "platform/modules.h"
#include "timing.h"
#include "views/datastore.h"
#include "views/dataview.h"
#include "views/definition.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <random>
#include <sqlite3.h>

namespace {

using bench::Timing;
using bench::measure;
using bench::medianRatio;

constexpr int kRounds = 7;

// Entries over `months` months from January 1990, three in five expenses, amounts to the cent.
void generateEntries(const QString &path, int n, int months)
{
    QString error;
    if (!createDatabase(path, &error))
        qFatal("database: %s", qPrintable(error));
    sqlite3 *h = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &h) != SQLITE_OK)
        qFatal("open: %s", sqlite3_errmsg(h));
    const QStringList items{QStringLiteral("午饭"), QStringLiteral("房租"), QStringLiteral("车费"), QStringLiteral("工资"),
                            QStringLiteral("书"), QStringLiteral("水电费"), QStringLiteral("稿费"), QStringLiteral("礼金")};
    std::mt19937 random(20090214);
    sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *s = nullptr;
    sqlite3_prepare_v2(h, "INSERT INTO t_account (vtype, vdate, vname, vmoney, vremark) VALUES (?, ?, ?, ?, ?)", -1, &s, nullptr);
    for (int i = 0; i < n; ++i) {
        const QDate day = QDate(1990, 1, 1).addMonths(int(random() % unsigned(months))).addDays(int(random() % 28));
        const QByteArray date = day.toString(QStringLiteral("yyyyMMdd")).toUtf8();
        const QByteArray name = items.at(int(random() % unsigned(items.size()))).toUtf8();
        sqlite3_bind_text(s, 1, random() % 5 < 3 ? "1" : "2", 1, SQLITE_STATIC);
        sqlite3_bind_text(s, 2, date.constData(), int(date.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 3, name.constData(), int(name.size()), SQLITE_TRANSIENT);
        sqlite3_bind_double(s, 4, double(random() % 2000000) / 100);
        if (i % 4 == 0)
            sqlite3_bind_text(s, 5, "备注", -1, SQLITE_STATIC);
        else
            sqlite3_bind_null(s, 5);
        if (sqlite3_step(s) != SQLITE_DONE)
            qFatal("insert: %s", sqlite3_errmsg(h));
        sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(h);
}

// Steps through a query, with its text argument bound where it has one, reading every value or none.
long stepThrough(sqlite3 *h, const char *sql, const char *argument, bool read)
{
    sqlite3_stmt *s = nullptr;
    if (sqlite3_prepare_v2(h, sql, -1, &s, nullptr) != SQLITE_OK)
        qFatal("prepare: %s", sqlite3_errmsg(h));
    if (argument)
        sqlite3_bind_text(s, 1, argument, -1, SQLITE_STATIC);
    long rows = 0;
    const int columns = sqlite3_column_count(s);
    double sink = 0;
    while (sqlite3_step(s) == SQLITE_ROW) {
        ++rows;
        if (read)
            for (int c = 0; c < columns; ++c)
                sink += sqlite3_column_type(s, c) == SQLITE_TEXT ? sqlite3_column_bytes16(s, c) : sqlite3_column_double(s, c);
    }
    sqlite3_finalize(s);
    return sink < 0 ? -rows : rows;
}

// The month sums written as one would write them by hand.
const char *const kGroupBy =
    "SELECT substr(vdate, 1, 6) AS month, sum(CASE WHEN vtype = '1' THEN vmoney END), "
    "sum(CASE WHEN vtype = '2' THEN vmoney END) FROM t_account GROUP BY month ORDER BY month";

void line(const char *what, const Timing &t, const Timing &base, const char *note)
{
    std::printf("  %-52s %8.1f %8.1f   %.2f / %.2f%s\n", what, t.bestCpu(), t.bestWall(), medianRatio(t.cpu, base.cpu),
                medianRatio(t.wall, base.wall), note);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::setModuleFolder(QStringLiteral(MIVO_MODULE_DIR));
    const int entries = argc > 1 ? atoi(argv[1]) : 100000;
    const int months = argc > 2 ? atoi(argv[2]) : 240;

    QTemporaryDir dir;
    setAppFolder(dir.path());
    const QString db = appFile(QStringLiteral("mivo.mdb"));
    QElapsedTimer gen;
    gen.start();
    generateEntries(db, entries, months);
    std::printf("generated %d entries over %d months in %.0f ms\n", entries, months, double(gen.nsecsElapsed()) / 1e6);
    Connection connection;
    if (const DbResult opened = connection.open(db); !opened)
        qFatal("connect: %s", qPrintable(opened.reason));
    const QByteArray listSql =
        QString(views::definition(QStringLiteral("dw_ac_out"))->select).replace(QStringLiteral(":as_date"), QStringLiteral("?1")).toUtf8();
    stepThrough(connection.handle(), kGroupBy, nullptr, true);   // the page cache warm for both sides

    LedgerPage page(connection);
    page.resize(1200, 800);
    page.show();
    QCoreApplication::processEvents();

    // Statistics: the click, the grid and the chart painted.
    page.tabs->setCurrentIndex(2);
    QCoreApplication::processEvents();
    Timing groupBy, statistics;
    long monthRows = 0;
    for (int round = 0; round < kRounds; ++round) {
        measure(groupBy, [&] { monthRows = stepThrough(connection.handle(), kGroupBy, nullptr, true); });
        measure(statistics, [&] {
            page.statisticsButton->click();
            page.statistics->repaint();
            page.monthChart->widget()->repaint();
        });
    }
    if (page.statistics->rowCount() != monthRows || page.monthChart->months().size() != monthRows)
        qFatal("months differ: %ld / %ld / %lld", monthRows, page.statistics->rowCount(), qint64(page.monthChart->months().size()));

    // "全部": from this month's few entries to every expense, painted.
    page.tabs->setCurrentIndex(0);
    QCoreApplication::processEvents();
    Timing stepping, reading, choosing, store, control, painting;
    views::DataStore bare;
    bare.setDataObject(QStringLiteral("dw_ac_out"));
    bare.setConnection(connection);
    long listRows = 0;
    for (int round = 0; round < kRounds; ++round) {
        page.expenses->periodList->setCurrentIndex(2);
        QCoreApplication::processEvents();
        measure(stepping, [&] { listRows = stepThrough(connection.handle(), listSql.constData(), "0", false); });
        measure(reading, [&] { stepThrough(connection.handle(), listSql.constData(), "0", true); });
        measure(store, [&] { bare.retrieve({QStringLiteral("0")}); });
        measure(choosing, [&] {
            page.expenses->periodList->setCurrentIndex(0);
            page.expenses->list->repaint();
        });
        measure(control, [&] { page.expenses->list->retrieve({QStringLiteral("0")}); });
        measure(painting, [&] { page.expenses->list->repaint(); });
    }
    if (page.expenses->list->rowCount() != listRows)
        qFatal("rows differ: %ld / %ld", listRows, page.expenses->list->rowCount());

    std::printf("\n%d rounds; CPU ms (best), wall ms (best), median of the per-round ratios (CPU / wall)\n", kRounds);
    std::printf("statistics of %ld months:\n", monthRows);
    line("sqlite3 stepping through the GROUP BY, reading the sums", groupBy, groupBy, "");
    line("\"统计(&T)\" clicked, grid and chart painted", statistics, groupBy, "   target <= 2");
    std::printf("choosing \"全部\" with %ld expenses:\n", listRows);
    line("sqlite3 stepping through the list's query", stepping, stepping, "");
    line("sqlite3 stepping and reading every column", reading, stepping, "");
    line("the store alone reading the list", store, stepping, "");
    line("the list read again (grid, highlight)", control, stepping, "");
    line("the list painted again (rows on screen, total)", painting, stepping, "");
    line("\"全部\" chosen, list painted", choosing, stepping, "   target <= 1.5");
#if defined(__SANITIZE_ADDRESS__)
    std::printf("\n(sanitized build: the times mean little here; build with\n"
                " -DCMAKE_BUILD_TYPE=Release -DMIVO_BENCH=ON for the figures)\n");
#endif
    connection.close();
    return 0;
}
