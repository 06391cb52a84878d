#include "testmain.h"
#include "widgets/handletree.h"

#include <QSignalSpy>

using widgets::HandleTree;
using widgets::TreeItem;
using widgets::TreeNavigation;

namespace {

TreeItem item(const QString &label, const QVariant &data, bool children = false, int picture = 1)
{
    TreeItem t;
    t.label = label;
    t.data = data;
    t.pictureIndex = picture;
    t.selectedPictureIndex = picture;
    t.children = children;
    return t;
}

// A root with two groups; the groups are filled on first expansion, "b" proves empty.
struct Fixture
{
    HandleTree tree;
    long root = 0, a = 0, b = 0;
    QList<long> populated;

    Fixture()
    {
        tree.resize(300, 400);
        QObject::connect(&tree, &HandleTree::itemPopulate, [this](long h) {
            populated << h;
            if (h == a)
                tree.insertItemsLast(a, {item(QStringLiteral("张三"), QStringLiteral("张三")),
                                         item(QStringLiteral("李四"), QStringLiteral("李四"))});
            if (h == b) {
                TreeItem t;
                tree.getItem(b, t);
                t.children = false;
                tree.setItem(b, t);
            }
        });
        root = tree.insertItemLast(0, item(QStringLiteral("通讯录"), QStringLiteral("%"), true));
        a = tree.insertItemLast(root, item(QStringLiteral("家人"), QStringLiteral("1"), true, 2));
        b = tree.insertItemLast(root, item(QStringLiteral("朋友"), QStringLiteral("2"), true, 2));
    }
};

} // namespace

class tst_handletree : public QObject
{
    Q_OBJECT

private slots:
    void navigationAndLevels()
    {
        Fixture f;
        QCOMPARE(f.tree.findItem(TreeNavigation::Root), f.root);
        QCOMPARE(f.tree.findItem(TreeNavigation::Child, f.root), f.a);
        QCOMPARE(f.tree.findItem(TreeNavigation::Next, f.a), f.b);
        QCOMPARE(f.tree.findItem(TreeNavigation::Next, f.b), 0L);
        QCOMPARE(f.tree.findItem(TreeNavigation::Previous, f.b), f.a);
        QCOMPARE(f.tree.findItem(TreeNavigation::Parent, f.b), f.root);
        QCOMPARE(f.tree.findItem(TreeNavigation::Parent, f.root), 0L);
        QCOMPARE(f.tree.findItem(TreeNavigation::Child, f.a), 0L); // not filled yet
        QCOMPARE(f.tree.itemLevel(f.root), 1);
        QCOMPARE(f.tree.itemLevel(f.b), 2);
        QCOMPARE(f.tree.findChildByData(f.root, QStringLiteral("2")), f.b);
        QCOMPARE(f.tree.findChildByLabel(f.root, QStringLiteral("家人")), f.a);
        QCOMPARE(f.tree.findChildByData(f.root, QStringLiteral("9")), 0L);
        TreeItem t;
        QVERIFY(f.tree.getItem(f.a, t));
        QCOMPARE(t.label, QStringLiteral("家人"));
        QCOMPARE(t.data.toString(), QStringLiteral("1"));
        QCOMPARE(t.level, 2);
        QVERIFY(t.children);
        QVERIFY(!f.tree.getItem(999, t));
    }

