#include "pagekit/grouptreepage.h"

#include "pagekit/contextmenu.h"
#include "pagekit/findbox.h"

#include "views/dataview.h"
#include "views/font.h"
#include "views/grouppattern.h"
#include "widgets/handletree.h"
#include "widgets/unitgeometry.h"

#include <QPushButton>
#include <QShortcut>

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
    , m_treeBuilder(db, desc.tree)
    , m_buttons(this)
{
    setAccessibleName(desc.pageName);
}

void GroupTreePage::prepareLight()
{
    m_treeBuilder.keepGroups(box(0));
}

void GroupTreePage::buildControls()
{
    setFont(views::songtiFont());
    groupTree = new widgets::HandleTree(this);
    groupTree->setObjectName(QStringLiteral("tv_1"));
    groupTree->setAccessibleName(m_spec.treeName);
    m_treeBuilder.setTree(groupTree);

    recordView = new views::DataView(this);
    recordView->setObjectName(QStringLiteral("dw_1"));
    recordView->setAccessibleName(m_spec.viewName);

    addButton = m_buttons.add(QStringLiteral("添加(&A)"), QStringLiteral("cb_1"), this, &GroupTreePage::add);
    deleteButton = m_buttons.add(QStringLiteral("删除(&D)"), QStringLiteral("cb_2"), this, &GroupTreePage::deleteRecord);
    saveButton = m_buttons.add(QStringLiteral("保存(&S)"), QStringLiteral("cb_3"), this, &GroupTreePage::save);
    closeButton = m_buttons.add(QStringLiteral("关闭(&C)"), QStringLiteral("cb_7"), this, &GroupTreePage::closePage);

    connect(groupTree, &widgets::HandleTree::itemPopulate, this, &GroupTreePage::fillExpandedGroup);
    connect(groupTree, &widgets::HandleTree::selectionChanged, this, &GroupTreePage::showSelection);
    connect(recordView, &views::DataView::clicked, this, &GroupTreePage::sortByHeader);
    // Opening a member switches the view's definition: let the double-click finish in the old one first.
    connect(recordView, &views::DataView::doubleClicked, this, &GroupTreePage::openRowInTree, Qt::QueuedConnection);
    connect(recordView, &views::DataView::rowFocusChanging, this, &GroupTreePage::highlightRow);
    connect(recordView, &views::DataView::loseFocus, this, &GroupTreePage::acceptTyping);
    connect(recordView, &views::DataView::editChanged, this, &GroupTreePage::cardEdited);

    treeMenu = ContextMenu::onGroupTree(groupTree, m_spec.treeName + QStringLiteral("菜单"));
    addTreeMenuItems(treeMenu);

    if (m_spec.findSource) {
        // A window shortcut: it works wherever the focus is in the main window (the navigation
        // list included), and only while this page is the one shown.
        auto *find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
        connect(find, &QShortcut::activated, this, [this] { findBox()->open(); });
    }

    buildTree();
}

FindBox *GroupTreePage::findBox()
{
    // Until it is made there is nothing in it to refresh or reload: it reads the records when it
    // first opens.
    if (!m_findBox && m_spec.findSource && groupTree) {
        m_findBox = new FindBox(db(), *m_spec.findSource, groupTree);
        connect(m_findBox, &FindBox::chosen, this, &GroupTreePage::openFound);
    }
    return m_findBox;
}

void GroupTreePage::addTreeMenuItems(ContextMenu *menu)
{
    if (!m_spec.groupExport.definition.isEmpty())
        addGroupExport(menu, db(), m_spec.groupExport);
}

