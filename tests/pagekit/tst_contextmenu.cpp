// The right-click menu every page's tree and list share: it opens on the item under the pointer, or
// from the keyboard on the current one, acts on that item, and leaves the tree's selection alone.

#include "pagekit/contextmenu.h"
#include "widgets/handletree.h"

#include "testmain.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>

using pagekit::ContextMenu;
using pagekit::MenuTarget;
using widgets::HandleTree;
using widgets::TreeItem;

namespace {

// A right click as the window system delivers it: the button, then the menu event where it was.
void rightClick(QWidget *w, QPoint pos)
{
    QTest::mouseClick(w, Qt::RightButton, {}, pos);
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, w->mapToGlobal(pos));
    QApplication::sendEvent(w, &event);
}

} // namespace

class tst_contextmenu : public QObject
{
    Q_OBJECT

private slots:
    void actsOnTheItemItOpenedOnWithoutSelectingIt()
    {
        QWidget window;
        window.resize(400, 300);
        auto *tree = new HandleTree(&window);
        tree->resize(400, 300);
        const long root = tree->insertItemLast(0, {QStringLiteral("通讯录"), QStringLiteral("%")});
        const long family = tree->insertItemLast(root, {QStringLiteral("家人"), QStringLiteral("1")});
        const long friends = tree->insertItemLast(root, {QStringLiteral("朋友"), QStringLiteral("2")});
        const long member = tree->insertItemLast(friends, {QStringLiteral("张三"), QStringLiteral("张三")});
        tree->expandItem(root);
        tree->expandItem(friends);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        auto *menu = ContextMenu::onGroupTree(tree, QStringLiteral("通讯录分组菜单"));
        QList<MenuTarget> acted;
        QAction *import = menu->addAction(QStringLiteral("导入联系人…"), QStringLiteral("m_import"),
                                          [&](const MenuTarget &t) { acted << t; });
        menu->addAction(QStringLiteral("导出联系人…"), QStringLiteral("m_export"), [](const MenuTarget &) {});
        QCOMPARE(menu->menu()->accessibleName(), QStringLiteral("通讯录分组菜单"));
        QAccessibleInterface *item = QAccessible::queryAccessibleInterface(menu->menu())->child(0);
        QVERIFY(item);
        QCOMPARE(item->text(QAccessible::Name), QStringLiteral("导入联系人…"));

        // The pointer on a group while a member is selected: the group is what the menu acts on.
        QVERIFY(tree->selectItem(member));
        rightClick(tree->viewport(), tree->itemRect(friends).center());
        QTRY_VERIFY(menu->menu()->isVisible());
        QCOMPARE(menu->target().data, QStringLiteral("2"));
        QCOMPARE(menu->target().level, 2);
        import->trigger();
        QCOMPARE(acted.size(), 1);
        QCOMPARE(acted.first().label, QStringLiteral("朋友"));
        QCOMPARE(tree->findItem(widgets::TreeNavigation::Current), member);
        menu->menu()->close();

        // A member, and the space below the items, open nothing.
        rightClick(tree->viewport(), tree->itemRect(member).center());
        rightClick(tree->viewport(), QPoint(10, 280));
        QTest::qWait(20);
        QVERIFY(!menu->menu()->isVisible());

        // From the keyboard the menu opens on the current item, its first entry ready for Enter.
        for (const QKeyCombination key : {QKeyCombination(Qt::ShiftModifier, Qt::Key_F10), QKeyCombination(Qt::Key_Menu)}) {
            QVERIFY(tree->selectItem(family));
            tree->setFocus();
            QTest::keyClick(tree, key.key(), key.keyboardModifiers());
            QTRY_VERIFY(menu->menu()->isVisible());
            QCOMPARE(menu->target().data, QStringLiteral("1"));
            QCOMPARE(menu->menu()->activeAction(), import);
            QTest::keyClick(menu->menu(), Qt::Key_Return);
            QTRY_COMPARE(acted.size(), key.key() == Qt::Key_F10 ? 2 : 3);
            QCOMPARE(acted.last().data, QStringLiteral("1"));
        }

        // Hiding the page takes its open menu away.
        rightClick(tree->viewport(), tree->itemRect(root).center());
        QTRY_VERIFY(menu->menu()->isVisible());
        QCOMPARE(menu->target().data, QStringLiteral("%"));
        tree->hide();
        QVERIFY(!menu->menu()->isVisible());
    }
};

MIVO_TEST_MAIN(tst_contextmenu)
#include "tst_contextmenu.moc"
