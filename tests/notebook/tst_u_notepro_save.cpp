// Adding, saving and deleting notes, with every box checked in all its parts, and the failures a
// real database can give.

#include "app/globals.h"
#include "app/transaction.h"
#include "notepage.h"
#include "testmain.h"
#include "widgets/handletree.h"

#include <QPushButton>
#include <QTabWidget>

using platform::Answer;
using platform::Buttons;
using platform::Icon;
using widgets::TreeItem;

namespace {

const QList<Note> kNotes = {
    {QStringLiteral("1"), QStringLiteral("周记"), QStringLiteral("第一周")},
    {QStringLiteral("2"), QStringLiteral("会议"), QStringLiteral("九点开会")},
};

const QString kSaved = QStringLiteral("保存成功!");
const QString kTooLong = QStringLiteral("数据超长,最大数据长度32767!");

QString repeated(const QString &piece, int times)
{
    return piece.repeated(times);
}

} // namespace

class tst_u_notepro_save : public QObject
{
    Q_OBJECT

private slots:
    void thePlaceholderGoesOnlyWhenItIsAllThereIs()
    {
        NotePage t;
        QPlainTextEdit *mle = t.editor()->mle_1;
        QCOMPARE(mle->toPlainText(), NoteEditor::is_max);
        t.click(t.editor()->sle_1);
        QCOMPARE(mle->toPlainText(), NoteEditor::is_max);
        mle->setFocus();
        QCOMPARE(mle->toPlainText(), QString());

        // A text that holds the placeholder and more is the user's.
        t.editor()->sle_1->setFocus();
        t.editor()->setText(NoteEditor::is_max + QStringLiteral("x"));
        mle->setFocus();
        QCOMPARE(mle->toPlainText(), NoteEditor::is_max + QStringLiteral("x"));
        t.editor()->sle_1->setFocus();
        t.editor()->setText(QStringLiteral(" ") + NoteEditor::is_max);
        mle->setFocus();
        QCOMPARE(mle->toPlainText(), QStringLiteral(" ") + NoteEditor::is_max);
    }

