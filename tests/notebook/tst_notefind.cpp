// The find tab as a user works it: what a search lists and in which order, the check boxes, sorting
// and the one highlighted row, opening a hit, the list across a save, vanished groups and failures,
// and the search index added at the first search of a database made without it.

#include "app/appinfo.h"
#include "app/connection.h"
#include "app/writepause.h"
#include "notebook/indexbuilder.h"
#include "notebookdriver.h"
#include "testmain.h"
#include "views/dataview.h"
#include "widgets/handletree.h"
#include "widgets/unitgeometry.h"
#include "widgets/units.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <optional>
#include <QTimer>

namespace {

const QList<Note> kNotes = {
    {QStringLiteral("2"), QStringLiteral("会议"), QStringLiteral("九点开会,讨论预算")},
    {QStringLiteral("1"), QStringLiteral("周记"), QStringLiteral("本周预算超支")},
    {QStringLiteral("1"), QStringLiteral("Apple pie"), QStringLiteral("100% butter, a_b")},
    {QStringLiteral("2"), QStringLiteral("预算表"), QStringLiteral("")},
    {QStringLiteral("_"), QStringLiteral("杂项预算"), QStringLiteral("x")},
    {QStringLiteral("9"), QStringLiteral("预算(无组)"), QStringLiteral("")},
    {QStringLiteral("1"), QStringLiteral("同名"), QStringLiteral("第一篇")},
    {QStringLiteral("1"), QStringLiteral("同名"), QStringLiteral("第二篇")},
};
// A group coded "_" (LIKE's any character) and two groups of one name.
const Groups kGroups = {{QStringLiteral("1"), QStringLiteral("日记")}, {QStringLiteral("2"), QStringLiteral("工作")},
                        {QStringLiteral("_"), QStringLiteral("其他")}, {QStringLiteral("3"), QStringLiteral("工作")}};
const QString kNoHit = QStringLiteral("无满足条件的记录!");

// A database as it was before the search index: its table and triggers are not there.
void withoutIndex()
{
    for (const char *sql : {"DROP TRIGGER p_info_fts_ai", "DROP TRIGGER p_info_fts_ad", "DROP TRIGGER p_info_fts_au",
                            "DROP TABLE p_info_fts"})
        exec(QString::fromLatin1(sql));
    testDb().commit();
}

class FindPage : public NotebookDriver
{
public:
    explicit FindPage(const QList<Note> &notes = kNotes, const Groups &groups = kGroups) : NotebookDriver(notes, groups)
    {
        page->tabs->setCurrentWidget(find());
        setUnitGeometry(page.get(), QRect(0, 0, 3105, 2188));
        QCoreApplication::processEvents();
    }

    NoteFind *find() const { return page->findTab; }
    views::DataView *hitList() const { return find()->hits; }

    // Types the text, sets the boxes by clicking where needed, chooses entry `scope` of the scope
    // list (0: "全部") and clicks 查找(&F). The hits as "group/title".
    QStringList search(const QString &text, int scope = 0, bool titles = true, bool contents = true)
    {
        NoteFind *f = find();
        f->groupList->setFocus();
        while (f->groupList->currentIndex() != scope)
            QTest::keyClick(f->groupList, f->groupList->currentIndex() > scope ? Qt::Key_Up : Qt::Key_Down);
        // Ticking first, then clearing, so the rule that keeps one ticked never steps in.
        const QList<QPair<QCheckBox *, bool>> boxes = {{f->inTitles, titles}, {f->inContents, contents}};
        for (const auto &[box, wanted] : boxes)
            if (wanted && !box->isChecked())
                click(box);
        for (const auto &[box, wanted] : boxes)
            if (!wanted && box->isChecked())
                click(box);
        click(f->textEdit);
        f->textEdit->selectAll();
        QTest::keyClick(f->textEdit, Qt::Key_Delete);
        drive::typeText(f->textEdit, text);
        click(f->findButton);
        return hits();
    }

