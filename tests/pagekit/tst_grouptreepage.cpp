// A second page made from the kit with a few lines of data (items in groups, found by id): it behaves
// like the address book on everything the kit does for both.

#include "app/connection.h"
#include "pagedriver.h"
#include "pagekit/grouptreepage.h"
#include "testmain.h"
#include "views/dataview.h"
#include "widgets/handletree.h"

#include <QPushButton>

using platform::Icon;

namespace {

pagekit::GroupTreePageSpec itemSpec()
{
    pagekit::GroupTreePageSpec s;
    s.tree.rootLabel = QStringLiteral("物品");
    s.tree.groupView = QStringLiteral("ds_ca_group");
    s.tree.groupCode = QStringLiteral("groupid");
    s.tree.groupName = QStringLiteral("groupname");
    s.tree.memberView = QStringLiteral("ds_ca_name");
    s.tree.memberLabel = QStringLiteral("name");
    s.tree.memberData = QStringLiteral("id");
    s.tree.memberDataIsNumber = true;
    s.listView = QStringLiteral("dw_ca_all");
    s.cardView = QStringLiteral("dw_ca_one");
    s.groupColumn = QStringLiteral("gid");
    s.nameColumn = QStringLiteral("name");
    s.boxPrefix = QStringLiteral("K");
    s.missingName = QStringLiteral("名称不能为空!");
    return s;
}

class ItemPage : public pagekit::GroupTreePage
{
public:
    explicit ItemPage(Connection &db) : GroupTreePage(db, itemSpec()) {}
    int newRows = 0;

protected:
    void initNewRow(long row) override
    {
        ++newRows;
        recordView->setItem(row, QStringLiteral("num"), 1);
    }
};

struct Items : PageDriver<ItemPage>
{
    Items()
        : PageDriver<ItemPage>([] {
            exec(QStringLiteral("INSERT INTO ca_info (gid, name, num) VALUES ('1', '电视', 1), ('1', '冰箱', 2), "
                                "('2', '书桌', 1), ('1', '冰箱', 3)"));
        })
    {
    }
    widgets::HandleTree *tree() const { return page->groupTree; }
    views::DataView *dw() const { return page->recordView; }
    int count(const QString &where = QStringLiteral("1=1")) const
    {
        return scalar(QStringLiteral("SELECT count(*) FROM ca_info WHERE ") + where).toInt();
    }
};

} // namespace

class tst_grouptreepage : public QObject
{
    Q_OBJECT

private slots:
    void browsingFillsLazilyAndSwitchesListAndCard()
    {
        Items t;
        QCOMPARE(drive::children(t.tree(), drive::root(t.tree())).size(), 5);
        const long group1 = drive::group(t.tree(), QStringLiteral("1"));
        QVERIFY(drive::children(t.tree(), group1).isEmpty());
        drive::select(t.tree(), drive::root(t.tree()));
        QCOMPARE(t.dw()->dataObject(), QStringLiteral("dw_ca_all"));
        QCOMPARE(t.dw()->rowCount(), 4L);
        t.tree()->expandItem(group1);
        // Members in name order; the same names twice stay two items.
        QCOMPARE(drive::children(t.tree(), group1), (QStringList{QStringLiteral("冰箱"), QStringLiteral("冰箱"), QStringLiteral("电视")}));
        QCOMPARE(drive::column(t.dw(), QStringLiteral("name")), drive::children(t.tree(), group1));
        // An empty group loses its expand sign and lists nothing.
        const long empty = drive::group(t.tree(), QStringLiteral("3"));
        t.tree()->expandItem(empty);
        widgets::TreeItem item;
        t.tree()->getItem(empty, item);
        QVERIFY(!item.children);
        QCOMPARE(t.dw()->rowCount(), 0L);

        // A double-click on a row opens the first member of that name, by id.
        drive::select(t.tree(), group1);
        drive::doubleClickCell(t.dw(), QStringLiteral("name"), 2);
        QCOMPARE(t.dw()->dataObject(), QStringLiteral("dw_ca_one"));
        QCOMPARE(t.dw()->getItemNumber(1, QStringLiteral("num")), 2.0);
    }

    void headersShareOneDirection()
    {
        Items t;
        drive::select(t.tree(), drive::root(t.tree()));
        drive::clickObject(t.dw(), QStringLiteral("num_t"));
        QCOMPARE(t.page->sortSuffix(), QStringLiteral(" A"));
        QCOMPARE(drive::column(t.dw(), QStringLiteral("num")), (QStringList{"1", "1", "2", "3"}));
        drive::clickObject(t.dw(), QStringLiteral("name_t"));
        QCOMPARE(t.page->sortSuffix(), QStringLiteral(" D"));
        // Pinyin order, descending: shu, dian, bing.
        QCOMPARE(drive::column(t.dw(), QStringLiteral("name")), (QStringList{"书桌", "电视", "冰箱", "冰箱"}));
        // Only the row the user moves to is highlighted.
        drive::clickObject(t.dw(), QStringLiteral("name"), 3);
        for (long r = 1; r <= t.dw()->rowCount(); ++r)
            QCOMPARE(t.dw()->isSelected(r), r == 3);
    }