    void theUntouchedPlaceholderIsStoredAsAnEmptyText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("untouched") << NoteEditor::is_max;
        QTest::newRow("in blanks") << QStringLiteral("  ") + NoteEditor::is_max + QStringLiteral("   ");
    }
    void theUntouchedPlaceholderIsStoredAsAnEmptyText()
    {
        QFETCH(QString, text);
        NotePage t;
        t.chooseEntry(1);
        t.typeTitle(QStringLiteral("空白"));
        t.editor()->setText(text);
        t.click(t.page->cb_3);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N07"), kSaved, Icon::Information);
        QCOMPARE(t.stored(t.idOf(QStringLiteral("1"), QStringLiteral("空白")), QStringLiteral("content")).toString(), QString());
    }

    void theByteLimit_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("saved");
        QTest::newRow("ascii 32767") << repeated(QStringLiteral("a"), 32767) << true;
        QTest::newRow("ascii 32768") << repeated(QStringLiteral("a"), 32768) << false;
        QTest::newRow("chinese 16383 + ascii") << repeated(QStringLiteral("汉"), 16383) + QStringLiteral("a") << true;
        QTest::newRow("chinese 16384") << repeated(QStringLiteral("汉"), 16384) << false;
        QTest::newRow("mixed 32767") << repeated(QStringLiteral("中a"), 10922) + QStringLiteral("b") << true;
        QTest::newRow("mixed 32768") << repeated(QStringLiteral("中a"), 10922) + QStringLiteral("文") << false;
        // A character beyond the Basic Multilingual Plane takes four bytes.
        QTest::newRow("emoji 32767") << repeated(QStringLiteral("a"), 32763) + QStringLiteral("😀") << true;
        QTest::newRow("emoji 32768") << repeated(QStringLiteral("a"), 32764) + QStringLiteral("😀") << false;
        QTest::newRow("lines 32767") << repeated(QStringLiteral("行\n"), 10922) + QStringLiteral("x") << true;
    }
    void theByteLimit()
    {
        QFETCH(QString, text);
        QFETCH(bool, saved);
        NotePage t(kNotes);
        t.open(QStringLiteral("1"), QStringLiteral("周记"));
        t.pasteText(text);
        t.click(t.page->cb_3);
        const qlonglong id = t.idOf(QStringLiteral("1"), QStringLiteral("周记"));
        if (saved) {
            EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N07"), kSaved, Icon::Information);
            QCOMPARE(t.stored(id, QStringLiteral("content")).toString(), text);
        } else {
            EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N03"), kTooLong, Icon::Exclamation);
            QCOMPARE(t.stored(id, QStringLiteral("content")).toString(), QStringLiteral("第一周"));
            QCOMPARE(textOf(t.editor()->mle_1), text);
        }
        QCOMPARE(t.fakes.boxes->shown.size(), 1);
    }

    void theChecksComeInOrderAndSendTheFocusToWhatIsMissing()
    {
        NotePage t;
        t.pasteText(repeated(QStringLiteral("长"), 16384));
        t.typeTitle(QStringLiteral("   "));
        t.click(t.page->cb_3);
        // Too long, no group, no title: only the first is said.
        QCOMPARE(t.fakes.boxes->shown.size(), 1);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N03"), kTooLong, Icon::Exclamation);

        t.pasteText(QStringLiteral("短"));
        t.page->tab_1->setCurrentWidget(t.page->tp_3);
        t.click(t.page->cb_3);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N04"), QStringLiteral("必须选择一个组!"), Icon::Exclamation);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(t.editor()->ddlb_1));

        t.chooseEntry(2);
        t.click(t.page->cb_3);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N05"), QStringLiteral("必须输入标题!"), Icon::Exclamation);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(t.editor()->sle_1));
        QCOMPARE(t.fakes.boxes->shown.size(), 3);
        QCOMPARE(t.noteCount(), 0);
        QVERIFY(!sqlca.inTransaction());
    }

    void addTakesTheGroupOfWhatIsSelected()
    {
        NotePage t(kNotes);
        // Nothing selected, then the root: "[请选择]".
        t.click(t.page->cb_1);
        QCOMPARE(t.editor()->ddlb_1->currentIndex(), 0);
        t.select(t.root());
        t.click(t.page->cb_1);
        QCOMPARE(t.editor()->ddlb_1->currentIndex(), 0);

        t.select(t.group(QStringLiteral("3")));
        t.click(t.page->cb_1);
        QCOMPARE(t.editor()->ddlb_1->currentText(), QStringLiteral("学习"));

        // A note: the group the editor shows for it, and the editor starts anew.
        t.open(QStringLiteral("2"), QStringLiteral("会议"));
        t.page->tab_1->setCurrentWidget(t.page->tp_3);
        t.click(t.page->cb_1);
        QCOMPARE(t.editor()->ddlb_1->currentText(), QStringLiteral("工作"));
        QCOMPARE(t.editor()->sle_1->text(), QString());
        QCOMPARE(t.editor()->mle_1->toPlainText(), NoteEditor::is_max);
        QCOMPARE(t.page->il_id, 0L);
        QCOMPARE(t.page->tab_1->currentWidget(), static_cast<QWidget *>(t.editor()));
    }

    void aNewNoteIsStoredTrimmedAndOpenedAgain()
    {
        NotePage t(kNotes);
        t.select(t.group(QStringLiteral("4")));
        t.click(t.page->cb_1);
        t.typeTitle(QStringLiteral("  旅行 计划  "));
        t.typeText(QStringLiteral("  第一天:北京\n第二天:上海  "));
        t.page->ddlb_2->setCurrentIndex(3);
        t.click(t.page->cb_3);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N07"), kSaved, Icon::Information);
        const qlonglong id = t.idOf(QStringLiteral("4"), QStringLiteral("旅行 计划"));
        QVERIFY(id > 0);
        QCOMPARE(t.stored(id, QStringLiteral("content")).toString(), QStringLiteral("  第一天:北京\n第二天:上海  "));
        // Rebuilt and found again: the editor holds the stored note, the tree has the focus.
        QCOMPARE(qlonglong(t.page->il_id), id);
        QCOMPARE(drive::currentLabel(t.page->tv_1), QStringLiteral("旅行 计划"));
        QCOMPARE(t.editor()->sle_1->text(), QStringLiteral("旅行 计划"));
        QCOMPARE(t.editor()->ddlb_1->currentText(), QStringLiteral("生活"));
        QCOMPARE(t.page->ddlb_2->currentIndex(), 0);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(t.page->tv_1));
        QVERIFY(!sqlca.inTransaction());

        // Saved again, the same row changes.
        t.typeText(QStringLiteral("改过"));
        t.click(t.page->cb_3);
        QCOMPARE(t.noteCount(), 3);
        QCOMPARE(t.stored(id, QStringLiteral("content")).toString(), QStringLiteral("改过"));
    }

    void aNewNoteOfAnExistingTitleOpensTheFirstOfThem()
    {
        NotePage t(kNotes);
        t.select(t.group(QStringLiteral("2")));
        t.click(t.page->cb_1);
        t.typeTitle(QStringLiteral("会议"));
        t.typeText(QStringLiteral("第二次"));
        t.click(t.page->cb_3);
        QCOMPARE(t.noteCount(QStringLiteral("title = '会议'")), 2);
        QCOMPARE(qlonglong(t.page->il_id), t.idOf(QStringLiteral("2"), QStringLiteral("会议")));
        QCOMPARE(textOf(t.editor()->mle_1), QStringLiteral("九点开会"));
    }

    void aNoteMovesToTheGroupChosen()
    {
        NotePage t(kNotes);
        t.open(QStringLiteral("1"), QStringLiteral("周记"));
        const qlonglong id = t.page->il_id;
        t.chooseEntry(5);
        t.click(t.page->cb_3);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N07"), kSaved, Icon::Information);
        QCOMPARE(t.stored(id, QStringLiteral("gid")).toString(), QStringLiteral("Z"));
        QCOMPARE(t.noteCount(), 2);
        QCOMPARE(t.children(t.group(QStringLiteral("Z"))), QStringList{QStringLiteral("周记")});
        QCOMPARE(qlonglong(t.page->il_id), id);
        t.page->tv_1->expandItem(t.group(QStringLiteral("1")));
        QCOMPARE(t.children(t.group(QStringLiteral("1"))), QStringList());
    }

    void theGroupIsTakenByItsPlaceNotItsName()
    {
        NotePage t({}, Groups{{QStringLiteral("2"), QStringLiteral("工作")}, {QStringLiteral("5"), QStringLiteral("工作")}});
        t.chooseEntry(2);
        t.typeTitle(QStringLiteral("第二个工作组"));
        t.click(t.page->cb_3);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N07"), kSaved, Icon::Information);
        QCOMPARE(t.noteCount(QStringLiteral("gid = '5'")), 1);
        QCOMPARE(t.editor()->ddlb_1->currentIndex(), 2);
        QCOMPARE(drive::currentLabel(t.page->tv_1), QStringLiteral("第二个工作组"));
    }

    void aGroupDeletedMeanwhileIsNotSavedInto()
    {
        NotePage t;
        t.chooseEntry(3);
        t.typeTitle(QStringLiteral("标题"));
        t.typeText(QStringLiteral("要保留的文字"));
        exec(QStringLiteral("DELETE FROM p_group WHERE groupid = '3'"));
        t.click(t.page->cb_3);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N09"), QStringLiteral("保存失败!\n所选的组已不存在,请重新选择一个组。"), Icon::Stop);
        QCOMPARE(t.noteCount(), 0);
        QCOMPARE(textOf(t.editor()->mle_1), QStringLiteral("要保留的文字"));
        QCOMPARE(t.editor()->sle_1->text(), QStringLiteral("标题"));
        QCOMPARE(gs_sqlerrtext, QStringLiteral("所选的组已不存在,请重新选择一个组。"));
        QVERIFY(!sqlca.inTransaction());
    }

    void aNoteDeletedMeanwhileIsSavedAsANewOne()
    {
        NotePage t(kNotes);
        t.open(QStringLiteral("2"), QStringLiteral("会议"));
        exec(QStringLiteral("DELETE FROM p_info WHERE title = '会议'"));
        t.typeText(QStringLiteral("改后的内容"));
        t.click(t.page->cb_3);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N09"),
                   QStringLiteral("保存失败!\n这条笔记已被删除;再次保存将把它存为一条新笔记。"), Icon::Stop);
        QCOMPARE(t.noteCount(), 1);
        QCOMPARE(t.page->il_id, 0L);
        QCOMPARE(textOf(t.editor()->mle_1), QStringLiteral("改后的内容"));

        t.click(t.page->cb_3);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N07"), kSaved, Icon::Information);
        QCOMPARE(t.stored(t.idOf(QStringLiteral("2"), QStringLiteral("会议")), QStringLiteral("content")).toString(),
                 QStringLiteral("改后的内容"));
    }

    void aRefusedWriteIsReportedAndRolledBack_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("reason");
        QTest::newRow("trigger") << QStringLiteral("trigger") << QStringLiteral("新") << QStringLiteral("笔记已冻结");
        QTest::newRow("title too long") << QString() << QStringLiteral("长").repeated(256)
                                        << QStringLiteral("“标题”的内容太长。");
        QTest::newRow("disk full") << QStringLiteral("full") << QStringLiteral("满")
                                   << QStringLiteral("磁盘已满,无法写入数据库。");
    }
    void aRefusedWriteIsReportedAndRolledBack()
    {
        QFETCH(QString, failure);
        QFETCH(QString, title);
        QFETCH(QString, reason);
        NotePage t(kNotes);
        t.chooseEntry(1);
        t.editor()->sle_1->setText(title);
        const QString text = QStringLiteral("不能丢的内容").repeated(2000);
        t.pasteText(text);
        if (failure == QLatin1String("trigger"))
            exec(QStringLiteral("CREATE TRIGGER no_notes BEFORE INSERT ON p_info BEGIN SELECT RAISE(ABORT, '笔记已冻结'); END"));
        else if (failure == QLatin1String("full"))
            // The file may not grow by a single page.
            exec(QStringLiteral("PRAGMA max_page_count = %1").arg(scalar(QStringLiteral("PRAGMA page_count")).toInt()));
        t.click(t.page->cb_3);
        const auto &box = t.lastBox();
        QCOMPARE(box.title, QStringLiteral("N09"));
        QVERIFY2(box.text.startsWith(QStringLiteral("保存失败!\n")), qPrintable(box.text));
        QVERIFY2(box.text.contains(reason), qPrintable(box.text));
        QCOMPARE(box.icon, Icon::Stop);
        QCOMPARE(box.buttons, Buttons::Ok);
        QCOMPARE(t.noteCount(), 2);
        QVERIFY(!sqlca.inTransaction());
        QCOMPARE(t.editor()->sle_1->text(), title);
        QCOMPARE(textOf(t.editor()->mle_1), text);
    }

    void deleteAsksWithTheTitleShownAndOnlyYesDeletes()
    {
        NotePage t(kNotes);
        // A new note: nothing to delete, nothing asked.
        t.click(t.page->cb_2);
        QVERIFY(t.fakes.boxes->shown.isEmpty());

        t.open(QStringLiteral("2"), QStringLiteral("会议"));
        t.typeTitle(QStringLiteral(" 改了标题 "));
        t.click(t.page->cb_2);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N01"), QStringLiteral("确认删除< 改了标题 >?"), Icon::Question,
                   Buttons::YesNo, 2);
        QCOMPARE(t.noteCount(), 2);

        t.fakes.boxes->answers = {Answer::Yes};
        t.click(t.page->cb_2);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N02"), QStringLiteral("删除成功!"), Icon::Information);
        QCOMPARE(t.noteCount(), 1);
        QCOMPARE(t.noteCount(QStringLiteral("title = '会议'")), 0);
        // Rebuilt; the editor holds a new note; the group is open and chosen; the tree has the focus.
        QCOMPARE(t.page->il_id, 0L);
        QCOMPARE(t.editor()->sle_1->text(), QString());
        QCOMPARE(t.editor()->mle_1->toPlainText(), NoteEditor::is_max);
        QCOMPARE(t.editor()->ddlb_1->currentIndex(), 0);
        QCOMPARE(t.current(), t.group(QStringLiteral("2")));
        QVERIFY(t.page->tv_1->isExpanded(t.page->tv_1->currentIndex()));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(t.page->tv_1));
        QVERIFY(!sqlca.inTransaction());
    }

    void aFailedDeleteIsReportedAndKeepsTheNote()
    {
        NotePage t(kNotes);
        t.open(QStringLiteral("1"), QStringLiteral("周记"));
        const qlonglong id = t.page->il_id;
        exec(QStringLiteral("CREATE TRIGGER keep_notes BEFORE DELETE ON p_info BEGIN SELECT RAISE(ABORT, '笔记受保护'); END"));
        t.fakes.boxes->answers = {Answer::Yes};
        t.click(t.page->cb_2);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("N06"), QStringLiteral("删除失败!\n笔记受保护"), Icon::Stop);
        QCOMPARE(t.noteCount(), 2);
        QCOMPARE(qlonglong(t.page->il_id), id);
        QCOMPARE(t.editor()->sle_1->text(), QStringLiteral("周记"));
        QCOMPARE(t.children(t.group(QStringLiteral("1"))), QStringList{QStringLiteral("周记")});
        QCOMPARE(drive::currentLabel(t.page->tv_1), QStringLiteral("周记"));
        QVERIFY(!sqlca.inTransaction());
    }
};

MIVO_TEST_MAIN(tst_u_notepro_save)
#include "tst_u_notepro_save.moc"
