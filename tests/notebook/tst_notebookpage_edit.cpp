// Adding, saving and deleting notes: the byte limit, the checks and their order, the life of a note
// from add to delete with every box, and the failures a real database gives.

#include "app/appinfo.h"
#include "app/connection.h"
#include "notebookdriver.h"
#include "testmain.h"
#include "widgets/handletree.h"

using platform::Answer;
using platform::Buttons;
using platform::Icon;

namespace {

const QList<Note> kNotes = {
    {QStringLiteral("1"), QStringLiteral("周记"), QStringLiteral("第一周")},
    {QStringLiteral("2"), QStringLiteral("会议"), QStringLiteral("九点开会")},
};
const QString kSaved = QStringLiteral("保存成功!");

// Every statement of the next write on p_info goes through; its commit then finds a row that points
// nowhere and fails.
void failCommitsAfter(const QString &event)
{
    exec(QStringLiteral("CREATE TABLE guard (note INTEGER REFERENCES p_info (id) DEFERRABLE INITIALLY DEFERRED)"));
    exec(QStringLiteral("CREATE TRIGGER unanchored AFTER %1 ON p_info BEGIN INSERT INTO guard VALUES (-1); END").arg(event));
    scalar(QStringLiteral("PRAGMA foreign_keys = ON"));
}

} // namespace

