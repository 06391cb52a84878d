#include "views/grouppattern.h"

namespace views {

QString allGroupsPattern()
{
    return QStringLiteral("*");
}

QString exactGroupPattern(const QString &code)
{
    QString out;
    out.reserve(code.size() + 2);
    for (const QChar c : code) {
        if (c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('['))
            out += QLatin1Char('[') + c + QLatin1Char(']');
        else
            out += c;
    }
    return out;
}

} // namespace views