void GroupTreePage::showAdded(const QString &code)
{
    // The box learns of the new records whatever the tree does.
    if (m_findBox)
        m_findBox->reload();
    // A value still being typed counts as an edit too.
    recordView->acceptText();
    const views::DataStore *shown = recordView->store();
    if (shown && (shown->modifiedCount() > 0 || shown->deletedCount() > 0))
        return;
    rebuildAndLocate(code);
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

void GroupTreePage::buildTree()
{
    m_treeBuilder.build(box(0));
}

void GroupTreePage::fillExpandedGroup(long handle)
{
    // The expansion selects the group, which lists it: list it first and fill the tree from the
    // same rows. A group already selected keeps its list as shown (and sorted); a failed read
    // goes the usual way, which reports it.
    TreeItem item;
    if (m_spec.listFillsTree && groupTree->getItem(handle, item) && item.level == GroupTreeBuilder::GroupLevel
        && !item.selected && showList(views::exactGroupPattern(item.data.toString())) >= 0) {
        m_listedGroup = handle;
        m_treeBuilder.populate(handle, *recordView->store());
        m_listedGroup = 0;
        return;
    }
    m_treeBuilder.populate(handle);
}

long GroupTreePage::showList(const QString &pattern)
{
    // Assigning the definition drops whatever the view held, unsaved edits included.
    if (recordView->dataObject() != m_spec.listView)
        recordView->setDataObject(m_spec.listView);
    else
        recordView->reset();
    recordView->setConnection(db());
    return recordView->retrieve({pattern});
}

void GroupTreePage::showSelection(long, long newHandle)
{
    TreeItem item;
    if (newHandle == m_listedGroup || !groupTree->getItem(newHandle, item))
        return;
    // The root lists every record; a group exactly its own (the same records as below it).
    if (item.level == GroupTreeBuilder::RootLevel) {
        showList(views::allGroupsPattern());
        return;
    }
    if (item.level == GroupTreeBuilder::GroupLevel) {
        showList(views::exactGroupPattern(item.data.toString()));
        return;
    }
    if (recordView->dataObject() != m_spec.cardView)
        recordView->setDataObject(m_spec.cardView);
    else
        recordView->reset();
    recordView->setConnection(db());
    recordView->retrieve({item.data});
}

void GroupTreePage::sortByHeader(int, int, long, const views::ViewObject &object)
{
    if (recordView->dataObject() == m_spec.listView)
        m_sort.headerClicked(recordView, object);
}

void GroupTreePage::openRowInTree(int, int, long, const views::ViewObject &object)
{
    if (recordView->dataObject() != m_spec.listView || object.type != QStringLiteral("column"))
        return;
    const long row = recordView->getRow();
    if (row < 1)
        return;
    const QString code = recordView->getItemString(row, m_spec.groupColumn);
    const QString name = recordView->getItemString(row, m_spec.nameColumn);
    groupTree->setRedraw(false);
    locate(code, name);
    groupTree->setRedraw(true);
    groupTree->setFocus();
}

void GroupTreePage::highlightRow(long, long newRow)
{
    if (recordView->dataObject() == m_spec.listView)
        highlightOnly(recordView, newRow);
}

void GroupTreePage::acceptTyping()
{
    recordView->acceptText();
}

void GroupTreePage::cardEdited(long, const QString &, const QString &)
{
}

void GroupTreePage::closePage()
{
    hide();
}

bool GroupTreePage::showsCard() const
{
    return recordView->dataObject() == m_spec.cardView;
}

bool GroupTreePage::locate(const QString &code, const QString &name)
{
    return m_treeBuilder.locate(code, name);
}

void GroupTreePage::openFound(const FoundRecord &found)
{
    const QString key = m_spec.tree.memberDataIsNumber ? QString::number(found.id)
                                                       : m_findBox->value(found.id, m_spec.tree.memberData).toString();
    groupTree->setRedraw(false);
    // A group read before the record came (an import, a sync) does not list it: read the tree again.
    if (!m_treeBuilder.locateMember(found.groupCode, key)) {
        m_treeBuilder.clear();
        recordView->reset();
        buildTree();
        m_treeBuilder.locateMember(found.groupCode, key);
    }
    groupTree->setRedraw(true);
    groupTree->setFocus();
}

QList<qint64> GroupTreePage::storedIds(long row, bool asRead) const
{
    if (!m_findBox || !m_findBox->isBuilt())
        return {};
    const QString &key = m_spec.tree.memberData;
    const QVariant value = asRead ? recordView->getItemOriginal(row, key) : recordView->getItem(row, key);
    return value.isNull() ? QList<qint64>() : m_findBox->idsWhere(key, value);
}

void GroupTreePage::rebuildAndLocate(const QString &code, const QString &name)
{
    m_treeBuilder.clear();
    recordView->reset();
    buildTree();
    groupTree->setRedraw(false);
    locate(code, name);
    groupTree->setRedraw(true);
    groupTree->setFocus();
}

void GroupTreePage::placeControls(int w, int h)
{
    // The buttons stand in a row above the view; the strip along the bottom belongs to the main
    // window's moving banner.
    m_buttons.place(w);
    const int top = ButtonRow::ContentTop;
    const int treeWidth = int((w - 18) * 0.3);
    const int viewWidth = int((w - 18) * 0.7);
    const int viewHeight = h - BannerStrip - top;
    setUnitGeometry(groupTree, QRect(0, top, treeWidth, viewHeight));
    setUnitGeometry(recordView, QRect(treeWidth + 18, top, viewWidth, viewHeight));
}

} // namespace pagekit
