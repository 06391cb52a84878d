// "导出…" where the records are shown: the notebook's tree menu exports a group's notes, the
// ledger's list menu what the list shows. The file reads back with the headings the user knows, and
// an empty group or list says so without asking for a file.

#include "ledgerdriver.h"
#include "notebookdriver.h"
#include "sheetreader.h"
#include "testmain.h"

#include "views/dataview.h"
#include "widgets/handletree.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QMenu>
#include <functional>
#include <memory>

namespace {

// A right click in the middle of a list, delivered to the widget under the pointer as the window
// system does; the list's menu is a direct child of the list.
QMenu *openListMenu(QWidget *list)
{
    const QPoint at = list->rect().center();
    QWidget *under = list->childAt(at) ? list->childAt(at) : list;
    QContextMenuEvent event(QContextMenuEvent::Mouse, under->mapFrom(list, at), list->mapToGlobal(at));
    QApplication::sendEvent(under, &event);
    return list->findChild<QMenu *>(QStringLiteral("m_context"), Qt::FindDirectChildrenOnly);
}

// A page made for one case, the menu opened on what holds records and on what holds none.
struct ExportCase
{
    std::shared_ptr<void> driver;
    fake::Platform *fakes = nullptr;
    AppFolder *folder = nullptr;
    std::function<QMenu *()> openFull;
    std::function<QMenu *()> openEmpty;
};

QMenu *openTreeMenu(widgets::HandleTree *tree, long handle)
{
    drive::rightClick(tree, handle);
    return tree->findChild<QMenu *>(QStringLiteral("m_context"), Qt::FindDirectChildrenOnly);
}

ExportCase notebookCase()
{
    auto t = std::make_shared<NotebookDriver>(
        QList<Note>{{QStringLiteral("1"), QStringLiteral("购物"), QStringLiteral("牛奶, \"面包\"\n鸡蛋😀")},
                    {QStringLiteral("2"), QStringLiteral("周报"), QStringLiteral("不属于日记")},
                    {QStringLiteral("1"), QStringLiteral("读书"), QStringLiteral("=1+1")}},
        Groups{{QStringLiteral("1"), QStringLiteral("日记")}, {QStringLiteral("2"), QStringLiteral("工作")},
               {QStringLiteral("3"), QStringLiteral("空组")}});
    NotebookDriver *d = t.get();
    return {t, &d->fakes, &d->folder,
            [d] { return openTreeMenu(d->tree(), d->group(QStringLiteral("1"))); },
            [d] { return openTreeMenu(d->tree(), d->group(QStringLiteral("3"))); }};
}

ExportCase ledgerCase()
{
    // February 2009 shown: the January expense and the income are not in the expense list.
    auto t = std::make_shared<LedgerDriver>(
        QDate(2009, 2, 14),
        QList<Entry>{{"1", "20090131", "上月", 9}, {"1", "20090214", "花, 卡片", 88.5}, {"1", "20090220", "电费", 1234.56}});
    LedgerDriver *d = t.get();
    return {t, &d->fakes, &d->folder, [d] { return openListMenu(d->page->expenses->list); },
            [d] {
                d->showTab(1);
                return openListMenu(d->page->incomes->list);
            }};
}

} // namespace

class tst_pageexport : public QObject
{
    Q_OBJECT

private slots:
    void exportReadsBackWithTheShownHeadings_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("proposed");
        QTest::addColumn<QList<QVariantList>>("expected");
        QTest::addColumn<QStringList>("codes");   // written, then nothing to export

        QTest::newRow("notebook group as xlsx")
            << "notebook" << "xlsx" << "日记.xls"
            << QList<QVariantList>{{"Gid", "Title", "Content"},
                                   {"1", "读书", "=1+1"},
                                   {"1", "购物", "牛奶, \"面包\"\n鸡蛋😀"}}
            << QStringList{"N10", "N12"};
        QTest::newRow("ledger expenses as csv")
            << "ledger" << "csv" << "支出.xls"
            << QList<QVariantList>{{"日期", "支出项目", "金额", "备注"},
                                   {"20090214", "花, 卡片", 88.5, QVariant()},
                                   {"20090220", "电费", 1234.56, QVariant()}}
            << QStringList{"A07", "A09"};
    }
    void exportReadsBackWithTheShownHeadings()
    {
        QFETCH(QString, page);
        QFETCH(QString, kind);
        QFETCH(QList<QVariantList>, expected);
        QFETCH(QStringList, codes);
        const ExportCase c = page == QLatin1String("notebook") ? notebookCase() : ledgerCase();
        c.fakes->dialogs->savePath = c.folder->file(QStringLiteral("导出.") + kind);

        QMenu *menu = c.openFull();
        QVERIFY(menu);
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(menu->actions().first()->text(), QStringLiteral("导出…"));
        menu->actions().first()->trigger();
        menu->close();
        QCOMPARE(c.fakes->dialogs->saveRequests.size(), 1);
        QTEST(c.fakes->dialogs->saveRequests.last().fileName, "proposed");
        QCOMPARE(c.fakes->boxes->titles(), QStringList{codes.first()});
        QCOMPARE(c.fakes->boxes->shown.last().text,
                 QStringLiteral("导出成功!\n") + QDir::toNativeSeparators(c.fakes->dialogs->savePath));
        QString error;
        const QList<ReadSheet> read = readBack(kind, c.fakes->dialogs->savePath, &error);
        QVERIFY2(!read.isEmpty(), qPrintable(error));
        QCOMPARE(firstDifference(expected, read.first().rows, kind == QLatin1String("csv") ? Numbers::AsText : Numbers::Exact),
                 QString());

        menu = c.openEmpty();
        QVERIFY(menu);
        QTRY_VERIFY(menu->isVisible());
        menu->actions().first()->trigger();
        menu->close();
        QCOMPARE(c.fakes->boxes->shown.last().title, codes.last());
        QCOMPARE(c.fakes->boxes->shown.last().icon, platform::Icon::Exclamation);
        QCOMPARE(c.fakes->dialogs->saveRequests.size(), 1);
    }
};

MIVO_TEST_MAIN(tst_pageexport)
#include "tst_pageexport.moc"
