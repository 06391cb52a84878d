#include "ledger/ledgerpage.h"

#include "ledger/monthchart.h"

#include "app/settingkeys.h"
#include "pagekit/contextmenu.h"
#include "pagekit/sheetexport.h"
#include "views/dataview.h"
#include "views/font.h"
#include "widgets/unitgeometry.h"
#include "widgets/units.h"

#include <QKeyEvent>
#include <QPushButton>

using ledger::EntryList;
using ledger::EntryListSpec;
using pagekit::ButtonRow;
using platform::Icon;

namespace {

constexpr int kStatisticsTab = 2;

EntryListSpec expenseSpec()
{
    return {QStringLiteral("dw_ac_out"), QStringLiteral("1"), settingkeys::expensePeriod, QStringLiteral("支出"),
            QStringLiteral("A01"), {QStringLiteral("A03"), QStringLiteral("保存/删除成功!"), Icon::Information},
            {QStringLiteral("A04"), QStringLiteral("保存/删除失败"), Icon::Stop}};
}

EntryListSpec incomeSpec()
{
    return {QStringLiteral("dw_ac_in"), QStringLiteral("2"), settingkeys::incomePeriod, QStringLiteral("收入"),
            QStringLiteral("A02"), {QStringLiteral("A05"), QStringLiteral("保存/删除成功!"), Icon::Information},
            {QStringLiteral("A06"), QStringLiteral("保存/删除失败"), Icon::Stop}};
}

} // namespace

LedgerPage::LedgerPage(Connection &db, QWidget *parent)
    : Page(db, parent)
    , m_buttons(this)
{
    created();
}

void LedgerPage::buildControls()
{
    setFont(views::songtiFont());
    tabs = new pagekit::TabPages(QStringLiteral("tab_1"), QStringLiteral("记帐"), this);
    expensePage = tabs->addPage(new QWidget, QStringLiteral("tp_1"), QStringLiteral(" 支出"), QStringLiteral("i013.ico"));
    incomePage = tabs->addPage(new QWidget, QStringLiteral("tp_2"), QStringLiteral(" 收入"), QStringLiteral("i014.ico"));
    statisticsPage = tabs->addPage(new QWidget, QStringLiteral("tp_3"), QStringLiteral(" 统计 "), QStringLiteral("i015.ico"));

    expenses = new EntryList(db(), expenseSpec(), m_sort, expensePage,
                             {QStringLiteral("st_1"), QStringLiteral("ddlb_1"), QStringLiteral("dw_1")});
    incomes = new EntryList(db(), incomeSpec(), m_sort, incomePage,
                            {QStringLiteral("st_2"), QStringLiteral("ddlb_2"), QStringLiteral("dw_2")});

    // The statistics stay empty until they are asked for.
    statistics = new views::DataView(statisticsPage);
    statistics->setObjectName(QStringLiteral("dw_3"));
    statistics->setAccessibleName(QStringLiteral("统计"));
    statistics->setDataObject(QStringLiteral("dw_ac_stat"));
    statistics->setConnection(db());
    // "导出…" of what each list shows (boxes "A07" … "A09").
    const pagekit::ExportBoxes exportBoxes{{QStringLiteral("A09"), QStringLiteral("没有可导出的记录!"), platform::Icon::Exclamation},
                                           {QStringLiteral("A08"), QStringLiteral("导出失败!"), platform::Icon::Stop},
                                           {QStringLiteral("A07"), QStringLiteral("导出成功!"), platform::Icon::Information}};
    const QList<QPair<views::DataView *, QString>> exported{
        {expenses->list, QStringLiteral("支出")}, {incomes->list, QStringLiteral("收入")}, {statistics, QStringLiteral("统计")}};
    for (const auto &[list, name] : exported)
        pagekit::addListExport(pagekit::ContextMenu::onList(list, name + QStringLiteral("菜单")), list, name,
                               QStringLiteral("t_account"), exportBoxes);
    // The chart's module is loaded here, when the ledger is first opened; without it the grid alone.
    monthChart = ledger::makeMonthChart(statisticsPage);
    if (monthChart) {
        monthChart->widget()->setObjectName(QStringLiteral("monthChart"));
        monthChart->widget()->setAccessibleName(QStringLiteral("每月收支图"));
    }

    addButton = m_buttons.add(QStringLiteral("添加(&A)"), QStringLiteral("cb_1"), this, &LedgerPage::add);
    deleteButton = m_buttons.add(QStringLiteral("删除(&D)"), QStringLiteral("cb_2"), this, &LedgerPage::deleteEntry);
    saveButton = m_buttons.add(QStringLiteral("保存(&S)"), QStringLiteral("cb_3"), this, &LedgerPage::save);
    statisticsButton = m_buttons.add(QStringLiteral("统计(&T)"), QStringLiteral("cb_4"), this, &LedgerPage::computeStatistics);
    closeButton = m_buttons.add(QStringLiteral("关闭(&C)"), QStringLiteral("cb_5"), this, &LedgerPage::closePage);
    // Enabled by the first change to the statistics tab.
    statisticsButton->setEnabled(false);

    connect(tabs, &QTabWidget::currentChanged, this, &LedgerPage::enableButtonsForTab);
    for (QWidget *page : {expensePage, incomePage, statisticsPage})
        page->installEventFilter(this);
}