    void populateRunsOnceOnFirstExpansionByCodeOrUser()
    {
        Fixture f;
        f.tree.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.tree));
        QVERIFY(f.tree.expandItem(f.root));
        QVERIFY(f.tree.expandItem(f.a));
        QCOMPARE(f.tree.childCount(f.a), 2L);
        f.tree.collapseItem(f.a);
        f.tree.expandItem(f.a);
        QCOMPARE(f.tree.childCount(f.a), 2L);
        QCOMPARE(f.populated, (QList<long>{f.root, f.a}));
        const long first = f.tree.findItem(TreeNavigation::Child, f.a);
        TreeItem t;
        f.tree.getItem(first, t);
        QCOMPARE(t.label, QStringLiteral("张三"));
        QCOMPARE(t.level, 3);

        // The user's double-click on a group expands it, which fills it; the empty one loses its sign.
        QCoreApplication::processEvents(); // the view lays out its items late
        const QRect r = f.tree.itemRect(f.b);
        QVERIFY(!r.isEmpty());
        QTest::mouseClick(f.tree.viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(f.tree.viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(f.populated.last(), f.b);
        f.tree.getItem(f.b, t);
        QVERIFY(!t.children);
        QVERIFY(!f.tree.model()->hasChildren(f.tree.indexAt(r.center())));
    }

    void selectionReportsOldAndNewHandles()
    {
        Fixture f;
        f.tree.show();
        f.tree.expandItem(f.root);
        QSignalSpy spy(&f.tree, &HandleTree::selectionChanged);
        QVERIFY(f.tree.selectItem(f.a));
        QVERIFY(f.tree.selectItem(f.b));
        QVERIFY(f.tree.selectItem(f.b)); // no change, no signal
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(0).at(0).toLongLong(), 0LL);
        QCOMPARE(spy.at(0).at(1).toLongLong(), qlonglong(f.a));
        QCOMPARE(spy.at(1).at(0).toLongLong(), qlonglong(f.a));
        QCOMPARE(spy.at(1).at(1).toLongLong(), qlonglong(f.b));
        QCOMPARE(f.tree.findItem(TreeNavigation::Current), f.b);
        // A click by the user reports the same way.
        QTest::mouseClick(f.tree.viewport(), Qt::LeftButton, {}, f.tree.itemRect(f.a).center());
        QCOMPARE(spy.count(), 3);
        QCOMPARE(spy.last().at(1).toLongLong(), qlonglong(f.a));
    }

    void deletingTheRootEmptiesTheTreeForARebuild()
    {
        Fixture f;
        f.tree.show();
        f.tree.expandItem(f.root);
        f.tree.expandItem(f.a);
        f.tree.selectItem(f.tree.findItem(TreeNavigation::Child, f.a));
        QSignalSpy spy(&f.tree, &HandleTree::selectionChanged);
        QVERIFY(f.tree.deleteItem(f.root));
        QCOMPARE(spy.count(), 0);
        QCOMPARE(f.tree.findItem(TreeNavigation::Root), 0L);
        QCOMPARE(f.tree.findItem(TreeNavigation::Current), 0L);
        TreeItem t;
        QVERIFY(!f.tree.getItem(f.a, t));

        // Rebuilt: selecting the item at the place where the old selection was is reported.
        const long root = f.tree.insertItemLast(0, item(QStringLiteral("通讯录"), QStringLiteral("%"), true));
        const long g = f.tree.insertItemLast(root, item(QStringLiteral("家人"), QStringLiteral("1"), true));
        f.tree.expandItem(root);
        QVERIFY(f.tree.selectItem(g));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.last().at(1).toLongLong(), qlonglong(g));
    }

    void deletingAMiddleChildKeepsTheOthersReachable()
    {
        Fixture f;
        const long c = f.tree.insertItemLast(f.root, item(QStringLiteral("同学"), QStringLiteral("3")));
        QVERIFY(f.tree.deleteItem(f.a));
        QCOMPARE(f.tree.findItem(TreeNavigation::Child, f.root), f.b);
        QCOMPARE(f.tree.findItem(TreeNavigation::Next, f.b), c);
        QCOMPARE(f.tree.findItem(TreeNavigation::Previous, c), f.b);
        QCOMPARE(f.tree.model()->rowCount(f.tree.model()->index(0, 0)), 2);
    }

    void tenThousandChildrenInOneInsert()
    {
        Fixture f;
        QList<TreeItem> many;
        for (int i = 0; i < 10000; ++i)
            many << item(QString::number(i), QString::number(i), false, 3);
        const QList<long> handles = f.tree.insertItemsLast(f.b, many);
        QCOMPARE(handles.size(), 10000);
        QCOMPARE(f.tree.childCount(f.b), 10000L);
        QCOMPARE(f.tree.findItem(TreeNavigation::Next, handles[4999]), handles[5000]);
        QCOMPARE(f.tree.findItem(TreeNavigation::Parent, handles.last()), f.b);
    }
};

MIVO_TEST_MAIN(tst_handletree)
#include "tst_handletree.moc"
