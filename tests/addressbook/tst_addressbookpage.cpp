// The address-book page as a user browses it: the group tree, the list and the card, sorting,
// double-click navigation and row highlighting; contacts imported from a group's menu.

#include "app/connection.h"
#include "pagekit/contextmenu.h"
#include "contacts.h"
#include "testmain.h"
#include "views/dataview.h"
#include "widgets/handletree.h"

#include <QAccessible>
#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <sqlite3.h>

using widgets::TreeItem;

namespace {

// Counts the statements that read the contacts (a trace callback).
int countContactReads(unsigned, void *reads, void *statement, void *)
{
    if (QByteArray(sqlite3_sql(static_cast<sqlite3_stmt *>(statement))).contains("FROM t_telinfo"))
        ++*static_cast<int *>(reads);
    return 0;
}

const QList<Contact> kContacts = {
    {QStringLiteral("2"), QStringLiteral("王五"), QStringLiteral("13900000003")},
    {QStringLiteral("1"), QStringLiteral("张三"), QStringLiteral("13800000001")},
    {QStringLiteral("1"), QStringLiteral("李四"), QStringLiteral("13800000002")},
    {QStringLiteral("Z"), QStringLiteral("赵六"), QStringLiteral("13700000004")},
};

} // namespace

class tst_addressbookpage : public QObject
{
    Q_OBJECT

private slots:
    void treeHoldsRootGroupsAndPictures()
    {
        AddressBookDriver t([&] { addContacts(kContacts); });
        TreeItem root;
        QVERIFY(t.page->groupTree->getItem(t.root(), root));
        QCOMPARE(root.label, QStringLiteral("通讯录"));
        QCOMPARE(root.data.toString(), QStringLiteral("%"));
        QCOMPARE(root.pictureIndex, 1);
        QVERIFY(root.expanded);
        QCOMPARE(t.children(t.root()), (QStringList{QStringLiteral("家人"), QStringLiteral("朋友"), QStringLiteral("同学"),
                                                    QStringLiteral("同事"), QStringLiteral("已删除")}));
        TreeItem g;
        t.page->groupTree->getItem(t.group(QStringLiteral("1")), g);
        QCOMPARE(g.pictureIndex, 2);
        QCOMPARE(g.selectedPictureIndex, 2);
        QVERIFY(g.children);
        QVERIFY(!g.populated);
        t.page->groupTree->getItem(t.group(QStringLiteral("Z")), g);
        QCOMPARE(g.pictureIndex, 4);
        QCOMPARE(g.selectedPictureIndex, 4);
        // Nothing is shown and nothing was asked until the user chooses.
        QCOMPARE(t.page->recordView->dataObject(), QString());
        QVERIFY(t.fakes.boxes->shown.isEmpty());
    }

    void lowerCaseZGroupGetsTheDeletedPictureToo()
    {
        AppFolder folder;
        QVERIFY(testDb().execute(QStringLiteral("INSERT INTO t_group VALUES ('z', '回收')")));
        QVERIFY(testDb().commit());
        fake::Platform fakes;
        AddressBookPage page(folder.db());
        const long root = page.groupTree->findItem(widgets::TreeNavigation::Root);
        TreeItem g;
        page.groupTree->getItem(page.groupTree->findChildByData(root, QStringLiteral("z")), g);
        QCOMPARE(g.pictureIndex, 4);
        page.groupTree->getItem(page.groupTree->findChildByData(root, QStringLiteral("1")), g);
        QCOMPARE(g.pictureIndex, 2);
    }

