#pragma once
// The non-visual data view: the rows of one definition read through a connection, with a primary and
// a delete buffer, row and column status, the values as read (so an update finds a changed row by the
// key it had), sort, selection and export. Rows are numbered from 1; 0 means no row.

#include "app/connection.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>

namespace views {

struct Definition;

class DataStore : public QObject
{
    Q_OBJECT

public:
    enum class RowStatus { NotModified, DataModified, New, NewModified };

    // Told of every failed read or write: the failure, the statement (empty when none ran) and the
    // row it wrote (0 for a read).
    using ErrorHandler = std::function<void(const DbResult &failure, const QString &sql, long row)>;

    explicit DataStore(QObject *parent = nullptr);
    ~DataStore() override;

    // Switching the definition drops every row and both buffers.
    bool setDataObject(const QString &name);
    QString dataObject() const;
    const Definition *definition() const;

    // The connection reads and writes go through; setting the definition again forgets it.
    void setConnection(Connection &db);
    Connection *connection() const;

    // Replaces the definition's SELECT for the retrievals that follow, until the definition is set
    // again; an empty text goes back to the definition's own. The statement must give the
    // definition's columns in its order and may use any of its named arguments (the others are not
    // bound). For a caller that picks among equivalent statements, such as an index-driven one.
    void setSelect(const QString &sql);
    QString selectStatement() const;   // the statement retrieve() runs

    // Rows read, or -1: then lastError() says why.
    long retrieve(const QVariantList &args = {});
    // What the last retrieve() or update() came to: ok when it succeeded.
    DbResult lastError() const;

    long rowCount() const;
    long deletedCount() const;
    long modifiedCount() const;   // rows update() would insert or change

    long insertRow(long before = 0);   // 0 = append; returns the new row, -1 on a bad position
    bool deleteRow(long row);          // into the delete buffer; a new row just vanishes
    void reset();                      // drop all rows and both buffers, no database access

    QVariant getItem(long row, const QString &column) const;   // null QVariant for NULL
    // How many rows hold a value (not NULL) in `column`; 0 for an unknown column. The column is
    // looked up once, not per row: a summary's count over a long list.
    long valueCount(const QString &column) const;
    QString getItemString(long row, const QString &column) const;  // "" for NULL
    // getItemString of every row, the column looked up once: a tree filled from a long list.
    QStringList columnTexts(const QString &column) const;
    double getItemNumber(long row, const QString &column) const;   // 0 for NULL or no number
    bool setItem(long row, const QString &column, const QVariant &value);

    RowStatus getItemStatus(long row, const QString &column = {}) const;  // empty column: the row
    QVariant getItemOriginal(long row, const QString &column) const;       // the value as read

    // Writes deletes, then changes, then inserts, and says what that came to. Never commits and never
    // rolls back. With resetFlags the flags are cleared on success; otherwise call resetUpdate() after
    // the commit.
    DbResult update(bool resetFlags = false);
    void resetUpdate();

    // "xingm0 A", "vmoney D", several separated by commas. An unknown column or a malformed string
    // returns false and changes nothing.
    bool setSort(const QString &criteria);
    QString sortCriteria() const;
    bool sort();

    void selectRow(long row, bool on);   // 0 = every row
    bool isSelected(long row) const;
    long selectedCount() const;

    // Every row of the primary buffer, values as stored (numbers as numbers, NULL as a null
    // QVariant), with the labels as the first row when `headers` is set.
    QList<QVariantList> exportRows(bool headers) const;

    void setErrorHandler(ErrorHandler handler);
    // A failure is shown in a box of the store's own ("数据库错误", its reason) only when switched on;
    // by default the caller says what failed in its own words.
    void setShowsErrorBox(bool shows);

    // Bytes the rows occupy (for the benchmark and tests of compact storage).
    qsizetype memoryUsage() const;

signals:
    void definitionChanged();
    void rowsReset();                             // after retrieve, reset, sort, definition change
    void rowsInserted(long row);
    void rowRemoved(long row);
    void itemChanged(long row, int columnIndex);  // columnIndex -1: the whole row
    void selectionChanged(long row);              // 0: every row
    void retrieveStarted();
    void retrieveFinished(long rows);

private:
    struct Select;   // a prepared SELECT (datastore_sql.cpp)
    // The steps of retrieve() and update(), each telling the error handler of its own failure.
    DbResult prepareSelect(const QVariantList &args, Select &select) const;
    DbResult readRows(Select &select);
    long failRetrieve(const DbResult &failure, const QString &sql);
    DbResult updateRefusal() const;
    DbResult writeDeletes(const QList<int> &keys);
    DbResult writeChanges(const QList<int> &keys);
    DbResult writeInserts(const QList<int> &keys);
    void reportError(const DbResult &failure, const QString &sql, long row);

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace views
