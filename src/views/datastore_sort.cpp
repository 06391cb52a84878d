// Sorting the primary buffer by "column A" / "column D" criteria.

#include "views/datastore_p.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <unicode/ucol.h>

namespace views {

using detail::Row;

namespace {

// Chinese text sorts by its reading, as a user of the program expects; text that starts with a
// Latin letter, a digit or a sign comes before it (the Chinese collation alone puts it after).
int scriptClass(QStringView text)
{
    return !text.isEmpty() && text.at(0).unicode() >= 0x2E80 ? 1 : 0;
}

// The Chinese collation by reading, blind to case, digits compared as numbers. One for the run.
UCollator *collator()
{
    static UCollator *c = [] {
        UErrorCode status = U_ZERO_ERROR;
        UCollator *x = ucol_open("zh_CN", &status);
        if (U_FAILURE(status))
            return static_cast<UCollator *>(nullptr);
        ucol_setStrength(x, UCOL_SECONDARY);
        ucol_setAttribute(x, UCOL_NUMERIC_COLLATION, UCOL_ON, &status);
        return x;
    }();
    return c;
}

// The sort keys of one text column, all in one buffer: a key is a zero-terminated byte string, and
// comparing two keys is comparing those strings.
struct TextKeys
{
    std::vector<char> bytes;
    std::vector<uint32_t> offsets;
    std::vector<char> classes;

    void add(QStringView text)
    {
        classes.push_back(char(scriptClass(text)));
        const size_t at = bytes.size();
        offsets.push_back(uint32_t(at));
        UCollator *c = collator();
        if (!c) {
            // Without the collation the text's own units decide.
            const QByteArray utf8 = text.toUtf8();
            bytes.insert(bytes.end(), utf8.cbegin(), utf8.cend());
            bytes.push_back(0);
            return;
        }
        const auto *units = reinterpret_cast<const UChar *>(text.utf16());
        int32_t room = int32_t(text.size() * 4 + 16);
        bytes.resize(at + size_t(room));
        int32_t need = ucol_getSortKey(c, units, int32_t(text.size()), reinterpret_cast<uint8_t *>(bytes.data() + at), room);
        if (need > room) {
            bytes.resize(at + size_t(need));
            need = ucol_getSortKey(c, units, int32_t(text.size()), reinterpret_cast<uint8_t *>(bytes.data() + at), need);
        }
        bytes.resize(at + size_t(need));   // the key's own terminating zero included
    }
    const char *key(size_t row) const { return bytes.data() + offsets[row]; }
};

} // namespace

bool DataStore::setSort(const QString &criteria)
{
    if (!d->def)
        return false;
    QList<SortKey> keys;
    const QStringList parts = criteria.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const QStringList words = part.simplified().split(QLatin1Char(' '));
        if (words.isEmpty() || words.size() > 2)
            return false;
        const int c = d->columnIndex(words.at(0));
        if (c < 0)
            return false;
        bool ascending = true;
        if (words.size() == 2) {
            const QString dir = words.at(1).toUpper();
            if (dir == QStringLiteral("D") || dir == QStringLiteral("DESC"))
                ascending = false;
            else if (dir != QStringLiteral("A") && dir != QStringLiteral("ASC"))
                return false;
        }
        keys << SortKey{c, ascending};
    }
    if (keys.isEmpty() && !criteria.trimmed().isEmpty())
        return false;
    d->sortKeys = keys;
    d->sortCriteria = criteria.trimmed();
    return true;
}

QString DataStore::sortCriteria() const
{
    return d->sortCriteria;
}

bool DataStore::sort()
{
    if (!d->def)
        return false;
    if (d->sortKeys.isEmpty() || d->rows.size() < 2)
        return true;
    const int n = d->columns();
    const size_t count = d->rows.size();

    // Everything a comparison needs is read out of the rows once, into arrays side by side: the null
    // flags, the numbers, and the collation keys of text in one buffer.
    const size_t keyCount = size_t(d->sortKeys.size());
    std::vector<std::vector<char>> nulls(keyCount);
    std::vector<std::vector<double>> numbers(keyCount);
    std::vector<std::vector<qint64>> integers(keyCount);
    std::vector<TextKeys> texts(keyCount);
    std::vector<ColumnType> types(keyCount);
    for (size_t k = 0; k < keyCount; ++k) {
        const int c = d->sortKeys.at(qsizetype(k)).column;
        const ColumnType type = types[k] = d->types[size_t(c)];
        nulls[k].reserve(count);
        if (type == ColumnType::Text) {
            texts[k].offsets.reserve(count);
            texts[k].classes.reserve(count);
        } else if (type == ColumnType::Integer) {
            integers[k].reserve(count);
        } else {
            numbers[k].reserve(count);
        }
        for (const Row &r : d->rows) {
            const bool null = r.current.isNull(n, c);
            nulls[k].push_back(char(null));
            if (type == ColumnType::Text)
                texts[k].add(null ? QStringView() : r.current.text(n, c));
            else if (type == ColumnType::Integer)
                integers[k].push_back(null ? 0 : r.current.integer(n, c));
            else
                numbers[k].push_back(null ? 0.0 : r.current.number(n, c));
        }
    }

    std::vector<size_t> order(count);
    std::iota(order.begin(), order.end(), size_t(0));
    auto compare = [&](size_t a, size_t b) {
        for (size_t k = 0; k < keyCount; ++k) {
            const bool ascending = d->sortKeys.at(qsizetype(k)).ascending;
            const bool na = nulls[k][a], nb = nulls[k][b];
            int cmp = 0;
            if (na || nb) {
                cmp = na == nb ? 0 : (na ? -1 : 1);   // NULL first when ascending
            } else if (types[k] == ColumnType::Integer) {
                const qint64 x = integers[k][a], y = integers[k][b];
                cmp = x < y ? -1 : (x > y ? 1 : 0);
            } else if (types[k] == ColumnType::Number) {
                const double x = numbers[k][a], y = numbers[k][b];
                cmp = x < y ? -1 : (x > y ? 1 : 0);
            } else {
                cmp = texts[k].classes[a] - texts[k].classes[b];
                if (cmp == 0)
                    cmp = std::strcmp(texts[k].key(a), texts[k].key(b));
            }
            if (cmp != 0)
                return ascending ? cmp < 0 : cmp > 0;
        }
        return false;
    };
    std::stable_sort(order.begin(), order.end(), compare);

    std::vector<Row> sorted;
    sorted.reserve(count);
    for (size_t i : order)
        sorted.push_back(std::move(d->rows[i]));
    d->rows = std::move(sorted);
    emit rowsReset();
    return true;
}

} // namespace views
