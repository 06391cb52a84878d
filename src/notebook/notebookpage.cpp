// The notebook page: its controls, the tree, the zoom toggle, locating a note and the layout.

#include "notebook/notebookpage.h"

#include "app/appinfo.h"
#include "app/connection.h"
#include "notebook/noteeditor.h"
#include "notebook/notefind.h"
#include "notebook/notesplitter.h"
#include "pagekit/contextmenu.h"
#include "pagekit/helpers.h"
#include "pagekit/sheetexport.h"
#include "views/font.h"
#include "widgets/handletree.h"
#include "widgets/unitgeometry.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>

using widgets::TreeItem;
using widgets::TreeNavigation;

namespace {

// Part of a width in whole units, truncated, without the rounding errors of a decimal factor.
int percentOf(int units, int percent)
{
    return units * percent / 100;
}

// A tree this wide or wider counts as widened.
constexpr int kWidened = 2000;
// The toggle sits this far left of the tree's right edge.
constexpr int kZoomInset = 200;

const pagekit::Box kNoGroups{QStringLiteral("N00"), QStringLiteral("组信息无数据!"), platform::Icon::Information};

const QString kWiden = QStringLiteral(">>");
const QString kNarrow = QStringLiteral("<<");

// The toggle shows ">>" or "<<"; a screen reader says what a press does.
void showZoom(QPushButton *zoom, bool widened)
{
    zoom->setText(widened ? kNarrow : kWiden);
    const QString action = widened ? QStringLiteral("恢复目录宽度") : QStringLiteral("加宽目录");
    zoom->setAccessibleName(action);
    zoom->setToolTip(action);
}

pagekit::GroupTreeSpec treeSpec()
{
    pagekit::GroupTreeSpec s;
    s.rootLabel = QStringLiteral("笔记本");
    s.rootHasChildren = false;
    s.pictures = {appFile(QStringLiteral("resource/i004.ico")), appFile(QStringLiteral("resource/i007.ico")),
                  appFile(QStringLiteral("resource/i006.ico"))};
    s.groupView = QStringLiteral("ds_pt_group");
    s.groupCode = QStringLiteral("groupid");
    s.groupName = QStringLiteral("groupname");
    s.memberView = QStringLiteral("ds_info");
    s.memberLabel = QStringLiteral("title");
    s.memberData = QStringLiteral("id");
    s.memberDataIsNumber = true;
    return s;
}

} // namespace

NotebookPage::NotebookPage(Connection &db, QWidget *parent)
    : Page(db, parent)
    , m_treeBuilder(db, treeSpec())
    , m_buttons(this)
{
    setAccessibleName(QStringLiteral("笔记本"));
    created();
}

void NotebookPage::prepareLight()
{
    m_treeBuilder.keepGroups(kNoGroups);
}

