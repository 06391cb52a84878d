#include "views/rows.h"

#include <cstring>

namespace views::detail {

namespace {

inline qsizetype headerBytes(int columns)
{
    qsizetype bytes = qsizetype(columns + 1) * 4 + (columns + 7) / 8;
    return (bytes + 1) & ~qsizetype(1);
}

inline const uint32_t *offsets(const char *block) { return reinterpret_cast<const uint32_t *>(block); }
inline const uint8_t *nulls(const char *block, int columns) { return reinterpret_cast<const uint8_t *>(block + qsizetype(columns + 1) * 4); }
inline const char16_t *textArea(const char *block, int columns) { return reinterpret_cast<const char16_t *>(block + headerBytes(columns)); }

} // namespace

bool Values::isNull(int columns, int c) const
{
    return !m_block || (nulls(m_block, columns)[c / 8] & (1u << (c % 8)));
}

QStringView Values::text(int columns, int c) const
{
    if (!m_block)
        return {};
    const uint32_t *o = offsets(m_block);
    return QStringView(textArea(m_block, columns) + o[c], qsizetype(o[c + 1] - o[c]));
}

qint64 Values::integer(int columns, int c) const
{
    if (isNull(columns, c))
        return 0;
    qint64 v;
    std::memcpy(&v, textArea(m_block, columns) + offsets(m_block)[c], sizeof v);
    return v;
}

double Values::number(int columns, int c) const
{
    if (isNull(columns, c))
        return 0;
    double v;
    std::memcpy(&v, textArea(m_block, columns) + offsets(m_block)[c], sizeof v);
    return v;
}

QVariant Values::value(const std::vector<ColumnType> &types, int c) const
{
    const int n = int(types.size());
    if (isNull(n, c))
        return QVariant();
    switch (types[c]) {
    case ColumnType::Text: return text(n, c).toString();
    case ColumnType::Integer: return integer(n, c);
    case ColumnType::Number: return number(n, c);
    }
    return QVariant();
}

qsizetype Values::bytes(int columns) const
{
    if (!m_block)
        return 0;
    return headerBytes(columns) + qsizetype(offsets(m_block)[columns]) * 2;
}

Values Values::clone(int columns) const
{
    Values v;
    if (m_block) {
        const qsizetype n = bytes(columns);
        v.m_block = new char[n];
        std::memcpy(v.m_block, m_block, n);
    }
    return v;
}

RowBuilder::RowBuilder(int columns)
    : m_columns(columns)
{
    m_offsets.reserve(columns + 1);
    m_nulls.assign((columns + 7) / 8, 0);
    m_text.reserve(256);
    clear();
}

void RowBuilder::clear()
{
    m_offsets.clear();
    m_offsets.push_back(0);
    std::fill(m_nulls.begin(), m_nulls.end(), 0);
    m_text.clear();
}

void RowBuilder::addNull()
{
    const size_t c = m_offsets.size() - 1;
    m_nulls[c / 8] |= uint8_t(1u << (c % 8));
    m_offsets.push_back(uint32_t(m_text.size()));
}

void RowBuilder::addRaw(const void *data, qsizetype units)
{
    const size_t at = m_text.size();
    m_text.resize(at + size_t(units));
    if (units)
        std::memcpy(m_text.data() + at, data, size_t(units) * 2);
    m_offsets.push_back(uint32_t(m_text.size()));
}

void RowBuilder::addText(const char16_t *text, qsizetype length)
{
    addRaw(text, length);
}

void RowBuilder::addInteger(qint64 v)
{
    addRaw(&v, 4);
}

void RowBuilder::addNumber(double v)
{
    addRaw(&v, 4);
}

void RowBuilder::addValue(ColumnType type, const QVariant &v)
{
    if (v.isNull() || !v.isValid()) {
        addNull();
        return;
    }
    switch (type) {
    case ColumnType::Text: addText(v.toString()); break;
    case ColumnType::Integer: addInteger(v.toLongLong()); break;
    case ColumnType::Number: addNumber(v.toDouble()); break;
    }
}

Values RowBuilder::build() const
{
    Q_ASSERT(int(m_offsets.size()) == m_columns + 1);
    const qsizetype header = headerBytes(m_columns);
    const qsizetype total = header + qsizetype(m_text.size()) * 2;
    Values v;
    v.m_block = new char[total];
    std::memcpy(v.m_block, m_offsets.data(), m_offsets.size() * 4);
    char *nullArea = v.m_block + qsizetype(m_columns + 1) * 4;
    std::memset(nullArea, 0, size_t(header - qsizetype(m_columns + 1) * 4));
    if (!m_nulls.empty())
        std::memcpy(nullArea, m_nulls.data(), m_nulls.size());
    if (!m_text.empty())
        std::memcpy(v.m_block + header, m_text.data(), m_text.size() * 2);
    return v;
}

Values RowBuilder::replace(const std::vector<ColumnType> &types, const Values &from, int c, const QVariant &v)
{
    const int n = int(types.size());
    RowBuilder b(n);
    for (int i = 0; i < n; ++i) {
        if (i == c) {
            b.addValue(types[i], v);
        } else if (from.isNull(n, i)) {
            b.addNull();
        } else if (types[i] == ColumnType::Text) {
            b.addText(from.text(n, i));
        } else {
            // Integers and numbers are copied as their raw units.
            const QStringView raw = from.text(n, i);
            b.addText(reinterpret_cast<const char16_t *>(raw.utf16()), raw.size());
        }
    }
    return b.build();
}

} // namespace views::detail