    QStringList hits() const
    {
        const QStringList groups = drive::column(hitList(), QStringLiteral("gid"));
        const QStringList titles = drive::column(hitList(), QStringLiteral("title"));
        QStringList out;
        for (qsizetype i = 0; i < groups.size(); ++i)
            out << groups.at(i) + QLatin1Char('/') + titles.at(i);
        return out;
    }

    QList<long> highlighted() const
    {
        QList<long> rows;
        for (long r = 1; r <= hitList()->rowCount(); ++r)
            if (hitList()->isSelected(r))
                rows << r;
        return rows;
    }

    QByteArray databaseBytes() const { return folder.readFile(QStringLiteral("mivo.mdb")); }
};

} // namespace

class tst_notefind : public QObject
{
    Q_OBJECT

private slots:
    void whatASearchListsAndInWhichOrder()
    {
        FindPage t;
        NoteFind *f = t.find();
        QVERIFY(f->inTitles->isChecked() && f->inContents->isChecked());

        // Titles and texts over every group: by group code, then title; a note whose group is gone
        // is listed with an empty group column.
        const QStringList all = {QStringLiteral("1/周记"), QStringLiteral("2/会议"), QStringLiteral("2/预算表"),
                                 QStringLiteral("9/预算(无组)"), QStringLiteral("_/杂项预算")};
        QCOMPARE(t.search(QStringLiteral("预算")), all);
        QCOMPARE(t.hitList()->displayText(QStringLiteral("gid"), 2), QStringLiteral("工作"));
        QCOMPARE(t.hitList()->displayText(QStringLiteral("gid"), 4), QString());
        QCOMPARE(t.hitList()->getItemString(4, QStringLiteral("gid")), QStringLiteral("9"));
        QVERIFY(t.fakes.boxes->shown.isEmpty());
        // Titles only: a note that has it in its text alone is not listed; texts only, the reverse.
        QCOMPARE(t.search(QStringLiteral("预算"), 0, true, false),
                 (QStringList{QStringLiteral("2/预算表"), QStringLiteral("9/预算(无组)"), QStringLiteral("_/杂项预算")}));
        QCOMPARE(t.search(QStringLiteral("预算"), 0, false, true), (QStringList{QStringLiteral("1/周记"), QStringLiteral("2/会议")}));

        // One group: exactly its own notes, the group coded "_" too; the second of two groups with
        // one name is that group, not the first.
        QCOMPARE(t.search(QStringLiteral("预算"), 2), (QStringList{QStringLiteral("2/会议"), QStringLiteral("2/预算表")}));
        QCOMPARE(t.search(QStringLiteral("预算"), 4), QStringList{QStringLiteral("_/杂项预算")});
        QVERIFY(t.fakes.boxes->shown.isEmpty());
        QCOMPARE(t.search(QStringLiteral("预算"), 3), QStringList());
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N08"), kNoHit);
        QCOMPARE(t.hitList()->rowCount(), 0L);

        // "%" and "_" typed are wildcards; ASCII case does not matter, as in LIKE.
        QCOMPARE(t.search(QStringLiteral("0%b")), QStringList{QStringLiteral("1/Apple pie")});
        QCOMPARE(t.search(QStringLiteral("ut_er"), 0, false, true), QStringList{QStringLiteral("1/Apple pie")});
        QCOMPARE(t.search(QStringLiteral("开_,讨")), QStringList{QStringLiteral("2/会议")});
        QCOMPARE(t.search(QStringLiteral("APPLE"), 1), QStringList{QStringLiteral("1/Apple pie")});
        // Return in the text searches too.
        f->textEdit->setText(QStringLiteral("butter"));
        QTest::keyClick(f->textEdit, Qt::Key_Return);
        QCOMPARE(t.hits(), QStringList{QStringLiteral("1/Apple pie")});
        // Blanks around the text go; a tab is part of it.
        QCOMPARE(t.search(QStringLiteral("  pie  ")), QStringList{QStringLiteral("1/Apple pie")});
        const int boxes = t.fakes.boxes->shown.size();
        f->textEdit->setText(QStringLiteral("\tpie"));
        t.click(f->findButton);
        QCOMPARE(t.hits(), QStringList());
        QCOMPARE(t.fakes.boxes->shown.size(), boxes + 1);
        // Nothing typed: every note of the scope.
        QCOMPARE(t.search(QString(), 1).size(), 4);
        QCOMPARE(t.search(QStringLiteral("   ")).size(), kNotes.size());
    }

