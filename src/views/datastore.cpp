#include "views/datastore_p.h"

#include "platform/messagebox.h"

namespace views {

using detail::Row;
using detail::RowBuilder;
using detail::Values;

DataStore::DataStore(QObject *parent)
    : QObject(parent)
    , d(std::make_unique<Private>())
{
}

DataStore::~DataStore() = default;

bool DataStore::setDataObject(const QString &name)
{
    const Definition *def = views::definition(name);
    if (!def)
        return false;
    // The row layout keeps a bit per column for its change flags.
    Q_ASSERT(def->columns.size() <= 64);
    d->def = def;
    d->select.clear();
    d->types.clear();
    for (const Column &c : def->columns)
        d->types.push_back(c.type);
    d->dropRows();
    d->sortCriteria.clear();
    d->sortKeys.clear();
    d->connection = nullptr;
    emit definitionChanged();
    emit rowsReset();
    return true;
}

QString DataStore::dataObject() const
{
    return d->def ? d->def->name : QString();
}

const Definition *DataStore::definition() const
{
    return d->def;
}

void DataStore::setConnection(Connection &db)
{
    d->connection = &db;
}

Connection *DataStore::connection() const
{
    return d->connection;
}

DbResult DataStore::lastError() const
{
    return d->lastError;
}

void DataStore::setSelect(const QString &sql)
{
    d->select = sql;
}

QString DataStore::selectStatement() const
{
    if (!d->select.isEmpty())
        return d->select;
    return d->def ? d->def->select : QString();
}

long DataStore::rowCount() const
{
    return long(d->rows.size());
}

long DataStore::deletedCount() const
{
    return long(d->deleted.size());
}

long DataStore::modifiedCount() const
{
    long n = 0;
    for (const Row &r : d->rows)
        n += r.modified != 0 ? 1 : 0;
    return n;
}

long DataStore::insertRow(long before)
{
    if (!d->def || before < 0 || before > rowCount())
        return -1;
    Row r;
    r.isNew = true;
    const long at = before == 0 ? rowCount() + 1 : before;
    d->rows.insert(d->rows.begin() + (at - 1), std::move(r));
    emit rowsInserted(at);
    return at;
}

bool DataStore::deleteRow(long row)
{
    if (!d->validRow(row))
        return false;
    Row r = std::move(d->at(row));
    d->rows.erase(d->rows.begin() + (row - 1));
    if (r.selected) {
        --d->selected;
        r.selected = false;
    }
    // A row the database never saw needs no statement; it simply goes.
    if (!r.isNew)
        d->deleted.push_back(std::move(r));
    emit rowRemoved(row);
    return true;
}

void DataStore::reset()
{
    d->dropRows();
    emit rowsReset();
}

QVariant DataStore::getItem(long row, const QString &column) const
{
    const int c = d->columnIndex(column);
    if (c < 0 || !d->validRow(row))
        return QVariant();
    return d->at(row).current.value(d->types, c);
}

long DataStore::valueCount(const QString &column) const
{
    const int c = d->columnIndex(column);
    if (c < 0)
        return 0;
    const int n = d->columns();
    long count = 0;
    for (const detail::Row &r : d->rows)
        count += r.current.isNull(n, c) ? 0 : 1;
    return count;
}

QStringList DataStore::columnTexts(const QString &column) const
{
    QStringList out;
    const int c = d->columnIndex(column);
    if (c < 0)
        return out;
    out.reserve(qsizetype(d->rows.size()));
    if (d->types[size_t(c)] != ColumnType::Text) {
        for (long row = 1; row <= rowCount(); ++row)
            out << getItemString(row, column);
        return out;
    }
    const int n = d->columns();
    for (const detail::Row &r : d->rows)
        out << (r.current.isNull(n, c) ? QString() : r.current.text(n, c).toString());
    return out;
}

QString DataStore::getItemString(long row, const QString &column) const
{
    const QVariant v = getItem(row, column);
    if (v.isNull())
        return QString();
    if (v.typeId() == QMetaType::Double) {
        const double x = v.toDouble();
        return x == qint64(x) ? QString::number(qint64(x)) : QString::number(x, 'g', 15);
    }
    return v.toString();
}

double DataStore::getItemNumber(long row, const QString &column) const
{
    const QVariant v = getItem(row, column);
    if (v.isNull())
        return 0;
    // Only text is parsed: a number read as a number is taken as it is (totals over many rows).
    if (v.typeId() != QMetaType::QString)
        return v.toDouble();
    bool ok = false;
    const double x = v.toString().trimmed().toDouble(&ok);
    return ok ? x : 0;
}

namespace {

// The value converted to the column's type; false when it is not one (a word for a number).
bool convert(ColumnType type, const QVariant &in, QVariant *out)
{
    if (in.isNull() || !in.isValid()) {
        *out = QVariant();
        return true;
    }
    bool ok = true;
    switch (type) {
    case ColumnType::Text:
        *out = in.toString();
        return true;
    case ColumnType::Integer:
        if (in.typeId() == QMetaType::QString) {
            const QString s = in.toString().trimmed();
            if (s.isEmpty()) {
                *out = QVariant();
                return true;
            }
            *out = s.toLongLong(&ok);
        } else if (in.typeId() == QMetaType::Double) {
            const double x = in.toDouble();
            ok = x == double(qint64(x));
            *out = qint64(x);
        } else {
            *out = in.toLongLong(&ok);
        }
        return ok;
    case ColumnType::Number:
        if (in.typeId() == QMetaType::QString) {
            const QString s = in.toString().trimmed();
            if (s.isEmpty()) {
                *out = QVariant();
                return true;
            }
            *out = s.toDouble(&ok);
        } else {
            *out = in.toDouble(&ok);
        }
        return ok;
    }
    return false;
}

} // namespace

bool DataStore::setItem(long row, const QString &column, const QVariant &value)
{
    const int c = d->columnIndex(column);
    if (c < 0 || !d->validRow(row))
        return false;
    QVariant v;
    if (!convert(d->types[size_t(c)], value, &v))
        return false;
    Row &r = d->at(row);
    // The values as read are kept from the first change on, so an update can find the row.
    if (!r.isNew && r.modified == 0 && r.original.isEmpty())
        r.original = r.current.clone(d->columns());
    r.current = RowBuilder::replace(d->types, r.current, c, v);
    r.modified |= uint64_t(1) << c;
    emit itemChanged(row, c);
    return true;
}

DataStore::RowStatus DataStore::getItemStatus(long row, const QString &column) const
{
    if (!d->validRow(row))
        return RowStatus::NotModified;
    const Row &r = d->at(row);
    if (column.isEmpty()) {
        if (r.isNew)
            return r.modified ? RowStatus::NewModified : RowStatus::New;
        return r.modified ? RowStatus::DataModified : RowStatus::NotModified;
    }
    const int c = d->columnIndex(column);
    if (c < 0)
        return RowStatus::NotModified;
    return (r.modified & (uint64_t(1) << c)) ? RowStatus::DataModified : RowStatus::NotModified;
}

QVariant DataStore::getItemOriginal(long row, const QString &column) const
{
    const int c = d->columnIndex(column);
    if (c < 0 || !d->validRow(row))
        return QVariant();
    const Row &r = d->at(row);
    if (r.isNew)
        return QVariant();
    return r.asRead().value(d->types, c);
}

void DataStore::resetUpdate()
{
    d->deleted.clear();
    for (Row &r : d->rows) {
        r.isNew = false;
        r.modified = 0;
        r.original = Values();
    }
}

void DataStore::selectRow(long row, bool on)
{
    if (row == 0) {
        // Clearing the one highlighted row of a list (what every focus change does) touches that
        // row only, not all of them.
        if (!on && d->lastSelected > 0 && d->validRow(d->lastSelected) && d->at(d->lastSelected).selected
            && d->selected == 1) {
            const long only = d->lastSelected;
            d->at(only).selected = false;
            d->selected = 0;
            emit selectionChanged(only);
            return;
        }
        if (!on && d->selected == 0)
            return;
        for (Row &r : d->rows)
            r.selected = on;
        d->selected = on ? long(d->rows.size()) : 0;
        emit selectionChanged(0);
        return;
    }
    if (!d->validRow(row) || d->at(row).selected == on)
        return;
    d->at(row).selected = on;
    d->selected += on ? 1 : -1;
    if (on)
        d->lastSelected = row;
    emit selectionChanged(row);
}

bool DataStore::isSelected(long row) const
{
    return d->validRow(row) && d->at(row).selected;
}

long DataStore::selectedCount() const
{
    return d->selected;
}

QList<QVariantList> DataStore::exportRows(bool headers) const
{
    QList<QVariantList> out;
    if (!d->def)
        return out;
    out.reserve(qsizetype(d->rows.size()) + 1);
    if (headers) {
        QVariantList h;
        for (const Column &c : d->def->columns)
            h << (c.label.isEmpty() ? c.name : c.label);
        out << h;
    }
    for (const Row &r : d->rows) {
        QVariantList line;
        line.reserve(d->columns());
        for (int c = 0; c < d->columns(); ++c)
            line << r.current.value(d->types, c);
        out << line;
    }
    return out;
}

void DataStore::setErrorHandler(ErrorHandler handler)
{
    d->errorHandler = std::move(handler);
}

void DataStore::setShowsErrorBox(bool shows)
{
    d->showsErrorBox = shows;
}

void DataStore::reportError(const DbResult &failure, const QString &sql, long row)
{
    if (d->errorHandler)
        d->errorHandler(failure, sql, row);
    if (d->showsErrorBox)
        platform::messageBox(QStringLiteral("数据库错误"), failure.reason, platform::Icon::Stop);
}

qsizetype DataStore::memoryUsage() const
{
    const int n = d->columns();
    qsizetype bytes = qsizetype(d->rows.capacity() + d->deleted.capacity()) * qsizetype(sizeof(Row)) + d->arena->bytes();
    for (const auto *buffer : {&d->rows, &d->deleted})
        for (const Row &r : *buffer)
            bytes += (r.current.inArena() ? 0 : r.current.bytes(n)) + r.original.bytes(n);
    return bytes;
}

} // namespace views
