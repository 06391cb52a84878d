// The notebook page as a user browses it: the group tree and its lists, opening notes, the zoom
// toggle, locating a note, the layout, and the enlarged reader.

#include "app/transaction.h"
#include "notebook/w_pt_readmax.h"
#include "notepage.h"
#include "testmain.h"
#include "widgets/handletree.h"
#include "widgets/unitgeometry.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

using platform::Icon;
using widgets::TreeItem;

namespace {

const QList<Note> kNotes = {
    {QStringLiteral("1"), QStringLiteral("周记"), QStringLiteral("第一周")},
    {QStringLiteral("1"), QStringLiteral("Apple"), QString()},
    {QStringLiteral("2"), QStringLiteral("会议"), QStringLiteral("九点开会\n十点结束")},
};

TreeItem itemOf(const NotePage &t, long handle)
{
    TreeItem item;
    t.page->tv_1->getItem(handle, item);
    return item;
}

// The page `w` units wide and `h` high, as the main window places it.
void placePage(NotePage &t, int w, int h)
{
    setUnitGeometry(t.page.get(), QRect(0, 0, w, h));
    QCoreApplication::processEvents();
}

int treeWidth(const NotePage &t)
{
    return unitGeometry(t.page->tv_1).width();
}

void clickZoom(NotePage &t)
{
    QTest::mouseClick(t.page->st_zoom, Qt::LeftButton);
}

} // namespace

class tst_u_notepro : public QObject
{
    Q_OBJECT

private slots:
    void buildsTreeAndBothListsFromTheGroups()
    {
        // A group added with a code that sorts first comes first everywhere.
        NotePage t(kNotes, Groups{{QStringLiteral("2"), QStringLiteral("工作")}, {QStringLiteral("1"), QStringLiteral("日记")},
                                  {QStringLiteral("0"), QStringLiteral("收件箱")}});
        QVERIFY(t.fakes.boxes->shown.isEmpty());
        const TreeItem root = itemOf(t, t.root());
        QCOMPARE(root.label, QStringLiteral("笔记本"));
        QCOMPARE(root.data.toString(), QStringLiteral("%"));
        QVERIFY(root.expanded);
        QCOMPARE(t.children(t.root()), (QStringList{QStringLiteral("收件箱"), QStringLiteral("日记"), QStringLiteral("工作")}));
        QVERIFY(itemOf(t, t.group(QStringLiteral("0"))).children);
        QCOMPARE(t.comboEntries(t.editor()->ddlb_1),
                 (QStringList{QStringLiteral("[请选择]"), QStringLiteral("收件箱"), QStringLiteral("日记"), QStringLiteral("工作")}));
        QCOMPARE(t.comboEntries(t.page->ddlb_2),
                 (QStringList{QStringLiteral("全部"), QStringLiteral("收件箱"), QStringLiteral("日记"), QStringLiteral("工作")}));
        QCOMPARE(t.editor()->ddlb_1->currentText(), QStringLiteral("[请选择]"));
        QCOMPARE(t.page->ddlb_2->currentText(), QStringLiteral("全部"));
        QCOMPARE(t.page->tab_1->currentWidget(), static_cast<QWidget *>(t.editor()));
        QCOMPARE(t.page->tab_1->tabText(0), QStringLiteral(" 内容 "));
        QCOMPARE(t.page->tab_1->tabText(1), QStringLiteral(" 查找 "));
        QCOMPARE(t.page->tab_1->tabText(2), QStringLiteral(" 编辑"));
        for (int i = 0; i < 3; ++i)
            QVERIFY(!t.page->tab_1->tabIcon(i).isNull());
        QCOMPARE(t.editor()->mle_1->toPlainText(), NoteEditor::is_max);
        QCOMPARE(t.page->st_zoom->text(), QStringLiteral(">>"));
        QCOMPARE(t.page->il_id, 0L);
    }