    void oneBoxStaysTicked()
    {
        FindPage t;
        NoteFind *f = t.find();
        auto ticks = [&] { return QString::number(f->inTitles->isChecked()) + QString::number(f->inContents->isChecked()); };
        t.click(f->inTitles);
        QCOMPARE(ticks(), QStringLiteral("01"));
        t.click(f->inContents);
        QCOMPARE(ticks(), QStringLiteral("10"));
        t.click(f->inTitles);
        QCOMPARE(ticks(), QStringLiteral("01"));
        t.click(f->inTitles);
        QCOMPARE(ticks(), QStringLiteral("11"));
        // By keyboard as well.
        f->inContents->setFocus();
        QTest::keyClick(f->inContents, Qt::Key_Space);
        f->inTitles->setFocus();
        QTest::keyClick(f->inTitles, Qt::Key_Space);
        QCOMPARE(ticks(), QStringLiteral("01"));
    }

    void sortingAndTheOneHighlightedRow()
    {
        FindPage t;
        t.search(QStringLiteral("预算"));
        QCOMPARE(t.highlighted(), QList<long>{1});
        QCOMPARE(t.hitList()->displayText(QStringLiteral("id_t")), QStringLiteral("ID"));
        QCOMPARE(t.hitList()->displayText(QStringLiteral("gid_t")), QStringLiteral("组"));
        QCOMPARE(t.hitList()->displayText(QStringLiteral("title_t")), QStringLiteral("标题"));

        // One direction for every header: ascending first, then each click flips it.
        drive::clickObject(t.hitList(), QStringLiteral("title_t"));
        QCOMPARE(drive::column(t.hitList(), QStringLiteral("title")).first(), QStringLiteral("会议"));
        drive::clickObject(t.hitList(), QStringLiteral("id_t"));
        const QStringList ids = drive::column(t.hitList(), QStringLiteral("id"));
        QVERIFY(ids.first().toInt() > ids.last().toInt());
        drive::clickObject(t.hitList(), QStringLiteral("gid_t"));
        QStringList groups = drive::column(t.hitList(), QStringLiteral("gid"));
        drive::clickObject(t.hitList(), QStringLiteral("gid_t"));
        std::reverse(groups.begin(), groups.end());
        QCOMPARE(drive::column(t.hitList(), QStringLiteral("gid")), groups);
        // A click on a cell does not sort, and moves the one highlight there.
        drive::clickObject(t.hitList(), QStringLiteral("title"), 3);
        QCOMPARE(drive::column(t.hitList(), QStringLiteral("gid")), groups);
        QCOMPARE(t.highlighted(), QList<long>{3});
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(t.highlighted(), QList<long>{4});

        // A new search highlights its first row only; one without hits leaves none.
        t.search(QStringLiteral("会议"));
        QCOMPARE(t.highlighted(), QList<long>{1});
        t.search(QStringLiteral("不存在"));
        QCOMPARE(t.hitList()->rowCount(), 0L);
    }

