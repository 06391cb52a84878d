// The notebook page: its controls, the tree, the zoom toggle, locating a note and the layout.

#include "notebook/u_notepro.h"

#include "app/globals.h"
#include "app/connection.h"
#include "notebook/noteeditor.h"
#include "notebook/notefind.h"
#include "notebook/notesplitter.h"
#include "pagekit/helpers.h"
#include "views/font.h"
#include "widgets/handletree.h"
#include "widgets/unitgeometry.h"
#include "widgets/units.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>

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
// Buttons stand in a row above the tree and the tabs; the strip of 120 units along the page's
// bottom belongs to the main window's moving banner.
constexpr int kTop = 110;
constexpr int kBanner = 120;

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

int NoteTabs::pageHeight(const QSize &pixels) const
{
    QStyleOptionTabWidgetFrame option;
    initStyleOption(&option);
    option.rect = QRect(QPoint(), pixels);
    return style()->subElementRect(QStyle::SE_TabWidgetTabContents, &option, this).height();
}

u_notepro::u_notepro(Connection &db, QWidget *parent)
    : Page(db, parent)
    , m_tree(db, treeSpec())
{
    setAccessibleName(QStringLiteral("笔记本"));
    created();
}

void u_notepro::of_prepare()
{
    m_tree.keepGroups(kNoGroups);
}

void u_notepro::of_build()
{
    setFont(views::songtiFont());
    tv_1 = new widgets::HandleTree(this);
    m_tree.setTree(tv_1);
    tv_1->setObjectName(QStringLiteral("tv_1"));
    tv_1->setAccessibleName(QStringLiteral("笔记本分组"));

    tab_1 = new NoteTabs(this);
    tab_1->setObjectName(QStringLiteral("tab_1"));
    tab_1->setAccessibleName(QStringLiteral("笔记"));
    tp_1 = new NoteEditor(tab_1);
    tp_2 = new NoteFind(db(), tab_1);
    tp_3 = new NoteSplitter(tab_1);
    tab_1->addTab(tp_1, QIcon(appFile(QStringLiteral("resource/i008.ico"))), QStringLiteral(" 内容 "));
    tab_1->addTab(tp_2, QIcon(appFile(QStringLiteral("resource/i009.ico"))), QStringLiteral(" 查找 "));
    tab_1->addTab(tp_3, QIcon(appFile(QStringLiteral("resource/i010.ico"))), QStringLiteral(" 编辑"));

    cb_1 = pagekit::makeButton(QStringLiteral("添加(&A)"), QStringLiteral("cb_1"), this);
    cb_3 = pagekit::makeButton(QStringLiteral("保存(&S)"), QStringLiteral("cb_3"), this);
    cb_2 = pagekit::makeButton(QStringLiteral("删除(&D)"), QStringLiteral("cb_2"), this);
    cb_5 = pagekit::makeButton(QStringLiteral("关闭(&C)"), QStringLiteral("cb_5"), this);

    // A flat button: it looks like the text it shows, and the keyboard and a screen reader can
    // press it. It comes right after the tree it widens.
    st_zoom = new QPushButton(this);
    st_zoom->setObjectName(QStringLiteral("st_zoom"));
    st_zoom->setFlat(true);
    st_zoom->setCursor(Qt::PointingHandCursor);
    showZoom(st_zoom, false);

    connect(tv_1, &widgets::HandleTree::itemPopulate, this, &u_notepro::tv_1_itempopulate);
    connect(tv_1, &widgets::HandleTree::selectionChanged, this, &u_notepro::tv_1_selectionchanged);
    connect(tv_1, &QTreeView::doubleClicked, this,
            [this] { tv_1_doubleclicked(tv_1->findItem(TreeNavigation::Current)); });
    connect(cb_1, &QPushButton::clicked, this, &u_notepro::cb_1_clicked);
    connect(cb_3, &QPushButton::clicked, this, &u_notepro::cb_3_clicked);
    connect(cb_2, &QPushButton::clicked, this, &u_notepro::cb_2_clicked);
    connect(cb_5, &QPushButton::clicked, this, &u_notepro::cb_5_clicked);
    connect(st_zoom, &QPushButton::clicked, this, &u_notepro::st_zoom_clicked);
    setTabOrder(tv_1, st_zoom);
    connect(tp_2, &NoteFind::hitOpened, this, &u_notepro::of_openhit);
    connect(tp_3, &NoteSplitter::pieceCopied, this, [this] { tab_1->setCurrentWidget(tp_1); });

    constructor();
}

u_notepro::~u_notepro() = default;

void u_notepro::constructor()
{
    tp_1->ddlb_1->addItem(QStringLiteral("[请选择]"));
    m_groups = m_tree.build(kNoGroups);
    // Both lists follow the tree's order, after their fixed first entry.
    for (const pagekit::Group &g : std::as_const(m_groups))
        tp_1->ddlb_1->addItem(g.name);
    tp_2->setGroups(m_groups);
    tab_1->setCurrentWidget(tp_1);
    tp_1->ddlb_1->setCurrentIndex(0);
}

