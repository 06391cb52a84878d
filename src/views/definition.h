#pragma once
// A view definition is data: the query a view reads, its columns with their widths, labels, masks and
// editors, the summary band, the row colouring, the style (grid or card) and the table it writes.
// Every definition of every page is registered here and found by name.

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

namespace views {

enum class ColumnType { Text, Integer, Number };
enum class Style { Grid, Card };

// A stored value shown as a word ("1" shown as 男).
struct CodeEntry
{
    QString display;
    QString data;
};

// A column whose value is the data column of another definition's row and shows that row's display
// column (the group code stored, the group name shown).
struct DropDown
{
    QString definition;     // empty: no drop-down
    QString displayColumn;
    QString dataColumn;
    bool blankUnknown = false;  // a value with no entry shows empty rather than itself
    bool isSet() const { return !definition.isEmpty(); }
};

// "if (operand > threshold) above else otherwise": a text colour that follows a value.
struct ColorRule
{
    QString operand;        // a column or a summary field; empty: no rule
    double threshold = 0;
    QColor above;
    QColor otherwise;
    bool isSet() const { return !operand.isEmpty(); }
};

// Where a field sits on a card: card column 1 or 2 (side by side, each top to bottom by `order`),
// or 0 for the full-width rows below both, also by `order`. A column that is not placed is not shown.
struct CardSpot
{
    int column = -1;
    int order = 0;
    bool placed() const { return column >= 0; }
};

struct Column
{
    QString name;
    ColumnType type = ColumnType::Text;
    int width = 0;               // the longest text, in characters; 0 = no limit (numbers)
    QString label;               // header text of a grid, label of a card field
    QString displayFormat;       // "####-##-##", "####-##", "###,###.00", "#,##0.00"
    QString editMask;            // "###########", "######", "####-##-##", "###,###.00", "####"
    QList<CodeEntry> codeTable;  // shown as a choice on a card, as the word in a grid
    DropDown dropDown;
    bool multiLine = false;
    bool editable = false;       // the user can type into it (cards: every placed column unless readOnly)
    bool readOnly = false;       // a card field that is shown but not typed into
    bool updatable = false;      // written back by update()
    int spinMin = 0;             // a spin control when spinMax > spinMin
    int spinMax = 0;
    QColor textColor;            // invalid: the default
    ColorRule colorRule;
    int displayWidth = 0;        // characters a grid gives the column; 0 = derived from width and label
    CardSpot card;

    QString headerName() const { return name + QStringLiteral("_t"); }
    bool isNumeric() const { return type != ColumnType::Text; }
};

// A field of the summary band below a grid's rows, placed under a column.
enum class ComputeKind {
    Text,        // fixed text such as "合计:"
    Count,       // rows whose `operand` is not null, then `suffix`      ("count(xingm0 for all)+'人'")
    Sum,         // sum of `operand` over all rows, nulls skipped          ("sum(vmoney for all)")
    Difference,  // summary field `operand` minus summary field `operand2` ("all_in - all_out")
};

struct Compute
{
    QString name;               // the object's name as clicked() reports it
    ComputeKind kind = ComputeKind::Text;
    QString text;               // Text
    QString operand;            // Count/Sum: a column; Difference: a summary field
    QString operand2;           // Difference: the summary field subtracted
    QString suffix;             // appended to the value
    QString format;             // number format of Sum/Difference ("#,##0.00")
    QString underColumn;        // the grid column it sits under
    QColor textColor;
    ColorRule colorRule;        // may name this field itself

    // "text" for fixed text, "compute" for the computed fields.
    QString objectType() const;
};

struct Argument
{
    QString name;               // as in the SELECT, without the colon ("as_zuhao0")
    ColumnType type = ColumnType::Text;
};

// Rows 1-5 of every ten in `first`, rows 6-10 in `second`:
// "if(mod(getrow(),10) between 1 and 5,RGB(255,255,255),RGB(224,192,255))".
struct Banding
{
    bool on = false;
    QColor first = QColor(255, 255, 255);
    QColor second = QColor(224, 192, 255);
    QColor colorOf(long row) const;
};

struct Definition
{
    QString name;
    Style style = Style::Grid;
    QString select;              // with named arguments ":as_zuhao0"
    QList<Argument> arguments;   // in the order retrieve() takes its values
    QList<Column> columns;       // in the order of the SELECT list
    QStringList gridOrder;       // grid columns left to right; empty = every column in SELECT order
    QList<Compute> summary;
    Banding banding;
    QString updateTable;         // empty: the view is never written
    QStringList keyColumns;      // find a row to update or delete by their values as read
    // A delete that finds its row already gone counts as done, since the row is gone either way;
    // otherwise it fails the update like a change that finds no row.
    bool goneRowDeleted = false;

    int columnIndex(const QString &name) const;      // case-insensitive; -1 when there is none
    const Column *column(const QString &name) const;
    const Compute *compute(const QString &name) const;
    bool isUpdatable() const { return !updateTable.isEmpty(); }
    // The grid's visible columns, left to right, as indexes into `columns`.
    QList<int> gridColumns() const;
};

// What is wrong with a definition that names a column or field it does not have (in its grid order,
// summary, key, colour rules, card), or empty. The registry refuses such a definition at start.
QString definitionProblem(const Definition &d);

// The definition of that name (case-insensitive), or nullptr.
const Definition *definition(const QString &name);
QStringList definitionNames();

} // namespace views
