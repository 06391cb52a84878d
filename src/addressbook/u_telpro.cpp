#include "addressbook/u_telpro.h"

#include "app/globals.h"
#include "app/transaction.h"
#include "platform/messagebox.h"
#include "views/datastore.h"
#include "views/dataview.h"
#include "views/font.h"
#include "views/grouppattern.h"
#include "widgets/handletree.h"
#include "widgets/unitgeometry.h"
#include "widgets/units.h"

#include <QPushButton>
#include <QResizeEvent>

using platform::Icon;
using widgets::TreeItem;
using widgets::TreeNavigation;

namespace {

const QString kList = QStringLiteral("dw_telall");
const QString kCard = QStringLiteral("dw_telper");

// Pictures of the tree, numbered from 1.
enum Picture { RootPicture = 1, GroupPicture = 2, ContactPicture = 3, DeletedGroupPicture = 4 };

QPushButton *makeButton(const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    QString name = caption;
    b->setAccessibleName(name.remove(QLatin1Char('&')));
    return b;
}

} // namespace

u_telpro::u_telpro(QWidget *parent)
    : QWidget(parent)
{
    setFont(views::songtiFont());
    setAccessibleName(QStringLiteral("通讯录"));

    tv_1 = new widgets::HandleTree(this);
    tv_1->setObjectName(QStringLiteral("tv_1"));
    tv_1->setAccessibleName(QStringLiteral("通讯录分组"));
    tv_1->setPictures({appFile(QStringLiteral("resource/i004.ico")), appFile(QStringLiteral("resource/i005.ico")),
                       appFile(QStringLiteral("resource/i002.ico")), appFile(QStringLiteral("resource/i003.ico"))});

    dw_1 = new views::DataView(this);
    dw_1->setObjectName(QStringLiteral("dw_1"));
    dw_1->setAccessibleName(QStringLiteral("联系人"));

    cb_1 = makeButton(QStringLiteral("添加(&A)"), this);
    cb_1->setObjectName(QStringLiteral("cb_1"));
    cb_2 = makeButton(QStringLiteral("删除(&D)"), this);
    cb_2->setObjectName(QStringLiteral("cb_2"));
    cb_3 = makeButton(QStringLiteral("保存(&S)"), this);
    cb_3->setObjectName(QStringLiteral("cb_3"));
    cb_7 = makeButton(QStringLiteral("关闭(&C)"), this);
    cb_7->setObjectName(QStringLiteral("cb_7"));

    connect(tv_1, &widgets::HandleTree::itemPopulate, this, &u_telpro::tv_1_itempopulate);
    connect(tv_1, &widgets::HandleTree::selectionChanged, this, &u_telpro::tv_1_selectionchanged);
    connect(dw_1, &views::DataView::clicked, this, &u_telpro::dw_1_clicked);
    // Opening a contact switches dw_1's definition: let the double-click finish in the old one first.
    connect(dw_1, &views::DataView::doubleClicked, this, &u_telpro::dw_1_doubleclicked, Qt::QueuedConnection);
    connect(dw_1, &views::DataView::rowFocusChanging, this, &u_telpro::dw_1_rowfocuschanging);
    connect(dw_1, &views::DataView::loseFocus, this, &u_telpro::dw_1_losefocus);
    dw_1->setDbErrorHandler([this](long code, const QString &text, const QString &, long) { return dw_1_dberror(code, text); });
    connect(cb_1, &QPushButton::clicked, this, &u_telpro::cb_1_clicked);
    connect(cb_2, &QPushButton::clicked, this, &u_telpro::cb_2_clicked);
    connect(cb_3, &QPushButton::clicked, this, &u_telpro::cb_3_clicked);
    connect(cb_7, &QPushButton::clicked, this, &u_telpro::cb_7_clicked);

    constructor();
}

void u_telpro::constructor()
{
    tv_1->setRedraw(false);
    TreeItem root;
    root.label = QStringLiteral("通讯录");
    root.data = QStringLiteral("%");
    root.pictureIndex = RootPicture;
    root.selectedPictureIndex = RootPicture;
    root.children = true;
    const long rootHandle = tv_1->insertItemLast(0, root);

    views::DataStore ds_group;
    ds_group.setDataObject(QStringLiteral("ds_group"));
    ds_group.setTransObject(sqlca);
    ds_group.retrieve();
    if (ds_group.rowCount() < 1) {
        platform::messageBox(QStringLiteral("T00"), QStringLiteral("组信息无数据!"), Icon::Exclamation);
        tv_1->setRedraw(true);
        return;
    }
    QList<TreeItem> groups;
    for (long row = 1; row <= ds_group.rowCount(); ++row) {
        const QString code = ds_group.getItemString(row, QStringLiteral("zuhao0"));
        TreeItem group;
        group.label = ds_group.getItemString(row, QStringLiteral("zuming"));
        group.data = code;
        group.pictureIndex = isDeletedGroup(code) ? DeletedGroupPicture : GroupPicture;
        group.selectedPictureIndex = group.pictureIndex;
        group.children = true;
        groups << group;
    }
    tv_1->insertItemsLast(rootHandle, groups);
    tv_1->expandItem(rootHandle);
    tv_1->setRedraw(true);
}

