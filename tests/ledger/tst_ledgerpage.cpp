// The ledger's two lists as a user has them: the period each shows and remembers, sorting, adding,
// deleting and saving entries, with every box checked, failures included.

#include "ledgerdriver.h"
#include "testmain.h"

#include "app/settingsfile.h"
#include "app/connection.h"
#include "ledger/monthchart.h"
#include "views/dataview.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTabWidget>

using platform::Answer;
using platform::Buttons;
using platform::Icon;
using views::DataStore;

namespace {

// Expenses and incomes around the fixed days of the tests, some dated after them.
const QList<Entry> kEntries = {
    {"1", "20081231", "旧年", 1},     {"1", "20090101", "元旦", 2},     {"1", "20090214", "情人节", 3},
    {"1", "20091231", "预付", 4},     {"1", "20100105", "明年", 5},     {"2", "20090110", "工资一", 100},
    {"2", "20090201", "工资二", 200}, {"2", "20091215", "年终奖", 300}, {"2", "20100101", "新年红包", 400},
};

const QString kSaved = QStringLiteral("保存/删除成功!");
const QString kFailed = QStringLiteral("保存/删除失败\n");

QStringList dates(const views::DataView *list)
{
    return drive::column(list, QStringLiteral("vdate"));
}

} // namespace

class tst_ledgerpage : public QObject
{
    Q_OBJECT
    int listReads = 0;

private slots:
    void periodsComeFromTheSettingsWithoutWritingThem_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("outText");
        QTest::addColumn<QString>("outKey");
        QTest::addColumn<QStringList>("outDates");
        QTest::addColumn<QString>("inText");
        QTest::addColumn<QString>("inKey");
        QTest::addColumn<QStringList>("inDates");

