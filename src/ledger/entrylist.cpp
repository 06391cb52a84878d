#include "ledger/entrylist.h"

#include "ledger/periods.h"

#include "app/connection.h"
#include "app/profile.h"
#include "views/dataview.h"
#include "widgets/unitgeometry.h"

#include <QComboBox>
#include <QLabel>

namespace ledger {

using views::DataStore;

EntryList::EntryList(Connection &db, const EntryListSpec &desc, pagekit::SortToggle &sort, QWidget *tabPage,
                     const QStringList &objectNames)
    : QObject(tabPage)
    , st(new QLabel(QStringLiteral("显示范围"), tabPage))
    , ddlb(new QComboBox(tabPage))
    , dw(new views::DataView(tabPage))
    , m_db(db)
    , m_spec(desc)
    , m_sort(sort)
{
    st->setObjectName(objectNames.value(0));
    st->setAccessibleName(st->text());
    st->setBuddy(ddlb);
    ddlb->setObjectName(objectNames.value(1));
    ddlb->setAccessibleName(st->text());
    ddlb->addItems(periodTexts());
    dw->setObjectName(objectNames.value(2));
    dw->setAccessibleName(desc.name);
    dw->setDataObject(desc.view);

    // The period the settings name, or this month; choosing it here writes nothing and reads nothing,
    // the list being read once below.
    const Period period = periodOf(f_profile(desc.settingsKey)).value_or(Period::Month);
    m_key = periodKey(period, today());
    ddlb->setCurrentIndex(int(period));

    connect(ddlb, &QComboBox::currentIndexChanged, this, &EntryList::ddlb_selectionchanged);
    connect(dw, &views::DataView::retrieveEnd, this, &EntryList::dw_retrieveend);
    connect(dw, &views::DataView::rowFocusChanged, this, &EntryList::dw_rowfocuschanged);
    connect(dw, &views::DataView::clicked, this, &EntryList::dw_clicked);
    constructor();
}

void EntryList::constructor()
{
    dw->setConnection(m_db);
    dw->retrieve({m_key});
}

void EntryList::ddlb_selectionchanged(int index)
{
    if (index < 0 || index >= periodTexts().size())
        return;
    const Period period = Period(index);
    m_key = periodKey(period, today());
    f_setprofile(m_spec.settingsKey, periodText(period));
    // What was not saved is dropped: the list shows the new period as stored.
    dw->retrieve({m_key});
}

void EntryList::dw_retrieveend(long rows)
{
    if (rows >= 1)
        dw->selectRow(dw->getRow(), true);
}

void EntryList::dw_rowfocuschanged(long row)
{
    highlight(row);
}

void EntryList::dw_clicked(int, int, long, const views::ViewObject &object)
{
    m_sort.headerClicked(dw, object);
}

void EntryList::highlight(long row)
{
    if (row >= 1)
        pagekit::highlightOnly(dw, row);
    else
        dw->selectRow(0, false);
}

void EntryList::of_add()
{
    const long row = dw->insertRow(0);
    dw->scrollToRow(row);
    dw->setItem(row, QStringLiteral("vtype"), m_spec.vtype);
    dw->setItem(row, QStringLiteral("vdate"), storedDate(today()));
    // The item is what the user types next.
    dw->setColumn(QStringLiteral("vname"));
    dw->setFocus();
}

bool EntryList::typedInto(long row) const
{
    if (dw->getItemStatus(row) != DataStore::RowStatus::NewModified)
        return false;
    for (const char *column : {"vname", "vmoney", "vremark"})
        if (dw->getItemStatus(row, QString::fromLatin1(column)) != DataStore::RowStatus::NotModified)
            return true;
    // Add gave the row its type and today's date; anything else there was typed.
    return dw->getItemString(row, QStringLiteral("vdate")) != storedDate(today())
        || dw->getItemString(row, QStringLiteral("vtype")) != m_spec.vtype;
}

void EntryList::of_delete()
{
    // What is being typed belongs to the row, and tells whether it was typed into.
    dw->acceptText();
    const long row = dw->getRow();
    if (row < 1)
        return;
    dw->scrollToRow(row);
    if (typedInto(row)) {
        dw->deleteRow(row);
        return;
    }
    if (platform::messageBox(m_spec.confirmCode, QStringLiteral("确认删除当前行?"), platform::Icon::Exclamation,
                             platform::Buttons::YesNo, 2)
        != platform::Answer::Yes)
        return;
    dw->deleteRow(row);
    highlight(dw->getRow());
    of_save();
}

bool EntryList::of_save()
{
    // A failed write or commit leaves every unsaved row and edit in the list, to be saved again.
    if (!pagekit::saveView(m_db, dw, m_spec.failed))
        return false;
    constructor();
    pagekit::showBox(m_spec.saved);
    return true;
}

void EntryList::of_layout(int w, int h)
{
    setUnitGeometry(st, QRect(30, 30, 260, 64));
    setUnitGeometry(ddlb, QRect(300, 16, 460, 88));
    setUnitGeometry(dw, QRect(9, 120, w - 18, h - 132));
}

} // namespace ledger
