#pragma once
// The definitions of each page, one file per page, gathered by the registry in definition.cpp, and
// the small builder those files write them with.

#include "views/definition.h"

namespace views {

QList<Definition> addressbookViews();
QList<Definition> notebookViews();
QList<Definition> assetsViews();
QList<Definition> ledgerViews();
QList<Definition> settingsViews();

// Captions for columns that no updatable definition labels, or labels differently per view.
void registerExtraCaptions();

namespace build {

// A column, written as a chain: col("xingm0", 20, "姓名").edit().update().card(1, 2)
struct Col
{
    Column c;

    Col &edit() { c.editable = true; return *this; }
    Col &update() { c.updatable = true; return *this; }
    Col &readOnly() { c.readOnly = true; return *this; }
    Col &format(const QString &f) { c.displayFormat = f; return *this; }
    Col &mask(const QString &m) { c.editMask = m; return *this; }
    Col &codes(QList<CodeEntry> table) { c.codeTable = std::move(table); return *this; }
    Col &dropDown(const QString &def, const QString &display, const QString &data)
    {
        c.dropDown = {def, display, data};
        return *this;
    }
    Col &blankUnknown() { c.dropDown.blankUnknown = true; return *this; }
    Col &multiLine() { c.multiLine = true; return *this; }
    Col &spin(int min, int max) { c.spinMin = min; c.spinMax = max; return *this; }
    Col &color(const QColor &col) { c.textColor = col; return *this; }
    Col &colorIf(const QString &operand, double threshold, const QColor &above, const QColor &otherwise)
    {
        c.colorRule = {operand, threshold, above, otherwise};
        return *this;
    }
    Col &shown(int characters) { c.displayWidth = characters; return *this; }
    Col &card(int column, int order) { c.card = {column, order}; return *this; }
    operator Column() const { return c; }
};

inline Col text(const QString &name, int width, const QString &label = {})
{
    Col b;
    b.c.name = name;
    b.c.width = width;
    b.c.label = label;
    return b;
}

inline Col integer(const QString &name, const QString &label = {})
{
    Col b = text(name, 0, label);
    b.c.type = ColumnType::Integer;
    return b;
}

inline Col number(const QString &name, const QString &label = {})
{
    Col b = text(name, 0, label);
    b.c.type = ColumnType::Number;
    return b;
}

inline Compute fixedText(const QString &name, const QString &text, const QString &under)
{
    Compute c;
    c.name = name;
    c.kind = ComputeKind::Text;
    c.text = text;
    c.underColumn = under;
    return c;
}

inline Compute countOf(const QString &name, const QString &column, const QString &suffix, const QString &under)
{
    Compute c;
    c.name = name;
    c.kind = ComputeKind::Count;
    c.operand = column;
    c.suffix = suffix;
    c.underColumn = under;
    return c;
}

inline Compute sumOf(const QString &name, const QString &column, const QString &format, const QString &under)
{
    Compute c;
    c.name = name;
    c.kind = ComputeKind::Sum;
    c.operand = column;
    c.format = format;
    c.underColumn = under;
    return c;
}

inline Compute difference(const QString &name, const QString &minuend, const QString &subtrahend,
                          const QString &format, const QString &under)
{
    Compute c;
    c.name = name;
    c.kind = ComputeKind::Difference;
    c.operand = minuend;
    c.operand2 = subtrahend;
    c.format = format;
    c.underColumn = under;
    return c;
}

inline Argument textArg(const QString &name) { return {name, ColumnType::Text}; }
inline Argument numberArg(const QString &name) { return {name, ColumnType::Number}; }

inline Banding bands() { Banding b; b.on = true; return b; }

inline const QColor green() { return QColor(0, 128, 0); }
inline const QColor blue() { return QColor(0, 0, 255); }
inline const QColor red() { return QColor(255, 0, 0); }

} // namespace build
} // namespace views
