// The personal-assets page as a user browses it: the group tree, the list with its formats and
// total, the form, sorting and double-click navigation; a group's export from the tree's menu.

#include "app/connection.h"
#include "assetitems.h"
#include "pagekit/contextmenu.h"
#include "sheetreader.h"
#include "testmain.h"
#include "views/dataview.h"
#include "widgets/handletree.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>

using widgets::TreeItem;

namespace {

const QList<Item> kItems = {
    {QStringLiteral("2"), QStringLiteral("沙发"), 1, 3200.0, 3200.0, QStringLiteral("20080301")},
    {QStringLiteral("1"), QStringLiteral("电视机"), 2, 1234.5, 2469.0, QStringLiteral("20090214")},
    {QStringLiteral("1"), QStringLiteral("冰箱"), 1, 0.5, 0.5, QString()},
    {QStringLiteral("Z"), QStringLiteral("旧手机"), 1, 800.0, 800.0, QStringLiteral("20050101")},
};

TreeItem itemOf(const AssetsDriver &t, long handle)
{
    TreeItem item;
    t.page->groupTree->getItem(handle, item);
    return item;
}

} // namespace

class tst_assetspage : public QObject
{
    Q_OBJECT

private slots:
    // "导出…" on a group writes the settings page's columns of that group's items, values as stored;
    // on an empty group it says so and asks for no file.
    void exportAGroupFromTheTreeMenu()
    {
        AssetsDriver t([] { addItems(kItems); });
        const auto exportFrom = [&](const QString &code) {
            drive::rightClick(t.page->groupTree, t.group(code));
            QMenu *menu = t.page->treeMenu->menu();
            QTRY_VERIFY(menu->isVisible());
            QCOMPARE(menu->actions().size(), 1);
            QCOMPARE(menu->actions().first()->text(), QStringLiteral("导出…"));
            menu->actions().first()->trigger();
            menu->close();
        };
        t.fakes.dialogs->savePath = t.folder.file(QStringLiteral("家电.csv"));
        exportFrom(QStringLiteral("1"));
        QCOMPARE(t.fakes.dialogs->saveRequests.last().fileName, QStringLiteral("电器.xls"));
        QCOMPARE(t.boxTitles(), QStringList{QStringLiteral("C12")});
        QCOMPARE(t.lastBox().text, QStringLiteral("导出成功!\n") + QDir::toNativeSeparators(t.fakes.dialogs->savePath));
        QList<QVariantList> expected;
        for (const QVariantList &row : databaseRows(QStringLiteral("d_capital_all")))
            if (expected.isEmpty() || row.at(1).toString() == QLatin1String("1"))
                expected << row;
        QCOMPARE(expected.size(), 3);
        QString error;
        const QList<ReadSheet> read = readBack(QStringLiteral("csv"), t.fakes.dialogs->savePath, &error);
        QVERIFY2(!read.isEmpty(), qPrintable(error));
        QCOMPARE(firstDifference(expected, read.first().rows, Numbers::AsText), QString());

        exportFrom(QStringLiteral("3"));
        QCOMPARE(t.lastBox().title, QStringLiteral("C14"));
        QCOMPARE(t.lastBox().icon, platform::Icon::Exclamation);
        QCOMPARE(t.fakes.dialogs->saveRequests.size(), 1);
    }

    void treeHoldsRootGroupsAndPictures()
    {
        AssetsDriver t([&] { addItems(kItems, {{QStringLiteral("z"), QStringLiteral("回收")}}); });
        const TreeItem root = itemOf(t, t.root());
        QCOMPARE(root.label, QStringLiteral("个人资产"));
        QCOMPARE(root.data.toString(), QStringLiteral("%"));
        QCOMPARE(root.pictureIndex, 1);
        QVERIFY(root.expanded);
        // In code order; upper-case letters before lower-case ones.
        QCOMPARE(t.children(t.root()), (QStringList{QStringLiteral("电器"), QStringLiteral("家具"), QStringLiteral("书籍"),
                                                    QStringLiteral("其他"), QStringLiteral("已处理"), QStringLiteral("回收")}));
        for (const QString code : {"1", "2", "3", "4"}) {
            QCOMPARE(itemOf(t, t.group(code)).pictureIndex, 2);
            QCOMPARE(itemOf(t, t.group(code)).selectedPictureIndex, 2);
        }
        for (const QString code : {"Z", "z"}) {
            QCOMPARE(itemOf(t, t.group(code)).pictureIndex, 4);
            QCOMPARE(itemOf(t, t.group(code)).selectedPictureIndex, 4);
        }
        QCOMPARE(t.page->recordView->dataObject(), QString());
        QVERIFY(t.fakes.boxes->shown.isEmpty());

        // An item's data is its id, so that items of one name stay apart.
        const long tv = t.member(QStringLiteral("1"), QStringLiteral("电视机"));
        const TreeItem member = itemOf(t, tv);
        QCOMPARE(member.pictureIndex, 3);
        QCOMPARE(member.data.toLongLong(), scalar(QStringLiteral("SELECT id FROM ca_info WHERE name = '电视机'")).toLongLong());
    }

