#include "notebook/notefind.h"

#include "app/connection.h"
#include "notebook/notesearch.h"
#include "notebook/searchindex.h"
#include "views/dataview.h"
#include "widgets/unitgeometry.h"
#include "widgets/units.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>

namespace {

const pagekit::Box kNoHit{QStringLiteral("N08"), QStringLiteral("无满足条件的记录!"), platform::Icon::Information};

QCheckBox *checkBox(const QString &caption, const QString &objectName, QWidget *parent)
{
    auto *c = new QCheckBox(caption, parent);
    c->setObjectName(objectName);
    c->setAccessibleName(caption);
    c->setChecked(true);
    return c;
}

} // namespace

NoteFind::NoteFind(Connection &db, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
{
    setObjectName(QStringLiteral("tp_2"));
    setAccessibleName(QStringLiteral("查找"));

    // First, so that the fields it frames lie above it.
    gb_1 = new QGroupBox(this);
    gb_1->setObjectName(QStringLiteral("gb_1"));
    gb_1->setAccessibleName(QStringLiteral("查找条件"));

    ddlb_2 = new QComboBox(this);
    ddlb_2->setObjectName(QStringLiteral("ddlb_2"));
    ddlb_2->setEditable(false);
    st_3 = pagekit::makeLabel(QStringLiteral("组"), QStringLiteral("st_3"), ddlb_2, this);
    sle_2 = new QLineEdit(this);
    sle_2->setObjectName(QStringLiteral("sle_2"));
    st_4 = pagekit::makeLabel(QStringLiteral("查找内容"), QStringLiteral("st_4"), sle_2, this);
    cbx_1 = checkBox(QStringLiteral("标题"), QStringLiteral("cbx_1"), this);
    cbx_2 = checkBox(QStringLiteral("内容"), QStringLiteral("cbx_2"), this);
    cb_find = pagekit::makeButton(QStringLiteral("查找(&F)"), QStringLiteral("cb_find"), this);

    dw_1 = new views::DataView(this);
    dw_1->setObjectName(QStringLiteral("dw_1"));
    dw_1->setAccessibleName(QStringLiteral("查找结果"));
    dw_1->setDataObject(QStringLiteral("dw_find"));
    // A failed search says only that nothing was found; its reason stays in the list's store.
    dw_1->setConnection(m_db);

    connect(cb_find, &QPushButton::clicked, this, &NoteFind::cb_find_clicked);
    // Return in the search text searches, as a click on the button does.
    connect(sle_2, &QLineEdit::returnPressed, cb_find, &QPushButton::click);
    connect(cbx_1, &QCheckBox::clicked, this, &NoteFind::cbx_1_clicked);
    connect(cbx_2, &QCheckBox::clicked, this, &NoteFind::cbx_2_clicked);
    connect(dw_1, &views::DataView::clicked, this, &NoteFind::dw_1_clicked);
    connect(dw_1, &views::DataView::doubleClicked, this, &NoteFind::dw_1_doubleclicked);
    connect(dw_1, &views::DataView::retrieveEnd, this, &NoteFind::dw_1_retrieveend);
    connect(dw_1, &views::DataView::rowFocusChanged, this, &NoteFind::dw_1_rowfocuschanged);
}

void NoteFind::setGroups(const QList<pagekit::Group> &groups)
{
    m_groups = groups;
    ddlb_2->clear();
    ddlb_2->addItem(QStringLiteral("全部"));
    for (const pagekit::Group &g : groups)
        ddlb_2->addItem(g.name);
    ddlb_2->setCurrentIndex(0);
}

bool NoteFind::scope(std::optional<QString> *code) const
{
    const int entry = ddlb_2->currentIndex();
    if (entry <= 0 || entry > m_groups.size()) {
        code->reset();
        return true;
    }
    const pagekit::Group &g = m_groups.at(entry - 1);
    QSqlQuery q(m_db.sqlDatabase());
    q.prepare(QStringLiteral("SELECT 1 FROM p_group WHERE groupid = ? AND groupname = ?"));
    q.addBindValue(g.code);
    q.addBindValue(g.name);
    if (!q.exec() || !q.next())
        return false;
    *code = g.code;
    return true;
}

void NoteFind::ensureIndex()
{
    if (m_indexDeclined || notesearch::hasSearchIndex(m_db))
        return;
    // A failure is not the user's answer: the next search tries again. Either way this one reads
    // every note instead.
    if (notesearch::addSearchIndexWithProgress(m_db, window(), indexDialogDelayMs) == notesearch::IndexResult::Cancelled)
        m_indexDeclined = true;
}

void NoteFind::cb_find_clicked()
{
    std::optional<QString> group;
    long rows = 0;
    if (scope(&group)) {
        ensureIndex();
        rows = notesearch::retrieve(*dw_1, notesearch::fromFind(group, sle_2->text(), cbx_1->isChecked(), cbx_2->isChecked()));
    } else {
        // The group went from the group table after the list was filled: nothing can be in it.
        dw_1->reset();
    }
    if (rows <= 0)
        pagekit::showBox(kNoHit);
}

void NoteFind::cbx_1_clicked()
{
    if (!cbx_1->isChecked() && !cbx_2->isChecked())
        cbx_2->setChecked(true);
}

void NoteFind::cbx_2_clicked()
{
    if (!cbx_2->isChecked() && !cbx_1->isChecked())
        cbx_1->setChecked(true);
}

void NoteFind::dw_1_clicked(int, int, long, const views::ViewObject &object)
{
    m_sort.headerClicked(dw_1, object);
}

void NoteFind::dw_1_doubleclicked(int, int, long, const views::ViewObject &object)
{
    const long row = dw_1->getRow();
    if (object.type != QStringLiteral("column") || row < 1)
        return;
    emit hitOpened(dw_1->getItemString(row, QStringLiteral("gid")), dw_1->getItemString(row, QStringLiteral("title")));
}

void NoteFind::dw_1_retrieveend(long rows)
{
    if (rows > 0)
        pagekit::highlightOnly(dw_1, dw_1->getRow());
}

void NoteFind::dw_1_rowfocuschanged(long currentRow)
{
    pagekit::highlightOnly(dw_1, currentRow);
}

void NoteFind::of_layout(int listWidth, int pageHeight)
{
    // Two rows of fields in their frame, the list below. The frame and the list share their edges.
    const int left = 18, right = left + listWidth, row = 92, inset = 24;
    setUnitGeometry(gb_1, QRect(left, 0, listWidth, 262));
    setUnitGeometry(st_3, QRect(left + inset, 40, 130, 76));
    setUnitGeometry(ddlb_2, QRect(left + 160, 28, 600, row));
    setUnitGeometry(st_4, QRect(left + 800, 40, 260, 76));
    const int textX = left + 1070;
    setUnitGeometry(sle_2, QRect(textX, 28, right - inset - textX, row));
    setUnitGeometry(cbx_1, QRect(left + 160, 148, 260, 76));
    setUnitGeometry(cbx_2, QRect(left + 440, 148, 260, 76));
    setUnitGeometry(cb_find, QRect(right - inset - 320, 140, 320, row));

    const QRect list(left, 276, listWidth, pageHeight - 304);
    setUnitGeometry(dw_1, list);
    dw_1->setColumnWidth(QStringLiteral("title"), units::toPixelsX(list.width() - 800, logicalDpiX()));
}