    void everyControlIsNamedForScreenReaders()
    {
        NotePage t;
        for (QWidget *w : t.page->findChildren<QWidget *>()) {
            if (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")))
                continue;
            QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
        }
        // The picture buttons say what their tip says, and show their picture.
        const QList<QPair<QToolButton *, QString>> tools{{t.editor()->cb_8, QStringLiteral("减小字体")},
                                                         {t.editor()->cb_7, QStringLiteral("增大字体")},
                                                         {t.editor()->pb_2, QStringLiteral("自动换行切换")},
                                                         {t.editor()->pb_1, QStringLiteral("最大化阅读")},
                                                         {t.editor()->pb_3, QStringLiteral("全选并复制到剪贴板")}};
        for (const auto &[button, tip] : tools) {
            QCOMPARE(button->toolTip(), tip);
            QCOMPARE(QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name), tip);
            const QPixmap picture = button->icon().pixmap(16, 16);
            QVERIFY2(!picture.isNull(), qPrintable(tip));
            // Drawn on a transparent ground: the corners of every picture are see-through.
            QVERIFY2(picture.toImage().pixelColor(0, 15).alpha() == 0 || picture.toImage().pixelColor(15, 15).alpha() == 0,
                     qPrintable(tip));
        }
        QCOMPARE(t.page->cb_1->text(), QStringLiteral("添加(&A)"));
        QCOMPARE(t.page->cb_3->text(), QStringLiteral("保存(&S)"));
        QCOMPARE(t.page->cb_2->text(), QStringLiteral("删除(&D)"));
        QCOMPARE(t.page->cb_5->text(), QStringLiteral("关闭(&C)"));
    }

    void withoutGroupsN00AndOnlyTheRoot()
    {
        NotePage t({}, Groups{});
        QCOMPARE(t.fakes.boxes->shown.size(), 1);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N00"), QStringLiteral("组信息无数据!"), Icon::Information);
        QCOMPARE(t.children(t.root()), QStringList());
        QVERIFY(!itemOf(t, t.root()).children);
        QCOMPARE(t.comboEntries(t.editor()->ddlb_1), QStringList{QStringLiteral("[请选择]")});
        QCOMPARE(t.comboEntries(t.page->ddlb_2), QStringList{QStringLiteral("全部")});
    }

    void aGroupReadsItsNotesOnceWhenFirstExpanded()
    {
        NotePage t(kNotes);
        const long diary = t.group(QStringLiteral("1"));
        QCOMPARE(t.children(diary), QStringList());
        QVERIFY(t.page->tv_1->expandItem(diary));
        // In title order; the group is selected; the editor is left alone.
        QCOMPARE(t.children(diary), (QStringList{QStringLiteral("Apple"), QStringLiteral("周记")}));
        QCOMPARE(t.current(), diary);
        QCOMPARE(t.editor()->mle_1->toPlainText(), NoteEditor::is_max);
        QCOMPARE(itemOf(t, t.note(QStringLiteral("1"), QStringLiteral("周记"))).data.toLongLong(),
                 t.idOf(QStringLiteral("1"), QStringLiteral("周记")));

        // Notes added later show only after a rebuild: the group is read once per build.
        exec(QStringLiteral("INSERT INTO p_info (gid, title, content) VALUES ('1', 'Banana', '')"));
        t.page->tv_1->collapseItem(diary);
        t.page->tv_1->expandItem(diary);
        QCOMPARE(t.children(diary).size(), 2);

        // A group without notes stops offering to expand, and is selected.
        const long study = t.group(QStringLiteral("3"));
        QVERIFY(itemOf(t, study).children);
        t.page->tv_1->expandItem(study);
        QVERIFY(!itemOf(t, study).children);
        QCOMPARE(t.current(), study);
    }

    void choosingANoteOpensItInTheEditor()
    {
        NotePage t(kNotes);
        t.page->tab_1->setCurrentWidget(t.page->tp_3);
        t.select(t.root());
        t.select(t.group(QStringLiteral("2")));
        QCOMPARE(t.page->tab_1->currentWidget(), static_cast<QWidget *>(t.page->tp_3));
        QCOMPARE(t.editor()->mle_1->toPlainText(), NoteEditor::is_max);

        t.open(QStringLiteral("2"), QStringLiteral("会议"));
        QCOMPARE(t.page->tab_1->currentWidget(), static_cast<QWidget *>(t.editor()));
        QCOMPARE(t.editor()->ddlb_1->currentText(), QStringLiteral("工作"));
        QCOMPARE(t.editor()->sle_1->text(), QStringLiteral("会议"));
        QCOMPARE(textOf(t.editor()->mle_1), QStringLiteral("九点开会\n十点结束"));
        QCOMPARE(qlonglong(t.page->il_id), t.idOf(QStringLiteral("2"), QStringLiteral("会议")));

        // An empty text shows empty, not the placeholder.
        t.open(QStringLiteral("1"), QStringLiteral("Apple"));
        QCOMPARE(textOf(t.editor()->mle_1), QString());
        QCOMPARE(t.editor()->ddlb_1->currentText(), QStringLiteral("日记"));
    }

