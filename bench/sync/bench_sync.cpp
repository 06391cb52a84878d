// The address book's sync against a real CardDAV server (radicale, started here on a free port):
// a first sync that brings 10,000 contacts from the server into an empty database, a first sync
// that uploads 1,000, and a sync with 10 changes on each side. For each: the program's own CPU time
// (all its threads), its HTTP requests, and the server's CPU time apart, with the wall time.
// Usage: bench_sync [contacts=10000] [uploads=1000]   (in a Release build)

#include "generator.h"
#include "radicaleserver.h"

#include "app/application.h"
#include "app/schema.h"
#include "app/connection.h"
#include "exchange/vcardwriter.h"
#include "platform/modules.h"
#include "sync/controller.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>
#include <cstdio>
#include <sys/resource.h>

namespace {

double processCpuMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

QList<exchange::Contact> contactsOf(const QString &database)
{
    QList<exchange::Contact> out;
    Connection db;
    db.open(database);
    QStringList columns;
    for (const exchange::ContactField &f : exchange::contactFields())
        columns << f.column;
    QSqlQuery q(db.sqlDatabase());
    q.exec(QStringLiteral("SELECT %1 FROM t_telinfo").arg(columns.join(QLatin1Char(','))));
    while (q.next()) {
        exchange::Contact c;
        for (int i = 0; i < columns.size(); ++i)
            c.*exchange::contactFields().at(i).member = q.value(i).toString();
        c.categories = {QStringLiteral("朋友")};
        out << c;
    }
    return out;
}

struct Figures
{
    double ownMs = 0, serverMs = 0, wallMs = 0;
    int requests = 0;
    contactsync::Outcome outcome;
};

Figures syncOnce(const RadicaleServer &server, const QString &database)
{
    Connection db;
    db.open(database);
    Figures f;
    contactsync::SyncController controller(db);
    QEventLoop loop;
    QObject::connect(&controller, &contactsync::SyncController::finished, &loop, [&](const contactsync::Outcome &o) {
        f.outcome = o;
        loop.quit();
    });
    const double own = processCpuMs(), there = server.cpuMs();
    QElapsedTimer wall;
    wall.start();
    controller.start({server.root(), server.book(), server.user(), server.password()});
    loop.exec();
    f.wallMs = double(wall.elapsed());
    f.ownMs = processCpuMs() - own;
    f.serverMs = server.cpuMs() - there;
    f.requests = f.outcome.requests;
    return f;
}

void print(const char *what, const Figures &f)
{
    std::printf("%-44s own CPU %8.0f ms  requests %5d  server CPU %9.0f ms  wall %9.0f ms  %s\n", what, f.ownMs,
                f.requests, f.serverMs, f.wallMs, f.outcome.ok() ? "" : qPrintable(f.outcome.message()));
}

// A card changed on the server, as a phone would: a plain PUT.
void phoneEdit(const RadicaleServer &server, const QString &file, const exchange::Contact &c)
{
    QNetworkAccessManager network;
    QNetworkRequest r(server.book().resolved(QUrl(file)));
    r.setRawHeader("Authorization", "Basic " + (server.user() + QLatin1Char(':') + server.password()).toUtf8().toBase64());
    QNetworkReply *reply = network.put(r, exchange::VCardWriter().card(c));
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    delete reply;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    platform::setModuleFolder(QStringLiteral(MIVO_MODULE_DIR));
    const int n = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int uploads = argc > 2 ? std::atoi(argv[2]) : 1000;
    QTemporaryDir dir;
    QString error;
    const QString source = dir.filePath(QStringLiteral("source.mdb"));
    if (!bench::generateContacts(source, n, 4, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    QList<exchange::Contact> contacts = contactsOf(source);

    // The server's address book filled as its files, so that the setting up costs it nothing.
    RadicaleServer server;
    if (!server.start(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    QStringList files;
    for (exchange::Contact &c : contacts) {
        c.uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
        QFile card(QDir(server.bookFolder()).filePath(c.uid + QStringLiteral(".vcf")));
        card.open(QIODevice::WriteOnly);
        card.write(exchange::VCardWriter().card(c));
        files << c.uid + QStringLiteral(".vcf");
    }
    std::printf("bench_sync: %d contacts on the server, radicale on port %d\n", n, server.port());

    const QString empty = dir.filePath(QStringLiteral("empty.mdb"));
    createDatabase(empty);
    print(qPrintable(QStringLiteral("first sync, %1 from the server").arg(n)), syncOnce(server, empty));

    // Ten changes on each side.
    {
        Connection db;
        db.open(empty);
        for (int i = 0; i < 10; ++i)
            db.execute(QStringLiteral("UPDATE t_telinfo SET beizhu = ? WHERE id = ?"), {QStringLiteral("改过 %1").arg(i), 100 + i});
        db.commit();
    }
    for (int i = 0; i < 10; ++i) {
        exchange::Contact c = contacts.at(5000 % n + i);
        c.remarks = QStringLiteral("手机上改过 %1").arg(i);
        phoneEdit(server, files.at(5000 % n + i), c);
    }
    print("incremental, 10 changes each side", syncOnce(server, empty));
    print("nothing changed", syncOnce(server, empty));

    // A fresh server and a database of its own: the first upload.
    RadicaleServer second;
    second.start(&error);
    const QString upload = dir.filePath(QStringLiteral("upload.mdb"));
    bench::generateContacts(upload, uploads, 4, &error);
    print(qPrintable(QStringLiteral("first sync, %1 to the server").arg(uploads)), syncOnce(second, upload));
    return 0;
}