    // A group lists exactly the contacts whose code is its own, the same ones as below it in the
    // tree: codes that are wildcards elsewhere, and letters that differ only in case, stay apart.
    // Its first expansion reads its contacts once for the tree and the list, whether it was chosen
    // before (its list stays as shown) or not (the expansion chooses it and lists it).
    void aGroupListsExactlyItsOwnContacts()
    {
        const QList<QPair<QString, QString>> groups = {
            {QStringLiteral("%"), QStringLiteral("百分")}, {QStringLiteral("_"), QStringLiteral("下划")},
            {QStringLiteral("a"), QStringLiteral("小写")}, {QStringLiteral("A"), QStringLiteral("大写")},
            {QStringLiteral("z"), QStringLiteral("回收")}, {QStringLiteral("*"), QStringLiteral("星号")},
            {QStringLiteral("["), QStringLiteral("括号")}};
        QList<Contact> contacts;
        int n = 0;
        for (const QString code : {"%", "_", "a", "A", "z", "Z", "*", "[", "1"})
            for (int i = 0; i < 2; ++i)
                contacts << Contact{code, QStringLiteral("联系人%1号").arg(++n), QString()};
        // Names whose case would order them otherwise: the tree and the list agree on every order.
        for (const char *name : {"carl", "Alice", "bob"})
            contacts << Contact{QStringLiteral("1"), QString::fromUtf8(name), QString()};
        AddressBookDriver t([&] { addContacts(contacts, groups); });
        int reads = 0;
        sqlite3_trace_v2(testDb().handle(), SQLITE_TRACE_STMT, countContactReads, &reads);
        bool chooseFirst = false;
        for (const auto &g : groups + QList<QPair<QString, QString>>{{QStringLiteral("Z"), {}}, {QStringLiteral("1"), {}}}) {
            const long item = t.group(g.first);
            QVERIFY2(item, qPrintable(g.first));
            chooseFirst = !chooseFirst;
            t.select(chooseFirst ? item : t.root());
            reads = 0;
            t.page->groupTree->expandItem(item);
            QCOMPARE(reads, 1);
            TreeItem expanded;
            QVERIFY(t.page->groupTree->getItem(item, expanded));
            QVERIFY(expanded.selected);
            QCOMPARE(t.page->recordView->dataObject(), QStringLiteral("dw_telall"));
            const int size = g.first == QStringLiteral("1") ? 5 : 2;
            QCOMPARE(t.column(QStringLiteral("zuhao0")), QStringList(size, g.first));
            QCOMPARE(t.column(QStringLiteral("xingm0")), t.children(item));
        }
        sqlite3_trace_v2(testDb().handle(), 0, nullptr, nullptr);
        QCOMPARE(t.children(t.group(QStringLiteral("1"))),
                 (QStringList{QStringLiteral("Alice"), QStringLiteral("bob"), QStringLiteral("carl"),
                              QStringLiteral("联系人17号"), QStringLiteral("联系人18号")}));
        t.select(t.root());
        QCOMPARE(t.page->recordView->rowCount(), long(contacts.size()));
    }

