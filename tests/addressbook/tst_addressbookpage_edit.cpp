// Adding, saving and deleting contacts on the address-book page, with every box checked.

#include "app/appinfo.h"
#include "app/connection.h"
#include "contacts.h"
#include "testmain.h"
#include "views/dataview.h"
#include "widgets/handletree.h"

#include <QAccessible>
#include <QLineEdit>
#include <QPushButton>

using platform::Answer;
using platform::Buttons;
using platform::Icon;
using widgets::TreeItem;

namespace {

const QList<Contact> kContacts = {
    {QStringLiteral("1"), QStringLiteral("张三"), QStringLiteral("13800000001")},
    {QStringLiteral("1"), QStringLiteral("李四"), QStringLiteral("13800000002")},
    {QStringLiteral("Z"), QStringLiteral("赵六"), QStringLiteral("13700000004")},
};

void expectBox(const AddressBookDriver &t, const QString &code, const QString &text, Icon icon)
{
    QVERIFY2(!t.fakes.boxes->shown.isEmpty(), qPrintable(code));
    const auto &b = t.lastBox();
    QCOMPARE(b.title, code);
    QCOMPARE(b.text, text);
    QCOMPARE(b.icon, icon);
}

} // namespace

class tst_addressbookpage_edit : public QObject
{
    Q_OBJECT

private slots:
    void addTakesTheGroupOfWhatIsSelected()
    {
        AddressBookDriver t([&] { addContacts(kContacts); });
        // Nothing selected: an empty group, and Save stops at T08 until one is chosen.
        t.click(t.page->addButton);
        QCOMPARE(t.page->recordView->dataObject(), QStringLiteral("dw_telper"));
        QCOMPARE(t.page->recordView->rowCount(), 1L);
        QCOMPARE(t.page->recordView->getItemString(1, QStringLiteral("zuhao0")), QString());
        t.type(QStringLiteral("xingm0"), QStringLiteral("新人"));
        t.click(t.page->saveButton);
        expectBox(t, QStringLiteral("T08"), QStringLiteral("必须选择一个组!"), Icon::Exclamation);
        QCOMPARE(contactCount(), 3);

        t.select(t.group(QStringLiteral("2")));
        t.click(t.page->addButton);
        QCOMPARE(t.page->recordView->getItemString(1, QStringLiteral("zuhao0")), QStringLiteral("2"));
        QCOMPARE(t.page->recordView->getItemStatus(1), views::DataStore::RowStatus::NewModified);

        t.select(t.member(QStringLiteral("1"), QStringLiteral("李四")));
        t.click(t.page->addButton);
        QCOMPARE(t.page->recordView->getItemString(1, QStringLiteral("zuhao0")), QStringLiteral("1"));
        QCOMPARE(t.page->recordView->getItemString(1, QStringLiteral("xingm0")), QString());
        QCOMPARE(t.page->recordView->rowCount(), 1L);
        QCOMPARE(contactCount(), 3);
        QVERIFY(t.page->recordView->isAncestorOf(QApplication::focusWidget()) || t.page->recordView->hasFocus());
    }

    // What a screen reader (or any tool) writes into a field without keystrokes is what is saved;
    // a field nobody touched keeps its stored value.
    void textWrittenThroughAccessibilityIsSaved()
    {
        AddressBookDriver t([&] { addContacts(kContacts); });
        t.select(t.group(QStringLiteral("1")));
        t.click(t.page->addButton);
        QWidget *name = t.page->recordView->fieldEditor(QStringLiteral("xingm0"));
        QAccessibleInterface *field = QAccessible::queryAccessibleInterface(name);
        QVERIFY(field);
        QCOMPARE(field->text(QAccessible::Name), QStringLiteral("姓名"));
        QVERIFY(field->editableTextInterface());
        field->editableTextInterface()->insertText(0, QStringLiteral("屏幕阅读"));
        QCOMPARE(qobject_cast<QLineEdit *>(name)->text(), QStringLiteral("屏幕阅读"));
        t.click(t.page->saveButton);
        expectBox(t, QStringLiteral("T10"), QStringLiteral("保存成功!"), Icon::Information);
        QCOMPARE(storedField(QStringLiteral("屏幕阅读"), QStringLiteral("zuhao0")), QStringLiteral("1"));
        QCOMPARE(storedField(QStringLiteral("屏幕阅读"), QStringLiteral("danwei")), QString());
    }

