// The pages not on screen at start are created light and filled when first shown: what the user
// sees must be what a page filled at start shows.

#include "notebook/noteeditor.h"
#include "notebook/notefind.h"
#include "settings/printeratstart.h"
#include "settings/printertab.h"
#include "pagedriver.h"
#include "shellfixture.h"
#include "testmain.h"
#include "views/dataview.h"
#include "widgets/handletree.h"
#include "widgets/unitgeometry.h"
#include "widgets/units.h"

#include "app/appinfo.h"

#include <QComboBox>
#include <QLineEdit>
#include <QLabel>
#include <QPushButton>

namespace {

QList<pagekit::Page *> lightPages(const MainWindow &w)
{
    return {w.addressBookPage, w.notebookPage, w.assetsPage, w.ledgerPage, w.settingsPage};
}

// The labels of the groups below the root of a page's tree.
QStringList groupLabels(widgets::HandleTree *tree)
{
    QStringList labels;
    const long root = tree->findItem(widgets::TreeNavigation::Root);
    for (long h = tree->findItem(widgets::TreeNavigation::Child, root); h; h = tree->findItem(widgets::TreeNavigation::Next, h)) {
        widgets::TreeItem item;
        tree->getItem(h, item);
        labels << item.label;
    }
    return labels;
}

} // namespace

class tst_lightpages : public QObject
{
    Q_OBJECT

private slots:
    // Empty group tables, no help and no tray icon: the boxes come at opening, in the order the pages
    // are made and before the opening's own, and a page filled later does not say it again.
    void boxesAtOpeningInCreationOrderAndOnlyOnce()
    {
        PreparedFolder folder(PreparedFolder::Bare, QByteArray());
        for (const char *table : {"t_group", "p_group", "ca_group"})
            exec(QStringLiteral("DELETE FROM ") + QLatin1String(table));
        MainWindow w(folder.folder.db());
        const QStringList atOpening = {QStringLiteral("T00"), QStringLiteral("N00"), QStringLiteral("C00"),
                                       QStringLiteral("003"), QStringLiteral("004")};
        w.open({});
        QCOMPARE(folder.fakes.boxes->titles(), atOpening);
        for (pagekit::Page *page : lightPages(w))
            QVERIFY2(!page->isFilled(), qPrintable(page->objectName()));

        for (int item : {MainWindow::Addressbook, MainWindow::Notebook, MainWindow::Assets, MainWindow::Ledger, MainWindow::Settings})
            w.navigation->choose(item);
        for (pagekit::Page *page : lightPages(w))
            QVERIFY2(page->isFilled(), qPrintable(page->objectName()));
        QCOMPARE(folder.fakes.boxes->titles(), atOpening);
        // The empty tables show as empty trees and lists, as at start.
        QVERIFY(groupLabels(w.notebookPage->groupTree).isEmpty());
        QCOMPARE(w.notebookPage->findTab->groupList->count(), 1);
        QVERIFY(groupLabels(w.assetsPage->groupTree).isEmpty());
    }

    // Groups changed after start (as the settings page saves them) show on the other pages only after
    // a restart, also on a page first shown after the change; its own later saves read them afresh.
    void aPageFilledLaterShowsTheGroupsOfTheStart()
    {
        OpenedWindow t;
        t.open();
        exec(QStringLiteral("INSERT INTO p_group (groupid, groupname) VALUES ('q', '新笔记组')"));
        exec(QStringLiteral("INSERT INTO ca_group (groupid, groupname) VALUES ('q', '新资产组')"));
        exec(QStringLiteral("DELETE FROM ca_group WHERE groupid = (SELECT min(groupid) FROM ca_group WHERE groupid <> 'q')"));

        t.w.navigation->choose(MainWindow::Notebook);
        const QStringList notebookGroups = groupLabels(t.w.notebookPage->groupTree);
        QVERIFY(!notebookGroups.isEmpty());
        QVERIFY(!notebookGroups.contains(QStringLiteral("新笔记组")));
        QCOMPARE(t.w.notebookPage->findTab->groupList->count(), notebookGroups.size() + 1);
        QCOMPARE(t.w.notebookPage->editor->groupList->count(), notebookGroups.size() + 1);

        t.w.navigation->choose(MainWindow::Assets);
        const QStringList assetGroups = groupLabels(t.w.assetsPage->groupTree);
        QVERIFY(!assetGroups.contains(QStringLiteral("新资产组")));

        // A page made now, as after a restart, sees the change.
        MainWindow again(t.folder.db());
        again.open({});
        again.navigation->choose(MainWindow::Assets);
        const QStringList restarted = groupLabels(again.assetsPage->groupTree);
        QVERIFY(restarted.contains(QStringLiteral("新资产组")));
        QCOMPARE(restarted.size(), assetGroups.size());
        QVERIFY(t.fakes.boxes->shown.isEmpty());
    }

    // Locking and unlocking with every page still light changes nothing and builds nothing; a page
    // first shown after the window changed size is laid out at that size, as one filled at start.
    void lightPagesLockAndTakeTheLatestSize()
    {
        OpenedWindow t(OpenedWindow::Delivered, "[setting]\r\nlockshortCut=110K\r\n");
        t.open();
        t.w.navigation->choose(MainWindow::Lock);
        QVERIFY(t.w.isLocked());
        QTest::keyClick(&t.w, Qt::Key_K, Qt::ControlModifier);
        QVERIFY(!t.w.isLocked());
        for (pagekit::Page *page : lightPages(t.w))
            QVERIFY2(!page->isFilled(), qPrintable(page->objectName()));

        t.w.resize(1200, 900);
        t.w.layoutControls();
        const QRect area = unitGeometry(t.w.contentArea);
        t.w.navigation->choose(MainWindow::Notebook);
        QCOMPARE(t.w.notebookPage->geometry(), t.w.contentArea->geometry());
        QCOMPARE(unitGeometry(t.w.notebookPage->groupTree).width(), (area.width() - 18) * 35 / 100);
        QVERIFY(t.w.notebookPage->groupTree->isVisible());
        t.w.navigation->choose(MainWindow::Ledger);
        QVERIFY(t.w.ledgerPage->expenses->list->isVisible());
        QVERIFY(t.w.ledgerPage->rect().contains(QRect(t.w.ledgerPage->closeButton->mapTo(t.w.ledgerPage, QPoint()), t.w.ledgerPage->closeButton->size())));
    }

    // The printer is read at start: the settings page, first shown after the printer changed, shows
    // the one the program started with; choosing a printer there shows the current one.
    void theSettingsPageShowsThePrinterOfTheStart()
    {
        OpenedWindow t; // the window is made here, with the fake's first printer
        t.open();
        QVERIFY(t.fakes.printers->current.startsWith(QStringLiteral("Fake Printer\t")));
        // Read on a worker: the change comes after the read.
        t.w.settingsPage->printerAtStart().wait();
        t.fakes.printers->current = QStringLiteral("Later Printer\tDriver\tPORT:");
        t.w.navigation->choose(MainWindow::Settings);
        QCOMPARE(t.w.settingsPage->printerTab->printerName->text(), QStringLiteral("Fake Printer"));
        drive::click(t.w.settingsPage->printerTab->chooseButton);
        QCOMPARE(t.fakes.printers->choices, 1);
        QCOMPARE(t.w.settingsPage->printerTab->printerName->text(), QStringLiteral("Later Printer"));
    }
};

MIVO_TEST_MAIN(tst_lightpages)
#include "tst_lightpages.moc"
