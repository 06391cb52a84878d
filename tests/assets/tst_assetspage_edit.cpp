// Adding, saving and deleting asset items, the total value while typing, and what the user is told
// when the database refuses, with every box checked.

#include "app/appinfo.h"
#include "app/connection.h"
#include "assetitems.h"
#include "testmain.h"
#include "views/dataview.h"
#include "widgets/handletree.h"

#include <QApplication>
#include <QPushButton>

using platform::Answer;
using platform::Buttons;
using platform::Icon;
using widgets::TreeItem;

namespace {

const QList<Item> kItems = {
    {QStringLiteral("1"), QStringLiteral("电视机"), 2, 1234.5, 2469.0, QStringLiteral("20090101")},
    {QStringLiteral("1"), QStringLiteral("冰箱"), 1, 2000.0, 2000.0, QStringLiteral("20080101")},
    {QStringLiteral("2"), QStringLiteral("沙发"), 1, 3200.0, 3200.0, QStringLiteral("20080301")},
};

bool expanded(const AssetsDriver &t, const QString &code)
{
    TreeItem item;
    t.page->groupTree->getItem(t.group(code), item);
    return item.expanded;
}

// What differs from a failure box: `code`, `text`, a line break and the database's reason (which
// mentions `reason`), with the stop icon. Empty when the last box is that.
QString failureDifference(const AssetsDriver &t, const QString &code, const QString &text, const QString &reason)
{
    if (t.fakes.boxes->shown.isEmpty())
        return QStringLiteral("no box shown, expected %1").arg(code);
    const platform::MessageBoxRequest &b = t.fakes.boxes->shown.last();
    const QString head = text + QLatin1Char('\n');
    if (b.title == code && b.icon == Icon::Stop && b.text.startsWith(head) && b.text.contains(reason)
        && !b.text.mid(head.size()).isEmpty())
        return QString();
    return QStringLiteral("%1 \"%2\" (icon %3), expected %4 \"%5…%6\"").arg(b.title, b.text).arg(int(b.icon)).arg(code, head, reason);
}
#define EXPECT_FAILURE(t, code, text, reason)                                 \
    do {                                                                      \
        const QString difference_ = failureDifference(t, code, text, reason); \
        QVERIFY2(difference_.isEmpty(), qPrintable(difference_));             \
    } while (false)

// A deferred rule the database checks only when the change is committed: the commit fails.
void failCommitsAfter(const QString &event)
{
    exec(QStringLiteral("CREATE TABLE IF NOT EXISTS anchor (id INTEGER PRIMARY KEY)"));
    exec(QStringLiteral("CREATE TABLE IF NOT EXISTS pending (a INTEGER REFERENCES anchor (id) DEFERRABLE INITIALLY DEFERRED)"));
    exec(QStringLiteral("CREATE TRIGGER unanchored AFTER %1 ON ca_info BEGIN INSERT INTO pending VALUES (1); END").arg(event));
    scalar(QStringLiteral("PRAGMA foreign_keys = ON"));
}

} // namespace

class tst_assetspage_edit : public QObject
{
    Q_OBJECT

private slots:
    void addPresetsQuantityDateAndTheGroupOfWhatIsSelected()
    {
        AssetsDriver t([&] { addItems(kItems); });
        t.fakes.clock->current = QDateTime(QDate(2024, 3, 5), QTime(23, 59));
        // The root: no group, and Save stops at C08 until one is chosen.
        t.select(t.root());
        t.click(t.page->addButton);
        views::DataView *dw = t.page->recordView;
        QCOMPARE(dw->dataObject(), QStringLiteral("dw_ca_one"));
        QCOMPARE(dw->rowCount(), 1L);
        QCOMPARE(dw->getItemString(1, QStringLiteral("gid")), QString());
        QCOMPARE(dw->getItemNumber(1, QStringLiteral("num")), 1.0);
        QCOMPARE(dw->getItemString(1, QStringLiteral("buydate")), QStringLiteral("20240305"));
        QVERIFY(dw->isAncestorOf(QApplication::focusWidget()) || dw->hasFocus());
        t.type(QStringLiteral("name"), QStringLiteral("台灯"));
        t.click(t.page->saveButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("C08"), QStringLiteral("必须选择一个组!"), Icon::Exclamation);
        t.chooseGroup(QStringLiteral("3"));
        t.click(t.page->saveButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("C10"), QStringLiteral("保存成功!"), Icon::Information);
        QCOMPARE(storedValue(QStringLiteral("台灯"), QStringLiteral("gid")).toString(), QStringLiteral("3"));

        t.select(t.group(QStringLiteral("2")));
        t.click(t.page->addButton);
        QCOMPARE(dw->getItemString(1, QStringLiteral("gid")), QStringLiteral("2"));
        // An item: its group.
        t.select(t.member(QStringLiteral("1"), QStringLiteral("冰箱")));
        t.click(t.page->addButton);
        QCOMPARE(dw->getItemString(1, QStringLiteral("gid")), QStringLiteral("1"));
        QCOMPARE(dw->getItemString(1, QStringLiteral("name")), QString());
        QCOMPARE(dw->rowCount(), 1L);
        QCOMPARE(itemCount(), 4);
    }

