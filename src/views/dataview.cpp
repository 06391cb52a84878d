#include "views/dataview.h"

#include "views/cardview.h"
#include "views/definition.h"
#include "views/font.h"
#include "views/gridview.h"

#include <QApplication>
#include <QPointer>
#include <QTableView>
#include <QVBoxLayout>

namespace views {

using detail::CardPart;
using detail::GridPart;
using detail::Lookups;
using detail::ViewPart;

struct DataView::Private
{
    DataStore *store = nullptr;
    Lookups lookups;
    QPointer<ViewPart> part;
    QHash<const Definition *, QPointer<ViewPart>> kept;   // every part built, shown or not
    QVBoxLayout *layout = nullptr;
    Connection *connection = nullptr;
    bool lookupsLoaded = false;   // the drop-downs were read since the definition was set
    long current = 0;
    QString refusal;   // why the last acceptText() failed
};

DataView::DataView(QWidget *parent)
    : QWidget(parent)
    , d(std::make_unique<Private>())
{
    d->store = new DataStore(this);
    d->layout = new QVBoxLayout(this);
    d->layout->setContentsMargins(0, 0, 0, 0);
    setFont(songtiFont(9));
    setFocusPolicy(Qt::StrongFocus);

    connect(d->store, &DataStore::retrieveStarted, this, &DataView::retrieveStart);
    connect(d->store, &DataStore::retrieveFinished, this, &DataView::retrieveEnd);

    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        const auto inside = [this](QWidget *w) { return w && (w == this || isAncestorOf(w)); };
        if (inside(old) && now && !inside(now))
            emit loseFocus();
    });
}

DataView::~DataView() = default;

// The current row follows the rows: it is 1 as soon as there is a row, and keeps pointing at the
// same row while others come and go.
void DataView::connectRows()
{
    disconnect(d->store, &DataStore::rowsReset, this, nullptr);
    disconnect(d->store, &DataStore::rowsInserted, this, nullptr);
    disconnect(d->store, &DataStore::rowRemoved, this, nullptr);
    auto moveTo = [this](long row) {
        if (row == d->current)
            return;
        emit rowFocusChanging(d->current, row);
        d->current = row;
        if (d->part)
            d->part->showRow(row);
        emit rowFocusChanged(row);
    };
    connect(d->store, &DataStore::rowsReset, this, [this, moveTo] {
        const long n = d->store->rowCount();
        const long row = n == 0 ? 0 : qBound(1L, d->current, n);
        if (row == d->current && d->part)
            d->part->showRow(row);
        moveTo(row);
    });
    connect(d->store, &DataStore::rowsInserted, this, [this, moveTo](long row) {
        if (d->current == 0) {
            moveTo(row);
            return;
        }
        if (row <= d->current)
            ++d->current;
        if (d->part)
            d->part->showRow(d->current);
    });
    connect(d->store, &DataStore::rowRemoved, this, [this, moveTo](long row) {
        const long n = d->store->rowCount();
        if (row < d->current) {
            --d->current;
            if (d->part)
                d->part->showRow(d->current);
        } else if (row == d->current) {
            // The row that took its place (or the new last row) becomes current.
            d->current = -1;
            moveTo(n == 0 ? 0 : qMin(row, n));
        }
    });
}


DataStore *DataView::store() const
{
    return d->store;
}

bool DataView::setDataObject(const QString &name)
{
    if (!views::definition(name))
        return false;
    if (ViewPart *old = d->part) {
        old->disconnect(this);
        old->detach();
        old->hide();
        d->layout->removeWidget(old);
        d->part = nullptr;
    }
    d->lookups = Lookups();
    d->lookupsLoaded = false;
    d->connection = nullptr;
    d->current = 0;
    d->store->setDataObject(name);
    const Definition *def = d->store->definition();
    for (int i = 0; i < def->columns.size(); ++i) {
        const Column &c = def->columns.at(i);
        if (c.codeTable.isEmpty())
            continue;
        d->lookups.choices.insert(i, c.codeTable);
        QHash<QString, QString> words;
        for (const CodeEntry &e : c.codeTable)
            words.insert(e.data, e.display);
        d->lookups.display.insert(i, words);
    }
    ViewPart *part = d->kept.value(def);
    if (part) {
        part->attach();
    } else {
        part = def->style == Style::Card ? static_cast<ViewPart *>(new CardPart(d->store, &d->lookups, this))
                                         : static_cast<ViewPart *>(new GridPart(d->store, &d->lookups, this));
        d->kept.insert(def, part);
    }
    d->part = part;
    d->layout->addWidget(part);
    setFocusProxy(part->focusTarget());
    connect(part, &ViewPart::clicked, this, [this, part](QPoint pos, long row, const ViewObject &object) {
        pos += part->pos();
        emit clicked(pos.x(), pos.y(), row, object);
    });
    connect(part, &ViewPart::doubleClicked, this, [this, part](QPoint pos, long row, const ViewObject &object) {
        pos += part->pos();
        emit doubleClicked(pos.x(), pos.y(), row, object);
    });
    connect(part, &ViewPart::rowRequested, this, [this](long row) {
        if (!setRow(row) && d->part)
            d->part->showRow(d->current);
    });
    connect(part, &ViewPart::edited, this, &DataView::editChanged);
    // After the part: its view has taken a change in before the current row is placed again.
    connectRows();
    part->show();
    return true;
}

QString DataView::dataObject() const
{
    return d->store->dataObject();
}

const Definition *DataView::definition() const
{
    return d->store->definition();
}

