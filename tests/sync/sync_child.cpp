// A program that syncs one database and says how far it got, line by line, for a test to kill in
// the middle. Usage: sync_child <database> <address book> <user> <password>

#include "app/connection.h"
#include "platform/modules.h"
#include "sync/controller.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    platform::setModuleFolder(QStringLiteral(MIVO_BINARY_DIR "/bin/modules"));
    if (argc != 5)
        return 2;
    Connection db;
    if (!db.open(QString::fromLocal8Bit(argv[1])))
        return 3;
    contactsync::SyncController controller(db);
    QObject::connect(&controller, &contactsync::SyncController::progress, [](const QString &step, qint64 done, qint64 total) {
        std::printf("%s %lld %lld\n", step.toUtf8().constData(), qlonglong(done), qlonglong(total));
        std::fflush(stdout);
    });
    QObject::connect(&controller, &contactsync::SyncController::finished, &app, [](const contactsync::Outcome &o) {
        QCoreApplication::exit(o.ok() ? 0 : 1);
    });
    const QUrl book(QString::fromLocal8Bit(argv[2]));
    controller.start({book, book, QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[4])});
    return app.exec();
}