LedgerPage::~LedgerPage() = default;

EntryList *LedgerPage::currentList() const
{
    switch (tabs->currentIndex()) {
    case 0:
        return expenses;
    case 1:
        return incomes;
    default:
        return nullptr;
    }
}

void LedgerPage::enableButtonsForTab(int index)
{
    const bool onStatistics = index == kStatisticsTab;
    for (QPushButton *b : {addButton, deleteButton, saveButton})
        b->setEnabled(!onStatistics);
    statisticsButton->setEnabled(onStatistics);
}

void LedgerPage::add()
{
    if (EntryList *list = currentList())
        list->add();
}

void LedgerPage::deleteEntry()
{
    if (EntryList *list = currentList())
        list->deleteCurrent();
}

void LedgerPage::save()
{
    if (EntryList *list = currentList())
        list->save();
}

void LedgerPage::computeStatistics()
{
    // Every entry counts, whatever period the lists show; the chart draws what the grid shows.
    const long rows = statistics->retrieve();
    if (monthChart)
        monthChart->draw(rows >= 1 ? ledger::monthFigures(statistics) : QList<ledger::MonthFigures>());
}

void LedgerPage::closePage()
{
    hide();
}

void LedgerPage::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        closeButton->click();
        return;
    }
    Page::keyPressEvent(event);
}

bool LedgerPage::eventFilter(QObject *watched, QEvent *event)
{
    // A tab page shown for the first time, or resized, gets its controls placed on its real size.
    if (event->type() == QEvent::Resize)
        if (auto *page = qobject_cast<QWidget *>(watched))
            placeTabPage(page, units::toUnitsX(page->width(), logicalDpiX()), units::toUnitsY(page->height(), logicalDpiY()));
    return Page::eventFilter(watched, event);
}

void LedgerPage::placeControls(int w, int h)
{
    // The buttons stand in a row above the tab control, and the tab control ends where the strip
    // along the bottom begins: the main window's banner runs there.
    m_buttons.place(w);
    setUnitGeometry(tabs, QRect(0, ButtonRow::ContentTop, w, h - BannerStrip - ButtonRow::ContentTop));
    const QSize page = tabs->pageSize();
    for (QWidget *tabPage : {expensePage, incomePage, statisticsPage})
        placeTabPage(tabPage, page.width(), page.height());
}

void LedgerPage::placeTabPage(QWidget *page, int w, int h)
{
    if (page == expensePage) {
        expenses->placeControls(w, h);
    } else if (page == incomePage) {
        incomes->placeControls(w, h);
    } else if (page == statisticsPage) {
        // The grid's place by the layout rules, shared with the chart below it.
        const int height = h - 24;
        const int gridHeight = int(height * 0.4);
        setUnitGeometry(statistics, QRect(9, 12, w - 18, gridHeight));
        if (monthChart)
            setUnitGeometry(monthChart->widget(), QRect(9, 12 + gridHeight + 12, w - 18, height - gridHeight - 12));
    }
}