    void addSaveAndDeleteWithTheirBoxes()
    {
        Items t;
        drive::select(t.tree(), drive::group(t.tree(), QStringLiteral("2")));
        drive::click(t.page->saveButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("K06"), QStringLiteral("当前视图不能执行保存!"), Icon::Exclamation);
        drive::click(t.page->addButton);
        QCOMPARE(t.page->newRows, 1);
        QCOMPARE(t.dw()->getItemString(1, QStringLiteral("gid")), QStringLiteral("2"));
        drive::click(t.page->saveButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("K09"), QStringLiteral("名称不能为空!"), Icon::Exclamation);
        drive::type(t.dw(), QStringLiteral("name"), QStringLiteral("台灯"));
        drive::click(t.page->saveButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("K10"), QStringLiteral("保存成功!"), Icon::Information);
        QCOMPARE(t.count(QStringLiteral("gid = '2' AND name = '台灯' AND num = 1")), 1);
        // Rebuilt: the group expanded, the saved item selected and read back with its id.
        QCOMPARE(drive::currentLabel(t.tree()), QStringLiteral("台灯"));
        QVERIFY(t.dw()->getItemNumber(1, QStringLiteral("id")) > 4);

        t.fakes.boxes->answers = {platform::Answer::No};
        drive::click(t.page->deleteButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("K03"), QStringLiteral("确认删除<台灯>?"), Icon::Question,
                   platform::Buttons::YesNo, 2);
        QCOMPARE(t.count(), 5);
        t.fakes.boxes->answers = {platform::Answer::Yes};
        drive::click(t.page->deleteButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("K04"), QStringLiteral("删除成功!"), Icon::Information);
        QCOMPARE(t.count(), 4);
        QCOMPARE(drive::currentLabel(t.tree()), QStringLiteral("家具"));
    }

    void refusedWritesRollBackAndKeepTheCard()
    {
        Items t;
        drive::select(t.tree(), drive::member(t.tree(), QStringLiteral("1"), QStringLiteral("电视")));
        QVERIFY(testDb().execute(QStringLiteral("CREATE TRIGGER no_change BEFORE UPDATE ON ca_info "
                                             "BEGIN SELECT RAISE(ABORT, '不许改'); END")));
        QVERIFY(testDb().commit());
        drive::type(t.dw(), QStringLiteral("brand"), QStringLiteral("新牌子"));
        drive::click(t.page->saveButton);
        QCOMPARE(t.fakes.boxes->shown.last().title, QStringLiteral("K11"));
        QVERIFY(t.fakes.boxes->shown.last().text.startsWith(QStringLiteral("保存失败!\n")));
        QVERIFY(t.fakes.boxes->shown.last().text.contains(QStringLiteral("不许改")));
        QCOMPARE(t.fakes.boxes->shown.last().icon, Icon::Stop);
        QVERIFY(!testDb().inTransaction());
        QCOMPARE(t.dw()->getItemString(1, QStringLiteral("brand")), QStringLiteral("新牌子"));
        QCOMPARE(t.count(QStringLiteral("brand IS NULL")), 4);

        // A refused delete: rolled back, reported, nothing gone.
        QVERIFY(testDb().execute(QStringLiteral("DROP TRIGGER no_change")));
        QVERIFY(testDb().execute(QStringLiteral("CREATE TRIGGER no_delete BEFORE DELETE ON ca_info "
                                             "BEGIN SELECT RAISE(ABORT, '不许删'); END")));
        QVERIFY(testDb().commit());
        t.fakes.boxes->answers = {platform::Answer::Yes};
        drive::click(t.page->deleteButton);
        QCOMPARE(t.fakes.boxes->shown.last().title, QStringLiteral("K05"));
        QVERIFY(t.fakes.boxes->shown.last().text.contains(QStringLiteral("不许删")));
        QCOMPARE(t.count(), 4);
        // This page leaves the card empty after a failed delete: Save has nothing left.
        drive::click(t.page->saveButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("K07"), QStringLiteral("无可保存的记录!"), Icon::Exclamation);
    }
};

MIVO_TEST_MAIN(tst_grouptreepage)
#include "tst_grouptreepage.moc"