    void noGroupsGivesC00AndABareRoot()
    {
        AppFolder folder;
        QVERIFY(testDb().execute(QStringLiteral("DELETE FROM ca_group")));
        QVERIFY(testDb().commit());
        fake::Platform fakes;
        AssetsPage page(folder.db());
        EXPECT_BOX(*fakes.boxes, QStringLiteral("C00"), QStringLiteral("组信息无数据!"), platform::Icon::Exclamation);
        QCOMPARE(fakes.boxes->shown.size(), 1);
        QCOMPARE(page.groupTree->childCount(page.groupTree->findItem(widgets::TreeNavigation::Root)), 0L);
    }

    // The root lists every item, a group exactly its own (codes that are wildcards elsewhere
    // included), and the list shows money and dates as they are meant to be read.
    void rootListsAllAndAGroupItsOwn()
    {
        QList<Item> items = kItems;
        items << Item{QStringLiteral("%"), QStringLiteral("百分"), 1, 1.0, 1.0, {}}
              << Item{QStringLiteral("_"), QStringLiteral("下划"), 1, 2.0, 2.0, {}};
        AssetsDriver t([&] { addItems(items, {{QStringLiteral("%"), QStringLiteral("百分组")}, {QStringLiteral("_"), QStringLiteral("下划组")}}); });
        t.select(t.root());
        QCOMPARE(t.page->recordView->dataObject(), QStringLiteral("dw_ca_all"));
        QCOMPARE(t.column(QStringLiteral("name")),
                 (QStringList{QStringLiteral("百分"), QStringLiteral("冰箱"), QStringLiteral("电视机"), QStringLiteral("沙发"),
                              QStringLiteral("旧手机"), QStringLiteral("下划")}));
        QCOMPARE(t.page->recordView->displayText(QStringLiteral("sum_worth")), QStringLiteral("6,472.50"));

        for (const QString code : {"%", "_", "1"}) {
            t.select(t.group(code));
            const QStringList codes = t.column(QStringLiteral("gid"));
            QVERIFY(!codes.isEmpty());
            for (const QString &c : codes)
                QCOMPARE(c, code);
            t.page->groupTree->expandItem(t.group(code));
            QCOMPARE(t.column(QStringLiteral("name")), t.children(t.group(code)));
        }
        // Group 1: 冰箱 0.5 and 电视机 1234.5 × 2.
        views::DataView *dw = t.page->recordView;
        QCOMPARE(dw->displayText(QStringLiteral("gid"), 2), QStringLiteral("电器"));
        QCOMPARE(dw->displayText(QStringLiteral("buyprice"), 1), QStringLiteral(".50"));
        QCOMPARE(dw->displayText(QStringLiteral("buyprice"), 2), QStringLiteral("1,234.50"));
        QCOMPARE(dw->displayText(QStringLiteral("worth"), 2), QStringLiteral("2,469.00"));
        QCOMPARE(dw->displayText(QStringLiteral("buydate"), 2), QStringLiteral("2009-02-14"));
        QCOMPARE(dw->displayText(QStringLiteral("sum_worth")), QStringLiteral("2,469.50"));
        // "合计:" stands under the quantity, the total under the total value.
        auto under = [dw](const QString &field, const QString &header) {
            const QRect f = dw->objectRect(field), h = dw->objectRect(header);
            return f.center().x() >= h.left() && f.center().x() <= h.right() && f.top() > h.bottom();
        };
        QVERIFY(under(QStringLiteral("t_total"), QStringLiteral("num_t")));
        QVERIFY(under(QStringLiteral("sum_worth"), QStringLiteral("worth_t")));
        QCOMPARE(dw->displayText(QStringLiteral("t_total")), QStringLiteral("合计:"));

        // A group without items loses its expand button and lists nothing, worth nothing.
        const long empty = t.group(QStringLiteral("3"));
        QVERIFY(t.page->groupTree->expandItem(empty));
        QVERIFY(!itemOf(t, empty).children);
        QCOMPARE(t.current(), empty);
        QCOMPARE(dw->rowCount(), 0L);
        QCOMPARE(dw->displayText(QStringLiteral("sum_worth")), QStringLiteral("0.00"));
    }

