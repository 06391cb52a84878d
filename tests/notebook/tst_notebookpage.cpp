// The notebook page as a user browses it: the tree and its lists, opening notes, the zoom toggle and
// the layout of the tabs.

#include "notebookdriver.h"
#include "testmain.h"
#include "widgets/handletree.h"
#include "widgets/unitgeometry.h"

#include <QAccessible>
#include <QLabel>
#include <QToolButton>

using widgets::TreeItem;

namespace {

const QList<Note> kNotes = {
    {QStringLiteral("1"), QStringLiteral("周记"), QStringLiteral("第一周")},
    {QStringLiteral("1"), QStringLiteral("Apple"), QString()},
    {QStringLiteral("5"), QStringLiteral("会议"), QStringLiteral("九点开会\n十点结束")},
};
// A group added with a code that sorts first, and a name that two groups share.
const Groups kGroups = {{QStringLiteral("2"), QStringLiteral("工作")}, {QStringLiteral("1"), QStringLiteral("日记")},
                        {QStringLiteral("0"), QStringLiteral("收件箱")}, {QStringLiteral("5"), QStringLiteral("工作")}};

TreeItem itemOf(const NotebookDriver &t, long handle)
{
    TreeItem item;
    t.tree()->getItem(handle, item);
    return item;
}

// The page `w` units wide, as the main window places it.
void placePage(NotebookDriver &t, int w)
{
    setUnitGeometry(t.page.get(), QRect(0, 0, w, 2188));
    QCoreApplication::processEvents();
}

int treeWidth(const NotebookDriver &t)
{
    return unitGeometry(t.page->groupTree).width();
}

} // namespace

class tst_notebookpage : public QObject
{
    Q_OBJECT

private slots:
    void theTreeAndBothListsFollowTheGroupTable()
    {
        NotebookDriver t(kNotes, kGroups);
        QVERIFY(t.fakes.boxes->shown.isEmpty());
        const TreeItem root = itemOf(t, drive::root(t.tree()));
        QCOMPARE(root.label, QStringLiteral("笔记本"));
        QVERIFY(root.expanded);
        const QStringList names{QStringLiteral("收件箱"), QStringLiteral("日记"), QStringLiteral("工作"), QStringLiteral("工作")};
        QCOMPARE(t.children(root.handle), names);
        QCOMPARE(entries(t.editor()->groupList), QStringList{QStringLiteral("[请选择]")} + names);
        QCOMPARE(entries(t.page->findTab->groupList), QStringList{QStringLiteral("全部")} + names);
        QCOMPARE(t.page->tabs->currentWidget(), static_cast<QWidget *>(t.editor()));
        QCOMPARE((QStringList{t.page->tabs->tabText(0), t.page->tabs->tabText(1), t.page->tabs->tabText(2)}),
                 (QStringList{QStringLiteral(" 内容 "), QStringLiteral(" 查找 "), QStringLiteral(" 编辑")}));

        // A group reads its notes, in title order, the first time it opens; then it is chosen.
        const long diary = t.group(QStringLiteral("1"));
        QVERIFY(itemOf(t, diary).children);
        QCOMPARE(t.children(diary), QStringList());
        exec(QStringLiteral("INSERT INTO p_info (gid, title) VALUES ('1', 'Banana')"));
        t.tree()->expandItem(diary);
        QCOMPARE(t.children(diary), (QStringList{QStringLiteral("Apple"), QStringLiteral("Banana"), QStringLiteral("周记")}));
        QCOMPARE(drive::current(t.tree()), diary);
        // Once per build: a note added now shows after the next rebuild.
        exec(QStringLiteral("INSERT INTO p_info (gid, title) VALUES ('1', 'Cherry')"));
        t.tree()->collapseItem(diary);
        t.tree()->expandItem(diary);
        QCOMPARE(t.children(diary).size(), 3);
        // A group without notes stops offering to open.
        const long inbox = t.group(QStringLiteral("0"));
        t.tree()->expandItem(inbox);
        QVERIFY(!itemOf(t, inbox).children);
        QCOMPARE(drive::current(t.tree()), inbox);
    }

