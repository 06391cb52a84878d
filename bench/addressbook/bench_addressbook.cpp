// Filling one group of 10,000 contacts into the address book's tree, against the time SQLite itself
// takes to step through that group's query. Prints the figures and the ratio (target: at most 2).

#include "addressbook/addressbookpage.h"
#include "app/appinfo.h"
#include "app/application.h"
#include "app/connection.h"
#include "generator.h"
#include "timing.h"
#include "views/datastore.h"
#include "widgets/handletree.h"

#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>
#include <vector>

using bench::cpuMs;
using bench::median;

namespace {

using bench::cpuMs;
using bench::median;

constexpr int kGroupSize = 10000;
constexpr int kGroups = 4;
constexpr int kRounds = 31;

// Steps through the group's names as the tree's query reads them, touching every value.
double rawQueryMs(sqlite3 *h, const QString &code)
{
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(h, "SELECT xingm0 FROM t_telinfo WHERE t_telinfo.zuhao0 = ? ORDER BY xingm0 ASC", -1, &st, nullptr);
    const QByteArray c = code.toUtf8();
    const double start = cpuMs();
    sqlite3_bind_text(st, 1, c.constData(), int(c.size()), SQLITE_TRANSIENT);
    qint64 bytes = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        const void *text = sqlite3_column_text16(st, 0);
        bytes += sqlite3_column_bytes16(st, 0) + (text ? 0 : 1);
    }
    const double ms = cpuMs() - start;
    sqlite3_finalize(st);
    if (bytes == 0)
        std::fprintf(stderr, "the group is empty\n");
    return ms;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    QTemporaryDir dir;
    setAppFolder(dir.path());
    const QString db = appFile(QStringLiteral("mivo.mdb"));
    QString error;
    if (!bench::generateContacts(db, kGroupSize * kGroups, kGroups, &error)) {
        std::fprintf(stderr, "generator: %s\n", qPrintable(error));
        return 1;
    }
    Connection connection;
    if (const DbResult opened = connection.open(db); !opened) {
        std::fprintf(stderr, "connect: %s\n", qPrintable(opened.reason));
        return 1;
    }
    const QString code = bench::groupCode(0);
    AddressBookPage page(connection);
    page.resize(1000, 700);
    page.show();

    std::vector<double> raw, fill, store;
    for (int round = 0; round < kRounds; ++round) {
        raw.push_back(rawQueryMs(connection.handle(), code));
        // A fresh tree each round: the group item has never been filled.
        page.groupTree->deleteItem(page.groupTree->findItem(widgets::TreeNavigation::Root));
        page.buildTree();
        const long root = page.groupTree->findItem(widgets::TreeNavigation::Root);
        const long group = page.groupTree->findChildByData(root, code);
        const double start = cpuMs();
        page.treeBuilder().fillGroup(group, code);
        fill.push_back(cpuMs() - start);
        {
            const double s0 = cpuMs();
            views::DataStore ds;
            ds.setDataObject(QStringLiteral("ds_xingm0"));
            ds.setConnection(connection);
            ds.retrieve({code});
            store.push_back(cpuMs() - s0);
        }
        if (page.groupTree->childCount(group) != kGroupSize) {
            std::fprintf(stderr, "filled %ld contacts, expected %d\n", page.groupTree->childCount(group), kGroupSize);
            return 1;
        }
    }
    const double r = median(raw), f = median(fill);
    std::printf("of which reading the names into a store: %.2f ms\n", median(store));
    std::printf("tree fill of one group (%d contacts): %.2f ms; raw query: %.2f ms; ratio %.2f (target <= 2.00)\n",
                kGroupSize, f, r, f / r);
    connection.close();
    return 0;
}