    void refusalsChangeNothing()
    {
        AssetsDriver t([&] { addItems(kItems); });
        const auto refused = [&](QPushButton *button, const QString &code, const QString &text) {
            t.click(button);
            EXPECT_BOX(*t.fakes.boxes, code, text, Icon::Exclamation);
        };
        // Nothing shown, then the list.
        refused(t.page->saveButton, QStringLiteral("C06"), QStringLiteral("当前视图不能执行保存!"));
        refused(t.page->deleteButton, QStringLiteral("C01"), QStringLiteral("当前视图不能执行删除!"));
        t.select(t.group(QStringLiteral("1")));
        refused(t.page->saveButton, QStringLiteral("C06"), QStringLiteral("当前视图不能执行保存!"));
        refused(t.page->deleteButton, QStringLiteral("C01"), QStringLiteral("当前视图不能执行删除!"));
        // An unsaved new row goes without a question; then there is nothing left.
        t.click(t.page->addButton);
        const qsizetype boxes = t.fakes.boxes->shown.size();
        t.click(t.page->deleteButton);
        QCOMPARE(t.fakes.boxes->shown.size(), boxes);
        QCOMPARE(t.page->recordView->rowCount(), 0L);
        refused(t.page->saveButton, QStringLiteral("C07"), QStringLiteral("无可保存的记录!"));
        refused(t.page->deleteButton, QStringLiteral("C02"), QStringLiteral("无可删除记录!"));
        // A name of blanks only.
        t.click(t.page->addButton);
        t.type(QStringLiteral("name"), QStringLiteral("   "));
        refused(t.page->saveButton, QStringLiteral("C09"), QStringLiteral("名称不能为空!"));
        QCOMPARE(itemCount(), 3);
        QVERIFY(!testDb().inTransaction());
    }

    void totalValueFollowsWhatIsTyped()
    {
        AssetsDriver t;
        t.select(t.group(QStringLiteral("1")));
        t.click(t.page->addButton);
        views::DataView *dw = t.page->recordView;
        t.type(QStringLiteral("buyprice"), QStringLiteral("2.5"));
        // At once, while the price is still being typed: 2.5 × the preset quantity 1.
        QCOMPARE(t.shown(QStringLiteral("worth")), QStringLiteral("2.50"));
        t.type(QStringLiteral("num"), QStringLiteral("3"));
        QCOMPARE(t.shown(QStringLiteral("worth")), QStringLiteral("7.50"));
        QCOMPARE(dw->getItemNumber(1, QStringLiteral("worth")), 7.5);

        // No price: no total, whatever the quantity.
        t.type(QStringLiteral("buyprice"), QString());
        QCOMPARE(t.shown(QStringLiteral("worth")), QString());
        t.type(QStringLiteral("num"), QStringLiteral("4"));
        QVERIFY(dw->getItem(1, QStringLiteral("worth")).isNull());
        // Other fields leave the total alone.
        t.type(QStringLiteral("worth"), QStringLiteral("10"));
        t.type(QStringLiteral("name"), QStringLiteral("粉笔"));
        QCOMPARE(dw->getItemNumber(1, QStringLiteral("worth")), 10.0);

        // What is stored is what is shown, to the cent.
        t.type(QStringLiteral("buyprice"), QStringLiteral("0.10"));
        t.type(QStringLiteral("num"), QStringLiteral("3"));
        QCOMPARE(t.shown(QStringLiteral("worth")), QStringLiteral("0.30"));
        t.click(t.page->saveButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("C10"), QStringLiteral("保存成功!"), Icon::Information);
        // Exactly: a fuzzy comparison would let 0.30000000000000004 pass.
        QVERIFY(storedValue(QStringLiteral("粉笔"), QStringLiteral("worth")).toDouble() == 0.3);
        QCOMPARE(storedValue(QStringLiteral("粉笔"), QStringLiteral("num")).toInt(), 3);
        // A total typed by hand is kept to the cent as well.
        t.type(QStringLiteral("worth"), QStringLiteral("1.006"));
        t.click(t.page->saveButton);
        QVERIFY(storedValue(QStringLiteral("粉笔"), QStringLiteral("worth")).toDouble() == 1.01);
        QCOMPARE(t.shown(QStringLiteral("worth")), QStringLiteral("1.01"));
    }