void u_notepro::of_rebuild()
{
    m_tree.clear();
    tp_1->ddlb_1->clear();
    constructor();
}

int u_notepro::groupEntry(long groupHandle) const
{
    int entry = 1;
    for (long h = tv_1->findItem(TreeNavigation::Child, m_tree.root()); h; h = tv_1->findItem(TreeNavigation::Next, h), ++entry)
        if (h == groupHandle)
            return entry;
    return 0;
}

QString u_notepro::groupCode(int entry) const
{
    return entry >= 1 && entry <= m_groups.size() ? m_groups.at(entry - 1).code : QString();
}

void u_notepro::tv_1_itempopulate(long handle)
{
    m_tree.itempopulate(handle);
}

void u_notepro::tv_1_selectionchanged(long, long newhandle)
{
    TreeItem item;
    if (!tv_1->getItem(newhandle, item) || item.level != pagekit::GroupTree::MemberLevel)
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
    tp_1->ddlb_1->setCurrentIndex(groupEntry(tv_1->findItem(TreeNavigation::Parent, newhandle)));
    tp_1->sle_1->setText(title);
    tp_1->setText(content);
    il_id = id;
    tab_1->setCurrentWidget(tp_1);
}

void u_notepro::tv_1_doubleclicked(long handle)
{
    if (isWidened() && tv_1->itemLevel(handle) == pagekit::GroupTree::MemberLevel)
        st_zoom_clicked();
}

bool u_notepro::isWidened() const
{
    return st_zoom->text() == kNarrow;
}

void u_notepro::st_zoom_clicked()
{
    tv_1->raise();
    st_zoom->raise();
    QRect tree = unitGeometry(tv_1);
    const int w = unitRect().width();
    if (tree.width() >= kWidened) {
        tree.setWidth(percentOf(w, 35));
        showZoom(st_zoom, false);
    } else {
        tree.setWidth(w);
        showZoom(st_zoom, true);
    }
    setUnitGeometry(tv_1, tree);
    QRect zoom = unitGeometry(st_zoom);
    zoom.moveLeft(tree.x() + tree.width() - kZoomInset);
    setUnitGeometry(st_zoom, zoom);
}

void u_notepro::cb_5_clicked()
{
    hide();
}

bool u_notepro::of_locate(const QString &gid, const QString &title)
{
    tv_1->setRedraw(false);
    const bool found = m_tree.of_locate(gid, title);
    tv_1->setRedraw(true);
    tv_1->setFocus();
    return found;
}

void u_notepro::of_openhit(const QString &gid, const QString &title)
{
    tab_1->setCurrentWidget(tp_1);
    if (!of_locate(gid, title))
        return;
    // The note may have been the tree's current item already while the editor went on to a new
    // note: choosing it again changes no selection, so it is opened here. A note the editor holds
    // keeps what was typed into it.
    const long current = tv_1->findItem(TreeNavigation::Current);
    TreeItem item, group;
    if (tv_1->getItem(current, item) && item.level == pagekit::GroupTree::MemberLevel && item.label == title
        && tv_1->getItem(tv_1->findItem(TreeNavigation::Parent, current), group) && group.data.toString() == gid
        && long(item.data.toLongLong()) != il_id)
        tv_1_selectionchanged(current, current);
}

void u_notepro::of_lockcontrols(bool locked)
{
    tp_1->of_lock(locked);
}

void u_notepro::of_arrange(int w, int h)
{
    const int buttonWidth = 320, buttonHeight = 88, gap = 30, margin = 20;
    int x = w - margin - buttonWidth;
    for (QPushButton *b : {cb_5, cb_2, cb_3, cb_1}) {
        setUnitGeometry(b, QRect(x, 10, buttonWidth, buttonHeight));
        x -= buttonWidth + gap;
    }

    const int height = h - kBanner - kTop;
    QRect tree(0, kTop, percentOf(w - 18, 35), height);
    setUnitGeometry(tv_1, tree);
    const QRect tabs(tree.x() + tree.width() + 18, kTop, percentOf(w - 18, 65), height);
    setUnitGeometry(tab_1, tabs);
    QRect zoom(tree.x() + tree.width() - kZoomInset, kTop + 8, 110, 72);
    setUnitGeometry(st_zoom, zoom);

    tp_1->of_layout(tabs.width(), tabs.height());
    const int pageHeight = units::toUnitsY(tab_1->pageHeight(tab_1->size()), logicalDpiY());
    tp_2->of_layout(tp_1->mleWidth(), pageHeight);
    tp_3->of_layout(tp_1->mleWidth(), pageHeight);

    // A widened tree keeps covering the page at every size.
    if (isWidened()) {
        tree.setWidth(w);
        setUnitGeometry(tv_1, tree);
        zoom.moveLeft(tree.x() + tree.width() - kZoomInset);
        setUnitGeometry(st_zoom, zoom);
    }
}
