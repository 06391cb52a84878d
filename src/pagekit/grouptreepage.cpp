#include "pagekit/grouptreepage.h"

#include "views/dataview.h"
#include "views/font.h"
#include "views/grouppattern.h"
#include "widgets/handletree.h"
#include "widgets/unitgeometry.h"

#include <QPushButton>

namespace pagekit {

using widgets::TreeItem;
using widgets::TreeNavigation;

namespace {

const char *const kTexts[] = {
    "组信息无数据!",          // 00
    "当前视图不能执行删除!",  // 01
    "无可删除记录!",          // 02
    "",                       // 03: the question names the record
    "删除成功!",              // 04
    "删除失败!",              // 05
    "当前视图不能执行保存!",  // 06
    "无可保存的记录!",        // 07
    "必须选择一个组!",        // 08
    "",                       // 09: the page's own
    "保存成功!",              // 10
    "保存失败!",              // 11
};

} // namespace

GroupTreePage::GroupTreePage(Connection &db, const GroupTreePageSpec &desc, QWidget *parent)
    : Page(db, parent)
    , m_spec(desc)
    , m_tree(db, desc.tree)
{
    setAccessibleName(desc.pageName);
}

void GroupTreePage::of_prepare()
{
    m_tree.keepGroups(box(0));
}

void GroupTreePage::of_build()
{
    setFont(views::songtiFont());
    tv_1 = new widgets::HandleTree(this);
    tv_1->setObjectName(QStringLiteral("tv_1"));
    tv_1->setAccessibleName(m_spec.treeName);
    m_tree.setTree(tv_1);

    dw_1 = new views::DataView(this);
    dw_1->setObjectName(QStringLiteral("dw_1"));
    dw_1->setAccessibleName(m_spec.viewName);

    cb_1 = makeButton(QStringLiteral("添加(&A)"), QStringLiteral("cb_1"), this);
    cb_2 = makeButton(QStringLiteral("删除(&D)"), QStringLiteral("cb_2"), this);
    cb_3 = makeButton(QStringLiteral("保存(&S)"), QStringLiteral("cb_3"), this);
    cb_7 = makeButton(QStringLiteral("关闭(&C)"), QStringLiteral("cb_7"), this);

    connect(tv_1, &widgets::HandleTree::itemPopulate, this, &GroupTreePage::tv_1_itempopulate);
    connect(tv_1, &widgets::HandleTree::selectionChanged, this, &GroupTreePage::tv_1_selectionchanged);
    connect(dw_1, &views::DataView::clicked, this, &GroupTreePage::dw_1_clicked);
    // Opening a member switches dw_1's definition: let the double-click finish in the old one first.
    connect(dw_1, &views::DataView::doubleClicked, this, &GroupTreePage::dw_1_doubleclicked, Qt::QueuedConnection);
    connect(dw_1, &views::DataView::rowFocusChanging, this, &GroupTreePage::dw_1_rowfocuschanging);
    connect(dw_1, &views::DataView::loseFocus, this, &GroupTreePage::dw_1_losefocus);
    connect(dw_1, &views::DataView::editChanged, this, &GroupTreePage::dw_1_editchanged);
    connect(cb_1, &QPushButton::clicked, this, &GroupTreePage::cb_1_clicked);
    connect(cb_2, &QPushButton::clicked, this, &GroupTreePage::cb_2_clicked);
    connect(cb_3, &QPushButton::clicked, this, &GroupTreePage::cb_3_clicked);
    connect(cb_7, &QPushButton::clicked, this, &GroupTreePage::cb_7_clicked);

    constructor();
}

QString GroupTreePage::boxText(int number) const
{
    if (number == 9)
        return m_spec.missingName;
    return QString::fromUtf8(kTexts[number]);
}

Box GroupTreePage::box(int number, platform::Icon icon) const
{
    return {m_spec.boxPrefix + QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0')), boxText(number), icon};
}

void GroupTreePage::constructor()
{
    m_tree.build(box(0));
}

void GroupTreePage::tv_1_itempopulate(long handle)
{
    m_tree.itempopulate(handle);
}

void GroupTreePage::tv_1_selectionchanged(long, long newhandle)
{
    TreeItem item;
    if (!tv_1->getItem(newhandle, item))
        return;
    const bool member = item.level == GroupTree::MemberLevel;
    const QString wanted = member ? m_spec.cardView : m_spec.listView;
    // Assigning the definition drops whatever the view held, unsaved edits included.
    if (dw_1->dataObject() != wanted)
        dw_1->setDataObject(wanted);
    else
        dw_1->reset();
    dw_1->setConnection(db());
    // The root lists every record; a group exactly its own (the same records as below it).
    if (item.level == GroupTree::RootLevel)
        dw_1->retrieve({views::allGroupsPattern()});
    else if (item.level == GroupTree::GroupLevel)
        dw_1->retrieve({views::exactGroupPattern(item.data.toString())});
    else
        dw_1->retrieve({item.data});
}

void GroupTreePage::dw_1_clicked(int, int, long, const views::ViewObject &object)
{
    if (dw_1->dataObject() == m_spec.listView)
        m_sort.headerClicked(dw_1, object);
}

void GroupTreePage::dw_1_doubleclicked(int, int, long, const views::ViewObject &object)
{
    if (dw_1->dataObject() != m_spec.listView || object.type != QStringLiteral("column"))
        return;
    const long row = dw_1->getRow();
    if (row < 1)
        return;
    const QString code = dw_1->getItemString(row, m_spec.groupColumn);
    const QString name = dw_1->getItemString(row, m_spec.nameColumn);
    tv_1->setRedraw(false);
    of_locate(code, name);
    tv_1->setRedraw(true);
    tv_1->setFocus();
}

void GroupTreePage::dw_1_rowfocuschanging(long, long newrow)
{
    if (dw_1->dataObject() == m_spec.listView)
        highlightOnly(dw_1, newrow);
}

void GroupTreePage::dw_1_losefocus()
{
    dw_1->acceptText();
}

void GroupTreePage::dw_1_editchanged(long, const QString &, const QString &)
{
}

void GroupTreePage::cb_7_clicked()
{
    hide();
}

bool GroupTreePage::showsCard() const
{
    return dw_1->dataObject() == m_spec.cardView;
}

bool GroupTreePage::of_locate(const QString &code, const QString &name)
{
    return m_tree.of_locate(code, name);
}

void GroupTreePage::of_rebuild(const QString &code, const QString &name)
{
    m_tree.clear();
    dw_1->reset();
    constructor();
    tv_1->setRedraw(false);
    of_locate(code, name);
    tv_1->setRedraw(true);
    tv_1->setFocus();
}

void GroupTreePage::of_arrange(int w, int h)
{
    // The buttons stand in a row above the view, right-aligned and clear of the page's edge: the
    // strip of 120 units along the bottom belongs to the main window's moving banner.
    const int buttonWidth = 320, buttonHeight = 88, gap = 30, top = 110, margin = 20;
    int x = w - margin - buttonWidth;
    for (QPushButton *b : {cb_7, cb_3, cb_2, cb_1}) {
        setUnitGeometry(b, QRect(x, 10, buttonWidth, buttonHeight));
        x -= buttonWidth + gap;
    }
    const int treeWidth = int((w - 18) * 0.3);
    const int viewWidth = int((w - 18) * 0.7);
    const int viewHeight = h - 120 - top;
    setUnitGeometry(tv_1, QRect(0, top, treeWidth, viewHeight));
    setUnitGeometry(dw_1, QRect(treeWidth + 18, top, viewWidth, viewHeight));
}

} // namespace pagekit