    void saveChecksInOrder()
    {
        AddressBookDriver t([&] { addContacts(kContacts); });
        t.click(t.page->saveButton);
        expectBox(t, QStringLiteral("T06"), QStringLiteral("当前视图不能执行保存!"), Icon::Exclamation);
        t.select(t.root());
        t.click(t.page->saveButton);
        expectBox(t, QStringLiteral("T06"), QStringLiteral("当前视图不能执行保存!"), Icon::Exclamation);

        // An empty card: Add, then take the new row off again with Delete.
        t.select(t.group(QStringLiteral("1")));
        t.click(t.page->addButton);
        t.click(t.page->deleteButton);
        QCOMPARE(t.page->recordView->rowCount(), 0L);
        t.click(t.page->saveButton);
        expectBox(t, QStringLiteral("T07"), QStringLiteral("无可保存的记录!"), Icon::Exclamation);

        t.click(t.page->addButton);
        t.type(QStringLiteral("xingm0"), QStringLiteral("   "));
        t.click(t.page->saveButton);
        expectBox(t, QStringLiteral("T09"), QStringLiteral("姓名不能为空!"), Icon::Exclamation);
        QCOMPARE(t.fakes.boxes->shown.size(), 4);
        QCOMPARE(contactCount(), 3);
    }

    void savedContactComesBackSelectedInItsGroup()
    {
        AddressBookDriver t([&] { addContacts(kContacts); });
        t.select(t.group(QStringLiteral("2")));
        t.click(t.page->addButton);
        t.type(QStringLiteral("xingm0"), QStringLiteral("王五"));
        t.type(QStringLiteral("shouji"), QStringLiteral("139abc0000-0003")); // only digits get in
        t.type(QStringLiteral("shengr"), QStringLiteral("19800101"));
        t.type(QStringLiteral("jwjl00"), QStringLiteral("2026年见过一次\n第二行"));
        t.click(t.page->saveButton);

        expectBox(t, QStringLiteral("T10"), QStringLiteral("保存成功!"), Icon::Information);
        QCOMPARE(storedField(QStringLiteral("王五"), QStringLiteral("zuhao0")), QStringLiteral("2"));
        QCOMPARE(storedField(QStringLiteral("王五"), QStringLiteral("shouji")), QStringLiteral("13900000003"));
        QCOMPARE(storedField(QStringLiteral("王五"), QStringLiteral("shengr")), QStringLiteral("19800101"));
        QCOMPARE(storedField(QStringLiteral("王五"), QStringLiteral("jwjl00")), QStringLiteral("2026年见过一次\n第二行"));
        QVERIFY(!testDb().inTransaction());
        // The tree was rebuilt: the group expanded, the contact selected, its card read back.
        TreeItem g;
        t.page->groupTree->getItem(t.group(QStringLiteral("2")), g);
        QVERIFY(g.expanded);
        QCOMPARE(t.currentLabel(), QStringLiteral("王五"));
        QCOMPARE(t.page->recordView->dataObject(), QStringLiteral("dw_telper"));
        QCOMPARE(t.page->recordView->getItemStatus(1), views::DataStore::RowStatus::NotModified);
        QCOMPARE(t.page->recordView->getItemString(1, QStringLiteral("shouji")), QStringLiteral("13900000003"));
        QVERIFY(t.page->groupTree->hasFocus());

        // Editing a stored card and moving it to another group by the drop-down.
        t.chooseGroup(QStringLiteral("3"));
        t.type(QStringLiteral("nich00"), QStringLiteral("小王"));
        t.click(t.page->saveButton);
        expectBox(t, QStringLiteral("T10"), QStringLiteral("保存成功!"), Icon::Information);
        QCOMPARE(storedField(QStringLiteral("王五"), QStringLiteral("zuhao0")), QStringLiteral("3"));
        QCOMPARE(storedField(QStringLiteral("王五"), QStringLiteral("nich00")), QStringLiteral("小王"));
        QCOMPARE(t.children(t.group(QStringLiteral("3"))), QStringList{QStringLiteral("王五")});
        QCOMPARE(t.currentLabel(), QStringLiteral("王五"));
    }

    void renamingACardUpdatesTheContactItWasReadAs()
    {
        AddressBookDriver t([&] { addContacts(kContacts); });
        t.select(t.member(QStringLiteral("1"), QStringLiteral("张三")));
        t.type(QStringLiteral("xingm0"), QStringLiteral("张三丰"));
        t.click(t.page->saveButton);
        expectBox(t, QStringLiteral("T10"), QStringLiteral("保存成功!"), Icon::Information);
        QCOMPARE(contactCount(QStringLiteral("xingm0 = '张三'")), 0);
        QCOMPARE(storedField(QStringLiteral("张三丰"), QStringLiteral("shouji")), QStringLiteral("13800000001"));
        QCOMPARE(contactCount(), 3);
    }

