#include "app/appinfo.h"
#include "shell/traymenu.h"
#include "shell/trayicon.h"
#include "shellfixture.h"
#include "testmain.h"

#include <QApplication>
#include <QTimer>

namespace {

const QString k004 = QStringLiteral("图标文件无法加载!\n尝试用安装程序覆盖安装修复");

// The popup menu the last right click opened, if it is still up.
TrayMenu *openMenu(const MainWindow &w)
{
    const QList<TrayMenu *> menus = w.findChildren<TrayMenu *>();
    for (TrayMenu *menu : menus)
        if (menu->isVisible())
            return menu;
    return nullptr;
}

// Chooses `action` with the mouse, as the user does; the menu then closes and goes away.
void choose(TrayMenu *menu, QAction *action)
{
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(action).center());
}

} // namespace

class tst_tray : public QObject
{
    Q_OBJECT

private slots:
    // The icon is added while opening, once; an icon file that cannot be read says "004" and the
    // entry is added all the same.
    void iconIsAddedWhileOpening_data()
    {
        QTest::addColumn<bool>("delivered");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("delivered") << true << QByteArray();
        QTest::newRow("missing") << false << QByteArray();
        QTest::newRow("not an image") << false << QByteArray("this is no icon\n");
    }
    void iconIsAddedWhileOpening()
    {
        QFETCH(bool, delivered);
        QFETCH(QByteArray, content);
        OpenedWindow t(delivered ? OpenedWindow::Delivered : OpenedWindow::Bare);
        if (!delivered) {
            deliver(t.folder, QStringLiteral("help.htm"));
            if (!content.isNull())
                t.folder.writeFile(QStringLiteral("i001.ico"), content);
        }
        t.open();
        QCOMPARE(t.fakes.tray->icons.size(), 1);
        fake::TrayIcon *icon = t.trayIcon();
        QCOMPARE(icon->iconFile, t.folder.file(QStringLiteral("i001.ico")));
        QCOMPARE(icon->tip, QStringLiteral("Mivo个人管理工具"));
        QVERIFY(icon->shown);
        QVERIFY(t.w.trayIcon()->isAdded());
        QVERIFY(t.w.isVisible());
        if (delivered) {
            QVERIFY(t.fakes.boxes->shown.isEmpty());
        } else {
            QCOMPARE(t.fakes.boxes->titles(), QStringList{QStringLiteral("004")});
            const auto &box = t.fakes.boxes->shown.first();
            QCOMPARE(box.text, k004);
            QCOMPARE(box.icon, platform::Icon::Stop);
            QCOMPARE(box.buttons, platform::Buttons::Ok);
        }
        // Hiding and showing the window never touches the icon, which still brings the window back.
        t.w.hide();
        t.trayIcon()->clickLeft();
        QVERIFY(t.w.isVisible());
        QCOMPARE(icon->additions, 1);
        QCOMPARE(icon->removals, 0);
    }

    void tipIsCutToWhatFits_data()
    {
        QTest::addColumn<QString>("tip");
        QTest::addColumn<QString>("expected");
        const QString ascii63(63, QLatin1Char('a'));
        const QString chinese63 = QString(63, QChar(0x4e2d));
        QTest::newRow("short") << QStringLiteral("Mivo个人管理工具") << QStringLiteral("Mivo个人管理工具");
        QTest::newRow("63") << ascii63 << ascii63;
        QTest::newRow("64") << ascii63 + QLatin1Char('b') << ascii63;
        QTest::newRow("Chinese 100") << QString(100, QChar(0x4e2d)) << chinese63;
        const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80"); // two UTF-16 units
        QTest::newRow("pair across the limit") << QString(62, QLatin1Char('a')) + emoji + QStringLiteral("zz")
                                               << QString(62, QLatin1Char('a'));
        QTest::newRow("pair within the limit") << QString(61, QLatin1Char('a')) + emoji + QStringLiteral("zz")
                                               << QString(61, QLatin1Char('a')) + emoji;
    }
    void tipIsCutToWhatFits()
    {
        QFETCH(QString, tip);
        QFETCH(QString, expected);
        fake::Platform fakes;
        AppFolder folder;
        deliver(folder, QStringLiteral("i001.ico"));
        MainWindow window(folder.db());
        TrayIcon icon;
        icon.add(folder.file(QStringLiteral("i001.ico")), &window, tip);
        QCOMPARE(fakes.tray->icons.first()->tip, expected);
        QCOMPARE(icon.tip(), expected);
        QVERIFY(icon.tip().size() <= TrayIcon::TipLength);
        icon.remove();
        icon.remove();
        QCOMPARE(fakes.tray->icons.first()->removals, 1);
    }

