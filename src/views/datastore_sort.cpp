// Sorting the primary buffer by "column A" / "column D" criteria.

#include "views/datastore_p.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <algorithm>
#include <numeric>

namespace views {

using detail::Row;

namespace {

// Chinese text sorts by its reading, as a user of the program expects; text that starts with a
// Latin letter, a digit or a sign comes before it (the Chinese collation alone puts it after).
int scriptClass(QStringView text)
{
    return !text.isEmpty() && text.at(0).unicode() >= 0x2E80 ? 1 : 0;
}

const QCollator &collator()
{
    static const QCollator c = [] {
        QCollator x{QLocale(QLocale::Chinese, QLocale::China)};
        x.setCaseSensitivity(Qt::CaseInsensitive);
        x.setNumericMode(true);
        return x;
    }();
    return c;
}

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

    // Text keys are turned into collation keys once, not at every comparison.
    std::vector<std::vector<QCollatorSortKey>> textKeys(size_t(d->sortKeys.size()));
    std::vector<std::vector<char>> classes(size_t(d->sortKeys.size()));
    for (qsizetype k = 0; k < d->sortKeys.size(); ++k) {
        const int c = d->sortKeys.at(k).column;
        if (d->types[size_t(c)] != ColumnType::Text)
            continue;
        auto &keys = textKeys[size_t(k)];
        keys.reserve(count);
        classes[size_t(k)].reserve(count);
        for (const Row &r : d->rows) {
            const QStringView text = r.current.text(n, c);
            keys.push_back(collator().sortKey(text.toString()));
            classes[size_t(k)].push_back(char(scriptClass(text)));
        }
    }

    std::vector<size_t> order(count);
    std::iota(order.begin(), order.end(), size_t(0));
    auto compare = [&](size_t a, size_t b) {
        for (qsizetype k = 0; k < d->sortKeys.size(); ++k) {
            const SortKey &key = d->sortKeys.at(k);
            const Row &ra = d->rows[a];
            const Row &rb = d->rows[b];
            const bool na = ra.current.isNull(n, key.column);
            const bool nb = rb.current.isNull(n, key.column);
            int cmp = 0;
            if (na || nb) {
                cmp = na == nb ? 0 : (na ? -1 : 1);   // NULL first when ascending
            } else {
                switch (d->types[size_t(key.column)]) {
                case ColumnType::Text:
                    cmp = classes[size_t(k)][a] - classes[size_t(k)][b];
                    if (cmp == 0)
                        cmp = textKeys[size_t(k)][a].compare(textKeys[size_t(k)][b]);
                    break;
                case ColumnType::Integer: {
                    const qint64 x = ra.current.integer(n, key.column), y = rb.current.integer(n, key.column);
                    cmp = x < y ? -1 : (x > y ? 1 : 0);
                    break;
                }
                case ColumnType::Number: {
                    const double x = ra.current.number(n, key.column), y = rb.current.number(n, key.column);
                    cmp = x < y ? -1 : (x > y ? 1 : 0);
                    break;
                }
                }
            }
            if (cmp != 0)
                return key.ascending ? cmp < 0 : cmp > 0;
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
