// The find box on both group-tree pages, from what a user has in mivo.mdb: Ctrl+F lays it over the
// tree, a hit opens its record as a click in the tree does, Escape leaves everything as it was, and
// the page's own saves and deletes reach the box.

#include "addressbook/addressbookpage.h"
#include "assets/assetspage.h"
#include "pagedriver.h"
#include "pagekit/findbox.h"
#include "testmain.h"
#include "views/dataview.h"
#include "widgets/handletree.h"

#include <QLineEdit>
#include <QTreeWidget>

namespace {

void fill()
{
    exec(QStringLiteral("INSERT INTO t_telinfo (zuhao0, xingm0, nich00, shouji) VALUES ('1', '张三', NULL, '13800138000'), "
                        "('2', '张三丰', NULL, NULL), ('2', '李四', '小张', NULL), ('3', '王五', NULL, NULL)"));
    exec(QStringLiteral("INSERT INTO ca_info (gid, name, brand, num) VALUES ('1', '冰箱', '海尔', 1), ('2', '书桌', NULL, 1), "
                        "('1', '冰箱', '美的', 1), ('3', '字典', NULL, 1)"));
}

// What the tree and the view show.
template <class P>
QString shownRecord(PageDriver<P> &d)
{
    widgets::TreeItem item;
    d.page->groupTree->getItem(d.current(), item);
    const long group = d.page->groupTree->findItem(widgets::TreeNavigation::Parent, d.current());
    widgets::TreeItem parent;
    d.page->groupTree->getItem(group, parent);
    return QStringLiteral("%1 %2 in %3%4, card %5")
        .arg(item.label, item.data.toString(), parent.data.toString(), parent.expanded ? QStringLiteral(" expanded") : QString(),
             d.page->recordView->dataObject() == d.page->desc().cardView ? d.shown(d.page->desc().nameColumn) : QStringLiteral("none"));
}

template <class P>
void findAndOpen(const QString &before, const QString &typed, int downs, const QString &opened)
{
    PageDriver<P> d(fill);
    if (!before.isEmpty()) {
        // A card with an edit not saved: opening a hit leaves it as a click in the tree leaves it.
        d.select(d.member(before.section(QLatin1Char(' '), 0, 0), before.section(QLatin1Char(' '), 1)));
        d.type(d.page->desc().nameColumn, QStringLiteral("改过"));
    }
    const QRect tree = d.page->groupTree->geometry();
    pagekit::FindBox *box = d.page->findBox();
    QVERIFY(!box->isBuilt());
    QTest::keyClick(d.page.get(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(box->isOpen());
    QVERIFY(box->edit()->hasFocus());
    QCOMPARE(box->geometry().topLeft(), tree.topLeft());
    drive::typeText(box->edit(), typed);
    QVERIFY(box->results()->topLevelItemCount() > downs);

    // Escape: the tree as it was.
    const long current = d.current();
    QTest::keyClick(box->edit(), Qt::Key_Escape);
    QVERIFY(!box->isOpen());
    QCOMPARE(d.current(), current);
    QCOMPARE(d.page->groupTree->geometry(), tree);

    // Opened again: the last text, chosen whole, so that typing replaces it.
    QTest::keyClick(d.page.get(), Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(box->edit()->selectedText(), typed);
    for (int i = 0; i < downs; ++i)
        QTest::keyClick(box->edit(), Qt::Key_Down);
    QTest::keyClick(box->edit(), Qt::Key_Return);
    QVERIFY(!box->isOpen());
    QCOMPARE(shownRecord(d), opened);
    QVERIFY(d.page->groupTree->hasFocus());
    QCOMPARE(d.boxCount(), 0);
    if (!before.isEmpty())
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM t_telinfo WHERE xingm0 = '改过'")).toInt(), 0);
}

} // namespace

class tst_grouptreefind : public QObject
{
    Q_OBJECT

private slots:
    void aHitOpensItsRecordAsTheTreeDoes_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("before");   // a card edited and not saved: "group label"
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("downs");
        QTest::addColumn<QString>("opened");
        QTest::newRow("zs opens 张三") << "address book" << "" << "zs" << 0 << "张三 张三 in 1 expanded, card 张三";
        QTest::newRow("a nickname; an unsaved card is dropped")
            << "address book" << "3 王五" << "xiaozh" << 0 << "李四 李四 in 2 expanded, card 李四";
        QTest::newRow("the second item of one name") << "assets" << "" << "bx" << 1 << "冰箱 3 in 1 expanded, card 冰箱";
        QTest::newRow("by brand") << "assets" << "" << "haier" << 0 << "冰箱 1 in 1 expanded, card 冰箱";
    }
    void aHitOpensItsRecordAsTheTreeDoes()
    {
        QFETCH(QString, page);
        QFETCH(QString, before);
        QFETCH(QString, typed);
        QFETCH(int, downs);
        QFETCH(QString, opened);
        if (page == QLatin1String("assets"))
            findAndOpen<AssetsPage>(before, typed, downs, opened);
        else
            findAndOpen<AddressBookPage>(before, typed, downs, opened);
    }

    // Saved, moved to "Z" and deleted for good on the page: the box, built before, lists each as it
    // is now; a contact added behind the tree's back is found and opened by reading the tree again.
    void thePagesWritesReachTheBox()
    {
        PageDriver<AddressBookPage> d(fill);
        pagekit::FindBox *box = d.page->findBox();
        const auto lines = [&](const QString &typed) {
            QTest::keyClick(d.page.get(), Qt::Key_F, Qt::ControlModifier);
            box->edit()->selectAll();
            drive::typeText(box->edit(), typed);
            QStringList out;
            for (int i = 0; i < box->results()->topLevelItemCount(); ++i)
                out << box->results()->topLevelItem(i)->text(0) + QLatin1Char(' ') + box->results()->topLevelItem(i)->text(1);
            QTest::keyClick(box->edit(), Qt::Key_Escape);
            return out;
        };
        QCOMPARE(lines(QStringLiteral("zs")), (QStringList{"张三 家人", "张三丰 朋友"}));

        d.select(d.member(QStringLiteral("2"), QStringLiteral("张三丰")));
        // A name that quotes and ends statements is only a name.
        const QString oneil = QStringLiteral("O'Neil\"); --");
        d.type(QStringLiteral("xingm0"), oneil);
        d.click(d.page->saveButton);
        QCOMPARE(d.boxTitles().last(), QStringLiteral("T10"));
        QCOMPARE(lines(QStringLiteral("zs")), QStringList{"张三 家人"});
        QCOMPARE(lines(QStringLiteral("o'n")), QStringList{oneil + QStringLiteral(" 朋友")});

        d.fakes.boxes->answers = {platform::Answer::Yes, platform::Answer::Ok, platform::Answer::Yes};
        d.select(d.member(QStringLiteral("1"), QStringLiteral("张三")));
        d.click(d.page->deleteButton);
        QCOMPARE(lines(QStringLiteral("zs")), QStringList{"张三 已删除"});
        d.select(d.member(QStringLiteral("Z"), QStringLiteral("张三")));
        d.click(d.page->deleteButton);
        QCOMPARE(d.boxTitles().last(), QStringLiteral("T04"));
        QCOMPARE(lines(QStringLiteral("zs")), QStringList{"无匹配记录 "});
        QCOMPARE(box->recordCount(), 3);

        // An import adds a contact to a group the tree has already read.
        d.select(d.member(QStringLiteral("2"), QStringLiteral("李四")));
        exec(QStringLiteral("INSERT INTO t_telinfo (zuhao0, xingm0) VALUES ('2', '周森')"));
        box->reload();
        QCOMPARE(lines(QStringLiteral("zs")), QStringList{"周森 朋友"});
        QTest::keyClick(d.page.get(), Qt::Key_F, Qt::ControlModifier);
        QTest::keyClick(box->edit(), Qt::Key_Return);
        QCOMPARE(shownRecord(d), QStringLiteral("周森 周森 in 2 expanded, card 周森"));
    }
};

MIVO_TEST_MAIN(tst_grouptreefind)
#include "tst_grouptreefind.moc"