    void withoutGroupsN00AndOnlyTheRoot()
    {
        NotebookDriver t({}, Groups{});
        QCOMPARE(t.fakes.boxes->shown.size(), 1);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N00"), QStringLiteral("组信息无数据!"));
        QCOMPARE(t.children(drive::root(t.tree())), QStringList());
        QCOMPARE(entries(t.editor()->groupList), QStringList{QStringLiteral("[请选择]")});
        QCOMPARE(entries(t.page->findTab->groupList), QStringList{QStringLiteral("全部")});
    }

    void choosingANoteOpensItChoosingAGroupDoesNot()
    {
        NotebookDriver t(kNotes, kGroups);
        t.page->tabs->setCurrentWidget(t.splitter());
        t.select(drive::root(t.tree()));
        t.select(t.group(QStringLiteral("5")));
        QCOMPARE(t.page->tabs->currentWidget(), static_cast<QWidget *>(t.splitter()));
        QCOMPARE(t.text(), NoteEditor::placeholder);

        // The note's own group by its place, though another group has the same name.
        t.open(QStringLiteral("5"), QStringLiteral("会议"));
        QCOMPARE(t.page->tabs->currentWidget(), static_cast<QWidget *>(t.editor()));
        QCOMPARE(t.editor()->groupList->currentIndex(), 4);
        QCOMPARE(t.editor()->titleEdit->text(), QStringLiteral("会议"));
        QCOMPARE(t.text(), QStringLiteral("九点开会\n十点结束"));
        QCOMPARE(qlonglong(t.page->noteId), t.idOf(QStringLiteral("5"), QStringLiteral("会议")));
        // An empty text shows empty, not the placeholder.
        t.open(QStringLiteral("1"), QStringLiteral("Apple"));
        QCOMPARE(t.text(), QString());

        // A note deleted meanwhile opens empty, with its id: saving stores it anew (see the save tests).
        const long week = t.note(QStringLiteral("1"), QStringLiteral("周记"));
        const qlonglong id = t.idOf(QStringLiteral("1"), QStringLiteral("周记"));
        exec(QStringLiteral("DELETE FROM p_info WHERE id = ?"), {id});
        t.select(week);
        QCOMPARE(t.editor()->titleEdit->text(), QString());
        QCOMPARE(t.text(), QString());
        QCOMPARE(qlonglong(t.page->noteId), id);
        QVERIFY(t.fakes.boxes->shown.isEmpty());
    }

