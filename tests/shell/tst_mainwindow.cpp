#include "app/appinfo.h"
#include "shell/helpbrowser.h"
#include "widgets/unitgeometry.h"
#include "shellfixture.h"
#include "testmain.h"
#include "widgets/handletree.h"
#include "widgets/units.h"

#include <QDir>
#include <QLabel>
#include <QScreen>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>

namespace {

const QString kFirstMask = QStringLiteral("00000##0");

// Moves the text cursor of the help page onto `text` and returns the middle of it on the screen.
QPoint centreOfText(QTextBrowser *browser, const QString &text)
{
    const QTextCursor found = browser->document()->find(text);
    if (found.isNull())
        qFatal("text not on the help page: %s", qPrintable(text));
    QTextCursor middle(browser->document());
    middle.setPosition((found.selectionStart() + found.selectionEnd()) / 2);
    return browser->cursorRect(middle).center();
}

} // namespace

class tst_mainwindow : public QObject
{
    Q_OBJECT

private slots:
    void controlsStackingAndNames()
    {
        OpenedWindow t;
        t.open();
        QCOMPARE(t.w.windowTitle(), QStringLiteral("Mivo V2.2"));
        QVERIFY(!t.w.windowIcon().isNull());
        // Bottom to top: the content area, the banner on it, then the list, the pages and the help in
        // the order they were made, so that a page covers the banner and takes its clicks.
        QList<QWidget *> stacking;
        for (QObject *child : t.w.children())
            if (auto *widget = qobject_cast<QWidget *>(child); widget && !widget->isWindow())
                stacking << widget;
        const QList<QWidget *> expected = {t.w.contentArea, t.w.banner, t.w.addressBookPage, t.w.navigation, t.w.notebookPage,
                                           t.w.assetsPage, t.w.helpBrowser, t.w.ledgerPage, t.w.settingsPage};
        QCOMPARE(stacking, expected);
        t.w.resize(t.w.width() + 10, t.w.height());
        t.w.layoutControls();
        stacking.clear();
        for (QObject *child : t.w.children())
            if (auto *widget = qobject_cast<QWidget *>(child); widget && !widget->isWindow())
                stacking << widget;
        QCOMPARE(stacking, expected);
        const QStringList names = {"uo_tel", "st_1", "lv_1", "uo_note", "uo_cap", "ole_ie", "uo_acc", "uo_config", "st_version"};
        for (const QString &name : names) {
            auto *control = t.w.findChild<QWidget *>(name, Qt::FindDirectChildrenOnly);
            QVERIFY2(control, qPrintable(name));
            QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(name));
        }
        QCOMPARE(t.w.addressBookPage->accessibleName(), QStringLiteral("通讯录"));
        QCOMPARE(t.w.helpBrowser->accessibleName(), QStringLiteral("帮助"));
        QCOMPARE(t.w.banner->accessibleName(), t.w.banner->text());

