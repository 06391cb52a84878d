// Writes a password into the keyring, or reads it back, in a program of its own, and says what
// happened: "keyring_probe write" then "keyring_probe read".

#include "platform/linux/secretkeyring.h"
#include "platform/modules.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    platform::setModuleFolder(QStringLiteral(MIVO_BINARY_DIR "/bin/modules"));
    using Status = platform::Keyring::Status;
    platform::SecretServiceKeyring keyring(QStringLiteral("Mivo test"));
    const QString key = QStringLiteral("carddav:alice@https://example.org");
    auto end = [&app] { QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection); };
    if (argc > 1 && qstrcmp(argv[1], "write") == 0) {
        keyring.write(key, QStringLiteral("s3cret 密码"), [&](Status s) {
            std::printf("wrote %s, %s\n", s == Status::Ok ? "ok" : "failed", keyring.persistent() ? "kept" : "for the run");
            end();
        });
    } else {
        keyring.read(key, [&](Status s, const QString &secret) {
            std::printf("read %s\n", s == Status::Ok ? secret.toUtf8().constData() : "nothing");
            end();
        });
    }
    return app.exec();
}