    void refusedSaveKeepsTheCardAndNothingIsStored()
    {
        AddressBookDriver t([&] { addContacts(kContacts); });
        t.select(t.group(QStringLiteral("1")));
        t.click(t.page->addButton);
        t.type(QStringLiteral("xingm0"), QStringLiteral("张三"));
        t.type(QStringLiteral("shouji"), QStringLiteral("18600000000"));
        t.click(t.page->saveButton);

        QCOMPARE(t.lastBox().title, QStringLiteral("T11"));
        QVERIFY2(t.lastBox().text.startsWith(QStringLiteral("保存失败!\n“姓名”已存在相同的记录。")), qPrintable(t.lastBox().text));
        QCOMPARE(t.lastBox().icon, Icon::Stop);
        // The database's own words follow the reason.
        QVERIFY2(t.lastBox().text.contains(QStringLiteral("UNIQUE constraint failed")), qPrintable(t.lastBox().text));
        QVERIFY(!testDb().inTransaction());
        QCOMPARE(storedField(QStringLiteral("张三"), QStringLiteral("shouji")), QStringLiteral("13800000001"));
        QCOMPARE(contactCount(), 3);
        // Still as typed, still new: correct it and save again.
        QCOMPARE(t.page->recordView->getItemString(1, QStringLiteral("shouji")), QStringLiteral("18600000000"));
        QCOMPARE(t.page->recordView->getItemStatus(1), views::DataStore::RowStatus::NewModified);
        t.type(QStringLiteral("xingm0"), QStringLiteral("张三二"));
        t.click(t.page->saveButton);
        expectBox(t, QStringLiteral("T10"), QStringLiteral("保存成功!"), Icon::Information);
        QCOMPARE(storedField(QStringLiteral("张三二"), QStringLiteral("shouji")), QStringLiteral("18600000000"));
    }

    void fullDiskAndOverLongTextAreExplained()
    {
        AddressBookDriver t([&] { addContacts(kContacts); });
        t.select(t.group(QStringLiteral("1")));
        t.click(t.page->addButton);
        t.type(QStringLiteral("xingm0"), QStringLiteral("满盘"));
        // A long remark needs a new page the database may not grow to.
        t.page->recordView->setItem(1, QStringLiteral("jwjl00"), QString(6000, QChar(0x8BB0)));
        const int pages = scalar(QStringLiteral("PRAGMA page_count")).toInt();
        scalar(QStringLiteral("PRAGMA max_page_count = %1").arg(pages));
        t.click(t.page->saveButton);
        QCOMPARE(t.lastBox().title, QStringLiteral("T11"));
        QVERIFY2(t.lastBox().text.startsWith(QStringLiteral("保存失败!\n磁盘已满")), qPrintable(t.lastBox().text));
        QCOMPARE(contactCount(QStringLiteral("xingm0 = '满盘'")), 0);
        scalar(QStringLiteral("PRAGMA max_page_count = 1073741823"));

        // The editor stops at the width; a value set past it is refused by the database and named.
        auto *name = qobject_cast<QLineEdit *>(t.page->recordView->fieldEditor(QStringLiteral("xingm0")));
        QVERIFY(name);
        QCOMPARE(name->maxLength(), 20);
        t.page->recordView->setItem(1, QStringLiteral("xingm0"), QString(21, QChar(0x738B)));
        t.click(t.page->saveButton);
        QCOMPARE(t.lastBox().title, QStringLiteral("T11"));
        QVERIFY2(t.lastBox().text.contains(QStringLiteral("“姓名”的内容太长")), qPrintable(t.lastBox().text));
        QCOMPARE(contactCount(), 3);
    }

    void dateThatDoesNotExistIsRefusedWithItsReason()
    {
        AddressBookDriver t([&] { addContacts(kContacts); });
        t.select(t.member(QStringLiteral("1"), QStringLiteral("张三")));
        t.type(QStringLiteral("shengr"), QStringLiteral("19801345"));
        t.click(t.page->saveButton);
        QCOMPARE(t.lastBox().title, QStringLiteral("T11"));
        QCOMPARE(t.lastBox().icon, Icon::Stop);
        QVERIFY2(t.lastBox().text.startsWith(QStringLiteral("保存失败!\n")) && t.lastBox().text.size() > 6,
                 qPrintable(t.lastBox().text));
        QCOMPARE(storedField(QStringLiteral("张三"), QStringLiteral("shengr")), QString());
        // What was typed is still there to be corrected.
        t.type(QStringLiteral("shengr"), QStringLiteral("19801225"));
        t.click(t.page->saveButton);
        QCOMPARE(t.lastBox().title, QStringLiteral("T10"));
        QCOMPARE(storedField(QStringLiteral("张三"), QStringLiteral("shengr")), QStringLiteral("19801225"));
    }

