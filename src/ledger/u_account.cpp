#include "ledger/u_account.h"

#include "ledger/monthchart.h"

#include "app/globals.h"
#include "views/dataview.h"
#include "views/font.h"
#include "widgets/unitgeometry.h"
#include "widgets/units.h"

#include <QComboBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionTabWidgetFrame>
#include <QTabWidget>

using ledger::EntryList;
using ledger::EntryListSpec;
using platform::Icon;

namespace {

constexpr int kStatisticsTab = 2;

// A tab control that tells how large its pages are for its present size, whether it has laid them
// out yet or not: a page that was never shown is laid out all the same.
class TabControl : public QTabWidget
{
public:
    using QTabWidget::QTabWidget;

    QSize pageSize() const
    {
        QStyleOptionTabWidgetFrame option;
        initStyleOption(&option);
        return style()->subElementRect(QStyle::SE_TabWidgetTabContents, &option, this).size();
    }
};

EntryListSpec outSpec()
{
    return {QStringLiteral("dw_ac_out"), QStringLiteral("1"), QStringLiteral("listout"), QStringLiteral("支出"),
            QStringLiteral("A01"), {QStringLiteral("A03"), QStringLiteral("保存/删除成功!"), Icon::Information},
            {QStringLiteral("A04"), QStringLiteral("保存/删除失败"), Icon::Stop}};
}

EntryListSpec inSpec()
{
    return {QStringLiteral("dw_ac_in"), QStringLiteral("2"), QStringLiteral("listin"), QStringLiteral("收入"),
            QStringLiteral("A02"), {QStringLiteral("A05"), QStringLiteral("保存/删除成功!"), Icon::Information},
            {QStringLiteral("A06"), QStringLiteral("保存/删除失败"), Icon::Stop}};
}

QWidget *addTab(QTabWidget *tabs, const QString &name, const QString &caption, const QString &picture)
{
    auto *page = new QWidget;
    page->setObjectName(name);
    page->setAccessibleName(caption.trimmed());
    tabs->addTab(page, QIcon(appFile(picture)), caption);
    return page;
}

} // namespace

u_account::u_account(Connection &db, QWidget *parent)
    : Page(db, parent)
{
    created();
}

void u_account::of_build()
{
    setFont(views::songtiFont());
    tab_1 = new TabControl(this);
    tab_1->setObjectName(QStringLiteral("tab_1"));
    tab_1->setAccessibleName(QStringLiteral("记帐"));
    tp_1 = addTab(tab_1, QStringLiteral("tp_1"), QStringLiteral(" 支出"), QStringLiteral("resource/i013.ico"));
    tp_2 = addTab(tab_1, QStringLiteral("tp_2"), QStringLiteral(" 收入"), QStringLiteral("resource/i014.ico"));
    tp_3 = addTab(tab_1, QStringLiteral("tp_3"), QStringLiteral(" 统计 "), QStringLiteral("resource/i015.ico"));

    m_out = new EntryList(db(), outSpec(), m_sort, tp_1, {QStringLiteral("st_1"), QStringLiteral("ddlb_1"), QStringLiteral("dw_1")});
    st_1 = m_out->st;
    ddlb_1 = m_out->ddlb;
    dw_1 = m_out->dw;
    m_in = new EntryList(db(), inSpec(), m_sort, tp_2, {QStringLiteral("st_2"), QStringLiteral("ddlb_2"), QStringLiteral("dw_2")});
    st_2 = m_in->st;
    ddlb_2 = m_in->ddlb;
    dw_2 = m_in->dw;

    // The statistics stay empty until they are asked for.
    dw_3 = new views::DataView(tp_3);
    dw_3->setObjectName(QStringLiteral("dw_3"));
    dw_3->setAccessibleName(QStringLiteral("统计"));
    dw_3->setDataObject(QStringLiteral("dw_ac_stat"));
    dw_3->setConnection(db());
    monthChart = new ledger::MonthChart(tp_3);
    monthChart->setObjectName(QStringLiteral("monthChart"));
    monthChart->setAccessibleName(QStringLiteral("每月收支图"));

    cb_1 = pagekit::makeButton(QStringLiteral("添加(&A)"), QStringLiteral("cb_1"), this);
    cb_2 = pagekit::makeButton(QStringLiteral("删除(&D)"), QStringLiteral("cb_2"), this);
    cb_3 = pagekit::makeButton(QStringLiteral("保存(&S)"), QStringLiteral("cb_3"), this);
    cb_4 = pagekit::makeButton(QStringLiteral("统计(&T)"), QStringLiteral("cb_4"), this);
    cb_5 = pagekit::makeButton(QStringLiteral("关闭(&C)"), QStringLiteral("cb_5"), this);
    // Enabled by the first change to the statistics tab.
    cb_4->setEnabled(false);

    connect(tab_1, &QTabWidget::currentChanged, this, &u_account::tab_1_selectionchanged);
    connect(cb_1, &QPushButton::clicked, this, &u_account::cb_1_clicked);
    connect(cb_2, &QPushButton::clicked, this, &u_account::cb_2_clicked);
    connect(cb_3, &QPushButton::clicked, this, &u_account::cb_3_clicked);
    connect(cb_4, &QPushButton::clicked, this, &u_account::cb_4_clicked);
    connect(cb_5, &QPushButton::clicked, this, &u_account::cb_5_clicked);
    for (QWidget *page : {tp_1, tp_2, tp_3})
        page->installEventFilter(this);
}

