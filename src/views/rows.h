#pragma once
// Compact storage of a view's rows. One row's values are one heap block: an offset per column into
// a UTF-16 text area, a null bit per column, then the text itself; integers and numbers take four
// UTF-16 units of the area. A row that was never changed has no copy of its values as read.

#include "views/definition.h"

#include <QString>
#include <QStringView>
#include <QVariant>
#include <cstdint>
#include <memory>
#include <vector>

namespace views::detail {

class RowBuilder;

// Blocks of many rows in few allocations: a retrieve puts its rows here, and the whole arena goes
// when the rows go (a new retrieve, a reset, another definition). Rows changed later get blocks of
// their own.
class Arena
{
public:
    char *allocate(size_t bytes);
    // The last block allocated turned out smaller: the rest is free again.
    void shrinkLast(char *block, size_t usedBytes);
    qsizetype bytes() const { return m_total; }

private:
    std::vector<std::unique_ptr<char[]>> m_chunks;
    char *m_next = nullptr;
    size_t m_left = 0;
    qsizetype m_total = 0;
};

class Values
{
public:
    Values() = default;
    ~Values() { release(); }
    Values(Values &&o) noexcept : m_bits(o.m_bits) { o.m_bits = 0; }
    Values &operator=(Values &&o) noexcept
    {
        if (this != &o) {
            release();
            m_bits = o.m_bits;
            o.m_bits = 0;
        }
        return *this;
    }
    Values(const Values &) = delete;
    Values &operator=(const Values &) = delete;

    bool isEmpty() const { return m_bits == 0; }
    bool inArena() const { return m_bits & 1; }
    Values clone(int columns) const;
    qsizetype bytes(int columns) const;

    bool isNull(int columns, int c) const;
    QStringView text(int columns, int c) const;
    qint64 integer(int columns, int c) const;
    double number(int columns, int c) const;
    QVariant value(const std::vector<ColumnType> &types, int c) const;

private:
    friend class RowBuilder;
    friend class RowWriter;
    const char *block() const { return reinterpret_cast<const char *>(m_bits & ~uintptr_t(1)); }
    void release()
    {
        if (m_bits && !inArena())
            delete[] reinterpret_cast<char *>(m_bits);
        m_bits = 0;
    }
    // Layout: uint32 offsets[columns + 1], uint8 nulls[(columns + 7) / 8] padded to 2, char16 text[].
    // The lowest bit of the address tells a block in an arena, which is not freed on its own.
    uintptr_t m_bits = 0;
};

// Gathers one row's values, then makes its block with a single allocation (a row changed after it
// was read).
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

// Writes rows as read straight into an arena block sized for the longest they can be, then gives the
// rest back: no copy between decoding and storing.
class RowWriter
{
public:
    RowWriter(Arena &arena, int columns);
    void begin(size_t maxTextUnits);   // UTF-16 units at most, numbers counting 4
    void addNull();
    void addUtf8(const unsigned char *bytes, qsizetype length);
    void addText(const char16_t *text, qsizetype length);
    void addInteger(qint64 v);
    void addNumber(double v);
    Values finish();

private:
    Arena &m_arena;
    int m_columns;
    int m_column = 0;
    char *m_block = nullptr;
    uint32_t *m_offsets = nullptr;
    uint8_t *m_nulls = nullptr;
    char16_t *m_text = nullptr;
    char16_t *m_out = nullptr;
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
