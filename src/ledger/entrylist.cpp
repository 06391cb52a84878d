#include "ledger/entrylist.h"

#include "ledger/periods.h"

#include "app/connection.h"
#include "app/settingsfile.h"
#include "views/dataview.h"
#include "widgets/unitgeometry.h"

#include <QComboBox>
#include <QLabel>

namespace ledger {

using views::DataStore;

EntryList::EntryList(Connection &db, const EntryListSpec &desc, pagekit::SortToggle &sort, QWidget *tabPage,
                     const EntryListNames &names)
    : QObject(tabPage)
    , periodLabel(new QLabel(QStringLiteral("显示范围"), tabPage))
    , periodList(new QComboBox(tabPage))
    , list(new views::DataView(tabPage))
    , m_db(db)
    , m_spec(desc)
    , m_sort(sort)
{
    periodLabel->setObjectName(names.label);
    periodLabel->setAccessibleName(periodLabel->text());
    periodLabel->setBuddy(periodList);
    periodList->setObjectName(names.periods);
    periodList->setAccessibleName(periodLabel->text());
    periodList->addItems(periodTexts());
    list->setObjectName(names.list);
    list->setAccessibleName(desc.name);
    list->setDataObject(desc.view);

    // The period the settings name, or this month; choosing it here writes nothing and reads nothing,
    // the list being read once below.
    const Period period = periodOf(readSetting(desc.settingsKey)).value_or(Period::Month);
    m_key = ledger::periodKey(period, today());
    periodList->setCurrentIndex(int(period));

    connect(periodList, &QComboBox::currentIndexChanged, this, &EntryList::choosePeriod);
    connect(list, &views::DataView::retrieveEnd, this, &EntryList::highlightCurrentRow);
    connect(list, &views::DataView::rowFocusChanged, this, &EntryList::highlight);
    connect(list, &views::DataView::clicked, this, &EntryList::sortByHeader);
    reload();
}

void EntryList::reload()
{
    list->setConnection(m_db);
    list->retrieve({m_key});
}

void EntryList::choosePeriod(int index)
{
    if (index < 0 || index >= periodTexts().size())
        return;
    const Period period = Period(index);
    m_key = ledger::periodKey(period, today());
    writeSetting(m_spec.settingsKey, periodText(period));
    // What was not saved is dropped: the list shows the new period as stored.
    list->retrieve({m_key});
}

void EntryList::highlightCurrentRow(long rows)
{
    if (rows >= 1)
        list->selectRow(list->getRow(), true);
}

void EntryList::sortByHeader(int, int, long, const views::ViewObject &object)
{
    m_sort.headerClicked(list, object);
}

void EntryList::highlight(long row)
{
    if (row >= 1)
        pagekit::highlightOnly(list, row);
    else
        list->selectRow(0, false);
}

void EntryList::add()
{
    const long row = list->insertRow(0);
    list->scrollToRow(row);
    list->setItem(row, QStringLiteral("vtype"), m_spec.entryType);
    list->setItem(row, QStringLiteral("vdate"), storedDate(today()));
    // The item is what the user types next.
    list->setColumn(QStringLiteral("vname"));
    list->setFocus();
}

bool EntryList::typedInto(long row) const
{
    if (list->getItemStatus(row) != DataStore::RowStatus::NewModified)
        return false;
    for (const char *column : {"vname", "vmoney", "vremark"})
        if (list->getItemStatus(row, QString::fromLatin1(column)) != DataStore::RowStatus::NotModified)
            return true;
    // Add gave the row its type and today's date; anything else there was typed.
    return list->getItemString(row, QStringLiteral("vdate")) != storedDate(today())
        || list->getItemString(row, QStringLiteral("vtype")) != m_spec.entryType;
}

void EntryList::deleteCurrent()
{
    // What is being typed belongs to the row, and tells whether it was typed into.
    list->acceptText();
    const long row = list->getRow();
    if (row < 1)
        return;
    list->scrollToRow(row);
    if (typedInto(row)) {
        list->deleteRow(row);
        return;
    }
    if (platform::messageBox(m_spec.confirmCode, QStringLiteral("确认删除当前行?"), platform::Icon::Exclamation,
                             platform::Buttons::YesNo, 2)
        != platform::Answer::Yes)
        return;
    list->deleteRow(row);
    highlight(list->getRow());
    save();
}

bool EntryList::save()
{
    // A failed write or commit leaves every unsaved row and edit in the list, to be saved again.
    if (!pagekit::saveView(m_db, list, m_spec.failed))
        return false;
    reload();
    pagekit::showBox(m_spec.saved);
    return true;
}

void EntryList::placeControls(int w, int h)
{
    setUnitGeometry(periodLabel, QRect(30, 30, 260, 64));
    setUnitGeometry(periodList, QRect(300, 16, 460, 88));
    setUnitGeometry(list, QRect(9, 120, w - 18, h - 132));
}

} // namespace ledger