void NotebookPage::buildControls()
{
    setFont(views::songtiFont());
    groupTree = new widgets::HandleTree(this);
    m_treeBuilder.setTree(groupTree);
    groupTree->setObjectName(QStringLiteral("tv_1"));
    groupTree->setAccessibleName(QStringLiteral("笔记本分组"));
    // "导出…" of the root's or a group's notes (boxes "N10" … "N12").
    pagekit::addGroupExport(pagekit::ContextMenu::onGroupTree(groupTree, QStringLiteral("笔记本分组菜单")), db(),
                            {QStringLiteral("d_notepro_all"), QStringLiteral("gid"), QStringLiteral("p_info"),
                             {{QStringLiteral("N12"), QStringLiteral("没有可导出的笔记!"), platform::Icon::Exclamation},
                              {QStringLiteral("N11"), QStringLiteral("导出失败!"), platform::Icon::Stop},
                              {QStringLiteral("N10"), QStringLiteral("导出成功!"), platform::Icon::Information}}});

    tabs = new pagekit::TabPages(QStringLiteral("tab_1"), QStringLiteral("笔记"), this);
    editor = new NoteEditor(tabs);
    findTab = new NoteFind(db(), tabs);
    splitter = new NoteSplitter(tabs);
    tabs->addPage(editor, QStringLiteral("tp_1"), QStringLiteral(" 内容 "), QStringLiteral("i008.ico"));
    tabs->addPage(findTab, QStringLiteral("tp_2"), QStringLiteral(" 查找 "), QStringLiteral("i009.ico"));
    tabs->addPage(splitter, QStringLiteral("tp_3"), QStringLiteral(" 编辑"), QStringLiteral("i010.ico"));

    addButton = m_buttons.add(QStringLiteral("添加(&A)"), QStringLiteral("cb_1"), this, &NotebookPage::newNote);
    saveButton = m_buttons.add(QStringLiteral("保存(&S)"), QStringLiteral("cb_3"), this, &NotebookPage::save);
    deleteButton = m_buttons.add(QStringLiteral("删除(&D)"), QStringLiteral("cb_2"), this, &NotebookPage::deleteNote);
    closeButton = m_buttons.add(QStringLiteral("关闭(&C)"), QStringLiteral("cb_5"), this, &NotebookPage::closePage);

    // A flat button: it looks like the text it shows, and the keyboard and a screen reader can
    // press it. It comes right after the tree it widens.
    zoomToggle = new QPushButton(this);
    zoomToggle->setObjectName(QStringLiteral("st_zoom"));
    zoomToggle->setFlat(true);
    zoomToggle->setCursor(Qt::PointingHandCursor);
    showZoom(zoomToggle, false);
    connect(zoomToggle, &QPushButton::clicked, this, &NotebookPage::toggleZoom);
    setTabOrder(groupTree, zoomToggle);

    connect(groupTree, &widgets::HandleTree::itemPopulate, this, &NotebookPage::fillExpandedGroup);
    connect(groupTree, &widgets::HandleTree::selectionChanged, this, &NotebookPage::openSelectedNote);
    connect(groupTree, &QTreeView::doubleClicked, this,
            [this] { treeDoubleClicked(groupTree->findItem(TreeNavigation::Current)); });
    connect(findTab, &NoteFind::hitOpened, this, &NotebookPage::openHit);
    findTab->followIndexBuild(&indexBuilder);
    connect(splitter, &NoteSplitter::pieceCopied, this, [this] { tabs->setCurrentWidget(editor); });

    buildTreeAndLists();
}

NotebookPage::~NotebookPage() = default;

void NotebookPage::startIndexBuild()
{
    indexBuilder.start(db());
}

void NotebookPage::buildTreeAndLists()
{
    editor->groupList->addItem(QStringLiteral("[请选择]"));
    m_groups = m_treeBuilder.build(kNoGroups);
    // Both lists follow the tree's order, after their fixed first entry.
    for (const pagekit::Group &g : std::as_const(m_groups))
        editor->groupList->addItem(g.name);
    findTab->setGroups(m_groups);
    tabs->setCurrentWidget(editor);
    editor->groupList->setCurrentIndex(0);
}

void NotebookPage::rebuild()
{
    m_treeBuilder.clear();
    editor->groupList->clear();
    buildTreeAndLists();
}

int NotebookPage::groupEntry(long groupHandle) const
{
    int entry = 1;
    for (long h = groupTree->findItem(TreeNavigation::Child, m_treeBuilder.root()); h; h = groupTree->findItem(TreeNavigation::Next, h), ++entry)
        if (h == groupHandle)
            return entry;
    return 0;
}

QString NotebookPage::groupCodeAt(int entry) const
{
    return entry >= 1 && entry <= m_groups.size() ? m_groups.at(entry - 1).code : QString();
}

void NotebookPage::fillExpandedGroup(long handle)
{
    m_treeBuilder.populate(handle);
}

