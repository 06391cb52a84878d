// The settings page's heavy work, measured in one run:
//  - the checked backup copy of a database of about 200 MB against `cp` of the same file (and `cp`
//    followed by `sync`, since the copy ends on the disk), median of 5 interleaved rounds, with the
//    integrity check's own share beside it;
//  - exporting 100,000 contacts to .xls (two sheets), .xlsx and .csv: time and the peak memory the
//    writer adds to the rows it is given.
// Usage: bench_settings [contacts=100000] [database MB=200]   (in a Release build)

#include "generator.h"

#include "app/schema.h"
#include "app/connection.h"
#include "settings/backupcopy.h"
#include "exchange/spreadsheet.h"
#include "platform/modules.h"
#include "views/datastore.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <vector>

namespace {

constexpr int kRounds = 5;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double ms(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

// Notes of about 90 KB each until the file holds `megabytes`.
void padDatabase(const QString &path, qint64 megabytes)
{
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *s = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO p_info (gid, title, content) VALUES ('1', ?, ?)", -1, &s, nullptr);
    const qint64 have = QFileInfo(path).size();
    const QByteArray text = QStringLiteral("长笔记的内容,").repeated(2500).toUtf8();
    for (qint64 i = 0; have + i * text.size() < megabytes * 1024 * 1024; ++i) {
        const QByteArray title = QStringLiteral("笔记 %1").arg(i).toUtf8();
        sqlite3_bind_text(s, 1, title.constData(), int(title.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 2, text.constData(), int(text.size()), SQLITE_STATIC);
        sqlite3_step(s);
        sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

double quickCheckMs(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    QElapsedTimer t;
    t.start();
    if (sqlite3_exec(db, "PRAGMA quick_check", nullptr, nullptr, nullptr) != SQLITE_OK)
        qFatal("quick_check: %s", sqlite3_errmsg(db));
    const double elapsed = ms(t);
    sqlite3_close(db);
    return elapsed;
}

qint64 statusKb(const char *field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLongLong();
    return -1;
}

// Starts a new peak of the resident set; false where the system does not allow it.
bool resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    return f.open(QIODevice::WriteOnly) && f.write("5") == 1;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::setModuleFolder(QStringLiteral(MIVO_MODULE_DIR));
    const int contacts = argc > 1 ? atoi(argv[1]) : 100000;
    const qint64 megabytes = argc > 2 ? atoll(argv[2]) : 200;

    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("mivo.mdb"));
    QElapsedTimer gen;
    gen.start();
    QString error;
    if (!bench::generateContacts(db, contacts, 10, &error))
        qFatal("generator: %s", qPrintable(error));
    padDatabase(db, megabytes);
    std::printf("database: %d contacts, %.1f MB, made in %.0f ms\n", contacts, double(QFileInfo(db).size()) / 1048576.0,
                ms(gen));

    Connection connection;
    if (const DbResult opened = connection.open(db); !opened)
        qFatal("connect: %s", qPrintable(opened.reason));

    // Backup against cp, rounds interleaved so that both meet the same load and the same cache.
    const QString backup = dir.filePath(QStringLiteral("backup.mdb"));
    const QString plain = dir.filePath(QStringLiteral("cp.mdb"));
    std::vector<double> copyTimes, cpTimes, cpSyncTimes, checkTimes;
    for (int round = 0; round < kRounds; ++round) {
        QFile::remove(backup);
        QFile::remove(plain);
        QElapsedTimer t;
        t.start();
        QString reason;
        if (settings::copyDatabase(connection.handle(), backup, &reason) != settings::CopyResult::Copied)
            qFatal("backup: %s", qPrintable(reason));
        copyTimes.push_back(ms(t));
        t.start();
        if (QProcess::execute(QStringLiteral("cp"), {db, plain}) != 0)
            qFatal("cp failed");
        cpTimes.push_back(ms(t));
        // The copy ends with its data on the disk; so does cp followed by sync of the file.
        QFile::remove(plain);
        t.start();
        if (QProcess::execute(QStringLiteral("cp"), {db, plain}) != 0 || QProcess::execute(QStringLiteral("sync"), {plain}) != 0)
            qFatal("cp and sync failed");
        cpSyncTimes.push_back(ms(t));
        checkTimes.push_back(quickCheckMs(backup));
    }
    std::printf("\nbackup of the %.1f MB database, median of %d interleaved rounds (wall ms):\n",
                double(QFileInfo(db).size()) / 1048576.0, kRounds);
    std::printf("  checked backup copy (page copy + quick_check)  %8.1f   (%.2f x cp)\n", median(copyTimes),
                median(copyTimes) / median(cpTimes));
    std::printf("  of which quick_check of the copy alone         %8.1f\n", median(checkTimes));
    std::printf("  cp                                             %8.1f\n", median(cpTimes));
    std::printf("  cp, then sync of the file                      %8.1f   (the copy is %.2f x this)\n",
                median(cpSyncTimes), median(copyTimes) / median(cpSyncTimes));
    QFile::remove(backup);
    QFile::remove(plain);

    // Export: the rows as the page gets them, then each writer.
    views::DataStore store;
    store.setDataObject(QStringLiteral("d_telpro_all"));
    store.setConnection(connection);
    QElapsedTimer t;
    t.start();
    store.retrieve();
    QList<QVariantList> rows = store.exportRows(true);
    std::printf("\nexport of %lld contacts (%d columns); reading them and making the rows took %.0f ms\n",
                qlonglong(rows.size() - 1), int(rows.first().size()), ms(t));
    store.reset();
    const bool peaks = resetPeak();
    std::printf("  format  time ms (median of 3)  file MB   peak memory added by the writer MB%s\n",
                peaks ? "" : "  (process peak: clear_refs refused)");
    for (exchange::SheetFormat f : {exchange::SheetFormat::Xls, exchange::SheetFormat::Xlsx, exchange::SheetFormat::Csv}) {
        const QString path = dir.filePath(QStringLiteral("contacts.") + exchange::sheetSuffix(f));
        std::vector<double> times;
        qint64 added = 0;
        for (int round = 0; round < 3; ++round) {
            resetPeak();
            const qint64 before = statusKb("VmRSS:");
            t.start();
            QString reason;
            if (!exchange::writeSheet(path, f, rows, &reason))
                qFatal("export: %s", qPrintable(reason));
            times.push_back(ms(t));
            added = std::max(added, statusKb("VmHWM:") - before);
        }
        std::printf("  %-6s  %20.0f  %8.1f  %8.1f\n", qPrintable(exchange::sheetSuffix(f)), median(times),
                    double(QFileInfo(path).size()) / 1048576.0, double(added) / 1024.0);
    }
#if defined(__SANITIZE_ADDRESS__)
    std::printf("\n(sanitized build: the figures mean little here; build with\n"
                " -DCMAKE_BUILD_TYPE=Release -DMIVO_BENCH=ON for the figures)\n");
#endif
    connection.close();
    return 0;
}