        const QStringList captions = {"通讯录", "笔记本", "个人资产", "记帐", "配置", "锁定", "退出", "帮助"};
        QCOMPARE(t.w.navigation->count(), 8);
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(t.w.navigation->item(i)->text(), captions.at(i));
            // Every item shows its bitmap, the mask colour cut out.
            const QPixmap icon = t.w.navigation->item(i)->icon().pixmap(32, 32);
            QVERIFY2(!icon.isNull(), qPrintable(captions.at(i)));
            QVERIFY(icon.hasAlpha());
            const QImage image = icon.toImage();
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            bool anyMaskColour = false;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    anyMaskColour |= qAlpha(image.pixel(x, y)) != 0 && (image.pixel(x, y) & 0xffffff) == 0xff00ff;
            QVERIFY2(!anyMaskColour, qPrintable(captions.at(i)));
        }
    }

    void initialSizeIsCentred()
    {
        OpenedWindow t;
        t.open();
        QCOMPARE(t.w.size(), units::toPixels(QSize(3625, 2208)));
        const QRect screen = t.w.screen()->availableGeometry();
        // Within what the window frame, unknown before the window is shown, adds.
        QVERIFY(qAbs(t.w.geometry().center().x() - screen.center().x()) <= 4);
        QVERIFY(qAbs(t.w.geometry().center().y() - screen.center().y()) <= 4);
    }

    // A mask of eight characters shows exactly its "1" positions; any other length is refused with
    // "debug" and changes nothing.
    void pageMask_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("visible"); // addressBookPage notebookPage assetsPage ledgerPage settingsPage helpBrowser
        QTest::addColumn<bool>("refused");
        QTest::newRow("address book") << "10000##0" << "100000" << false;
        QTest::newRow("notebook") << "01000##0" << "010000" << false;
        QTest::newRow("assets") << "00100##0" << "001000" << false;
        QTest::newRow("ledger") << "00010##0" << "000100" << false;
        QTest::newRow("settings") << "00001##0" << "000010" << false;
        QTest::newRow("help") << "00000##1" << "000001" << false;
        QTest::newRow("nothing") << "00000##0" << "000000" << false;
        QTest::newRow("6 and 7 show nothing") << "00000110" << "000000" << false;
        QTest::newRow("all ones") << "11111111" << "111111" << false;
        QTest::newRow("other characters hide") << "1a2 ##x1" << "100001" << false;
        QTest::newRow("Chinese characters hide") << "一1二1三##1" << "010101" << false;
        QTest::newRow("empty") << "" << "111111" << true;
        QTest::newRow("seven") << "1000##0" << "111111" << true;
        QTest::newRow("nine") << "10000##00" << "111111" << true;
        QTest::newRow("nine Chinese") << "一二三四五六七八九" << "111111" << true;
    }
    void pageMask()
    {
        QFETCH(QString, mask);
        QFETCH(QString, visible);
        QFETCH(bool, refused);
        OpenedWindow t;
        t.open();
        // From "everything shown", so that hiding is seen as well as showing.
        t.w.showPages(QStringLiteral("11111##1"));
        t.w.showPages(mask);
        QCOMPARE(t.visiblePages(), visible);
        if (!refused) {
            QVERIFY(t.fakes.boxes->shown.isEmpty());
            return;
        }
        QCOMPARE(t.fakes.boxes->shown.size(), 1);
        const auto &box = t.fakes.boxes->shown.first();
        QCOMPARE(box.title, QStringLiteral("debug"));
        QCOMPARE(box.text, QStringLiteral("传入长度<>8"));
        QCOMPARE(box.icon, platform::Icon::Information);
        QCOMPARE(box.buttons, platform::Buttons::Ok);
    }

    void contentAreaEmptyAfterOpening_data()
    {
        QTest::addColumn<bool>("helpPresent");
        QTest::newRow("with help.htm") << true;
        QTest::newRow("without help.htm") << false;
    }
    void contentAreaEmptyAfterOpening()
    {
        QFETCH(bool, helpPresent);
        OpenedWindow t(OpenedWindow::Bare);
        deliver(t.folder, QStringLiteral("i001.ico"));
        if (helpPresent)
            deliver(t.folder, QStringLiteral("help.htm"));
        t.open();
        QVERIFY(t.w.isVisible());
        QCOMPARE(t.visiblePages(), QStringLiteral("000000"));
        QCOMPARE(t.w.navigation->selectedIndex(), 0);
        // The browser is made when the help is first shown.
        QVERIFY(!t.w.helpBrowser->browser());
        if (helpPresent) {
            QVERIFY(t.fakes.boxes->shown.isEmpty());
            QCOMPARE(t.w.helpBrowser->page(), t.folder.file(QStringLiteral("help.htm")));
        } else {
            QCOMPARE(t.fakes.boxes->titles(), QStringList{QStringLiteral("003")});
            const auto &box = t.fakes.boxes->shown.first();
            QCOMPARE(box.text, QStringLiteral("帮助文件无法加载!\n尝试用安装程序覆盖安装修复"));
            QCOMPARE(box.icon, platform::Icon::Stop);
            QCOMPARE(box.buttons, platform::Buttons::Ok);
        }
        // The help item shows the browser, empty where the page was missing.
        t.clickItem(MainWindow::Help);
        QCOMPARE(t.visiblePages(), QStringLiteral("000001"));
        QTextBrowser *browser = t.w.helpBrowser->browser();
        QVERIFY(browser && browser->isVisible());
        QCOMPARE(browser->geometry(), t.w.helpBrowser->rect());
        QCOMPARE(browser->accessibleName(), QStringLiteral("帮助"));
        QCOMPARE(browser->toPlainText().isEmpty(), !helpPresent);
        if (helpPresent) {
            QCOMPARE(browser->source(), QUrl::fromLocalFile(t.folder.file(QStringLiteral("help.htm"))));
            QVERIFY(browser->toPlainText().contains(QStringLiteral("锁定快捷键")));
        }
    }

    void helpPageHidesItselfWhenItReportsHelp_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QString>("link");
        QTest::addColumn<bool>("hides");
        QTest::newRow("the delivered page") << QByteArray() << QStringLiteral("[关闭帮助]") << true;
        QTest::newRow("capitals") << QByteArray("<p><a href=\"HELP\">close it</a></p>") << QStringLiteral("close it") << true;
        QTest::newRow("anchor on the page") << QByteArray("<p><a href=\"#help\">jump</a></p><p><a name=\"help\"></a>x</p>")
                                           << QStringLiteral("jump") << false;
        QTest::newRow("another word") << QByteArray("<p><a href=\"helpme\">other</a></p>") << QStringLiteral("other") << false;
        QTest::newRow("a file called help") << QByteArray("<p><a href=\"help.htm\">again</a></p>") << QStringLiteral("again") << false;
    }
    void helpPageHidesItselfWhenItReportsHelp()
    {
        QFETCH(QByteArray, page);
        QFETCH(QString, link);
        QFETCH(bool, hides);
        OpenedWindow t;
        if (!page.isNull())
            t.folder.writeFile(QStringLiteral("help.htm"), "<html><body>" + page + "</body></html>");
        t.open();
        t.clickItem(MainWindow::Help);
        QVERIFY(QTest::qWaitForWindowExposed(&t.w));
        QVERIFY(t.w.helpBrowser->isVisible());
        QTextBrowser *browser = t.w.helpBrowser->browser();
        const QPoint at = centreOfText(browser, link);
        QTest::mouseClick(browser->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QCOMPARE(!t.w.helpBrowser->isVisible(), hides);
        QCOMPARE(t.visiblePages(), hides ? QStringLiteral("000000") : QStringLiteral("000001"));
        // Choosing the item again shows it again.
        t.clickItem(MainWindow::Help);
        QVERIFY(t.w.helpBrowser->isVisible());
    }

    void navigationShowsOnePageAtATime()
    {
        OpenedWindow t;
        t.open();
        const QList<std::pair<int, QString>> steps = {
            {MainWindow::Addressbook, "100000"}, {MainWindow::Notebook, "010000"}, {MainWindow::Assets, "001000"},
            {MainWindow::Ledger, "000100"}, {MainWindow::Settings, "000010"}, {MainWindow::Help, "000001"},
        };
        for (const auto &[item, visible] : steps) {
            t.clickItem(item);
            QCOMPARE(t.visiblePages(), visible);
            QCOMPARE(t.w.navigation->selectedIndex(), item);
        }
        // The same item clicked again simply applies its mask again.
        t.w.helpBrowser->hide();
        t.clickItem(MainWindow::Help);
        QCOMPARE(t.visiblePages(), QStringLiteral("000001"));
        QVERIFY(t.fakes.boxes->shown.isEmpty());
    }

    void clickOutsideEveryItemChangesNothing()
    {
        OpenedWindow t;
        t.open();
        t.clickItem(MainWindow::Notebook);
        const QWidget *viewport = t.w.navigation->viewport();
        const QPoint below(viewport->width() / 2, viewport->height() - 2);
        QVERIFY(!t.w.navigation->indexAt(below).isValid());
        QTest::mouseClick(t.w.navigation->viewport(), Qt::LeftButton, Qt::NoModifier, below);
        QCOMPARE(t.visiblePages(), QStringLiteral("010000"));
        QCOMPARE(t.w.navigation->selectedIndex(), int(MainWindow::Notebook));
        // Nor does the right button on an item.
        QTest::mouseClick(t.w.navigation->viewport(), Qt::RightButton, Qt::NoModifier, t.itemCentre(MainWindow::Ledger));
        QCOMPARE(t.visiblePages(), QStringLiteral("010000"));
        QCOMPARE(t.w.navigation->selectedIndex(), int(MainWindow::Notebook));
    }

    void arrowsChooseAtOnceDownToLockAndExit()
    {
        OpenedWindow t;
        t.open();
        // Nothing selected yet: the arrows have nothing to move from.
        QTest::keyClick(t.w.navigation, Qt::Key_Down);
        QTest::keyClick(t.w.navigation, Qt::Key_Up);
        QCOMPARE(t.w.navigation->selectedIndex(), 0);
        QCOMPARE(t.visiblePages(), QStringLiteral("000000"));

        t.clickItem(MainWindow::Addressbook);
        QTest::keyClick(t.w.navigation, Qt::Key_Up);
        QCOMPARE(t.w.navigation->selectedIndex(), 1);
        QCOMPARE(t.visiblePages(), QStringLiteral("100000"));
        const QStringList expected = {"010000", "001000", "000100", "000010"};
        for (const QString &visible : expected) {
            QTest::keyClick(t.w.navigation, Qt::Key_Down);
            QCOMPARE(t.visiblePages(), visible);
        }
        QTest::keyClick(t.w.navigation, Qt::Key_Up);
        QCOMPARE(t.visiblePages(), QStringLiteral("000100"));
        QTest::keyClick(t.w.navigation, Qt::Key_Down);
        // Onto "锁定": the lock is not set up, so it says so and the page stays.
        QTest::keyClick(t.w.navigation, Qt::Key_Down);
        QCOMPARE(t.w.navigation->selectedIndex(), int(MainWindow::Lock));
        QCOMPARE(t.fakes.boxes->titles(), QStringList{QStringLiteral("010")});
        QCOMPARE(t.visiblePages(), QStringLiteral("000010"));
        // Other keys do nothing in the list.
        QTest::keyClick(t.w.navigation, Qt::Key_Home);
        QTest::keyClick(t.w.navigation, Qt::Key_A);
        QCOMPARE(t.w.navigation->selectedIndex(), int(MainWindow::Lock));
        // Onto "退出": the window closes and takes the tray icon with it.
        QVERIFY(t.trayIcon()->shown);
        QTest::keyClick(t.w.navigation, Qt::Key_Down);
        QVERIFY(!t.w.isVisible());
        QVERIFY(!t.trayIcon()->shown);
        QCOMPARE(t.trayIcon()->removals, 1);
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("tray");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<int>("state");
        const int none = Qt::WindowNoState, max = Qt::WindowMaximized, min = Qt::WindowMinimized;
        QTest::newRow("none") << QStringList() << true << true << none;
        QTest::newRow("/max") << QStringList{"/max"} << true << true << max;
        QTest::newRow("capitals") << QStringList{"/MAX"} << true << true << max;
        QTest::newRow("/max with /hide") << QStringList{"/max", "/hide"} << true << true << max;
        QTest::newRow("/hide before /max") << QStringList{"/hide", "/Max"} << true << true << max;
        QTest::newRow("/hide") << QStringList{"/hide"} << true << false << none;
        QTest::newRow("/HiDe") << QStringList{"/HiDe"} << true << false << none;
        QTest::newRow("/min") << QStringList{"/min"} << true << false << none;
        QTest::newRow("word containing /min") << QStringList{"x/minimal"} << true << false << none;
        QTest::newRow("no switch") << QStringList{"max", "hide", "-min"} << true << true << none;
        QTest::newRow("no tray: /hide") << QStringList{"/hide"} << false << true << min;
        QTest::newRow("no tray: /min") << QStringList{"/MIN"} << false << true << min;
        QTest::newRow("no tray: /max") << QStringList{"/max"} << false << true << max;
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, tray);
        QFETCH(bool, visible);
        QFETCH(int, state);
        OpenedWindow t;
        t.fakes.tray->hasTray = tray;
        t.open(arguments);
        QCoreApplication::processEvents();
        QCOMPARE(t.w.isVisible(), visible);
        QCOMPARE(int(t.w.windowState()), state);
        // Hidden or not, the tray icon is there.
        QVERIFY(t.trayIcon()->shown);
    }

    void startMaxIsAppliedAfterTheCommandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("startMax");
        QTest::addColumn<bool>("tray");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<int>("stateBefore");
        QTest::addColumn<int>("stateAfter");
        const int none = Qt::WindowNoState, max = Qt::WindowMaximized, min = Qt::WindowMinimized;
        QTest::newRow("startMax=1") << QStringList() << QByteArray("1") << true << true << none << max;
        QTest::newRow("startMax=0") << QStringList() << QByteArray("0") << true << true << none << none;
        QTest::newRow("startMax= 1x") << QStringList() << QByteArray("1x") << true << true << none << none;
        QTest::newRow("/hide, startMax=1") << QStringList{"/hide"} << QByteArray("1") << true << false << none << max;
        QTest::newRow("no tray: /hide, startMax=1")
            << QStringList{"/hide"} << QByteArray("1") << false << true << min << (min | max);
    }
    void startMaxIsAppliedAfterTheCommandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, startMax);
        QFETCH(bool, tray);
        QFETCH(bool, visible);
        QFETCH(int, stateBefore);
        QFETCH(int, stateAfter);
        OpenedWindow t(OpenedWindow::Delivered, "[setting]\nstartMax=" + startMax + "\n");
        t.fakes.tray->hasTray = tray;
        t.open(arguments);
        // Posted: not yet applied when the opening returns.
        QCOMPARE(int(t.w.windowState()), stateBefore);
        QCOMPARE(t.w.isVisible(), visible);
        QCoreApplication::processEvents();
        QCOMPARE(int(t.w.windowState()), stateAfter);
        QCOMPARE(t.w.isVisible(), visible);
        if (tray && !visible) {
            t.trayIcon()->clickLeft();
            QVERIFY(t.w.isVisible());
            QVERIFY(t.w.isMaximized());
        }
    }

    void minimizeHidesToTheTray()
    {
        OpenedWindow t;
        t.open({QStringLiteral("/max")});
        QVERIFY(QTest::qWaitForWindowExposed(&t.w));
        t.w.showMinimized();
        QTRY_VERIFY(!t.w.isVisible());
        QVERIFY(!t.w.isMinimized());
        QVERIFY(t.trayIcon()->shown);
        // Back from the tray in the state it had.
        t.trayIcon()->clickLeft();
        QVERIFY(t.w.isVisible());
        QVERIFY(!t.w.isMinimized());
        QVERIFY(t.w.isMaximized());
    }

    void withoutATrayMinimizeMinimizes()
    {
        OpenedWindow t;
        t.fakes.tray->hasTray = false;
        t.open();
        QVERIFY(QTest::qWaitForWindowExposed(&t.w));
        t.w.showMinimized();
        QTest::qWait(50);
        QVERIFY(t.w.isVisible());
        QVERIFY(t.w.isMinimized());
    }

    // Whether the settings page was filled before the window opened or only when first shown.
    void exportTabOfTheSettingsPageIsHidden_data()
    {
        QTest::addColumn<bool>("filledBeforeOpening");
        QTest::newRow("filled before opening") << true;
        QTest::newRow("filled when first shown") << false;
    }
    void exportTabOfTheSettingsPageIsHidden()
    {
        QFETCH(bool, filledBeforeOpening);
        OpenedWindow t;
        if (filledBeforeOpening) {
            t.w.settingsPage->fill();
            QTabWidget *tabs = t.w.settingsPage->optionTabs;
            QCOMPARE(tabs->count(), 5);
            QVERIFY(tabs->isTabVisible(1));
        }
        t.open();
        t.w.navigation->choose(MainWindow::Settings);
        QTabWidget *tabs = t.w.settingsPage->optionTabs;
        QCOMPARE(tabs->count(), 5);
        QCOMPARE(tabs->widget(1)->objectName(), QStringLiteral("tp_b"));
        // The sync tab last, after the printer's.
        QCOMPARE(tabs->widget(4)->objectName(), QStringLiteral("tp_e"));
        QCOMPARE(tabs->tabText(4), QStringLiteral("同步"));
        QVERIFY(tabs->isTabVisible(0));
        QVERIFY(!tabs->isTabVisible(1));
        QVERIFY(tabs->isTabVisible(2));
        QVERIFY(tabs->isTabVisible(3));
        QVERIFY(tabs->isTabVisible(4));
    }

    // The window's own rules, read from where the list actually is, and the edge cases of resizing.
    void layoutFollowsTheWindow_data()
    {
        QTest::addColumn<QSize>("pixels");
        QTest::newRow("designed") << units::toPixels(QSize(MainWindow::DesignWidth, MainWindow::DesignHeight));
        QTest::newRow("large") << QSize(1200, 900);
        QTest::newRow("narrower than the margins") << QSize(100, 60);
    }
    void layoutFollowsTheWindow()
    {
        QFETCH(QSize, pixels);
        OpenedWindow t;
        t.open();
        t.w.resize(pixels);
        t.w.layoutControls();
        const int ww = units::toUnitsX(pixels.width());
        const int wh = units::toUnitsY(pixels.height());
        const QRect list = unitGeometry(t.w.navigation);
        QCOMPARE(list.topLeft(), QPoint(10, 10));
        QCOMPARE(list.height(), wh - 20);
        const QRect area = unitGeometry(t.w.contentArea);
        QCOMPARE(area, QRect(list.right() + 1 + 20, list.y(), ww - (list.width() + 40), list.height()));
        for (QWidget *page : t.pages())
            QCOMPARE(page->geometry(), t.w.contentArea->geometry());
        // A page never shown, once filled, is laid out like a shown one: the address book's tree takes 30 %.
        QVERIFY(!t.w.addressBookPage->isVisible());
        t.w.addressBookPage->fill();
        QCOMPARE(unitGeometry(t.w.addressBookPage->groupTree).width(), int((area.width() - 18) * 0.3));
        // Negative sizes are shown as none, and nothing breaks.
        if (area.width() < 0) {
            QCOMPARE(t.w.contentArea->width(), 0);
            for (QWidget *page : t.pages())
                for (QWidget *control : pageControls(page))
                    QVERIFY(control->width() >= 0 && control->height() >= 0);
        }
        const QRect banner = unitGeometry(t.w.banner);
        QCOMPARE(banner.x(), area.x() + 50);
    }

    void minimizingChangesNoGeometry()
    {
        OpenedWindow t;
        t.open();
        QVERIFY(QTest::qWaitForWindowExposed(&t.w));
        QList<QRect> before;
        for (QWidget *page : t.pages())
            for (QWidget *control : pageControls(page))
                before << control->geometry();
        const QRect area = unitGeometry(t.w.contentArea);
        t.w.setWindowState(Qt::WindowMinimized);
        t.w.layoutControls();
        QCOMPARE(unitGeometry(t.w.contentArea), area);
        QList<QRect> after;
        for (QWidget *page : t.pages())
            for (QWidget *control : pageControls(page))
                after << control->geometry();
        QCOMPARE(after, before);
    }

    // Every control of every page, shown or hidden, lies wholly inside its page and above the
    // banner's strip, at the size the window opens with and on a large screen.
    void everyControlIsInsideItsPageAndClearOfTheBanner_data()
    {
        QTest::addColumn<QSize>("pixels");
        QTest::newRow("designed") << units::toPixels(QSize(MainWindow::DesignWidth, MainWindow::DesignHeight));
        QTest::newRow("1920x1080") << QSize(1920, 1080);
    }
    void everyControlIsInsideItsPageAndClearOfTheBanner()
    {
        QFETCH(QSize, pixels);
        OpenedWindow t;
        t.open();
        t.w.resize(pixels);
        t.w.layoutControls();
        const int strip = units::toPixelsY(120);
        int checked = 0;
        for (QWidget *page : t.pages()) {
            if (page == t.w.helpBrowser)
                continue;
            // A page that was never shown is laid out all the same.
            page->show();
            QCoreApplication::processEvents();
            for (QWidget *control : pageControls(page)) {
                const QRect r(control->mapTo(page, QPoint(0, 0)), control->size());
                const QString what = page->objectName() + QLatin1Char('.') + control->objectName();
                QVERIFY2(!r.isEmpty(), qPrintable(what));
                QVERIFY2(page->rect().contains(r), qPrintable(what));
                QVERIFY2(r.bottom() < page->height() - strip, qPrintable(what));
                ++checked;
            }
        }
        QVERIFY(checked >= 6);
    }

    // Closing ends the run once, however often it is asked: the tray icon goes, the banner stops, and
    // the pages end too: with automatic backups ticked in the settings, one copy of the database
    // lands below the backup folder.
    void closingEndsTheRunOnce()
    {
        OpenedWindow t(OpenedWindow::Delivered, "[setting]\nautobackup=1\n");
        t.open();
        fake::TrayIcon *icon = t.trayIcon();
        QVERIFY(icon->shown);
        const QString autoFolder = t.folder.file(QStringLiteral("auto"));
        QVERIFY(!QDir(autoFolder).exists());
        QVERIFY(t.w.close());
        QVERIFY(!icon->shown);
        QVERIFY(!t.w.bannerTimer()->isActive());
        t.fakes.clock->current = t.fakes.clock->current.addSecs(60);
        t.w.close();
        QCOMPARE(QDir(autoFolder).entryList(QDir::Files), QStringList{QStringLiteral("mivo-auto-20090214-103000.mdb")});
        QCOMPARE(icon->removals, 1);
        QCOMPARE(icon->additions, 1);
        QVERIFY(t.fakes.boxes->shown.isEmpty());
    }
};

MIVO_TEST_MAIN(tst_mainwindow)
#include "tst_mainwindow.moc"