    void textIsStoredExactlyAsTyped()
    {
        AddressBookDriver t;
        const QString odd = QStringLiteral("O'Brien \"100%\" 😀");
        const QString sql = QStringLiteral("x'); DROP TABLE t_telinfo;--");
        t.select(t.group(QStringLiteral("4")));
        t.click(t.page->addButton);
        t.type(QStringLiteral("xingm0"), odd);
        t.type(QStringLiteral("danwei"), sql);
        t.click(t.page->saveButton);
        expectBox(t, QStringLiteral("T10"), QStringLiteral("保存成功!"), Icon::Information);
        QCOMPARE(storedField(odd, QStringLiteral("danwei")), sql);
        QCOMPARE(t.currentLabel(), odd);
        QCOMPARE(t.page->recordView->getItemString(1, QStringLiteral("xingm0")), odd);
    }

    void deleteMovesToZThenRemovesForGood()
    {
        AddressBookDriver t([&] { addContacts(kContacts); });
        t.click(t.page->deleteButton);
        expectBox(t, QStringLiteral("T01"), QStringLiteral("当前视图不能执行删除!"), Icon::Exclamation);
        t.select(t.group(QStringLiteral("1")));
        t.click(t.page->deleteButton);
        expectBox(t, QStringLiteral("T01"), QStringLiteral("当前视图不能执行删除!"), Icon::Exclamation);

        // Answering No changes nothing.
        t.select(t.member(QStringLiteral("1"), QStringLiteral("张三")));
        t.fakes.boxes->answers << Answer::No;
        t.click(t.page->deleteButton);
        const auto &ask = t.lastBox();
        QCOMPARE(ask.title, QStringLiteral("T03"));
        QCOMPARE(ask.text, QStringLiteral("确认删除<张三>?"));
        QCOMPARE(ask.icon, Icon::Question);
        QCOMPARE(ask.buttons, Buttons::YesNo);
        QCOMPARE(ask.defaultButton, 2);
        QCOMPARE(storedField(QStringLiteral("张三"), QStringLiteral("zuhao0")), QStringLiteral("1"));
        QCOMPARE(t.page->recordView->rowCount(), 1L);

        // Yes: moved to "Z" with everything else kept; the former group comes back expanded.
        t.fakes.boxes->answers << Answer::Yes;
        t.click(t.page->deleteButton);
        expectBox(t, QStringLiteral("T04"), QStringLiteral("删除成功!"), Icon::Information);
        QCOMPARE(storedField(QStringLiteral("张三"), QStringLiteral("zuhao0")), QStringLiteral("Z"));
        QCOMPARE(storedField(QStringLiteral("张三"), QStringLiteral("shouji")), QStringLiteral("13800000001"));
        QCOMPARE(storedField(QStringLiteral("张三"), QStringLiteral("danwei")), QStringLiteral("单位"));
        QCOMPARE(t.children(t.group(QStringLiteral("1"))), QStringList{QStringLiteral("李四")});
        QCOMPARE(t.current(), t.group(QStringLiteral("1")));
        QCOMPARE(t.page->recordView->dataObject(), QStringLiteral("dw_telall"));
        QVERIFY(!testDb().inTransaction());

        // From the deleted group it goes for good.
        t.select(t.member(QStringLiteral("Z"), QStringLiteral("张三")));
        t.fakes.boxes->answers << Answer::Yes;
        t.click(t.page->deleteButton);
        expectBox(t, QStringLiteral("T04"), QStringLiteral("删除成功!"), Icon::Information);
        QCOMPARE(contactCount(QStringLiteral("xingm0 = '张三'")), 0);
        QCOMPARE(t.children(t.group(QStringLiteral("Z"))), QStringList{QStringLiteral("赵六")});
        QCOMPARE(contactCount(), 2);
    }

    void lowerCaseZCodeDeletesForGoodToo()
    {
        AddressBookDriver t([&] { addContacts({{QStringLiteral("z"), QStringLiteral("小写"), QString()}}); });
        QVERIFY(testDb().execute(QStringLiteral("INSERT INTO t_group VALUES ('z', '小写组')")));
        QVERIFY(testDb().commit());
        t.page->groupTree->deleteItem(t.root());
        t.page->buildTree();
        t.select(t.member(QStringLiteral("z"), QStringLiteral("小写")));
        t.fakes.boxes->answers << Answer::Yes;
        t.click(t.page->deleteButton);
        QCOMPARE(t.lastBox().title, QStringLiteral("T04"));
        QCOMPARE(contactCount(), 0);
    }

