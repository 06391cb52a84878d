// The sync as a user meets it in the program: a client.ini set up to sync at start, the main window
// opened, the server's contacts in the address book's tree; a card being edited meanwhile is left
// for the next sync, and "立即同步" on the tree's menu. Against a real CardDAV server, the keyring faked.

#include "../shell/shellfixture.h"
#include "fakes.h"
#include "pagedriver.h"
#include "syncworld.h"
#include "testmain.h"

#include "addressbook/addressbookpage.h"
#include "pagekit/contextmenu.h"
#include "settings/settingspage.h"
#include "settings/synctab.h"
#include "shell/navigationlist.h"
#include "shell/mainwindow.h"
#include "sync/syncservice.h"
#include "views/dataview.h"
#include "widgets/handletree.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>

using contactsync::Outcome;
using contactsync::SyncService;

namespace {

QByteArray card(const QString &uid, const QString &name, const QByteArray &extra = {})
{
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid.toUtf8() + "\r\nFN:" + name.toUtf8() + "\r\nN:"
        + name.left(1).toUtf8() + ';' + name.mid(1).toUtf8() + ";;;\r\nCATEGORIES:朋友\r\n" + extra + "END:VCARD\r\n";
}

Outcome waitForSync(QSignalSpy &done)
{
    if (!done.wait(120000))
        qFatal("the sync did not end");
    return done.takeLast().at(0).value<Outcome>();
}

QStringList boxTitles(const fake::MessageBoxes &boxes)
{
    QStringList titles;
    for (const auto &box : boxes.shown)
        titles << box.title;
    return titles;
}

} // namespace

class TestSyncWindow : public QObject
{
    Q_OBJECT
private slots:
    void syncAtStartThenAroundAnOpenCard();

private:
    fake::Platform m_platform;
};

