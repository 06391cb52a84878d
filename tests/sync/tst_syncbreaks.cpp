// A sync cut off anywhere (the server gone, the program killed) leaves both sides consistent and
// the next sync completes it; a sync that cannot start says why in words.

#include "davproxy.h"
#include "fakes.h"
#include "syncworld.h"
#include "testmain.h"

#include "platform/modules.h"

#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>

namespace {

constexpr int kContacts = 300;

enum class Break { ServerDuringUpload, ServerDuringDownload, KillDuringUpload };

} // namespace

Q_DECLARE_METATYPE(Break)
Q_DECLARE_METATYPE(contactsync::Failure)

class TestSyncBreaks : public QObject
{
    Q_OBJECT
private slots:
    void cutOffAndCompleted_data();
    void cutOffAndCompleted();
    void failuresInWords_data();
    void failuresInWords();

private:
    fake::Platform m_platform;
};

void TestSyncBreaks::cutOffAndCompleted_data()
{
    QTest::addColumn<Break>("cut");
    QTest::newRow("server stopped while uploading") << Break::ServerDuringUpload;
    QTest::newRow("server stopped while downloading") << Break::ServerDuringDownload;
    QTest::newRow("program killed while uploading") << Break::KillDuringUpload;
}

void TestSyncBreaks::cutOffAndCompleted()
{
    QFETCH(Break, cut);
    SyncWorld w;
    Machine a, b;
    a.run(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                         "INSERT INTO t_telinfo (zuhao0, xingm0, shouji) SELECT '2', '朋友' || i, 13100000000 + i FROM n").arg(kContacts));
    const QString upload = QStringLiteral("正在上传到服务器");

    if (cut == Break::KillDuringUpload) {
        a.db().close();   // the other program has the database now
        QProcess child;
        child.start(QStringLiteral(MIVO_BINARY_DIR "/tests/sync_child"),
                    {a.folder.database(), w.server.book().toString(), w.server.user(), w.server.password()});
        int uploaded = 0;
        while (uploaded < kContacts / 3 && child.waitForReadyRead(60000))
            while (child.canReadLine()) {
                const QStringList words = QString::fromUtf8(child.readLine()).split(QLatin1Char(' '));
                if (words.value(0) == upload)
                    uploaded = words.value(1).toInt();
            }
        child.kill();
        child.waitForFinished();
        QVERIFY2(uploaded >= kContacts / 3 && w.serverCards() < kContacts, qPrintable(QString::number(w.serverCards())));
    } else {
        Machine &m = cut == Break::ServerDuringUpload ? a : b;
        if (cut == Break::ServerDuringDownload)
            QVERIFY(w.sync(a).ok());
        contactsync::SyncController controller(m.db());
        QSignalSpy done(&controller, &contactsync::SyncController::finished);
        connect(&controller, &contactsync::SyncController::progress, this, [&](const QString &step, qint64 n) {
            if ((step == upload && n >= kContacts / 3) || step == QStringLiteral("正在下载联系人"))
                w.server.stop();
        });
        controller.start({w.server.root(), w.server.book(), w.server.user(), w.server.password()});
        QVERIFY(done.wait(120000));
        QCOMPARE(done.at(0).at(0).value<contactsync::Outcome>().failure, contactsync::Failure::Unreachable);
        QVERIFY(w.server.start());
    }

    for (Machine *m : {&a, &b, &a}) {
        const contactsync::Outcome o = w.sync(*m);
        QVERIFY2(o.ok(), qPrintable(o.message()));
    }
    QCOMPARE(w.serverCards(), kContacts);   // nothing uploaded twice
    QCOMPARE(b.contacts().size(), kContacts);
    QCOMPARE(a.contacts(), b.contacts());
    QCOMPARE(w.serverContacts(), a.contacts());
}