    void zoomWidensAndNarrowsTheTree()
    {
        NotebookDriver t(kNotes, kGroups);
        placePage(t, 3105);
        // The layout takes (W - 18) x 0.35, the toggle W x 0.35.
        QCOMPARE(treeWidth(t), 1080);
        QTest::mouseClick(t.page->zoomToggle, Qt::LeftButton);
        QCOMPARE(t.page->zoomToggle->text(), QStringLiteral("<<"));
        QCOMPARE(treeWidth(t), 3105);
        QCOMPARE(unitGeometry(t.page->zoomToggle).x(), 2905);
        // Over the tabs, and the toggle over the tree.
        const QObjectList order = t.page->children();
        QVERIFY(order.indexOf(t.page->tabs) < order.indexOf(t.page->groupTree));
        QVERIFY(order.indexOf(t.page->groupTree) < order.indexOf(t.page->zoomToggle));
        // Widened, it keeps the page's width at every size.
        placePage(t, 3500);
        QCOMPARE(treeWidth(t), 3500);
        QCOMPARE(unitGeometry(t.page->zoomToggle).x(), 3300);

        // A double click on a group leaves it wide; on a note it opens it and narrows the tree.
        QCoreApplication::processEvents();
        QTest::mouseDClick(t.tree()->viewport(), Qt::LeftButton, {}, t.tree()->itemRect(t.group(QStringLiteral("5"))).center());
        QCOMPARE(treeWidth(t), 3500);
        const long meeting = t.note(QStringLiteral("5"), QStringLiteral("会议"));
        QCoreApplication::processEvents();
        const QPoint note = t.tree()->itemRect(meeting).center();
        QTest::mouseClick(t.tree()->viewport(), Qt::LeftButton, {}, note);
        QTest::mouseDClick(t.tree()->viewport(), Qt::LeftButton, {}, note);
        QCOMPARE(t.page->zoomToggle->text(), QStringLiteral(">>"));
        QCOMPARE(treeWidth(t), 1225);
        QCOMPARE(unitGeometry(t.page->zoomToggle).x(), 1025);
        QCOMPARE(t.editor()->titleEdit->text(), QStringLiteral("会议"));
        QTest::mouseDClick(t.tree()->viewport(), Qt::LeftButton, {}, note);
        QCOMPARE(treeWidth(t), 1225);

        // Tab goes from the tree to the toggle, a button a screen reader names by what it does.
        t.tree()->setFocus();
        QTest::keyClick(t.tree(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(t.page->zoomToggle));
        QAccessibleInterface *zoom = QAccessible::queryAccessibleInterface(t.page->zoomToggle);
        QCOMPARE(zoom->role(), QAccessible::Button);
        QCOMPARE(zoom->text(QAccessible::Name), QStringLiteral("加宽目录"));
        zoom->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_COMPARE(treeWidth(t), 3500);
        QCOMPARE(zoom->text(QAccessible::Name), QStringLiteral("恢复目录宽度"));
        QTest::keyClick(t.page->zoomToggle, Qt::Key_Space);
        QCOMPARE(treeWidth(t), 1225);
        QCOMPARE(t.page->zoomToggle->text(), QStringLiteral(">>"));
    }

    void zoomAtTheWidthLimit_data()
    {
        QTest::addColumn<int>("pageWidth");
        QTest::addColumn<int>("afterSecondClick");
        // 2000 units counts as widened, so the second click narrows; below it every click widens.
        QTest::newRow("2000") << 2000 << 700;
        QTest::newRow("1999") << 1999 << 1999;
    }
    void zoomAtTheWidthLimit()
    {
        QFETCH(int, pageWidth);
        QFETCH(int, afterSecondClick);
        NotebookDriver t;
        placePage(t, pageWidth);
        QTest::mouseClick(t.page->zoomToggle, Qt::LeftButton);
        QCOMPARE(treeWidth(t), pageWidth);
        QTest::mouseClick(t.page->zoomToggle, Qt::LeftButton);
        QCOMPARE(treeWidth(t), afterSecondClick);
        QCOMPARE(t.page->zoomToggle->text(), afterSecondClick == pageWidth ? QStringLiteral("<<") : QStringLiteral(">>"));
    }

    void theTabsHoldTheirControlsApartAndNamed()
    {
        NotebookDriver t;
        placePage(t, 3105);
        for (QWidget *tab : {static_cast<QWidget *>(t.editor()), static_cast<QWidget *>(t.splitter())}) {
            t.page->tabs->setCurrentWidget(tab);
            QCoreApplication::processEvents();
            const QList<QWidget *> controls = tab->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
            for (QWidget *a : controls) {
                QVERIFY2(!a->accessibleName().isEmpty(), qPrintable(a->objectName()));
                QVERIFY2(tab->rect().contains(a->geometry()), qPrintable(a->objectName()));
                for (QWidget *b : controls)
                    QVERIFY2(a == b || !a->geometry().intersects(b->geometry()),
                             qPrintable(a->objectName() + QLatin1Char('/') + b->objectName()));
            }
        }
        // The tools end where the title ends, which is where the text ends.
        const QRect title = t.editor()->titleEdit->geometry();
        QVERIFY(title.right() - t.editor()->readerButton->geometry().right() <= 2);
        QCOMPARE(title.right(), t.editor()->textEdit->geometry().right());
        QCOMPARE(t.splitter()->workArea->width(), t.editor()->textEdit->width());
        // Each picture button shows its picture and says its tip.
        for (QToolButton *b : t.editor()->findChildren<QToolButton *>()) {
            QCOMPARE(QAccessible::queryAccessibleInterface(b)->text(QAccessible::Name), b->toolTip());
            const QImage picture = b->icon().pixmap(16, 16).toImage();
            QVERIFY2(!picture.isNull() && picture.pixelColor(0, 15).alpha() == 0, qPrintable(b->toolTip()));
        }
    }
};

MIVO_TEST_MAIN(tst_notebookpage)
#include "tst_notebookpage.moc"
