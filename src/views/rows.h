#pragma once
// Compact storage of a view's rows. One row's values are one heap block: an offset per column into
// a UTF-16 text area, a null bit per column, then the text itself; integers and numbers take four
// UTF-16 units of the area. A row that was never changed has no copy of its values as read.

#include "views/definition.h"

#include <QString>
#include <QStringView>
#include <QVariant>
#include <cstdint>
#include <vector>

namespace views::detail {

class RowBuilder;

class Values
{
public:
    Values() = default;
    ~Values() { delete[] m_block; }
    Values(Values &&o) noexcept : m_block(o.m_block) { o.m_block = nullptr; }
    Values &operator=(Values &&o) noexcept
    {
        if (this != &o) {
            delete[] m_block;
            m_block = o.m_block;
            o.m_block = nullptr;
        }
        return *this;
    }
    Values(const Values &) = delete;
    Values &operator=(const Values &) = delete;

    bool isEmpty() const { return m_block == nullptr; }
    Values clone(int columns) const;
    qsizetype bytes(int columns) const;

    bool isNull(int columns, int c) const;
    QStringView text(int columns, int c) const;
    qint64 integer(int columns, int c) const;
    double number(int columns, int c) const;
    QVariant value(const std::vector<ColumnType> &types, int c) const;

private:
    friend class RowBuilder;
    // Layout: uint32 offsets[columns + 1], uint8 nulls[(columns + 7) / 8] padded to 2, char16 text[].
    char *m_block = nullptr;
};

// Gathers one row's values, then makes its block with a single allocation. Reused row after row.
class RowBuilder
{
public:
    explicit RowBuilder(int columns);
    void clear();
    void addNull();
    void addText(const char16_t *text, qsizetype length);
    void addText(QStringView text) { addText(reinterpret_cast<const char16_t *>(text.utf16()), text.size()); }
    void addInteger(qint64 v);
    void addNumber(double v);
    void addValue(ColumnType type, const QVariant &v);   // converted to the column's type
    Values build() const;

    // A copy of `from` with column c replaced by `v` (already of the column's type, or null).
    static Values replace(const std::vector<ColumnType> &types, const Values &from, int c, const QVariant &v);

private:
    void addRaw(const void *data, qsizetype units);
    int m_columns;
    std::vector<uint32_t> m_offsets;
    std::vector<uint8_t> m_nulls;
    std::vector<char16_t> m_text;
};

// One row of the primary or delete buffer.
struct Row
{
    Values current;
    Values original;        // the values as read; made on the first change
    uint64_t modified = 0;  // a bit per column changed since read (or since the flags were reset)
    bool isNew = false;     // inserted here, not read from the database
    bool selected = false;

    const Values &asRead() const { return original.isEmpty() ? current : original; }
};

} // namespace views::detail