void TestSyncBreaks::failuresInWords_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("password");
    QTest::addColumn<contactsync::Failure>("finding");
    QTest::addColumn<contactsync::Failure>("syncing");
    using F = contactsync::Failure;
    QTest::newRow("the server's address finds the address book") << "server" << "s3cret" << F::None << F::None;
    QTest::newRow("the password from the keyring") << "server" << "" << F::None << F::None;
    QTest::newRow("no password given or kept") << "server" << "-" << F::PasswordMissing << F::PasswordMissing;
    QTest::newRow("wrong password") << "server" << "wrong" << F::WrongPassword << F::WrongPassword;
    QTest::newRow("server unreachable") << "closed" << "s3cret" << F::Unreachable << F::Unreachable;
    QTest::newRow("certificate refused") << "tls" << "s3cret" << F::CertificateRefused << F::CertificateRefused;
    QTest::newRow("a web page, not CardDAV") << "web" << "s3cret" << F::NotAddressBook << F::NotAddressBook;
    QTest::newRow("a collection that is not an address book") << "principal" << "s3cret" << F::None << F::NotAddressBook;
    // The HTTP is a module; a program installed without it cannot reach any server and says why.
    QTest::newRow("the network module missing") << "nomodule" << "s3cret" << F::Unreachable << F::Unreachable;
}

void TestSyncBreaks::failuresInWords()
{
    QFETCH(QString, where);
    QFETCH(QString, password);
    QFETCH(contactsync::Failure, finding);
    QFETCH(contactsync::Failure, syncing);
    SyncWorld w(where == QLatin1String("tls"));
    DavProxy web(0);
    QUrl server = w.server.root(), book = w.server.book();
    if (where == QLatin1String("closed")) {
        server.setPort(freePort());
        book.setPort(server.port());
    } else if (where == QLatin1String("web")) {
        server.setPort(web.port());
        book.setPort(web.port());
    } else if (where == QLatin1String("principal")) {
        book = server.resolved(QUrl(w.server.user() + QLatin1Char('/')));
    }
    const QString modules = platform::moduleFolder();
    const auto restoreModules = qScopeGuard([&] { platform::setModuleFolder(modules); });
    if (where == QLatin1String("nomodule"))
        platform::setModuleFolder(QStringLiteral("/nonexistent"));
    contactsync::Account account{server, book, w.server.user(), password == QLatin1String("-") ? QString() : password};
    m_platform.keyring->secrets.clear();
    if (password.isEmpty())
        m_platform.keyring->secrets.insert(contactsync::SyncController::passwordKey(account), w.server.password());

    // A database made before the sync: its table of links comes with the first sync that gets that far.
    Machine m;
    m.add(QStringLiteral("张三"), QStringLiteral("1"), QStringLiteral("13800000001"));
    const QString tableSql = QStringLiteral("SELECT sql FROM sqlite_master WHERE name = 't_telsync'");
    const QString made = m.value(tableSql).toString();
    m.run(QStringLiteral("DROP TABLE t_telsync"));
    contactsync::SyncController controller(m.db());
    QSignalSpy found(&controller, &contactsync::SyncController::addressBooksFound);
    QVERIFY(controller.findAddressBooks(account));
    QVERIFY(found.wait(60000));
    const auto books = found.at(0).at(0).value<QList<contactsync::AddressBook>>();
    const auto findOutcome = found.at(0).at(1).value<contactsync::Outcome>();
    QCOMPARE(findOutcome.failure, finding);
    if (finding == contactsync::Failure::None)
        QCOMPARE(books, (QList<contactsync::AddressBook>{{w.server.book(), QStringLiteral("通讯录")}}));

    QSignalSpy done(&controller, &contactsync::SyncController::finished);
    QVERIFY(controller.start(account));
    QVERIFY(done.wait(60000));
    const auto o = done.at(0).at(0).value<contactsync::Outcome>();
    QCOMPARE(o.failure, syncing);
    QVERIFY(o.message().startsWith(contactsync::failureText(syncing)));
    if (where == QLatin1String("nomodule"))
        QVERIFY2(o.message().contains(QStringLiteral("“network”")), qPrintable(o.message()));
    QCOMPARE(controller.lastOutcome().failure, syncing);
    QCOMPARE(w.serverCards(), syncing == contactsync::Failure::None ? 1 : 0);
    if (syncing == contactsync::Failure::None)
        QCOMPARE(m.value(tableSql).toString(), made);
}

MIVO_TEST_MAIN(TestSyncBreaks)
#include "tst_syncbreaks.moc"
