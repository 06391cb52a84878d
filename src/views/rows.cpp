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

// UTF-8 into UTF-16; malformed bytes become U+FFFD, a leading U+FEFF stays. `out` has room for one
// unit per byte. By hand: the toolkit's decoder, called once a value, makes reading a long list
// about a quarter slower (bench_views).
char16_t *decodeUtf8(char16_t *out, const unsigned char *p, qsizetype length)
{
    const unsigned char *end = p + length;
    while (p < end) {
        const unsigned c = *p;
        if (c < 0x80) {
            *out++ = char16_t(c);
            ++p;
            // The rest of a run of ASCII (numbers, mail addresses, dates) eight bytes at a time.
            while (end - p >= 8) {
                quint64 word;
                std::memcpy(&word, p, 8);
                if (word & 0x8080808080808080ULL)
                    break;
                for (int i = 0; i < 8; ++i)
                    out[i] = char16_t(p[i]);
                out += 8;
                p += 8;
            }
            continue;
        }
        // The common case of this program's text: a Chinese character in three bytes.
        if ((c & 0xF0) == 0xE0 && end - p >= 3 && (p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80) {
            const unsigned cp = ((c & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F);
            if (cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF)) {
                *out++ = char16_t(cp);
                p += 3;
                continue;
            }
        }
        unsigned cp = 0xFFFD;
        int n = 1;
        if ((c & 0xE0) == 0xC0 && end - p >= 2 && (p[1] & 0xC0) == 0x80) {
            const unsigned x = ((c & 0x1F) << 6) | (p[1] & 0x3F);
            if (x >= 0x80) {
                cp = x;
                n = 2;
            }
        } else if ((c & 0xF8) == 0xF0 && end - p >= 4 && (p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80
                   && (p[3] & 0xC0) == 0x80) {
            const unsigned x = ((c & 0x07) << 18) | ((p[1] & 0x3F) << 12) | ((p[2] & 0x3F) << 6) | (p[3] & 0x3F);
            if (x >= 0x10000 && x <= 0x10FFFF) {
                cp = x;
                n = 4;
            }
        }
        p += n;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            *out++ = char16_t(0xD800 + (cp >> 10));
            *out++ = char16_t(0xDC00 + (cp & 0x3FF));
        } else {
            *out++ = char16_t(cp);
        }
    }
    return out;
}

} // namespace

char *Arena::allocate(size_t bytes)
{
    bytes = (bytes + 7) & ~size_t(7);
    if (bytes > m_left) {
        // Small at first, so a one-row card costs little; doubling, so a long list takes few chunks.
        const size_t grow = size_t(4096) << qMin(m_chunks.size(), size_t(7));
        const size_t size = qMax(bytes, grow);
        m_chunks.emplace_back(new char[size]);
        m_next = m_chunks.back().get();
        m_left = size;
        m_total += qsizetype(size);
    }
    char *p = m_next;
    m_next += bytes;
    m_left -= bytes;
    return p;
}

void Arena::shrinkLast(char *block, size_t usedBytes)
{
    usedBytes = (usedBytes + 7) & ~size_t(7);
    char *end = block + usedBytes;
    if (!m_chunks.empty() && block >= m_chunks.back().get() && end <= m_next) {
        m_left += size_t(m_next - end);
        m_next = end;
    }
}

RowWriter::RowWriter(Arena &arena, int columns)
    : m_arena(arena)
    , m_columns(columns)
{
}

void RowWriter::begin(size_t maxTextUnits)
{
    const qsizetype header = headerBytes(m_columns);
    m_block = m_arena.allocate(size_t(header) + maxTextUnits * 2);
    m_offsets = reinterpret_cast<uint32_t *>(m_block);
    m_nulls = reinterpret_cast<uint8_t *>(m_block + qsizetype(m_columns + 1) * 4);
    std::memset(m_nulls, 0, size_t(header - qsizetype(m_columns + 1) * 4));
    m_text = reinterpret_cast<char16_t *>(m_block + header);
    m_out = m_text;
    m_column = 0;
    m_offsets[0] = 0;
}

void RowWriter::addNull()
{
    m_nulls[m_column / 8] |= uint8_t(1u << (m_column % 8));
    ++m_column;
    m_offsets[m_column] = uint32_t(m_out - m_text);
}

void RowWriter::addUtf8(const unsigned char *bytes, qsizetype length)
{
    m_out = decodeUtf8(m_out, bytes, length);
    ++m_column;
    m_offsets[m_column] = uint32_t(m_out - m_text);
}

void RowWriter::addText(const char16_t *text, qsizetype length)
{
    if (length)
        std::memcpy(m_out, text, size_t(length) * 2);
    m_out += length;
    ++m_column;
    m_offsets[m_column] = uint32_t(m_out - m_text);
}

void RowWriter::addInteger(qint64 v)
{
    std::memcpy(m_out, &v, 8);
    m_out += 4;
    ++m_column;
    m_offsets[m_column] = uint32_t(m_out - m_text);
}

void RowWriter::addNumber(double v)
{
    std::memcpy(m_out, &v, 8);
    m_out += 4;
    ++m_column;
    m_offsets[m_column] = uint32_t(m_out - m_text);
}

Values RowWriter::finish()
{
    Q_ASSERT(m_column == m_columns);
    m_arena.shrinkLast(m_block, size_t(reinterpret_cast<char *>(m_out) - m_block));
    Values v;
    v.m_bits = reinterpret_cast<uintptr_t>(m_block) | 1;
    return v;
}

bool Values::isNull(int columns, int c) const
{
    return !m_bits || (nulls(block(), columns)[c / 8] & (1u << (c % 8)));
}

QStringView Values::text(int columns, int c) const
{
    if (!m_bits)
        return {};
    const uint32_t *o = offsets(block());
    return QStringView(textArea(block(), columns) + o[c], qsizetype(o[c + 1] - o[c]));
}

qint64 Values::integer(int columns, int c) const
{
    if (isNull(columns, c))
        return 0;
    qint64 v;
    std::memcpy(&v, textArea(block(), columns) + offsets(block())[c], sizeof v);
    return v;
}

double Values::number(int columns, int c) const
{
    if (isNull(columns, c))
        return 0;
    double v;
    std::memcpy(&v, textArea(block(), columns) + offsets(block())[c], sizeof v);
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
    if (!m_bits)
        return 0;
    return headerBytes(columns) + qsizetype(offsets(block())[columns]) * 2;
}

Values Values::clone(int columns) const
{
    Values v;
    if (m_bits) {
        const qsizetype n = bytes(columns);
        char *copy = new char[n];
        std::memcpy(copy, block(), size_t(n));
        v.m_bits = reinterpret_cast<uintptr_t>(copy);
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
    char *block = new char[total];
    std::memcpy(block, m_offsets.data(), m_offsets.size() * 4);
    char *nullArea = block + qsizetype(m_columns + 1) * 4;
    std::memset(nullArea, 0, size_t(header - qsizetype(m_columns + 1) * 4));
    if (!m_nulls.empty())
        std::memcpy(nullArea, m_nulls.data(), m_nulls.size());
    if (!m_text.empty())
        std::memcpy(block + header, m_text.data(), m_text.size() * 2);
    Values v;
    v.m_bits = reinterpret_cast<uintptr_t>(block);
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