class tst_notebookpage_edit : public QObject
{
    Q_OBJECT

private slots:
    void theByteLimit_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("saved");
        const QString a(QStringLiteral("a")), han(QStringLiteral("汉"));
        QTest::newRow("ascii 32767") << a.repeated(32767) << true;
        QTest::newRow("ascii 32768") << a.repeated(32768) << false;
        QTest::newRow("chinese 16383 + ascii") << han.repeated(16383) + a << true;
        QTest::newRow("chinese 16384") << han.repeated(16384) << false;
        QTest::newRow("mixed with lines 32768") << QStringLiteral("中a\n").repeated(8192) << false;
        // Four bytes beyond the Basic Multilingual Plane.
        QTest::newRow("emoji 32767") << a.repeated(32763) + QStringLiteral("😀") << true;
        QTest::newRow("emoji 32768") << a.repeated(32764) + QStringLiteral("😀") << false;
    }
    void theByteLimit()
    {
        QFETCH(QString, text);
        QFETCH(bool, saved);
        NotebookDriver t(kNotes);
        t.open(QStringLiteral("1"), QStringLiteral("周记"));
        t.pasteText(text);
        t.click(t.page->saveButton);
        QCOMPARE(t.fakes.boxes->shown.size(), 1);
        if (saved)
            EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N07"), kSaved);
        else
            EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N03"), QStringLiteral("数据超长,最大数据长度32767!"), Icon::Exclamation);
        QCOMPARE(t.content(t.idOf(QStringLiteral("1"), QStringLiteral("周记"))), saved ? text : QStringLiteral("第一周"));
        QCOMPARE(t.text(), text);
    }

    void theChecksComeInOrderAndSendTheFocusToWhatIsMissing()
    {
        NotebookDriver t;
        // The placeholder goes when the field takes the focus, and only when it is all there is.
        t.editor()->textEdit->setFocus();
        QCOMPARE(t.text(), QString());
        t.click(t.editor()->titleEdit);
        t.editor()->setText(QStringLiteral(" ") + NoteEditor::placeholder);
        t.editor()->textEdit->setFocus();
        QCOMPARE(t.text(), QStringLiteral(" ") + NoteEditor::placeholder);

        // Too long, no group, no title: only the first is said.
        t.pasteText(QStringLiteral("长").repeated(16384));
        t.typeTitle(QStringLiteral("   "));
        t.click(t.page->saveButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N03"), QStringLiteral("数据超长,最大数据长度32767!"), Icon::Exclamation);
        t.pasteText(QStringLiteral("短"));
        t.page->tabs->setCurrentWidget(t.splitter());
        t.click(t.page->saveButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N04"), QStringLiteral("必须选择一个组!"), Icon::Exclamation);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(t.editor()->groupList));
        t.chooseEntry(2);
        t.click(t.page->saveButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N05"), QStringLiteral("必须输入标题!"), Icon::Exclamation);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(t.editor()->titleEdit));
        QCOMPARE(t.fakes.boxes->shown.size(), 3);
        QCOMPARE(t.noteCount(), 0);

        // The untouched placeholder, even in blanks, is stored as an empty text, not as NULL.
        t.typeTitle(QStringLiteral("空"));
        t.editor()->setText(QStringLiteral("  ") + NoteEditor::placeholder + QStringLiteral(" "));
        t.click(t.page->saveButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N07"), kSaved);
        QCOMPARE(scalar(QStringLiteral("SELECT quote(content) FROM p_info WHERE id = ?"),
                        {t.idOf(QStringLiteral("2"), QStringLiteral("空"))}).toString(), QStringLiteral("''"));
    }

    void aNoteFromAddToDelete()
    {
        NotebookDriver t(kNotes);
        // Add takes the group of what is selected: the root gives none, a group its own.
        t.select(drive::root(t.tree()));
        t.click(t.page->addButton);
        QCOMPARE(t.editor()->groupList->currentIndex(), 0);
        t.select(t.group(QStringLiteral("4")));
        t.click(t.page->addButton);
        QCOMPARE(t.editor()->groupList->currentText(), QStringLiteral("生活"));
        QCOMPARE(t.text(), NoteEditor::placeholder);

        // Stored with the title trimmed and the text as typed; found again and opened.
        t.typeTitle(QStringLiteral("  旅行 计划  "));
        t.typeText(QStringLiteral("  第一天:北京\n第二天:上海  "));
        t.page->findTab->groupList->setCurrentIndex(3);
        t.click(t.page->saveButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N07"), kSaved);
        const qlonglong id = t.idOf(QStringLiteral("4"), QStringLiteral("旅行 计划"));
        QCOMPARE(t.content(id), QStringLiteral("  第一天:北京\n第二天:上海  "));
        QCOMPARE(qlonglong(t.page->noteId), id);
        QCOMPARE(drive::currentLabel(t.tree()), QStringLiteral("旅行 计划"));
        QCOMPARE(t.page->findTab->groupList->currentIndex(), 0);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(t.tree()));

        // Add on a note takes the note's group; Delete on the new note does nothing and asks nothing.
        t.click(t.page->addButton);
        QCOMPARE(t.editor()->groupList->currentText(), QStringLiteral("生活"));
        QCOMPARE(t.page->noteId, 0L);
        t.click(t.page->deleteButton);
        QCOMPARE(t.fakes.boxes->shown.size(), 1);

        // Moved to another group, the same row changes.
        t.select(t.group(QStringLiteral("4")));
        t.open(QStringLiteral("4"), QStringLiteral("旅行 计划"));
        t.chooseEntry(5);
        t.click(t.page->saveButton);
        QCOMPARE(scalar(QStringLiteral("SELECT gid FROM p_info WHERE id = ?"), {id}).toString(), QStringLiteral("Z"));
        QCOMPARE(t.children(t.group(QStringLiteral("Z"))), QStringList{QStringLiteral("旅行 计划")});
        QCOMPARE(t.noteCount(), 3);

        // Delete asks with the title as shown; only Yes deletes.
        t.typeTitle(QStringLiteral(" 改了 "));
        t.click(t.page->deleteButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N01"), QStringLiteral("确认删除< 改了 >?"), Icon::Question, Buttons::YesNo, 2);
        QCOMPARE(t.noteCount(), 3);
        t.fakes.boxes->answers = {Answer::Yes};
        t.click(t.page->deleteButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N02"), QStringLiteral("删除成功!"));
        QCOMPARE(t.noteCount(), 2);
        // The editor holds a new note; the group is open and chosen; the tree has the focus.
        QCOMPARE(t.page->noteId, 0L);
        QCOMPARE(t.text(), NoteEditor::placeholder);
        QCOMPARE(t.editor()->groupList->currentIndex(), 0);
        QCOMPARE(drive::current(t.tree()), t.group(QStringLiteral("Z")));
        QVERIFY(t.tree()->isExpanded(t.tree()->currentIndex()));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(t.tree()));
    }

    void aNewNoteOfAnExistingTitleOpensTheFirstOfThem()
    {
        NotebookDriver t(kNotes);
        t.select(t.group(QStringLiteral("2")));
        t.click(t.page->addButton);
        t.typeTitle(QStringLiteral("会议"));
        t.typeText(QStringLiteral("第二次"));
        t.click(t.page->saveButton);
        QCOMPARE(t.noteCount(QStringLiteral("title = '会议'")), 2);
        QCOMPARE(qlonglong(t.page->noteId), t.idOf(QStringLiteral("2"), QStringLiteral("会议")));
        QCOMPARE(t.text(), QStringLiteral("九点开会"));
    }

    void theGroupIsTakenByItsPlaceNotItsName()
    {
        NotebookDriver t({}, Groups{{QStringLiteral("2"), QStringLiteral("工作")}, {QStringLiteral("5"), QStringLiteral("工作")}});
        t.chooseEntry(2);
        t.typeTitle(QStringLiteral("第二个"));
        t.click(t.page->saveButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N07"), kSaved);
        QCOMPARE(t.noteCount(QStringLiteral("gid = '5'")), 1);
        QCOMPARE(t.editor()->groupList->currentIndex(), 2);
    }

    void aFailedSaveKeepsTheEditor_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("reason");
        QTest::newRow("group deleted") << QStringLiteral("DELETE FROM p_group WHERE groupid = '2'")
                                       << QStringLiteral("所选的组已不存在,请重新选择一个组。");
        QTest::newRow("note deleted") << QStringLiteral("DELETE FROM p_info WHERE title = '会议'")
                                      << QStringLiteral("这条笔记已被删除;再次保存将把它存为一条新笔记。");
        QTest::newRow("trigger") << QStringLiteral("CREATE TRIGGER frozen BEFORE UPDATE ON p_info BEGIN SELECT RAISE(ABORT, '笔记已冻结'); END")
                                 << QStringLiteral("笔记已冻结");
        QTest::newRow("disk full") << QStringLiteral("full") << QStringLiteral("磁盘已满,无法写入数据库。");
        QTest::newRow("commit fails") << QStringLiteral("commit") << QStringLiteral("FOREIGN KEY");
    }
    void aFailedSaveKeepsTheEditor()
    {
        QFETCH(QString, failure);
        QFETCH(QString, reason);
        NotebookDriver t(kNotes);
        t.open(QStringLiteral("2"), QStringLiteral("会议"));
        const long id = t.page->noteId;
        const QString text = QStringLiteral("不能丢的内容").repeated(2000);
        t.pasteText(text);
        if (failure == QLatin1String("full"))
            exec(QStringLiteral("PRAGMA max_page_count = %1").arg(scalar(QStringLiteral("PRAGMA page_count")).toInt()));
        else if (failure == QLatin1String("commit"))
            failCommitsAfter(QStringLiteral("UPDATE"));
        else
            exec(failure);
        t.click(t.page->saveButton);
        const auto &box = t.fakes.boxes->shown.last();
        QCOMPARE(box.title, QStringLiteral("N09"));
        QVERIFY2(box.text.startsWith(QStringLiteral("保存失败!\n") + reason), qPrintable(box.text));
        QCOMPARE(box.icon, Icon::Stop);
        QCOMPARE(box.buttons, Buttons::Ok);
        QVERIFY(!testDb().inTransaction());
        QCOMPARE(t.text(), text);
        QCOMPARE(t.editor()->titleEdit->text(), QStringLiteral("会议"));
        QCOMPARE(t.content(id), failure.startsWith(QLatin1String("DELETE FROM p_info")) ? QString() : QStringLiteral("九点开会"));
        // A note deleted meanwhile is stored as a new one by the next save: nothing typed is lost.
        if (failure.startsWith(QLatin1String("DELETE FROM p_info"))) {
            QCOMPARE(t.page->noteId, 0L);
            t.click(t.page->saveButton);
            EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N07"), kSaved);
            QCOMPARE(t.content(t.idOf(QStringLiteral("2"), QStringLiteral("会议"))), text);
        }
    }

    // A delete the database refuses, or whose commit it refuses, is said as such: the note stays
    // stored, in the tree and in the editor, and no transaction is left open.
    void aFailedDeleteIsReportedAndKeepsTheNote_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("reason");
        QTest::newRow("trigger") << QStringLiteral("trigger") << QStringLiteral("笔记受保护");
        QTest::newRow("commit fails") << QStringLiteral("commit") << QStringLiteral("FOREIGN KEY");
    }
    void aFailedDeleteIsReportedAndKeepsTheNote()
    {
        QFETCH(QString, failure);
        QFETCH(QString, reason);
        NotebookDriver t(kNotes);
        t.open(QStringLiteral("1"), QStringLiteral("周记"));
        const long id = t.page->noteId;
        if (failure == QLatin1String("commit"))
            failCommitsAfter(QStringLiteral("DELETE"));
        else
            exec(QStringLiteral("CREATE TRIGGER kept BEFORE DELETE ON p_info BEGIN SELECT RAISE(ABORT, '笔记受保护'); END"));
        t.fakes.boxes->answers = {Answer::Yes};
        t.click(t.page->deleteButton);
        QCOMPARE(t.boxTitles(), (QStringList{QStringLiteral("N01"), QStringLiteral("N06")}));
        const auto &box = t.fakes.boxes->shown.last();
        QVERIFY2(box.text.startsWith(QStringLiteral("删除失败!\n") + reason), qPrintable(box.text));
        QCOMPARE(box.icon, Icon::Stop);
        QCOMPARE(box.buttons, Buttons::Ok);
        QVERIFY(!testDb().inTransaction());
        QCOMPARE(t.noteCount(), 2);
        QCOMPARE(t.idOf(QStringLiteral("1"), QStringLiteral("周记")), qlonglong(id));
        QCOMPARE(t.page->noteId, id);
        QCOMPARE(t.editor()->titleEdit->text(), QStringLiteral("周记"));
        QCOMPARE(drive::currentLabel(t.tree()), QStringLiteral("周记"));
    }
};

MIVO_TEST_MAIN(tst_notebookpage_edit)
#include "tst_notebookpage_edit.moc"