    void savedItemComesBackSelectedAndUntouchedValuesStay()
    {
        AssetsDriver t([&] { addItems(kItems); });
        // A value with more decimals than shown, stored by another program.
        exec(QStringLiteral("UPDATE ca_info SET worth = 2468.999 WHERE name = '电视机'"));
        t.select(t.group(QStringLiteral("2")));
        t.click(t.page->addButton);
        t.type(QStringLiteral("name"), QStringLiteral("书桌"));
        t.type(QStringLiteral("dropdate"), QStringLiteral("20241231"));
        t.click(t.page->saveButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("C10"), QStringLiteral("保存成功!"), Icon::Information);
        QCOMPARE(storedValue(QStringLiteral("书桌"), QStringLiteral("dropdate")).toString(), QStringLiteral("20241231"));
        QVERIFY(!testDb().inTransaction());
        // The group expanded, the item selected, its form read back with the id the database gave it.
        QVERIFY(expanded(t, QStringLiteral("2")));
        QVERIFY(!expanded(t, QStringLiteral("1")));
        QCOMPARE(t.currentLabel(), QStringLiteral("书桌"));
        QCOMPARE(t.page->recordView->getItem(1, QStringLiteral("id")).toLongLong(), storedValue(QStringLiteral("书桌"), QStringLiteral("id")).toLongLong());
        QCOMPARE(t.page->recordView->getItemStatus(1), views::DataStore::RowStatus::NotModified);
        QVERIFY(t.page->groupTree->hasFocus());

        // A stored item renamed and moved by the drop-down: updated by its id; what was not
        // touched keeps its stored value exactly.
        t.select(t.member(QStringLiteral("1"), QStringLiteral("电视机")));
        // Every digit it has shows, rather than cents that are not what is stored.
        QCOMPARE(t.shown(QStringLiteral("worth")), QStringLiteral("2468.999"));
        t.type(QStringLiteral("name"), QStringLiteral("电视"));
        t.chooseGroup(QStringLiteral("4"));
        t.click(t.page->saveButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("C10"), QStringLiteral("保存成功!"), Icon::Information);
        QCOMPARE(itemCount(QStringLiteral("name = '电视机'")), 0);
        QCOMPARE(storedValue(QStringLiteral("电视"), QStringLiteral("gid")).toString(), QStringLiteral("4"));
        QCOMPARE(storedValue(QStringLiteral("电视"), QStringLiteral("worth")).toDouble(), 2468.999);
        QCOMPARE(storedValue(QStringLiteral("电视"), QStringLiteral("buyprice")).toDouble(), 1234.5);
        QCOMPARE(t.children(t.group(QStringLiteral("4"))), QStringList{QStringLiteral("电视")});
        QCOMPARE(itemCount(), 4);
    }

    void savingUnderATakenNameSelectsTheFirstOfThem()
    {
        AssetsDriver t([&] { addItems(kItems); });
        t.select(t.group(QStringLiteral("1")));
        t.click(t.page->addButton);
        t.type(QStringLiteral("name"), QStringLiteral("冰箱"));
        t.type(QStringLiteral("buyprice"), QStringLiteral("10"));
        t.click(t.page->saveButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("C10"), QStringLiteral("保存成功!"), Icon::Information);
        QCOMPARE(itemCount(QStringLiteral("name = '冰箱'")), 2);
        QCOMPARE(t.currentLabel(), QStringLiteral("冰箱"));
        QCOMPARE(t.page->recordView->getItemNumber(1, QStringLiteral("buyprice")), 2000.0);
    }