void TestSyncWindow::syncAtStartThenAroundAnOpenCard()
{
    SyncWorld w;
    Machine m;
    deliverAll(m.folder);
    m.folder.writeFile(QStringLiteral("client.ini"),
                       "[setting]\r\nsyncserver=" + w.server.root().toString().toUtf8() + "\r\nsyncuser="
                           + w.server.user().toUtf8() + "\r\nsyncbook=" + w.server.book().toString().toUtf8()
                           + "\r\nsyncstart=1\r\n");
    m_platform.keyring->secrets.insert(
        contactsync::SyncController::passwordKey({w.server.root(), w.server.book(), w.server.user(), QString()}),
        w.server.password());
    m.add(QStringLiteral("张三"), QStringLiteral("1"), QStringLiteral("13800000001"));
    QCOMPARE(w.phonePut(QStringLiteral("li.vcf"), card(QStringLiteral("li-1"), QStringLiteral("李四"))), 201);

    MainWindow win(m.db());
    AddressBookPage *book = win.addressBookPage;
    QSignalSpy done(&win.settingsPage->syncService(), &SyncService::finished);
    win.open({});

    // After the first frame the sync at start runs on its own, without a box, and the address book,
    // opened then, shows what it brought.
    Outcome o = waitForSync(done);
    win.navigation->choose(MainWindow::Addressbook);
    widgets::HandleTree *tree = book->groupTree;
    QVERIFY(tree);
    QVERIFY2(o.ok(), qPrintable(o.message()));
    QCOMPARE(o.downloaded, 1);
    QCOMPARE(o.uploaded, 1);
    QVERIFY(!boxTitles(*m_platform.boxes).contains(QStringLiteral("040")));
    const long li = drive::member(tree, QStringLiteral("2"), QStringLiteral("李四"));
    QVERIFY(li);
    QCOMPARE(w.serverCards(), 2);

    // A sync that brings a contact rebuilds the tree and keeps the card shown.
    drive::select(tree, li);
    QCOMPARE(w.phonePut(QStringLiteral("wang.vcf"), card(QStringLiteral("wang-1"), QStringLiteral("王五"))), 201);
    QVERIFY(win.settingsPage->syncService().syncNow(SyncService::Trigger::Timer));
    QVERIFY(waitForSync(done).ok());
    QCOMPARE(drive::children(tree, drive::group(tree, QStringLiteral("2"))),
             (QStringList{QStringLiteral("李四"), QStringLiteral("王五")}));
    QCOMPARE(drive::currentLabel(tree), QStringLiteral("李四"));
    QCOMPARE(drive::shown(book->recordView, QStringLiteral("xingm0")), QStringLiteral("李四"));

    // The settings page's 同步 tab says how it went.
    win.itemChosen(MainWindow::Settings);
    SettingsPage *settings = win.settingsPage;
    QVERIFY2(settings->syncTab->statusLabel->text().startsWith(QStringLiteral("上次同步:")),
             qPrintable(settings->syncTab->statusLabel->text()));

    // 张三's card holds a mobile typed, not saved, while a phone changes his card and adds 赵六.
    win.itemChosen(MainWindow::Addressbook);
    const long zhang = drive::member(tree, QStringLiteral("1"), QStringLiteral("张三"));
    drive::select(tree, zhang);
    drive::type(book->recordView, QStringLiteral("shouji"), QStringLiteral("13900000009"));
    QCOMPARE(book->namesWithUnsavedEdits(), QStringList{QStringLiteral("张三")});
    QByteArray zhangOnPhone = w.cardOf(QStringLiteral("张三"));
    zhangOnPhone.replace("END:VCARD", "NOTE:手机上加的备注\r\nEND:VCARD");
    QCOMPARE(w.phonePut(w.fileOf(QStringLiteral("张三")), zhangOnPhone) / 100, 2);
    QCOMPARE(w.phonePut(QStringLiteral("zhao.vcf"), card(QStringLiteral("zhao-1"), QStringLiteral("赵六"))), 201);

    // "立即同步" from the tree's menu: 赵六 comes, 张三 is left as he is stored, the card as typed,
    // the tree not rebuilt under it; the user is told.
    drive::rightClick(tree, drive::group(tree, QStringLiteral("2")));
    QMenu *menu = book->treeMenu->menu();
    QTRY_VERIFY(menu->isVisible());
    QAction *syncItem = menu->actions().constLast();
    QCOMPARE(syncItem->text(), QStringLiteral("立即同步"));
    syncItem->trigger();
    menu->close();
    o = waitForSync(done);
    QVERIFY2(o.ok(), qPrintable(o.message()));
    QCOMPARE(o.left, 1);
    QCOMPARE(m.field(QStringLiteral("赵六"), QStringLiteral("zuhao0")), QStringLiteral("2"));
    QCOMPARE(m.field(QStringLiteral("张三"), QStringLiteral("shouji")), QStringLiteral("13800000001"));
    QVERIFY(m.field(QStringLiteral("张三"), QStringLiteral("beizhu")).isEmpty());
    QCOMPARE(drive::current(tree), zhang);
    QCOMPARE(drive::children(tree, drive::group(tree, QStringLiteral("2"))),
             (QStringList{QStringLiteral("李四"), QStringLiteral("王五")}));
    QCOMPARE(drive::shown(book->recordView, QStringLiteral("shouji")), QStringLiteral("13900000009"));
    QCOMPARE(m_platform.boxes->shown.constLast().title, QStringLiteral("040"));

    // Saved, the tree shows 赵六 too; the next sync takes the mobile up and the phone's note down.
    drive::click(book->saveButton);
    QCOMPARE(m.field(QStringLiteral("张三"), QStringLiteral("shouji")), QStringLiteral("13900000009"));
    QVERIFY(drive::member(tree, QStringLiteral("2"), QStringLiteral("赵六")));
    QVERIFY(win.settingsPage->syncService().syncNow(SyncService::Trigger::Timer));
    o = waitForSync(done);
    QVERIFY2(o.ok(), qPrintable(o.message()));
    QCOMPARE(m.field(QStringLiteral("张三"), QStringLiteral("beizhu")), QStringLiteral("手机上加的备注"));
    QVERIFY(w.cardOf(QStringLiteral("张三")).contains("13900000009"));
}

MIVO_TEST_MAIN(TestSyncWindow)
#include "tst_syncwindow.moc"
