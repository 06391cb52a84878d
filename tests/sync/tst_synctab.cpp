// The settings page's Sync tab as a user meets it: a client.ini, typing the server's address, the
// user and the password, "连接", choosing the address book, "立即同步(&Y)"; against a real CardDAV
// server, the keyring faked.

#include "davproxy.h"
#include "fakes.h"
#include "pagedriver.h"
#include "syncworld.h"
#include "testmain.h"

#include "app/settingsfile.h"
#include "settings/synctab.h"
#include "sync/syncservice.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>

using contactsync::SyncService;
using platform::Icon;

namespace {

void retype(QLineEdit *field, const QString &text)
{
    field->clear();
    drive::typeText(field, text);
}

// Clicks "连接" and waits for its answer.
void connectTo(settings::SyncTab &tab, SyncService &service)
{
    QSignalSpy found(&service, &SyncService::addressBooksFound);
    drive::click(tab.connectButton);
    QVERIFY(found.wait(60000));
}

// Clicks "立即同步(&Y)" and waits for the outcome.
contactsync::Outcome syncNow(settings::SyncTab &tab, SyncService &service)
{
    QSignalSpy done(&service, &SyncService::finished);
    drive::click(tab.syncButton);
    if (!done.wait(120000))
        qFatal("the sync did not end");
    return done.at(0).at(0).value<contactsync::Outcome>();
}

} // namespace

class TestSyncTab : public QObject
{
    Q_OBJECT
private slots:
    void setUpOnceThenSyncEveryRun();
    void failuresSaidWithTheirCodes_data();
    void failuresSaidWithTheirCodes();

private:
    fake::Platform m_platform;
};

void TestSyncTab::setUpOnceThenSyncEveryRun()
{
    SyncWorld w;
    Machine m;
    m.folder.writeFile(QStringLiteral("client.ini"), "[setting]\r\nstartMax=1\r\nsyncauto=1\r\nsyncminutes=15\r\n");
    m.add(QStringLiteral("张三"), QStringLiteral("1"), QStringLiteral("13800000001"));
    m_platform.keyring->keeps = false;   // a desktop without a keyring
    {
        SyncService service(m.db());
        settings::SyncTab tab(service);
        tab.placeControls(3000, 800);
        tab.show();
        for (QWidget *control : tab.findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
        QCOMPARE(tab.statusLabel->text(), QStringLiteral("尚未同步。"));
        QVERIFY(tab.autoBox->isChecked());
        QCOMPARE(tab.minutesBox->value(), 15);
        service.atStart();
        QVERIFY(service.autoSyncArmed());
        QCOMPARE(service.autoSyncMinutes(), 15);

        // A wrong password finds nothing, keeps nothing and says so.
        retype(tab.serverEdit, w.server.root().toString());
        retype(tab.userEdit, w.server.user());
        retype(tab.passwordEdit, QStringLiteral("wrong"));
        connectTo(tab, service);
        EXPECT_BOX(*m_platform.boxes, QStringLiteral("035"), QStringLiteral("连接失败!\n用户名或密码不对,服务器拒绝登录。"), Icon::Stop);
        QVERIFY(m_platform.keyring->secrets.isEmpty());
        QVERIFY(readSetting(QStringLiteral("syncserver")).isEmpty());

        retype(tab.passwordEdit, w.server.password());
        connectTo(tab, service);
        QCOMPARE(tab.bookList->count(), 1);
        QCOMPARE(tab.bookList->currentData().toUrl(), w.server.book());
        QCOMPARE(readSetting(QStringLiteral("syncbook")), w.server.book().toString());
        QCOMPARE(m_platform.keyring->secrets.values(), QStringList{w.server.password()});

        // The tab says how far a running sync is, and afterwards how it went.
        QStringList said;
        connect(&service, &SyncService::progress, &tab, [&] { said << tab.statusLabel->text(); });
        const contactsync::Outcome o = syncNow(tab, service);
        QVERIFY2(o.ok(), qPrintable(o.message()));
        QVERIFY2(!said.isEmpty() && said.first().startsWith(QStringLiteral("正在同步:")), qPrintable(said.join('|')));
        EXPECT_BOX(*m_platform.boxes, QStringLiteral("040"), QStringLiteral("同步完成!\n同步完成,上传 1 个。"));
        QCOMPARE(w.serverContacts().size(), 1);
        QCOMPARE(tab.statusLabel->text(), QStringLiteral("上次同步:2009-02-14 10:30  同步完成,上传 1 个。"));
    }
    // Never the password in client.ini; the other lines kept as they were.
    const QByteArray ini = m.folder.readFile(QStringLiteral("client.ini"));
    QVERIFY2(!ini.contains(w.server.password().toUtf8()) && ini.contains("startMax=1"), ini.constData());

    // The next run: the tab shows what was set up and the last sync. Without a keyring the password
    // is asked once; a second sync of the run does not ask again.
    m_platform.keyring->secrets.clear();
    m_platform.passwordPrompt->answer = w.server.password();
    w.phonePut(QStringLiteral("li.vcf"), "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:li-1\r\nFN:李四\r\nN:李;四;;;\r\nEND:VCARD\r\n");
    SyncService service(m.db());
    settings::SyncTab tab(service);
    QCOMPARE(tab.serverEdit->text(), w.server.root().toString());
    QCOMPARE(tab.userEdit->text(), w.server.user());
    QVERIFY(tab.passwordEdit->text().isEmpty());
    QVERIFY(tab.statusLabel->text().startsWith(QStringLiteral("上次同步:2009-02-14 10:30")));
    contactsync::Outcome o = syncNow(tab, service);
    QVERIFY2(o.ok(), qPrintable(o.message()));
    QCOMPARE(o.downloaded, 1);
    QCOMPARE(m.contacts().size(), 2);
    o = syncNow(tab, service);
    QVERIFY2(o.ok(), qPrintable(o.message()));
    QCOMPARE(m_platform.passwordPrompt->asked.size(), 1);

    // At exit, when ticked, a last sync runs to its end before the program goes.
    drive::click(tab.autoBox);
    QVERIFY(!service.autoSyncArmed());
    drive::click(tab.atExitBox);
    m.add(QStringLiteral("王五"), QStringLiteral("2"), QStringLiteral("13800000003"));
    service.atExit();
    QCOMPARE(w.serverContacts().size(), 3);
}

void TestSyncTab::failuresSaidWithTheirCodes_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("words");
    QTest::newRow("server unreachable") << "closed" << "036" << "连不上服务器,请检查服务器地址和网络。";
    QTest::newRow("certificate refused") << "tls" << "037" << "服务器的证书不受信任,连接已拒绝。";
    QTest::newRow("a web page, not CardDAV") << "web" << "038" << "这个地址不是 CardDAV 通讯簿。";
}