    void savedGroupThatNoLongerExistsLeavesTheTreeCollapsed()
    {
        AssetsDriver t([&] { addItems(kItems); });
        t.select(t.group(QStringLiteral("4")));
        t.click(t.page->addButton);
        t.type(QStringLiteral("name"), QStringLiteral("自行车"));
        // The group goes meanwhile (the settings page edits the groups).
        exec(QStringLiteral("DELETE FROM ca_group WHERE groupid = '4'"));
        t.click(t.page->saveButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("C10"), QStringLiteral("保存成功!"), Icon::Information);
        QCOMPARE(storedValue(QStringLiteral("自行车"), QStringLiteral("gid")).toString(), QStringLiteral("4"));
        QCOMPARE(t.group(QStringLiteral("4")), 0L);
        for (const QString code : {"1", "2", "3", "Z"})
            QVERIFY(!expanded(t, code));
        QCOMPARE(t.page->recordView->rowCount(), 0L);
    }

    void deleteAsksThenRemovesTheItem()
    {
        AssetsDriver t([&] { addItems(kItems); });
        t.select(t.member(QStringLiteral("1"), QStringLiteral("冰箱")));
        t.fakes.boxes->answers << Answer::No;
        t.click(t.page->deleteButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("C03"), QStringLiteral("确认删除<冰箱>?"), Icon::Question, Buttons::YesNo, 2);
        QCOMPARE(itemCount(), 3);
        QCOMPARE(t.page->recordView->rowCount(), 1L);

        t.fakes.boxes->answers << Answer::Yes;
        t.click(t.page->deleteButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("C04"), QStringLiteral("删除成功!"), Icon::Information);
        QCOMPARE(itemCount(QStringLiteral("name = '冰箱'")), 0);
        QCOMPARE(itemCount(), 2);
        QVERIFY(!testDb().inTransaction());
        // The former group comes back expanded and listed.
        QVERIFY(expanded(t, QStringLiteral("1")));
        QCOMPARE(t.current(), t.group(QStringLiteral("1")));
        QCOMPARE(t.page->recordView->dataObject(), QStringLiteral("dw_ca_all"));
        QCOMPARE(t.column(QStringLiteral("name")), QStringList{QStringLiteral("电视机")});
    }

    // A new row with a group and a name is asked about like a stored item, but deletes nothing,
    // not even a stored item of the same name.
    void newCompleteRowIsAskedAboutAndDeletesNothing()
    {
        AssetsDriver t([&] { addItems(kItems); });
        t.select(t.group(QStringLiteral("1")));
        t.click(t.page->addButton);
        t.type(QStringLiteral("name"), QStringLiteral("电视机"));
        t.fakes.boxes->answers << Answer::Yes;
        t.click(t.page->deleteButton);
        QCOMPARE(t.boxTitles(), (QStringList{QStringLiteral("C03"), QStringLiteral("C04")}));
        QCOMPARE(itemCount(), 3);
        QCOMPARE(t.children(t.group(QStringLiteral("1"))), (QStringList{QStringLiteral("冰箱"), QStringLiteral("电视机")}));
    }

    // The item was deleted meanwhile: deleting it again is done; saving it is not, and says why.
    void itemDeletedMeanwhile()
    {
        AssetsDriver t([&] { addItems(kItems); });
        t.select(t.member(QStringLiteral("1"), QStringLiteral("冰箱")));
        exec(QStringLiteral("DELETE FROM ca_info WHERE name = '冰箱'"));
        t.type(QStringLiteral("brand"), QStringLiteral("新品牌"));
        t.click(t.page->saveButton);
        EXPECT_FAILURE(t, QStringLiteral("C11"), QStringLiteral("保存失败!"), QStringLiteral("已不在数据库中"));
        QCOMPARE(itemCount(), 2);
        QCOMPARE(t.page->recordView->getItemString(1, QStringLiteral("brand")), QStringLiteral("新品牌"));

        t.fakes.boxes->answers << Answer::Yes;
        t.click(t.page->deleteButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("C04"), QStringLiteral("删除成功!"), Icon::Information);
        QCOMPARE(itemCount(), 2);
    }