    void aDoubleClickOpensTheHitThroughTheTree()
    {
        FindPage t;
        t.search(QStringLiteral("同名"));
        QCOMPARE(t.hits(), (QStringList{QStringLiteral("1/同名"), QStringLiteral("1/同名")}));
        widgets::TreeItem item;
        QVERIFY(t.tree()->getItem(t.note(QStringLiteral("1"), QStringLiteral("同名")), item));
        const qlonglong first = item.data.toLongLong();
        t.page->tabs->setCurrentWidget(t.find());
        // Either hit opens the first; so does one whose note the editor left for a new note.
        for (long row : {2L, 1L, 1L}) {
            drive::doubleClickCell(t.hitList(), QStringLiteral("title"), row);
            QCOMPARE(t.page->tabs->currentWidget(), static_cast<QWidget *>(t.editor()));
            QCOMPARE(qlonglong(t.page->noteId), first);
            QCOMPARE(t.editor()->titleEdit->text(), QStringLiteral("同名"));
            QCOMPARE(t.text(), QStringLiteral("第一篇"));
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(t.tree()));
            t.click(t.page->addButton);
            QCOMPARE(t.page->noteId, 0L);
            t.page->tabs->setCurrentWidget(t.find());
        }
        // The note the editor holds keeps what was typed.
        drive::doubleClickCell(t.hitList(), QStringLiteral("title"), 1);
        t.typeText(QStringLiteral("改动"));
        t.page->tabs->setCurrentWidget(t.find());
        drive::doubleClickCell(t.hitList(), QStringLiteral("title"), 2);
        QCOMPARE(t.text(), QStringLiteral("改动"));
        t.page->tabs->setCurrentWidget(t.find());
        // A header does nothing.
        drive::doubleClickCell(t.hitList(), QStringLiteral("title_t"), 0);
        QCOMPARE(t.page->tabs->currentWidget(), static_cast<QWidget *>(t.find()));

