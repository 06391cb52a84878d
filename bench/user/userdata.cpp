// bench_user_data: the databases and statements the user-wait benchmarks need.
//
//   bench_user_data make DB [--contacts N] [--groups G] [--notes N] [--note-bytes B] [--ledger N]
//       adds generated contacts (spread evenly over G groups), notes (with the search index a new
//       database has) and ledger entries to DB, made from the schema when missing
//   bench_user_data sql VIEW
//       prints the statement of a view's definition, as the program runs it
//   bench_user_data pragmas DB
//       prints, as PRAGMA statements, the settings of the program's own connection to DB that
//       decide how fast it reads (memory mapping, page cache, temporary storage, sorter threads)

#include "generator.h"

#include "app/connection.h"
#include "views/definition.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <sqlite3.h>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: bench_user_data make DB [--contacts N] [--groups G] [--notes N] [--note-bytes B] [--ledger N]\n"
                         "       bench_user_data sql VIEW\n"
                         "       bench_user_data pragmas DB\n");
    return 2;
}

int make(const QStringList &args)
{
    const QString db = args.value(0);
    int contacts = 0, groups = 10, notes = 0, noteBytes = 2000, ledger = 0;
    for (qsizetype i = 1; i < args.size(); i += 2) {
        bool ok = false;
        const int value = args.value(i + 1).toInt(&ok);
        const QString &name = args.at(i);
        if (!ok || value < 0)
            return usage();
        if (name == QStringLiteral("--contacts"))
            contacts = value;
        else if (name == QStringLiteral("--groups"))
            groups = value;
        else if (name == QStringLiteral("--notes"))
            notes = value;
        else if (name == QStringLiteral("--note-bytes"))
            noteBytes = value;
        else if (name == QStringLiteral("--ledger"))
            ledger = value;
        else
            return usage();
    }
    QElapsedTimer clock;
    clock.start();
    QString error;
    // The contacts first: the generator makes the file from the schema, with the search index.
    const bool ok = (contacts == 0 || bench::generateContacts(db, contacts, groups, &error))
                    && (notes == 0 || bench::generateNotes(db, notes, noteBytes, true, &error))
                    && (ledger == 0 || bench::generateLedger(db, ledger, &error));
    if (!ok) {
        std::fprintf(stderr, "bench_user_data: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("%s: %d contacts in %d groups, %d notes, %d ledger entries in %.1f s\n", qPrintable(db), contacts, groups, notes,
                ledger, clock.nsecsElapsed() / 1e9);
    return 0;
}

int pragmas(const QString &db)
{
    Connection connection;
    if (const DbResult opened = connection.open(db); !opened) {
        std::fprintf(stderr, "bench_user_data: %s\n", qPrintable(opened.reason));
        return 1;
    }
    QStringList out;
    for (const char *name : {"mmap_size", "cache_size", "temp_store", "threads"}) {
        sqlite3_stmt *s = nullptr;
        const QByteArray sql = QByteArray("PRAGMA ") + name;
        if (sqlite3_prepare_v2(connection.handle(), sql.constData(), -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
            out << QStringLiteral("PRAGMA %1 = %2").arg(QLatin1String(name)).arg(sqlite3_column_int64(s, 0));
        sqlite3_finalize(s);
    }
    connection.close();
    std::printf("%s\n", qPrintable(out.join(QStringLiteral("; "))));
    return out.size() == 4 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const QString command = args.isEmpty() ? QString() : args.takeFirst();
    if (command == QStringLiteral("make") && !args.isEmpty())
        return make(args);
    if (command == QStringLiteral("pragmas") && args.size() == 1)
        return pragmas(args.first());
    if (command == QStringLiteral("sql") && args.size() == 1) {
        const views::Definition *d = views::definition(args.first());
        if (!d) {
            std::fprintf(stderr, "bench_user_data: no view %s\n", qPrintable(args.first()));
            return 1;
        }
        std::printf("%s\n", d->select.toUtf8().constData());
        return 0;
    }
    return usage();
}