    void aNoteOfARepeatedGroupNameShowsItsOwnGroup()
    {
        // Two groups of the same name: the list shows the note's own entry, by its place.
        NotePage t({{QStringLiteral("5"), QStringLiteral("计划"), QStringLiteral("b")}},
                   Groups{{QStringLiteral("2"), QStringLiteral("工作")}, {QStringLiteral("5"), QStringLiteral("工作")}});
        t.open(QStringLiteral("5"), QStringLiteral("计划"));
        QCOMPARE(t.editor()->ddlb_1->currentIndex(), 2);
    }

    void aVanishedNoteOpensEmpty()
    {
        NotePage t(kNotes);
        const long meeting = t.note(QStringLiteral("2"), QStringLiteral("会议"));
        const qlonglong id = t.idOf(QStringLiteral("2"), QStringLiteral("会议"));
        exec(QStringLiteral("DELETE FROM p_info WHERE id = ?"), {id});
        t.select(meeting);
        QCOMPARE(t.fakes.boxes->shown.size(), 0);
        QCOMPARE(t.editor()->sle_1->text(), QString());
        QCOMPARE(textOf(t.editor()->mle_1), QString());
        QCOMPARE(qlonglong(t.page->il_id), id);
    }

    void locatingOpensTheFirstNoteOfThatTitle()
    {
        NotePage t({{QStringLiteral("1"), QStringLiteral("同名"), QStringLiteral("older")},
                    {QStringLiteral("1"), QStringLiteral("同名"), QStringLiteral("newer")}});
        t.editor()->sle_1->setFocus();
        QVERIFY(t.page->of_locate(QStringLiteral("1"), QStringLiteral("同名")));
        QCOMPARE(textOf(t.editor()->mle_1), QStringLiteral("older"));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(t.page->tv_1));