void u_telpro::tv_1_itempopulate(long handle)
{
    tv_1->setRedraw(false);
    TreeItem item;
    tv_1->getItem(handle, item);
    if (item.level != 2) {
        tv_1->setRedraw(true);
        return;
    }
    if (!of_fillgroup(handle, item.data.toString())) {
        item.children = false;
        tv_1->setItem(handle, item);
    }
    tv_1->selectItem(handle);
    tv_1->setRedraw(true);
}

bool u_telpro::of_fillgroup(long handle, const QString &code)
{
    views::DataStore ds_xingm0;
    ds_xingm0.setDataObject(QStringLiteral("ds_xingm0"));
    ds_xingm0.setTransObject(sqlca);
    ds_xingm0.retrieve({code});
    const long rows = ds_xingm0.rowCount();
    if (rows < 1)
        return false;
    QList<TreeItem> contacts;
    contacts.reserve(rows);
    const QString column = QStringLiteral("xingm0");
    for (long row = 1; row <= rows; ++row) {
        TreeItem &contact = contacts.emplace_back();
        contact.label = ds_xingm0.getItemString(row, column);
        contact.data = contact.label;
        contact.pictureIndex = ContactPicture;
        contact.selectedPictureIndex = ContactPicture;
    }
    tv_1->insertItemsLast(handle, contacts);
    return true;
}

void u_telpro::tv_1_selectionchanged(long, long newhandle)
{
    TreeItem item;
    if (!tv_1->getItem(newhandle, item))
        return;
    const QString wanted = item.level == 3 ? kCard : kList;
    // Assigning the definition drops whatever the view held, unsaved edits included.
    if (dw_1->dataObject() != wanted)
        dw_1->setDataObject(wanted);
    else
        dw_1->reset();
    dw_1->setTransObject(sqlca);
    // The root lists every contact; a group exactly its own (the same contacts as below it).
    if (item.level == 1)
        dw_1->retrieve({views::allGroupsPattern()});
    else if (item.level == 2)
        dw_1->retrieve({views::exactGroupPattern(item.data.toString())});
    else
        dw_1->retrieve({item.data.toString()});
}

void u_telpro::dw_1_clicked(int, int, long, const views::DwObject &dwo)
{
    if (dw_1->dataObject() != kList || dwo.type != QStringLiteral("text"))
        return;
    is_sort = is_sort == QStringLiteral(" A") ? QStringLiteral(" D") : QStringLiteral(" A");
    // A text that names no column (such as "合计:") gives a criterion the view refuses quietly.
    if (dw_1->setSort(dwo.name.left(dwo.name.size() - 2) + is_sort))
        dw_1->sort();
}

void u_telpro::dw_1_doubleclicked(int, int, long, const views::DwObject &dwo)
{
    if (dw_1->dataObject() != kList || dwo.type != QStringLiteral("column"))
        return;
    const long row = dw_1->getRow();
    if (row < 1)
        return;
    const QString code = dw_1->getItemString(row, QStringLiteral("zuhao0"));
    const QString name = dw_1->getItemString(row, QStringLiteral("xingm0"));
    tv_1->setRedraw(false);
    of_locate(code, name);
    tv_1->setRedraw(true);
    tv_1->setFocus();
}

void u_telpro::dw_1_rowfocuschanging(long, long newrow)
{
    if (dw_1->dataObject() != kList)
        return;
    dw_1->selectRow(0, false);
    dw_1->selectRow(newrow, true);
}

void u_telpro::dw_1_losefocus()
{
    dw_1->acceptText();
}

int u_telpro::dw_1_dberror(long, const QString &sqlerrtext)
{
    gs_sqlerrtext = sqlerrtext;
    return 1;
}

void u_telpro::cb_7_clicked()
{
    hide();
}

bool u_telpro::isDeletedGroup(const QString &code)
{
    return code.toLower() == QStringLiteral("z");
}

bool u_telpro::showsCard() const
{
    return dw_1->dataObject() == kCard;
}

bool u_telpro::of_locate(const QString &code, const QString &name)
{
    const long root = tv_1->findItem(TreeNavigation::Root);
    const long group = tv_1->findChildByData(root, code);
    if (group == 0)
        return false;
    // Expanding fills the group on its first expansion, which selects it and lists it.
    tv_1->expandItem(group);
    if (!name.isEmpty())
        if (const long contact = tv_1->findChildByLabel(group, name))
            tv_1->selectItem(contact);
    return true;
}

void u_telpro::of_layout(int w, int h)
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

void u_telpro::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The main window hands the page its rectangle in units; pixels converted back would lose some.
    const QRect rect = hasUnitGeometry(this) ? unitGeometry(this)
                                             : QRect(0, 0, units::toUnitsX(width()), units::toUnitsY(height()));
    of_layout(rect.width(), rect.height());
}