void NotebookPage::openSelectedNote(long, long newHandle)
{
    TreeItem item;
    if (!groupTree->getItem(newHandle, item) || item.level != pagekit::GroupTreeBuilder::MemberLevel)
        return;
    const long id = long(item.data.toLongLong());
    // A note that has vanished meanwhile opens empty; saving it then stores it anew.
    QString title, content;
    QSqlQuery q(db().sqlDatabase());
    q.prepare(QStringLiteral("SELECT gid, title, content FROM p_info WHERE id = ?"));
    q.addBindValue(qlonglong(id));
    if (q.exec() && q.next()) {
        title = q.value(1).toString();
        content = q.value(2).toString();
    }
    // The group is the note's group item, taken by its place: group names may repeat.
    editor->groupList->setCurrentIndex(groupEntry(groupTree->findItem(TreeNavigation::Parent, newHandle)));
    editor->titleEdit->setText(title);
    editor->setText(content);
    noteId = id;
    tabs->setCurrentWidget(editor);
}

void NotebookPage::treeDoubleClicked(long handle)
{
    if (isWidened() && groupTree->itemLevel(handle) == pagekit::GroupTreeBuilder::MemberLevel)
        toggleZoom();
}

bool NotebookPage::isWidened() const
{
    return zoomToggle->text() == kNarrow;
}

void NotebookPage::toggleZoom()
{
    groupTree->raise();
    zoomToggle->raise();
    QRect tree = unitGeometry(groupTree);
    const int w = unitRect().width();
    if (tree.width() >= kWidened) {
        tree.setWidth(percentOf(w, 35));
        showZoom(zoomToggle, false);
    } else {
        tree.setWidth(w);
        showZoom(zoomToggle, true);
    }
    setUnitGeometry(groupTree, tree);
    QRect zoom = unitGeometry(zoomToggle);
    zoom.moveLeft(tree.x() + tree.width() - kZoomInset);
    setUnitGeometry(zoomToggle, zoom);
}

void NotebookPage::closePage()
{
    hide();
}

bool NotebookPage::locate(const QString &code, const QString &title)
{
    groupTree->setRedraw(false);
    const bool found = m_treeBuilder.locate(code, title);
    groupTree->setRedraw(true);
    groupTree->setFocus();
    return found;
}

void NotebookPage::openHit(const QString &code, const QString &title)
{
    tabs->setCurrentWidget(editor);
    if (!locate(code, title))
        return;
    // The note may have been the tree's current item already while the editor went on to a new
    // note: choosing it again changes no selection, so it is opened here. A note the editor holds
    // keeps what was typed into it.
    const long current = groupTree->findItem(TreeNavigation::Current);
    TreeItem item, group;
    if (groupTree->getItem(current, item) && item.level == pagekit::GroupTreeBuilder::MemberLevel && item.label == title
        && groupTree->getItem(groupTree->findItem(TreeNavigation::Parent, current), group) && group.data.toString() == code
        && long(item.data.toLongLong()) != noteId)
        openSelectedNote(current, current);
}

void NotebookPage::lockOwnWindows(bool locked)
{
    editor->setLocked(locked);
}

void NotebookPage::placeControls(int w, int h)
{
    m_buttons.place(w);

    const int top = pagekit::ButtonRow::ContentTop;
    const int height = h - BannerStrip - top;
    QRect tree(0, top, percentOf(w - 18, 35), height);
    setUnitGeometry(groupTree, tree);
    const QRect tabArea(tree.x() + tree.width() + 18, top, percentOf(w - 18, 65), height);
    setUnitGeometry(tabs, tabArea);
    QRect zoom(tree.x() + tree.width() - kZoomInset, top + 8, 110, 72);
    setUnitGeometry(zoomToggle, zoom);

    editor->placeControls(tabArea.width(), tabArea.height());
    const int pageHeight = tabs->pageSize().height();
    findTab->placeControls(editor->textWidth(), pageHeight);
    splitter->placeControls(editor->textWidth(), pageHeight);

    // A widened tree keeps covering the page at every size.
    if (isWidened()) {
        tree.setWidth(w);
        setUnitGeometry(groupTree, tree);
        zoom.moveLeft(tree.x() + tree.width() - kZoomInset);
        setUnitGeometry(zoomToggle, zoom);
    }
}