    void leftClickShowsButNeverHides()
    {
        OpenedWindow t;
        t.open();
        QVERIFY(t.w.isVisible());
        t.trayIcon()->clickLeft();
        QVERIFY(t.w.isVisible());
        t.trayIcon()->clickLeft();
        QVERIFY(t.w.isVisible());
        t.w.hide();
        t.trayIcon()->clickLeft();
        QVERIFY(t.w.isVisible());
        QVERIFY(!t.w.isMinimized());
    }

    void menuTextsFollowTheWindow()
    {
        OpenedWindow t;
        t.open();
        QVERIFY(QTest::qWaitForWindowExposed(&t.w));

        t.trayIcon()->clickRight(QPoint(30, 40));
        TrayMenu *menu = openMenu(t.w);
        QVERIFY(menu);
        const QList<QAction *> actions = menu->actions();
        QCOMPARE(actions.size(), 3);
        QCOMPARE(actions.at(0)->text(), QStringLiteral("隐藏窗口"));
        QVERIFY(actions.at(1)->isSeparator());
        QCOMPARE(actions.at(2)->text(), QStringLiteral("退出 Mivo"));
        // The first item is the default one, drawn in bold.
        QCOMPARE(menu->defaultAction(), actions.at(0));
        QCOMPARE(menu->accessibleName(), QStringLiteral("托盘菜单"));
        choose(menu, menu->showAction);
        QVERIFY(!t.w.isVisible());
        QTRY_VERIFY(t.w.findChildren<TrayMenu *>().isEmpty());
        QVERIFY(t.trayIcon()->shown);

        // Hidden: a right click does not show the window; the menu offers to.
        t.trayIcon()->clickRight();
        QVERIFY(!t.w.isVisible());
        menu = openMenu(t.w);
        QVERIFY(menu);
        QCOMPARE(menu->showAction->text(), QStringLiteral("显示窗口"));
        choose(menu, menu->showAction);
        QVERIFY(t.w.isVisible());
        QTRY_VERIFY(t.w.findChildren<TrayMenu *>().isEmpty());

        // Closed without a choice: nothing happens, and the menu goes away.
        t.trayIcon()->clickRight();
        menu = openMenu(t.w);
        QVERIFY(menu);
        menu->close();
        QVERIFY(t.w.isVisible());
        QTRY_VERIFY(t.w.findChildren<TrayMenu *>().isEmpty());
        QVERIFY(t.fakes.boxes->shown.isEmpty());
    }

    void exitClosesTheProgramAlsoWhileLockedAndHidden()
    {
        OpenedWindow t(OpenedWindow::Delivered, "[setting]\nlockshortCut=111L\nLockstart=1\n");
        t.open({QStringLiteral("/hide")});
        QVERIFY(t.w.isLocked());
        QVERIFY(!t.w.isVisible());
        t.trayIcon()->clickRight();
        TrayMenu *menu = openMenu(t.w);
        QVERIFY(menu);
        choose(menu, menu->exitAction);
        QVERIFY(!t.trayIcon()->shown);
        QCOMPARE(t.trayIcon()->removals, 1);
        QVERIFY(!t.w.isVisible());
        QVERIFY(!t.w.bannerTimer()->isActive());
        QVERIFY(t.fakes.boxes->shown.isEmpty());
    }

    void otherTrayMessagesAreIgnored()
    {
        OpenedWindow t;
        t.open();
        t.w.hide();
        for (int message : {512, 513, 515, 516, 518, 0})
            t.w.trayMessage(message, QPoint(5, 5));
        QVERIFY(!t.w.isVisible());
        QVERIFY(t.w.findChildren<TrayMenu *>().isEmpty());
    }
};

MIVO_TEST_MAIN(tst_tray)
#include "tst_tray.moc"