    // The form of one item: "Id:" at the top, the purchase date as its eight characters, the
    // disposal date masked, the quantity a spin box of 1 to 9999, the total with its two decimals.
    void theFormShowsOneItemAsStored()
    {
        AssetsDriver t([&] { addItems(kItems); });
        t.select(t.member(QStringLiteral("1"), QStringLiteral("电视机")));
        views::DataView *dw = t.page->recordView;
        QCOMPARE(dw->dataObject(), QStringLiteral("dw_ca_one"));
        QCOMPARE(dw->rowCount(), 1L);
        const QRect id = dw->objectRect(QStringLiteral("id_t"));
        for (const QString label : {"gid_t", "name_t", "buyprice_t", "buydate_t", "worth_t", "descb_t", "dropdate_t",
                                     "brand_t", "num_t", "buyplace_t", "droptype_t", "remark_t"}) {
            QVERIFY2(!dw->objectRect(label).isEmpty(), qPrintable(label));
            QVERIFY2(dw->objectRect(label).top() >= id.top(), qPrintable(label));
        }
        QVERIFY(dw->objectRect(QStringLiteral("gid_t")).top() > id.top());
        QCOMPARE(dw->displayText(QStringLiteral("id_t")), QStringLiteral("Id:"));
        QVERIFY(qobject_cast<QLineEdit *>(dw->fieldEditor(QStringLiteral("id")))->isReadOnly());
        QCOMPARE(t.shown(QStringLiteral("gid")), QStringLiteral("电器"));

        auto *buydate = qobject_cast<QLineEdit *>(dw->fieldEditor(QStringLiteral("buydate")));
        QVERIFY(buydate);
        QCOMPARE(buydate->inputMask(), QString());
        QCOMPARE(buydate->maxLength(), 8);
        QCOMPARE(buydate->text(), QStringLiteral("20090214"));
        auto *dropdate = qobject_cast<QLineEdit *>(dw->fieldEditor(QStringLiteral("dropdate")));
        QVERIFY(dropdate && !dropdate->inputMask().isEmpty());
        auto *num = qobject_cast<QSpinBox *>(dw->fieldEditor(QStringLiteral("num")));
        QVERIFY(num);
        QCOMPARE(num->value(), 2);
        QCOMPARE(num->maximum(), 9999);
        QCOMPARE(t.shown(QStringLiteral("buyprice")), QStringLiteral("1234.50"));
        QCOMPARE(t.shown(QStringLiteral("worth")), QStringLiteral("2469.00"));
    }

    // One direction for every header; a double-click on a row opens the first item of its name.
    void sortingAndOpeningFromTheList()
    {
        QList<Item> items = kItems;
        items << Item{QStringLiteral("1"), QStringLiteral("电视机"), 1, 99.0, 99.0, {}};
        AssetsDriver t([&] { addItems(items); });
        t.select(t.root());
        t.clickObject(QStringLiteral("worth_t"));
        QCOMPARE(t.page->sortSuffix(), QStringLiteral(" A"));
        QCOMPARE(t.column(QStringLiteral("name")),
                 (QStringList{QStringLiteral("冰箱"), QStringLiteral("电视机"), QStringLiteral("旧手机"), QStringLiteral("电视机"),
                              QStringLiteral("沙发")}));
        t.clickObject(QStringLiteral("buyprice_t"));
        QCOMPARE(t.page->sortSuffix(), QStringLiteral(" D"));
        QCOMPARE(t.column(QStringLiteral("name")).first(), QStringLiteral("沙发"));

        // Row 4 is the second 电视机 (99.00); the tree's first of that name is the one stored first.
        QCOMPARE(t.page->recordView->getItemNumber(4, QStringLiteral("buyprice")), 99.0);
        t.doubleClickCell(QStringLiteral("brand"), 4);
        QCOMPARE(t.page->recordView->dataObject(), QStringLiteral("dw_ca_one"));
        QCOMPARE(t.currentLabel(), QStringLiteral("电视机"));
        QCOMPARE(t.page->recordView->getItemNumber(1, QStringLiteral("buyprice")), 1234.5);
        QVERIFY(itemOf(t, t.group(QStringLiteral("1"))).expanded);
        QVERIFY(t.page->groupTree->hasFocus());
        // Each of the two tree items opens its own record.
        t.select(t.page->groupTree->findItem(widgets::TreeNavigation::Next, t.current()));
        QCOMPARE(t.page->recordView->getItemNumber(1, QStringLiteral("buyprice")), 99.0);
    }
};

MIVO_TEST_MAIN(tst_assetspage)
#include "tst_assetspage.moc"