    void refusedDeleteLeavesTheItemStoredAndOffTheForm()
    {
        AssetsDriver t([&] { addItems(kItems); });
        exec(QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON ca_info BEGIN SELECT RAISE(ABORT, '不许删除'); END"));
        t.select(t.member(QStringLiteral("2"), QStringLiteral("沙发")));
        t.fakes.boxes->answers << Answer::Yes;
        t.click(t.page->deleteButton);
        EXPECT_FAILURE(t, QStringLiteral("C05"), QStringLiteral("删除失败!"), QStringLiteral("不许删除"));
        QVERIFY(!t.boxTitles().contains(QStringLiteral("C04")));
        QVERIFY(!testDb().inTransaction());
        QCOMPARE(itemCount(QStringLiteral("name = '沙发'")), 1);
        // The row stays off the form: Save has nothing to save.
        QCOMPARE(t.page->recordView->rowCount(), 0L);
        t.click(t.page->saveButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("C07"), QStringLiteral("无可保存的记录!"), Icon::Exclamation);
    }

    void failedCommitIsAFailure()
    {
        AssetsDriver t([&] { addItems(kItems); });
        failCommitsAfter(QStringLiteral("DELETE"));
        t.select(t.member(QStringLiteral("2"), QStringLiteral("沙发")));
        t.fakes.boxes->answers << Answer::Yes;
        t.click(t.page->deleteButton);
        EXPECT_FAILURE(t, QStringLiteral("C05"), QStringLiteral("删除失败!"), QString());
        QCOMPARE(t.boxTitles(), (QStringList{QStringLiteral("C03"), QStringLiteral("C05")}));
        QCOMPARE(itemCount(QStringLiteral("name = '沙发'")), 1);
        QVERIFY(!testDb().inTransaction());

        exec(QStringLiteral("DROP TRIGGER unanchored"));
        failCommitsAfter(QStringLiteral("INSERT"));
        t.select(t.group(QStringLiteral("2")));
        t.click(t.page->addButton);
        t.type(QStringLiteral("name"), QStringLiteral("衣柜"));
        t.click(t.page->saveButton);
        EXPECT_FAILURE(t, QStringLiteral("C11"), QStringLiteral("保存失败!"), QString());
        QVERIFY(!t.boxTitles().contains(QStringLiteral("C10")));
        QCOMPARE(itemCount(QStringLiteral("name = '衣柜'")), 0);
        QVERIFY(!testDb().inTransaction());
        // The form keeps what was typed: once the database takes it, Save stores it once.
        exec(QStringLiteral("DROP TRIGGER unanchored"));
        t.click(t.page->saveButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("C10"), QStringLiteral("保存成功!"), Icon::Information);
        QCOMPARE(itemCount(QStringLiteral("name = '衣柜'")), 1);
    }

    void fullDiskIsExplained()
    {
        AssetsDriver t([&] { addItems(kItems); });
        // Every saved item makes the file grow, past the limit set below.
        exec(QStringLiteral("CREATE TABLE ballast (b BLOB)"));
        exec(QStringLiteral("CREATE TRIGGER grow AFTER INSERT ON ca_info BEGIN INSERT INTO ballast VALUES (zeroblob(200000)); END"));
        t.select(t.group(QStringLiteral("3")));
        t.click(t.page->addButton);
        t.type(QStringLiteral("name"), QStringLiteral("字典"));
        scalar(QStringLiteral("PRAGMA max_page_count = %1").arg(scalar(QStringLiteral("PRAGMA page_count")).toInt()));
        t.click(t.page->saveButton);
        EXPECT_FAILURE(t, QStringLiteral("C11"), QStringLiteral("保存失败!"), QStringLiteral("磁盘已满"));
        QCOMPARE(itemCount(QStringLiteral("name = '字典'")), 0);
        QVERIFY(!testDb().inTransaction());
        scalar(QStringLiteral("PRAGMA max_page_count = 1073741823"));
        t.click(t.page->saveButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("C10"), QStringLiteral("保存成功!"), Icon::Information);
    }
};

MIVO_TEST_MAIN(tst_assetspage_edit)
#include "tst_assetspage_edit.moc"
