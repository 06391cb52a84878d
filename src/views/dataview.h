#pragma once
// The visual data view (a page's `dw_1`): shows a store as a grid (header texts `<column>_t`, banded
// rows, a summary band) or as a free-form card (labels beside their fields), lets the user edit it,
// and raises the events the pages handle.

#include "views/datastore.h"

#include <QMetaType>
#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

namespace views {

// The object under the pointer: a header or label ("xingm0_t", type "text"), a field ("xingm0",
// "column"), a summary field ("compute"), or nothing ("", "").
struct ViewObject
{
    QString name;
    QString type;
};

class DataView : public QWidget
{
    Q_OBJECT

public:
    explicit DataView(QWidget *parent = nullptr);
    ~DataView() override;

    DataStore *store() const;

    // Switching drops every row; the new definition must be given a connection before it retrieves.
    bool setDataObject(const QString &name);
    QString dataObject() const;
    const Definition *definition() const;

    void setConnection(Connection &db);
    // As the store's: another statement for the same columns, until the definition is set again.
    void setSelect(const QString &sql);
    long retrieve(const QVariantList &args = {});

    // Row operations, as the store's.
    long rowCount() const;
    long deletedCount() const;
    long insertRow(long before = 0);
    bool deleteRow(long row);
    void reset();
    QVariant getItem(long row, const QString &column) const;
    QString getItemString(long row, const QString &column) const;
    double getItemNumber(long row, const QString &column) const;
    bool setItem(long row, const QString &column, const QVariant &value);
    DataStore::RowStatus getItemStatus(long row, const QString &column = {}) const;
    QVariant getItemOriginal(long row, const QString &column) const;   // the value as read
    // Accepts the text being typed first: a value that does not fit is the failure's reason.
    DbResult update(bool resetFlags = false);
    void resetUpdate();
    bool setSort(const QString &criteria);
    bool sort();
    void selectRow(long row, bool on);
    bool isSelected(long row) const;

    long getRow() const;                   // the current row, 0 when there is none
    bool setRow(long row);
    void scrollToRow(long row);            // makes it current and brings it into view
    QString getColumnName() const;         // the current column
    bool setColumn(const QString &column);
    // The width a grid gives a shown column, in pixels (a negative width shows as none); false on a
    // card or for a column the grid does not show. Holds until the definition is set again.
    bool setColumnWidth(const QString &column, int pixels);

    // The value being typed reaches the row. False when it does not fit the column (its mask or a
    // date that does not exist): the user is told, and the typed text stays in the editor.
    bool acceptText();

    // Where an object is, in this widget's coordinates: a header or label ("xingm0_t"), a field of
    // a row ("xingm0", row; row 0 = the current row), a summary field ("t_total", "count_xingm0").
    QRect objectRect(const QString &objectName, long row = 0) const;
    // On a card: the editor of a column; nullptr elsewhere.
    QWidget *fieldEditor(const QString &column) const;
    // The text a grid cell shows (format, code table, drop-down applied); a summary field's text.
    QString displayText(const QString &objectName, long row = 0) const;

    // As the store's.
    void setErrorHandler(DataStore::ErrorHandler handler);
    void setShowsErrorBox(bool shows);

signals:
    void clicked(int x, int y, long row, const views::ViewObject &object);
    void doubleClicked(int x, int y, long row, const views::ViewObject &object);
    void rowFocusChanging(long currentRow, long newRow);
    void rowFocusChanged(long currentRow);
    void loseFocus();
    void editChanged(long row, const QString &column, const QString &text);
    void retrieveStart();
    void retrieveEnd(long rows);

private:
    void connectRows();
    void loadLookups();
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace views

Q_DECLARE_METATYPE(views::ViewObject)
