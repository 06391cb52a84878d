#include "ledger/periods.h"

#include "platform/services.h"

namespace ledger {

const QStringList &periodTexts()
{
    static const QStringList texts{QStringLiteral("全部"), QStringLiteral("当年"), QStringLiteral("当月")};
    return texts;
}

QString periodText(Period p)
{
    return periodTexts().at(int(p));
}

std::optional<Period> periodOf(const QString &text)
{
    const qsizetype i = periodTexts().indexOf(text);
    if (i < 0)
        return std::nullopt;
    return Period(i);
}

QString periodKey(Period p, const QDate &today)
{
    const QString year = QStringLiteral("%1").arg(today.year(), 4, 10, QLatin1Char('0'));
    switch (p) {
    case Period::All:
        return QStringLiteral("0");
    case Period::Year:
        return year + QStringLiteral("0101");
    case Period::Month:
        return year + QStringLiteral("%1").arg(today.month(), 2, 10, QLatin1Char('0')) + QStringLiteral("01");
    }
    return QString();
}

QString storedDate(const QDate &date)
{
    return QStringLiteral("%1%2%3")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'));
}

QDate today()
{
    return platform::services().clock->today();
}

} // namespace ledger