void TestSyncTab::failuresSaidWithTheirCodes()
{
    QFETCH(QString, where);
    QFETCH(QString, code);
    QFETCH(QString, words);
    Machine m;
    std::unique_ptr<SyncWorld> world;
    DavProxy web(0);
    QUrl server(QStringLiteral("http://127.0.0.1/"));
    if (where == QLatin1String("tls")) {
        world = std::make_unique<SyncWorld>(true);
        server = world->server.root();
    } else {
        server.setPort(where == QLatin1String("web") ? web.port() : freePort());
    }
    SyncService service(m.db());
    settings::SyncTab tab(service);
    retype(tab.serverEdit, server.toString());
    retype(tab.userEdit, QStringLiteral("alice"));
    retype(tab.passwordEdit, QStringLiteral("s3cret"));
    connectTo(tab, service);
    // The server's or the network's own words follow on a third line.
    const platform::MessageBoxRequest box = m_platform.boxes->shown.value(m_platform.boxes->shown.size() - 1);
    QCOMPARE(box.title, code);
    QCOMPARE(box.icon, Icon::Stop);
    QVERIFY2(box.text.startsWith(QStringLiteral("连接失败!\n") + words + QLatin1Char('\n')), qPrintable(box.text));
    QVERIFY(tab.statusLabel->text().startsWith(words));
    QCOMPARE(tab.bookList->count(), 0);
    // Nothing set up, so "立即同步" asks for it instead of syncing.
    drive::click(tab.syncButton);
    EXPECT_BOX(*m_platform.boxes, QStringLiteral("041"), QStringLiteral("请先填写服务器地址和用户名,点“连接”并选择通讯簿!"), Icon::Exclamation);
    QVERIFY(readSetting(QStringLiteral("syncserver")).isEmpty());
}

MIVO_TEST_MAIN(TestSyncTab)
#include "tst_synctab.moc"