void DataView::setConnection(Connection &db)
{
    d->connection = &db;
    d->store->setConnection(db);
}

void DataView::loadLookups()
{
    const Definition *def = d->store->definition();
    if (!def || !d->connection)
        return;
    d->lookupsLoaded = true;
    // Drop-down columns show words from another view, read through the same connection.
    bool any = false;
    for (int i = 0; i < def->columns.size(); ++i) {
        const Column &c = def->columns.at(i);
        if (!c.dropDown.isSet())
            continue;
        any = true;
        DataStore child;
        QList<CodeEntry> entries;
        QHash<QString, QString> words;
        if (child.setDataObject(c.dropDown.definition)) {
            // A failure here leaves the codes showing as they are (the store shows no box of its
            // own); the page's own read reports it.
            child.setConnection(*d->connection);
            const long n = child.retrieve();
            // Blank only what the read list truly lacks: after a failed read the codes still show.
            if (n >= 0 && c.dropDown.blankUnknown)
                d->lookups.blankUnknown.insert(i);
            else
                d->lookups.blankUnknown.remove(i);
            for (long r = 1; r <= n; ++r) {
                const CodeEntry e{child.getItemString(r, c.dropDown.displayColumn), child.getItemString(r, c.dropDown.dataColumn)};
                entries << e;
                words.insert(e.data, e.display);
            }
        }
        d->lookups.choices.insert(i, entries);
        d->lookups.display.insert(i, words);
    }
    if (any && d->part)
        d->part->lookupsChanged();
}

void DataView::setSelect(const QString &sql)
{
    d->store->setSelect(sql);
}

long DataView::retrieve(const QVariantList &args)
{
    if (!d->store->definition())
        return -1;
    // The drop-downs are read afresh with the rows, once per retrieve, so renamed groups show their
    // new names.
    loadLookups();
    return d->store->retrieve(args);
}

long DataView::rowCount() const { return d->store->rowCount(); }
long DataView::deletedCount() const { return d->store->deletedCount(); }
long DataView::insertRow(long before)
{
    // A row typed into without a retrieve (a new card) still needs its drop-down entries.
    if (!d->lookupsLoaded)
        loadLookups();
    return d->store->insertRow(before);
}
bool DataView::deleteRow(long row) { return d->store->deleteRow(row); }
void DataView::reset() { d->store->reset(); }
QVariant DataView::getItem(long row, const QString &column) const { return d->store->getItem(row, column); }
QString DataView::getItemString(long row, const QString &column) const { return d->store->getItemString(row, column); }
double DataView::getItemNumber(long row, const QString &column) const { return d->store->getItemNumber(row, column); }
bool DataView::setItem(long row, const QString &column, const QVariant &value) { return d->store->setItem(row, column, value); }
DataStore::RowStatus DataView::getItemStatus(long row, const QString &column) const { return d->store->getItemStatus(row, column); }
QVariant DataView::getItemOriginal(long row, const QString &column) const { return d->store->getItemOriginal(row, column); }
void DataView::resetUpdate() { d->store->resetUpdate(); }
bool DataView::setSort(const QString &criteria) { return d->store->setSort(criteria); }
bool DataView::sort() { return d->store->sort(); }
void DataView::selectRow(long row, bool on) { d->store->selectRow(row, on); }
bool DataView::isSelected(long row) const { return d->store->isSelected(row); }

DbResult DataView::update(bool resetFlags)
{
    // The page shows the reason: which field holds what does not fit.
    if (!acceptText())
        return DbResult::failure(DbResult::ProgramCode, d->refusal);
    return d->store->update(resetFlags);
}

long DataView::getRow() const
{
    return d->current;
}

bool DataView::setRow(long row)
{
    if (row < 1 || row > rowCount())
        return false;
    if (row == d->current)
        return true;
    // What is being typed belongs to the row being left.
    if (!acceptText())
        return false;
    emit rowFocusChanging(d->current, row);
    d->current = row;
    if (d->part)
        d->part->showRow(row);
    emit rowFocusChanged(row);
    return true;
}

void DataView::scrollToRow(long row)
{
    row = qBound(0L, row, rowCount());
    if (row < 1)
        return;
    setRow(row);
    if (d->part)
        d->part->bringIntoView(row);
}

bool DataView::setColumnWidth(const QString &column, int pixels)
{
    return d->part && d->part->setColumnWidth(column, pixels);
}

QString DataView::getColumnName() const
{
    return d->part ? d->part->currentColumn() : QString();
}

bool DataView::setColumn(const QString &column)
{
    return d->part && d->part->setCurrentColumn(column);
}

bool DataView::acceptText()
{
    d->refusal.clear();
    return !d->part || d->part->acceptText(&d->refusal);
}

QRect DataView::objectRect(const QString &objectName, long row) const
{
    if (!d->part)
        return {};
    const QRect r = d->part->objectRect(objectName, row);
    return r.isNull() ? r : r.translated(d->part->pos());
}

QWidget *DataView::fieldEditor(const QString &column) const
{
    return d->part ? d->part->fieldEditor(column) : nullptr;
}

QString DataView::displayText(const QString &objectName, long row) const
{
    return d->part ? d->part->displayText(objectName, row) : QString();
}

void DataView::setErrorHandler(DataStore::ErrorHandler handler)
{
    d->store->setErrorHandler(std::move(handler));
}

void DataView::setShowsErrorBox(bool shows)
{
    d->store->setShowsErrorBox(shows);
}

} // namespace views