        QTest::newRow("first run in January") << QDate(2010, 1, 20) << QByteArray()
            << "当月" << "20100101" << QStringList{"20100105"}
            << "当月" << "20100101" << QStringList{"20100101"};
        QTest::newRow("December, entries after today") << QDate(2009, 12, 1) << QByteArray()
            << "当月" << "20091201" << QStringList{"20091231", "20100105"}
            << "当月" << "20091201" << QStringList{"20091215", "20100101"};
        QTest::newRow("all and this year") << QDate(2009, 2, 14) << QByteArray("[setting]\nlistout=全部\nlistin=当年\n")
            << "全部" << "0" << QStringList{"20081231", "20090101", "20090214", "20091231", "20100105"}
            << "当年" << "20090101" << QStringList{"20090110", "20090201", "20091215", "20100101"};
        QTest::newRow("unknown and empty values") << QDate(2009, 2, 14) << QByteArray("[setting]\nlistout=本周\nlistin=\n")
            << "当月" << "20090201" << QStringList{"20090214", "20091231", "20100105"}
            << "当月" << "20090201" << QStringList{"20090201", "20091215", "20100101"};
    }
    void periodsComeFromTheSettingsWithoutWritingThem()
    {
        QFETCH(QDate, today);
        QFETCH(QByteArray, settings);
        LedgerDriver t(today, kEntries, settings, &listReads);
        QTEST(t.page->expenses->periodList->currentText(), "outText");
        QTEST(t.page->expensePeriodKey(), "outKey");
        QTEST(dates(t.page->expenses->list), "outDates");
        QTEST(t.page->incomes->periodList->currentText(), "inText");
        QTEST(t.page->incomePeriodKey(), "inKey");
        QTEST(dates(t.page->incomes->list), "inDates");
        // Each list was read once; nothing is written until the user picks.
        QCOMPARE(listReads, 2);
        QCOMPARE(t.settingsFile(), settings);
        QCOMPARE(t.hasSettingsFile(), !settings.isNull());
        QVERIFY(t.fakes.boxes->shown.isEmpty());
    }

    void pickingAPeriodRemembersItAndDropsWhatWasNotSaved()
    {
        LedgerDriver t(QDate(2009, 2, 14), kEntries);
        t.click(t.page->addButton);
        QCOMPARE(t.page->expenses->list->rowCount(), 4L);

        t.choosePeriod(t.page->expenses->periodList, QStringLiteral("全部"));
        QCOMPARE(t.page->expensePeriodKey(), QStringLiteral("0"));
        QCOMPARE(dates(t.page->expenses->list), (QStringList{"20081231", "20090101", "20090214", "20091231", "20100105"}));
        QVERIFY(t.hasSettingsFile());
        QCOMPARE(readSetting(QStringLiteral("listout")), QStringLiteral("全部"));
        QCOMPARE(readSetting(QStringLiteral("listin")), QString());
        QCOMPARE(t.entryCount(), kEntries.size());

        t.choosePeriod(t.page->incomes->periodList, QStringLiteral("当年"));
        QCOMPARE(readSetting(QStringLiteral("listin")), QStringLiteral("当年"));
        QCOMPARE(dates(t.page->incomes->list), (QStringList{"20090110", "20090201", "20091215", "20100101"}));
        // The income list's choice leaves the expense list as it was.
        QCOMPARE(t.page->expenses->list->rowCount(), 5L);
        QCOMPARE(readSetting(QStringLiteral("listout")), QStringLiteral("全部"));

        // The next start shows what was picked.
        LedgerPage again(t.folder.db());
        QCOMPARE(again.expenses->periodList->currentText(), QStringLiteral("全部"));
        QCOMPARE(again.incomes->periodList->currentText(), QStringLiteral("当年"));
        QCOMPARE(again.expenses->list->rowCount(), 5L);
        QVERIFY(t.fakes.boxes->shown.isEmpty());

        // An entry whose date is cleared is saved so; "全部" still lists it, as one stored without
        // any date, in reach to be edited or deleted. The other periods leave both out.
        addEntries({{"1", QString(), "无日期", 6}});
        drive::typeCell(t.page->expenses->list, QStringLiteral("vdate"), 3, QString());
        t.click(t.page->saveButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("A03"), kSaved, Icon::Information);
        QCOMPARE(t.entryCount(QStringLiteral("vdate = '' AND vname = '情人节'")), 1);
        QCOMPARE(drive::column(t.page->expenses->list, QStringLiteral("vname")), (QStringList{"无日期", "情人节", "旧年", "元旦", "预付", "明年"}));
        t.choosePeriod(t.page->expenses->periodList, QStringLiteral("当年"));
        QCOMPARE(drive::column(t.page->expenses->list, QStringLiteral("vname")), (QStringList{"元旦", "预付", "明年"}));
        t.choosePeriod(t.page->expenses->periodList, QStringLiteral("全部"));
        drive::clickObject(t.page->expenses->list, QStringLiteral("vname"), 1);
        t.fakes.boxes->answers = {Answer::Yes};
        t.click(t.page->deleteButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("A03"), kSaved, Icon::Information);
        QCOMPARE(t.entryCount(QStringLiteral("vname = '无日期'")), 0);
    }

    void bothListsShareOneSortDirection()
    {
        LedgerDriver t(QDate(2009, 2, 14),
                       {{"1", "20090203", "甲", 30}, {"1", "20090201", "乙", 5.5}, {"1", "20090202", "丙", 1200},
                        {"2", "20090203", "丁", 7}, {"2", "20090201", "戊", 9}});
        QCOMPARE(drive::column(t.page->expenses->list, QStringLiteral("vname")), (QStringList{"乙", "丙", "甲"}));
        t.clickHeader(t.page->expenses->list, QStringLiteral("vmoney_t"));
        QCOMPARE(drive::column(t.page->expenses->list, QStringLiteral("vmoney")), (QStringList{"5.5", "30", "1200"}));
        t.clickHeader(t.page->expenses->list, QStringLiteral("vmoney_t"));
        QCOMPARE(drive::column(t.page->expenses->list, QStringLiteral("vmoney")), (QStringList{"1200", "30", "5.5"}));
        // A cell is not a header: no sorting, the row is highlighted alone.
        drive::clickObject(t.page->expenses->list, QStringLiteral("vdate"), 3);
        QCOMPARE(drive::column(t.page->expenses->list, QStringLiteral("vmoney")), (QStringList{"1200", "30", "5.5"}));
        QVERIFY(t.page->expenses->list->isSelected(3) && !t.page->expenses->list->isSelected(1) && !t.page->expenses->list->isSelected(2));

        // The income list goes on from the direction last used: descending, so now ascending.
        t.showTab(1);
        t.clickHeader(t.page->incomes->list, QStringLiteral("vdate_t"));
        QCOMPARE(t.page->sortSuffix(), QStringLiteral(" A"));
        QCOMPARE(dates(t.page->incomes->list), (QStringList{"20090201", "20090203"}));
        t.clickHeader(t.page->incomes->list, QStringLiteral("vdate_t"));
        QCOMPARE(dates(t.page->incomes->list), (QStringList{"20090203", "20090201"}));
        QVERIFY(t.fakes.boxes->shown.isEmpty());
    }

    void addedEntriesTakeTodayAndTheTypeOfTheirList()
    {
        LedgerDriver t(QDate(2009, 2, 14), kEntries);
        t.click(t.page->addButton);
        const long row = t.page->expenses->list->rowCount();
        QCOMPARE(row, 4L);
        QCOMPARE(t.page->expenses->list->getRow(), row);
        drive::typeCell(t.page->expenses->list, QStringLiteral("vname"), row, QStringLiteral("午饭"));
        drive::typeCell(t.page->expenses->list, QStringLiteral("vmoney"), row, QStringLiteral("25.5"));
        t.click(t.page->saveButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("A03"), kSaved, Icon::Information);
        QCOMPARE(t.entryCount(QStringLiteral("vtype = '1' AND vdate = '20090214' AND vname = '午饭' AND vmoney = 25.5")), 1);
        QVERIFY(!testDb().inTransaction());
        // Read again: the new row has its identity and nothing is left to save.
        const long saved = t.page->expenses->list->rowCount();
        QCOMPARE(saved, 4L);
        for (long r = 1; r <= saved; ++r) {
            QCOMPARE(t.page->expenses->list->getItemStatus(r), DataStore::RowStatus::NotModified);
            QVERIFY(!t.page->expenses->list->getItem(r, QStringLiteral("id")).isNull());
        }

        t.showTab(1);
        t.click(t.page->addButton);
        const long in = t.page->incomes->list->rowCount();
        drive::typeCell(t.page->incomes->list, QStringLiteral("vname"), in, QStringLiteral("稿费"));
        drive::typeCell(t.page->incomes->list, QStringLiteral("vmoney"), in, QStringLiteral("800"));
        t.click(t.page->saveButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("A05"), kSaved, Icon::Information);
        QCOMPARE(t.entryCount(QStringLiteral("vtype = '2' AND vdate = '20090214' AND vname = '稿费' AND vmoney = 800")), 1);
        QCOMPARE(t.boxCount(), 2);
    }

    void deleteAsksExceptForANewRowTypedInto()
    {
        LedgerDriver t(QDate(2009, 2, 14), kEntries);
        const ExpectedBox question{QStringLiteral("A01"), QStringLiteral("确认删除当前行?"), Icon::Exclamation, Buttons::YesNo, 2};

        // A stored entry: No keeps it, Yes deletes it at once.
        drive::clickObject(t.page->expenses->list, QStringLiteral("vname"), 1);
        t.click(t.page->deleteButton);
        EXPECT_BOX(*t.fakes.boxes, question.code, question.text, question.icon, question.buttons, question.defaultButton);
        QCOMPARE(t.entryCount(QStringLiteral("vname = '情人节'")), 1);
        QCOMPARE(t.page->expenses->list->rowCount(), 3L);
        t.fakes.boxes->answers = {Answer::Yes};
        t.click(t.page->deleteButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("A03"), kSaved, Icon::Information);
        QCOMPARE(t.entryCount(QStringLiteral("vname = '情人节'")), 0);
        QCOMPARE(drive::column(t.page->expenses->list, QStringLiteral("vname")), (QStringList{"预付", "明年"}));

        // A new row typed into goes without a word.
        t.click(t.page->addButton);
        drive::typeCell(t.page->expenses->list, QStringLiteral("vremark"), 3, QStringLiteral("不要了"));
        const int boxes = t.boxCount();
        t.click(t.page->deleteButton);
        QCOMPARE(t.boxCount(), boxes);
        QCOMPARE(t.page->expenses->list->rowCount(), 2L);
        // One whose date was changed counts as typed into as well.
        t.click(t.page->addButton);
        drive::typeCell(t.page->expenses->list, QStringLiteral("vdate"), 3, QStringLiteral("20090215"));
        t.click(t.page->deleteButton);
        QCOMPARE(t.boxCount(), boxes);
        QCOMPARE(t.page->expenses->list->rowCount(), 2L);

        // An untouched new row is asked about, and its deletion is reported as a save.
        t.click(t.page->addButton);
        t.fakes.boxes->answers = {Answer::Yes};
        t.click(t.page->deleteButton);
        QCOMPARE(t.fakes.boxes->shown.at(boxes).title, QStringLiteral("A01"));
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("A03"), kSaved, Icon::Information);
        QCOMPARE(t.entryCount(), kEntries.size() - 1);

        // The income list asks with its own codes; an empty list has nothing to delete.
        t.showTab(1);
        t.fakes.boxes->answers = {Answer::Yes, Answer::Ok, Answer::Yes, Answer::Ok, Answer::Yes, Answer::Ok};
        t.click(t.page->deleteButton);
        QCOMPARE(t.fakes.boxes->shown.at(t.boxCount() - 2).title, QStringLiteral("A02"));
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("A05"), kSaved, Icon::Information);
        t.click(t.page->deleteButton);
        t.click(t.page->deleteButton);
        QCOMPARE(t.page->incomes->list->rowCount(), 0L);
        const int all = t.boxCount();
        t.click(t.page->deleteButton);
        QCOMPARE(t.boxCount(), all);
        QCOMPARE(t.entryCount(QStringLiteral("vtype = '2'")), 1);

        // Deleting an entry that is already gone is what the user wanted: done.
        t.showTab(0);
        t.choosePeriod(t.page->expenses->periodList, QStringLiteral("全部"));
        exec(QStringLiteral("DELETE FROM t_account WHERE vname = '旧年'"));
        drive::clickObject(t.page->expenses->list, QStringLiteral("vname"), 1);
        QCOMPARE(t.page->expenses->list->getItemString(1, QStringLiteral("vname")), QStringLiteral("旧年"));
        t.fakes.boxes->answers = {Answer::Yes};
        t.click(t.page->deleteButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("A03"), kSaved, Icon::Information);
        QCOMPARE(drive::column(t.page->expenses->list, QStringLiteral("vname")), (QStringList{"元旦", "预付", "明年"}));
    }

    // A write the database refuses, a commit it refuses, or an edited entry deleted elsewhere
    // meanwhile is a failure: the list keeps every row as typed, and once the cause is gone the save
    // can simply be made again.
    void failedSavesKeepTheRowsAndSayWhy_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("failure");   // how the database refuses
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("savedCode");
        QTest::addColumn<QString>("reason");
        QTest::newRow("expense refused") << 0 << "refuse" << "A04" << "A03" << "账本已锁";
        QTest::newRow("expense commit fails") << 0 << "commit" << "A04" << "A03" << "FOREIGN KEY";
        QTest::newRow("expense edited entry gone") << 0 << "gone" << "A04" << "A03" << "要修改的记录已不在数据库中";
        QTest::newRow("income refused") << 1 << "refuse" << "A06" << "A05" << "账本已锁";
        QTest::newRow("income commit fails") << 1 << "commit" << "A06" << "A05" << "FOREIGN KEY";
        QTest::newRow("income edited entry gone") << 1 << "gone" << "A06" << "A05" << "要修改的记录已不在数据库中";
    }
    void failedSavesKeepTheRowsAndSayWhy()
    {
        QFETCH(int, tab);
        QFETCH(QString, failure);
        QFETCH(QString, code);
        QFETCH(QString, savedCode);
        QFETCH(QString, reason);
        LedgerDriver t(QDate(2009, 2, 14), kEntries);
        t.showTab(tab);
        views::DataView *list = tab == 0 ? t.page->expenses->list : t.page->incomes->list;
        const long stored = list->rowCount();
        // An edit of a stored row and two new rows, all in one save.
        drive::typeCell(list, QStringLiteral("vremark"), 1, QStringLiteral("改过"));
        for (const QString &name : {QStringLiteral("新一"), QStringLiteral("新二")}) {
            t.click(t.page->addButton);
            drive::typeCell(list, QStringLiteral("vname"), list->rowCount(), name);
        }
        const QString edited = list->getItemString(1, QStringLiteral("id"));
        if (failure == QStringLiteral("refuse")) {
            exec(QStringLiteral("CREATE TRIGGER refuse AFTER INSERT ON t_account WHEN new.vname = '新二' "
                                "BEGIN SELECT RAISE(ABORT, '账本已锁'); END"));
        } else if (failure == QStringLiteral("commit")) {
            // Every statement goes through; the commit finds a row that points nowhere.
            scalar(QStringLiteral("PRAGMA foreign_keys = ON"));
            exec(QStringLiteral("CREATE TABLE guard (entry INTEGER REFERENCES t_account (id) DEFERRABLE INITIALLY DEFERRED)"));
            exec(QStringLiteral("CREATE TRIGGER refuse AFTER INSERT ON t_account BEGIN INSERT INTO guard VALUES (-1); END"));
        } else {
            // Kept aside, to be put back as it was.
            exec(QStringLiteral("CREATE TABLE gone AS SELECT * FROM t_account WHERE id = ") + edited);
            exec(QStringLiteral("DELETE FROM t_account WHERE id = ") + edited);
        }
        const int before = t.entryCount();
        t.click(t.page->saveButton);
        QCOMPARE(t.lastBox().title, code);
        QCOMPARE(t.lastBox().icon, Icon::Stop);
        QVERIFY2(t.lastBox().text.startsWith(kFailed + reason), qPrintable(t.lastBox().text));
        QCOMPARE(t.boxCount(), 1);
        QVERIFY(!testDb().inTransaction());
        QCOMPARE(t.entryCount(), before);
        QCOMPARE(t.entryCount(QStringLiteral("vname IN ('新一', '新二') OR vremark = '改过'")), 0);
        QCOMPARE(list->rowCount(), stored + 2);
        QCOMPARE(list->getItemString(1, QStringLiteral("vremark")), QStringLiteral("改过"));
        QCOMPARE(list->getItemStatus(1), DataStore::RowStatus::DataModified);
        QCOMPARE(list->getItemStatus(stored + 2), DataStore::RowStatus::NewModified);

        if (failure == QStringLiteral("gone")) {
            exec(QStringLiteral("INSERT INTO t_account SELECT * FROM gone"));
        } else {
            exec(QStringLiteral("DROP TRIGGER refuse"));
        }
        t.click(t.page->saveButton);
        EXPECT_BOX(*t.fakes.boxes, savedCode, kSaved, Icon::Information);
        QCOMPARE(t.entryCount(), kEntries.size() + 2);
        QCOMPARE(t.entryCount(QStringLiteral("vname IN ('新一', '新二')")), 2);
        QCOMPARE(t.entryCount(QStringLiteral("vremark = '改过'")), 1);
    }

    // Each tab page's controls follow its size, whether the page was ever shown or not: the page
    // of a tab never chosen is laid out exactly as it is when it is shown.
    void tabPagesAreLaidOutBeforeTheyAreShown()
    {
        LedgerDriver t(QDate(2009, 2, 14), kEntries);
        for (const QSize size : {QSize(700, 450), QSize(1600, 900)}) {
            t.page->resize(size);
            QCoreApplication::processEvents();
            QList<QList<QRect>> before;
            const QList<QWidget *> pages{t.page->expensePage, t.page->incomePage, t.page->statisticsPage};
            for (QWidget *tp : pages) {
                QList<QRect> rects;
                for (QWidget *c : tp->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                    rects << c->geometry();
                before << rects;
            }
            for (int i : {1, 2, 0}) {
                t.showTab(i);
                QWidget *tp = pages.at(i);
                QList<QRect> rects;
                for (QWidget *c : tp->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
                    rects << c->geometry();
                    QVERIFY2(tp->rect().contains(c->geometry()), qPrintable(c->objectName()));
                }
                QCOMPARE(rects, before.at(i));
            }
            // The lists and the statistics leave the same margins at the right and at the bottom.
            const QRect list = t.page->expenses->list->geometry();
            const QRect chart = t.page->monthChart->widget()->geometry();
            QVERIFY(qAbs((t.page->expensePage->width() - list.right()) - (t.page->statisticsPage->width() - chart.right())) <= 1);
            QVERIFY(t.page->expensePage->height() - list.bottom() <= 4);
            QVERIFY(t.page->statisticsPage->height() - chart.bottom() <= 4);
            QVERIFY(t.page->statistics->geometry().bottom() < chart.top());
        }
    }

    void buttonsFollowTheTabAndEscapeCloses()
    {
        LedgerDriver t(QDate(2009, 2, 14), kEntries);
        const QList<QPushButton *> buttons{t.page->addButton, t.page->deleteButton, t.page->saveButton, t.page->statisticsButton, t.page->closeButton};
        auto enabled = [&] {
            QString s;
            for (QPushButton *b : buttons)
                s += b->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
            return s;
        };
        QCOMPARE(enabled(), QStringLiteral("11101"));
        t.showTab(2);
        QCOMPARE(enabled(), QStringLiteral("00011"));
        t.showTab(1);
        QCOMPARE(enabled(), QStringLiteral("11101"));
        t.showTab(2);
        t.showTab(0);
        QCOMPARE(enabled(), QStringLiteral("11101"));

        // Escape in the list closes the page, as "关闭(&C)" does.
        drive::clickObject(t.page->expenses->list, QStringLiteral("vdate"), 1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(t.page->isVisible());   // the first Escape leaves the cell's editor
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!t.page->isVisible());
        showPage(t.page.get());
        t.click(t.page->closeButton);
        QVERIFY(!t.page->isVisible());
        QVERIFY(t.fakes.boxes->shown.isEmpty());
    }
};

MIVO_TEST_MAIN(tst_ledgerpage)
#include "tst_ledgerpage.moc"