    void noGroupsGivesT00AndABareRoot_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("boxes");
        QTest::newRow("none stored") << "DELETE FROM t_group" << QStringList{"T00"};
        // A read that fails says so, with the database's reason, before the page's own box.
        QTest::newRow("unreadable") << "ALTER TABLE t_group RENAME TO t_group_old" << QStringList{"数据库错误", "T00"};
    }
    void noGroupsGivesT00AndABareRoot()
    {
        QFETCH(QString, sql);
        QFETCH(QStringList, boxes);
        AppFolder folder;
        QVERIFY(testDb().execute(sql));
        QVERIFY(testDb().commit());
        fake::Platform fakes;
        AddressBookPage page(folder.db());
        QCOMPARE(fakes.boxes->titles(), boxes);
        if (boxes.size() > 1) {
            QVERIFY2(fakes.boxes->shown.first().text.contains(QStringLiteral("t_group")), qPrintable(fakes.boxes->shown.first().text));
            QCOMPARE(fakes.boxes->shown.first().icon, platform::Icon::Stop);
        }
        QCOMPARE(fakes.boxes->shown.last().text, QStringLiteral("组信息无数据!"));
        QCOMPARE(fakes.boxes->shown.last().icon, platform::Icon::Exclamation);
        const long root = page.groupTree->findItem(widgets::TreeNavigation::Root);
        TreeItem r;
        QVERIFY(page.groupTree->getItem(root, r));
        QCOMPARE(page.groupTree->childCount(root), 0L);
        QVERIFY(!r.expanded);
    }

    void selectionChoosesListOrCard()
    {
        AddressBookDriver t([&] { addContacts(kContacts); });
        // The root lists everybody, by group code, then name.
        t.select(t.root());
        QCOMPARE(t.page->recordView->dataObject(), QStringLiteral("dw_telall"));
        QCOMPARE(t.column(QStringLiteral("xingm0")),
                 (QStringList{QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("王五"), QStringLiteral("赵六")}));
        QCOMPARE(t.page->recordView->displayText(QStringLiteral("count_xingm0")), QStringLiteral("4人"));
        QCOMPARE(t.page->recordView->displayText(QStringLiteral("zuhao0"), 1), QStringLiteral("家人"));
        // A screen reader reads the summary band as the eye does.
        QAccessibleInterface *band = QAccessible::queryAccessibleInterface(t.page->recordView->findChild<QWidget *>(QStringLiteral("summary")));
        QVERIFY(band);
        QCOMPARE(band->text(QAccessible::Name), QStringLiteral("合计: 4人"));

        // A group: its first expansion fills it and selects it, which lists it.
        t.select(t.group(QStringLiteral("1")));
        QCOMPARE(t.page->recordView->dataObject(), QStringLiteral("dw_telall"));
        QCOMPARE(t.column(QStringLiteral("xingm0")), (QStringList{QStringLiteral("张三"), QStringLiteral("李四")}));
        const long zhang = t.member(QStringLiteral("1"), QStringLiteral("张三"));
        QCOMPARE(t.children(t.group(QStringLiteral("1"))), (QStringList{QStringLiteral("张三"), QStringLiteral("李四")}));
        QCOMPARE(t.current(), t.group(QStringLiteral("1")));

        // A contact: its card, read by name.
        t.select(zhang);
        QCOMPARE(t.page->recordView->dataObject(), QStringLiteral("dw_telper"));
        QCOMPARE(t.page->recordView->rowCount(), 1L);
        QCOMPARE(t.page->recordView->getItemString(1, QStringLiteral("shouji")), QStringLiteral("13800000001"));
        QVERIFY(t.page->recordView->fieldEditor(QStringLiteral("xingm0")));
    }

    void emptyGroupLosesItsExpandSignAndListsNobody()
    {
        AddressBookDriver t([&] { addContacts(kContacts); });
        const long g = t.group(QStringLiteral("3"));
        QVERIFY(t.page->groupTree->expandItem(g));
        TreeItem item;
        t.page->groupTree->getItem(g, item);
        QVERIFY(!item.children);
        QCOMPARE(t.current(), g);
        QCOMPARE(t.page->recordView->dataObject(), QStringLiteral("dw_telall"));
        QCOMPARE(t.page->recordView->rowCount(), 0L);
        QCOMPARE(t.page->recordView->displayText(QStringLiteral("count_xingm0")), QStringLiteral("0人"));
    }

    void headerClicksShareOneToggle()
    {
        AddressBookDriver t([&] { addContacts(kContacts); });
        t.select(t.root());
        t.clickObject(QStringLiteral("xingm0_t"));
        QCOMPARE(t.page->sortSuffix(), QStringLiteral(" A"));
        // Sorting by a header follows the Chinese reading (pinyin) order.
        QCOMPARE(t.column(QStringLiteral("xingm0")),
                 (QStringList{QStringLiteral("李四"), QStringLiteral("王五"), QStringLiteral("张三"), QStringLiteral("赵六")}));
        // Another header sorts the other way: the direction is shared.
        t.clickObject(QStringLiteral("shouji_t"));
        QCOMPARE(t.page->sortSuffix(), QStringLiteral(" D"));
        QCOMPARE(t.column(QStringLiteral("shouji")),
                 (QStringList{QStringLiteral("13900000003"), QStringLiteral("13800000002"), QStringLiteral("13800000001"),
                              QStringLiteral("13700000004")}));
        // "合计:" names no column: the list stays as it is and nobody is told anything.
        t.clickObject(QStringLiteral("t_total"));
        QCOMPARE(t.column(QStringLiteral("shouji")).first(), QStringLiteral("13900000003"));
        QVERIFY(t.fakes.boxes->shown.isEmpty());

        // While a card is shown header clicks do nothing.
        t.select(t.member(QStringLiteral("1"), QStringLiteral("张三")));
        const QString before = t.page->sortSuffix();
        t.clickObject(QStringLiteral("xingm0_t"));
        QCOMPARE(t.page->sortSuffix(), before);
    }

    void doubleClickOnACellOpensTheContact()
    {
        AddressBookDriver t([&] { addContacts(kContacts); });
        t.select(t.root());
        // A header opens nothing.
        const QRect header = t.page->recordView->objectRect(QStringLiteral("xingm0_t"));
        QWidget *w = t.page->recordView->childAt(header.center());
        QTest::mouseDClick(w, Qt::LeftButton, {}, w->mapFrom(t.page->recordView, header.center()));
        QCoreApplication::processEvents();
        QCOMPARE(t.page->recordView->dataObject(), QStringLiteral("dw_telall"));

        // Row 3 is 王五 of group 2.
        t.doubleClickCell(QStringLiteral("shouji"), 3);
        QCOMPARE(t.page->recordView->dataObject(), QStringLiteral("dw_telper"));
        QCOMPARE(t.page->recordView->getItemString(1, QStringLiteral("xingm0")), QStringLiteral("王五"));
        TreeItem item;
        t.page->groupTree->getItem(t.current(), item);
        QCOMPARE(item.label, QStringLiteral("王五"));
        QCOMPARE(item.level, 3);
        t.page->groupTree->getItem(t.group(QStringLiteral("2")), item);
        QVERIFY(item.expanded);
        QVERIFY(t.page->groupTree->hasFocus());
    }

    void rowFocusHighlightsOnlyTheNewRow()
    {
        AddressBookDriver t([&] { addContacts(kContacts); });
        t.select(t.root());
        auto clickRow = [&](long row) {
            const QRect r = t.page->recordView->objectRect(QStringLiteral("xingm0"), row);
            QWidget *w = t.page->recordView->childAt(r.center());
            QTest::mouseClick(w, Qt::LeftButton, {}, w->mapFrom(t.page->recordView, r.center()));
        };
        auto selected = [&] {
            QList<long> rows;
            for (long r = 1; r <= t.page->recordView->rowCount(); ++r)
                if (t.page->recordView->isSelected(r))
                    rows << r;
            return rows;
        };
        clickRow(2);
        QCOMPARE(t.page->recordView->getRow(), 2L);
        QCOMPARE(selected(), QList<long>{2});
        clickRow(4);
        QCOMPARE(selected(), QList<long>{4});
        // On a card nothing is highlighted.
        t.select(t.member(QStringLiteral("1"), QStringLiteral("张三")));
        QCOMPARE(selected(), QList<long>{});
    }

    // The menu opens on a group while a card is shown and leaves it shown; the imported contacts
    // appear in the group, unless the card holds unsaved edits, which stay as typed.
    void importFromAGroupsMenu()
    {
        AddressBookDriver t([] { addContacts(kContacts); });
        t.folder.writeFile(QStringLiteral("a.vcf"), "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:孙七\r\nEND:VCARD\r\n");
        t.folder.writeFile(QStringLiteral("b.vcf"), "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:周八\r\nEND:VCARD\r\n");
        const auto import = [&](const QString &file, const QString &code) {
            t.fakes.dialogs->openPath = t.folder.file(file);
            t.fakes.boxes->answers = {platform::Answer::Yes};
            drive::rightClick(t.page->groupTree, t.group(code));
            QMenu *menu = t.page->treeMenu->menu();
            QTRY_VERIFY(menu->isVisible());
            QCOMPARE(menu->actions().size(), 2);
            QCOMPARE(menu->actions().at(1)->text(), QStringLiteral("导出联系人…"));
            menu->actions().at(0)->trigger();
            menu->close();
        };

        const long zhang = t.member(QStringLiteral("1"), QStringLiteral("张三"));
        t.select(zhang);
        import(QStringLiteral("a.vcf"), QStringLiteral("2"));
        QCOMPARE(t.boxTitles(), (QStringList{QStringLiteral("T14"), QStringLiteral("T16")}));
        QCOMPARE(storedField(QStringLiteral("孙七"), QStringLiteral("zuhao0")), QStringLiteral("2"));
        QCOMPARE(t.children(t.group(QStringLiteral("2"))), (QStringList{QStringLiteral("孙七"), QStringLiteral("王五")}));
        QCOMPARE(t.currentLabel(), QStringLiteral("朋友"));

        t.select(t.member(QStringLiteral("1"), QStringLiteral("张三")));
        t.type(QStringLiteral("shouji"), QStringLiteral("13800000009"));
        const long current = t.current();
        import(QStringLiteral("b.vcf"), QStringLiteral("2"));
        QCOMPARE(storedField(QStringLiteral("周八"), QStringLiteral("zuhao0")), QStringLiteral("2"));
        QCOMPARE(t.current(), current);
        QCOMPARE(t.shown(QStringLiteral("shouji")), QStringLiteral("13800000009"));
    }

    void closeOnlyHidesThePage()
    {
        AddressBookDriver t([&] { addContacts(kContacts); });
        t.click(t.page->closeButton);
        QVERIFY(!t.page->isVisible());
        QVERIFY(t.fakes.boxes->shown.isEmpty());
        QCOMPARE(contactCount(), 4);
    }
};

MIVO_TEST_MAIN(tst_addressbookpage)
#include "tst_addressbookpage.moc"