        // Without a title the group is expanded and nothing opened; an unknown group finds nothing.
        t.page->of_rebuild();
        QVERIFY(t.page->of_locate(QStringLiteral("1")));
        QVERIFY(itemOf(t, t.group(QStringLiteral("1"))).expanded);
        QCOMPARE(t.current(), t.group(QStringLiteral("1")));
        QVERIFY(!t.page->of_locate(QStringLiteral("q"), QStringLiteral("同名")));
        QCOMPARE(t.current(), t.group(QStringLiteral("1")));
    }

    void zoomWidensAndNarrowsTheTree()
    {
        NotePage t(kNotes);
        placePage(t, 3105, 2188);
        // The layout's share and the toggle's share differ: (W - 18) x 0.35 and W x 0.35.
        QCOMPARE(treeWidth(t), 1080);
        clickZoom(t);
        QCOMPARE(t.page->st_zoom->text(), QStringLiteral("<<"));
        QCOMPARE(treeWidth(t), 3105);
        QCOMPARE(unitGeometry(t.page->st_zoom).x(), 3105 - 200);
        // The tree lies over the tabs, the toggle over the tree.
        const QObjectList order = t.page->children();
        QVERIFY(order.indexOf(t.page->tv_1) > order.indexOf(t.page->tab_1));
        QVERIFY(order.indexOf(t.page->st_zoom) > order.indexOf(t.page->tv_1));

        // Widened, it keeps covering the page when the window changes size.
        placePage(t, 3500, 2188);
        QCOMPARE(treeWidth(t), 3500);
        QCOMPARE(unitGeometry(t.page->st_zoom).x(), 3300);

        clickZoom(t);
        QCOMPARE(t.page->st_zoom->text(), QStringLiteral(">>"));
        QCOMPARE(treeWidth(t), 1225);
        QCOMPARE(unitGeometry(t.page->st_zoom).x(), 1025);
        placePage(t, 3105, 2188);
        QCOMPARE(treeWidth(t), 1080);
    }

    void zoomAtTheWidthLimit_data()
    {
        QTest::addColumn<int>("pageWidth");
        QTest::addColumn<int>("afterFirst");
        QTest::addColumn<int>("afterSecond");
        QTest::addColumn<QString>("textAfterSecond");
        // 2000 units counts as widened, so the second click narrows; below it every click widens.
        QTest::newRow("2000") << 2000 << 2000 << 700 << QStringLiteral(">>");
        QTest::newRow("1999") << 1999 << 1999 << 1999 << QStringLiteral("<<");
        QTest::newRow("2001") << 2001 << 2001 << 700 << QStringLiteral(">>");
    }
    void zoomAtTheWidthLimit()
    {
        QFETCH(int, pageWidth);
        QFETCH(int, afterFirst);
        QFETCH(int, afterSecond);
        QFETCH(QString, textAfterSecond);
        NotePage t;
        placePage(t, pageWidth, 1500);
        clickZoom(t);
        QCOMPARE(treeWidth(t), afterFirst);
        QCOMPARE(t.page->st_zoom->text(), QStringLiteral("<<"));
        clickZoom(t);
        QCOMPARE(treeWidth(t), afterSecond);
        QCOMPARE(t.page->st_zoom->text(), textAfterSecond);
    }

    void doubleClickOnANoteNarrowsAWidenedTree()
    {
        NotePage t(kNotes);
        placePage(t, 3105, 2188);
        const long meeting = t.note(QStringLiteral("2"), QStringLiteral("会议"));
        clickZoom(t);
        QCoreApplication::processEvents();
        // A group: expanded or collapsed as usual, the tree stays wide.
        const QPoint group = t.page->tv_1->itemRect(t.group(QStringLiteral("1"))).center();
        QTest::mouseDClick(t.page->tv_1->viewport(), Qt::LeftButton, {}, group);
        QCOMPARE(t.page->st_zoom->text(), QStringLiteral("<<"));
        const QPoint note = t.page->tv_1->itemRect(meeting).center();
        QTest::mouseClick(t.page->tv_1->viewport(), Qt::LeftButton, {}, note);
        QTest::mouseDClick(t.page->tv_1->viewport(), Qt::LeftButton, {}, note);
        QCOMPARE(t.page->st_zoom->text(), QStringLiteral(">>"));
        QCOMPARE(treeWidth(t), 1086);
        QCOMPARE(t.editor()->sle_1->text(), QStringLiteral("会议"));
        // Narrow, a double click changes nothing.
        QTest::mouseDClick(t.page->tv_1->viewport(), Qt::LeftButton, {}, note);
        QCOMPARE(t.page->st_zoom->text(), QStringLiteral(">>"));
    }

    void tabsHoldTheirControlsClearOfEachOther()
    {
        NotePage t;
        placePage(t, 3105, 2188);
        for (QWidget *tab : {static_cast<QWidget *>(t.editor()), static_cast<QWidget *>(t.splitter())}) {
            t.page->tab_1->setCurrentWidget(tab);
            QCoreApplication::processEvents();
            QList<QWidget *> controls;
            for (QWidget *c : tab->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                if (!c->isHidden())
                    controls << c;
            for (QWidget *a : controls) {
                QVERIFY2(tab->rect().contains(a->geometry()), qPrintable(a->objectName()));
                for (QWidget *b : controls)
                    QVERIFY2(a == b || !a->geometry().intersects(b->geometry()),
                             qPrintable(a->objectName() + QLatin1Char('/') + b->objectName()));
            }
        }
        // The tools end where the title ends, which is where the text ends.
        const QRect title = t.editor()->sle_1->geometry();
        QVERIFY(title.right() - t.editor()->pb_1->geometry().right() <= 2);
        QCOMPARE(title.right(), t.editor()->mle_1->geometry().right());
        QCOMPARE(t.splitter()->mle_2->width(), t.editor()->mle_1->width());
    }

    void closeHidesThePage()
    {
        NotePage t(kNotes);
        t.open(QStringLiteral("2"), QStringLiteral("会议"));
        t.click(t.page->cb_5);
        QVERIFY(!t.page->isVisible());
        QCOMPARE(t.editor()->sle_1->text(), QStringLiteral("会议"));
    }
};

MIVO_TEST_MAIN(tst_u_notepro)
#include "tst_u_notepro.moc"
