#pragma once
// Contacts as comparable text, for tests: one "column=value" line per non-empty field, line breaks
// shown as \r and \n, sorted, so that a failure shows what landed where.

#include "exchange/contact.h"

#include <QStringList>

inline QString visible(QString text)
{
    return text.replace(QLatin1Char('\r'), QLatin1String("\\r")).replace(QLatin1Char('\n'), QLatin1String("\\n"));
}

inline QString describe(const exchange::Contact &c)
{
    QStringList lines;
    for (const exchange::ContactField &f : exchange::contactFields())
        if (!(c.*f.member).isEmpty())
            lines << f.column + QLatin1Char('=') + visible(c.*f.member);
    if (!c.categories.isEmpty())
        lines << QStringLiteral("categories=") + c.categories.join(QLatin1Char('|'));
    if (!c.uid.isEmpty())
        lines << QStringLiteral("uid=") + c.uid;
    lines.sort();
    return lines.join(QLatin1Char('\n'));
}

inline QStringList describeAll(const QList<exchange::Contact> &contacts)
{
    QStringList out;
    for (const exchange::Contact &c : contacts)
        out << describe(c);
    return out;
}

// The same for a list of "column=value" (categories as "a|b"), as a test expects it.
inline QString describe(QStringList expected)
{
    for (QString &line : expected)
        line = visible(line);
    expected.sort();
    return expected.join(QLatin1Char('\n'));
}

inline QStringList messages(const QList<exchange::ImportNote> &notes)
{
    QStringList out;
    for (const exchange::ImportNote &n : notes)
        out << n.message();
    return out;
}