    void unsavedCardIsOnlyTakenOffTheView()
    {
        AddressBookDriver t([&] { addContacts(kContacts); });
        // A new card carrying a stored contact's name must not touch that contact.
        t.select(t.group(QStringLiteral("1")));
        t.click(t.page->addButton);
        t.type(QStringLiteral("xingm0"), QStringLiteral("张三"));
        const int boxes = t.fakes.boxes->shown.size();
        t.click(t.page->deleteButton);
        QCOMPARE(t.fakes.boxes->shown.size(), boxes);
        QCOMPARE(t.page->recordView->rowCount(), 0L);
        QCOMPARE(storedField(QStringLiteral("张三"), QStringLiteral("zuhao0")), QStringLiteral("1"));
        t.click(t.page->deleteButton);
        expectBox(t, QStringLiteral("T02"), QStringLiteral("无可删除记录!"), Icon::Exclamation);
    }

    void deleteActsOnTheContactAsStored()
    {
        AddressBookDriver t([&] { addContacts(kContacts); });
        t.select(t.member(QStringLiteral("1"), QStringLiteral("张三")));
        // Typed over but not saved: the delete still means 张三, not 李四.
        t.type(QStringLiteral("xingm0"), QStringLiteral("李四"));
        t.fakes.boxes->answers << Answer::Yes;
        t.click(t.page->deleteButton);
        QCOMPARE(t.fakes.boxes->shown.at(t.fakes.boxes->shown.size() - 2).text, QStringLiteral("确认删除<张三>?"));
        QCOMPARE(storedField(QStringLiteral("张三"), QStringLiteral("zuhao0")), QStringLiteral("Z"));
        QCOMPARE(storedField(QStringLiteral("李四"), QStringLiteral("zuhao0")), QStringLiteral("1"));
    }

    void failedDeleteIsReportedAndRolledBack()
    {
        AddressBookDriver t([&] { addContacts(kContacts); });
        QVERIFY(testDb().execute(QStringLiteral("CREATE TRIGGER no_moves BEFORE UPDATE ON t_telinfo BEGIN SELECT RAISE(ABORT, '不许移动'); END")));
        QVERIFY(testDb().commit());
        t.select(t.member(QStringLiteral("1"), QStringLiteral("李四")));
        t.fakes.boxes->answers << Answer::Yes;
        t.click(t.page->deleteButton);
        QCOMPARE(t.lastBox().title, QStringLiteral("T05"));
        QVERIFY2(t.lastBox().text.startsWith(QStringLiteral("删除失败!\n")), qPrintable(t.lastBox().text));
        QVERIFY(t.lastBox().text.contains(QStringLiteral("不许移动")));
        QCOMPARE(t.lastBox().icon, Icon::Stop);
        QVERIFY(!t.boxTitles().contains(QStringLiteral("T04")));
        QVERIFY(!testDb().inTransaction());
        QCOMPARE(storedField(QStringLiteral("李四"), QStringLiteral("zuhao0")), QStringLiteral("1"));
        // The contact is shown again as stored.
        QCOMPARE(t.currentLabel(), QStringLiteral("李四"));
        QCOMPARE(t.page->recordView->rowCount(), 1L);
    }

    void withoutAZGroupMovedContactsShowOnlyUnderTheRoot()
    {
        AddressBookDriver t([&] { addContacts(kContacts); });
        QVERIFY(testDb().execute(QStringLiteral("DELETE FROM t_group WHERE zuhao0 = 'Z'")));
        QVERIFY(testDb().commit());
        t.select(t.member(QStringLiteral("1"), QStringLiteral("李四")));
        t.fakes.boxes->answers << Answer::Yes;
        t.click(t.page->deleteButton);
        QCOMPARE(t.lastBox().title, QStringLiteral("T04"));
        QCOMPARE(t.group(QStringLiteral("Z")), 0L);
        t.select(t.root());
        QCOMPARE(t.page->recordView->rowCount(), 3L);
        QCOMPARE(storedField(QStringLiteral("李四"), QStringLiteral("zuhao0")), QStringLiteral("Z"));
    }
};

MIVO_TEST_MAIN(tst_addressbookpage_edit)
#include "tst_addressbookpage_edit.moc"