u_account::~u_account() = default;

EntryList *u_account::currentList() const
{
    switch (tab_1->currentIndex()) {
    case 0:
        return m_out;
    case 1:
        return m_in;
    default:
        return nullptr;
    }
}

void u_account::tab_1_selectionchanged(int newindex)
{
    const bool statistics = newindex == kStatisticsTab;
    for (QPushButton *b : {cb_1, cb_2, cb_3})
        b->setEnabled(!statistics);
    cb_4->setEnabled(statistics);
}

void u_account::cb_1_clicked()
{
    if (EntryList *list = currentList())
        list->of_add();
}

void u_account::cb_2_clicked()
{
    if (EntryList *list = currentList())
        list->of_delete();
}

void u_account::cb_3_clicked()
{
    if (EntryList *list = currentList())
        list->of_save();
}

void u_account::cb_4_clicked()
{
    // Every entry counts, whatever period the lists show; the chart draws what the grid shows.
    const long rows = dw_3->retrieve();
    monthChart->of_draw(rows >= 1 ? ledger::monthFigures(dw_3) : QList<ledger::MonthFigures>());
}

void u_account::cb_5_clicked()
{
    hide();
}

void u_account::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cb_5->click();
        return;
    }
    Page::keyPressEvent(event);
}

bool u_account::eventFilter(QObject *watched, QEvent *event)
{
    // A tab page shown for the first time, or resized, gets its controls placed on its real size.
    if (event->type() == QEvent::Resize)
        if (auto *page = qobject_cast<QWidget *>(watched))
            layoutTabPage(page, units::toUnitsX(page->width(), logicalDpiX()), units::toUnitsY(page->height(), logicalDpiY()));
    return Page::eventFilter(watched, event);
}

void u_account::of_arrange(int w, int h)
{
    // The buttons stand in a row above the tab control, right-aligned, and the tab control ends
    // where the strip of 120 units along the bottom begins: the main window's banner runs there.
    const int buttonWidth = 320, buttonHeight = 88, gap = 30, top = 110, margin = 20;
    int x = w - margin - buttonWidth;
    for (QPushButton *b : {cb_5, cb_4, cb_3, cb_2, cb_1}) {
        setUnitGeometry(b, QRect(x, 10, buttonWidth, buttonHeight));
        x -= buttonWidth + gap;
    }
    setUnitGeometry(tab_1, QRect(0, top, w, h - 120 - top));
    const QSize page = static_cast<TabControl *>(tab_1)->pageSize();
    const int pageWidth = units::toUnitsX(page.width(), logicalDpiX());
    const int pageHeight = units::toUnitsY(page.height(), logicalDpiY());
    for (QWidget *tp : {tp_1, tp_2, tp_3})
        layoutTabPage(tp, pageWidth, pageHeight);
}

void u_account::layoutTabPage(QWidget *page, int w, int h)
{
    if (page == tp_1) {
        m_out->of_layout(w, h);
    } else if (page == tp_2) {
        m_in->of_layout(w, h);
    } else if (page == tp_3) {
        // The grid's place by the layout rules, shared with the chart below it.
        const int height = h - 24;
        const int gridHeight = int(height * 0.4);
        setUnitGeometry(dw_3, QRect(9, 12, w - 18, gridHeight));
        setUnitGeometry(monthChart, QRect(9, 12 + gridHeight + 12, w - 18, height - gridHeight - 12));
    }
}
