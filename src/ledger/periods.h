#pragma once
// The periods a list of entries can show: every entry, this year's, this month's. A period is kept in
// the settings as its item text and applied as a key: the list shows the entries whose date, compared
// as text, is not less than the key. There is no upper end, so entries dated after today stay in view.

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

namespace ledger {

// In the order of the drop-down lists.
enum class Period { All, Year, Month };

// "全部", "当年", "当月".
const QStringList &periodTexts();
QString periodText(Period p);
// The period an item text names; nothing for any other text.
std::optional<Period> periodOf(const QString &text);

// "0" (below every date), the year and "0101", or the year, the two-digit month and "01".
QString periodKey(Period p, const QDate &today);

// A date as the entries store it: "yyyymmdd".
QString storedDate(const QDate &date);
// Today, from the program's clock.
QDate today();

} // namespace ledger