        // A note whose group is not in the tree: the content tab comes forward, nothing opens.
        t.click(t.page->addButton);
        t.page->tabs->setCurrentWidget(t.find());
        t.search(QStringLiteral("无组"));
        drive::doubleClickCell(t.hitList(), QStringLiteral("title"), 1);
        QCOMPARE(t.page->tabs->currentWidget(), static_cast<QWidget *>(t.editor()));
        QCOMPARE(t.page->noteId, 0L);
        QCOMPARE(t.editor()->titleEdit->text(), QString());
        QVERIFY(t.fakes.boxes->shown.isEmpty());
    }

    void theListOutlivesASaveAndVanishedGroupsFindNothing()
    {
        FindPage t;
        t.search(QStringLiteral("预算"), 2);
        const QStringList before = t.hits();
        t.open(QStringLiteral("1"), QStringLiteral("周记"));
        t.typeTitle(QStringLiteral("周记二"));
        t.click(t.page->saveButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N07"), QStringLiteral("保存成功!"));
        QCOMPARE(t.find()->groupList->currentIndex(), 0);
        QCOMPARE(t.hits(), before);
        t.page->tabs->setCurrentWidget(t.find());

        // A group taken from the group table after the list was filled: its notes are still there,
        // yet the search finds nothing; and the list is emptied.
        exec(QStringLiteral("DELETE FROM p_group WHERE groupid = '2'"));
        testDb().commit();
        QCOMPARE(t.search(QStringLiteral("预算"), 2), QStringList());
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N08"), kNoHit);
        QCOMPARE(t.fakes.boxes->shown.size(), 2);
    }

    void aFailedSearchSaysNoHit()
    {
        FindPage t;
        t.search(QStringLiteral("预算"));
        exec(QStringLiteral("DROP TABLE p_info"));
        testDb().commit();
        QCOMPARE(t.search(QStringLiteral("预算")), QStringList());
        // The page's own box only, the database's reason kept.
        QCOMPARE(t.boxTitles(), QStringList{QStringLiteral("N08")});
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N08"), kNoHit);
        QVERIFY(t.hitList()->store()->lastError().reason.contains(QStringLiteral("p_info")));
        QVERIFY(!testDb().inTransaction());
    }

    void theTabIsLaidOutAndNamed()
    {
        FindPage t;
        NoteFind *f = t.find();
        const int listWidth = t.editor()->textWidth();
        const QRect list = unitGeometry(f->hits);
        QCOMPARE(list.width(), listWidth);
        QCOMPARE(list.height(), units::toUnitsY(f->height(), f->logicalDpiY()) - 304);
        t.search(QString());
        QCOMPARE(t.hitList()->objectRect(QStringLiteral("title_t")).width(), units::toPixelsX(listWidth - 800, f->logicalDpiX()));

        // The index line shows only while the index is being built (below).
        QList<QWidget *> controls = f->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        controls.removeIf([f](QWidget *w) { return !w->isVisibleTo(f); });
        for (QWidget *a : controls) {
            QVERIFY2(!a->accessibleName().isEmpty(), qPrintable(a->objectName()));
            QVERIFY2(f->rect().contains(a->geometry()), qPrintable(a->objectName()));
            for (QWidget *b : controls)
                if (a != b && a != f->frame && b != f->frame)
                    QVERIFY2(!a->geometry().intersects(b->geometry()), qPrintable(a->objectName() + QLatin1Char('/') + b->objectName()));
        }
        // The frame holds the fields, and the list lies below it.
        for (QWidget *field : {static_cast<QWidget *>(f->groupList), static_cast<QWidget *>(f->textEdit),
                               static_cast<QWidget *>(f->inTitles), static_cast<QWidget *>(f->inContents), static_cast<QWidget *>(f->findButton)})
            QVERIFY2(f->frame->geometry().contains(field->geometry()), qPrintable(field->objectName()));
        QVERIFY(f->frame->geometry().bottom() < f->hits->geometry().top());
        QCOMPARE(f->findButton->accessibleName(), QStringLiteral("查找(F)"));
        QCOMPARE(f->textEdit->accessibleName(), QStringLiteral("查找内容"));
    }

    // A database made before the search index gets it in the background: meanwhile the find tab
    // says so in one line, with a button that stops it, and finds what it finds before and after,
    // with no dialog.
    void theIndexIsBuiltInTheBackground()
    {
        QList<Note> many = kNotes;
        for (int i = 0; i < 300; ++i)
            many << Note{QStringLiteral("1"), QStringLiteral("笔记%1").arg(i), i % 7 ? QStringLiteral("x") : QStringLiteral("内容预算")};
        FindPage t(many);
        withoutIndex();
        const QStringList before = t.search(QStringLiteral("预算"));
        QCOMPARE(before.size(), 5 + 300 / 7 + 1);
        QVERIFY(!t.find()->indexLine->isVisibleTo(t.find()));

        for (bool stop : {true, false}) {
            notesearch::IndexBuilder builder;
            builder.stepMs = 1;
            t.find()->followIndexBuild(&builder);
            std::optional<app::WritePause> pause(std::in_place);   // holds it at its first step
            builder.start(testDb());
            QVERIFY(builder.isRunning());
            QVERIFY(t.find()->indexLine->isVisibleTo(t.find()) && t.find()->indexCancel->isVisibleTo(t.find()));
            QVERIFY(t.find()->indexLine->text().startsWith(QStringLiteral("正在建立搜索索引")));
            QVERIFY(t.find()->indexLine->geometry().bottom() < t.hitList()->geometry().top());
            QCOMPARE(t.search(QStringLiteral("预算")), before);
            QVERIFY(!QApplication::activeModalWidget());
            if (stop)
                QTest::mouseClick(t.find()->indexCancel, Qt::LeftButton);
            pause.reset();
            QTRY_VERIFY_WITH_TIMEOUT(!builder.isRunning(), 20000);
            QVERIFY(!t.find()->indexLine->isVisibleTo(t.find()));
            // Stopped before its first step, the build left nothing behind.
            QCOMPARE(notesearch::indexState(testDb()), stop ? notesearch::IndexState::Missing : notesearch::IndexState::Complete);
            QCOMPARE(t.search(QStringLiteral("预算")), before);
        }
        scalar(QStringLiteral("INSERT INTO p_info_fts (p_info_fts, rank) VALUES ('integrity-check', 1)"));
        QVERIFY(t.fakes.boxes->shown.isEmpty());
    }
};

MIVO_TEST_MAIN(tst_notefind)
#include "tst_notefind.moc"
