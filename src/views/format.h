#pragma once
// Display formats and edit masks of the views: "####-##-##" on stored text, "###,###.00" and
// "#,##0.00" on numbers, and the masks that let only digits in where they say "#".

#include "views/definition.h"

#include <QString>
#include <QVariant>

namespace views {

// A value as a view shows it: the display format applied, a number without one in its shortest form.
// NULL shows as "".
QString formatValue(const QVariant &value, const QString &format, ColumnType type);

// "####-##-##" over "20240501" gives "2024-05-01": every '#' takes the next character, the other
// characters are inserted while characters remain. Characters beyond the mask are kept.
QString applyTextMask(const QString &mask, const QString &text);

// "###,###.00": grouping where there is a comma, as many decimals as characters after the point,
// at least as many integer digits as zeros before it (so 0.5 shows ".50" and "#,##0.00" shows "0.50").
QString formatNumber(double value, const QString &format);

// How many of its last shown decimal make one: 100 for "#,##0.00", 1 for "#,##0", 0 where the format
// is no number format (the value is shown with every digit it has).
double shownUnitsPerOne(const QString &format);
// The value rounded to what the format shows (0.1 + 0.2 - 0.3 is 0 on "###,###.00"), so that a
// comparison agrees with the text on screen; unchanged where the format is no number format.
double roundedAsShown(double value, const QString &format);

// The kinds of edit mask a field can have.
enum class MaskKind {
    None,     // free text (limited to the column width) or a free number
    Digits,   // "######": only digits, at most as many as '#'
    Date,     // "####-##-##": eight digits that form a real date, stored without the dashes
    Decimal,  // "###,###.00": digits before the point as '#'/'0' there, decimals as after it
};
MaskKind maskKind(const QString &mask);
int maskDigits(const QString &mask);       // '#' and '0' before the point, commas not counted
int maskDecimals(const QString &mask);     // characters after the point

// Turns the text of an editor into the value to store. False, with a Chinese reason, when the text
// does not fit the column: a date that does not exist, a number that is not one, too many digits.
bool parseEditText(const Column &column, const QString &text, QVariant *value, QString *reason);

// The text an editor starts with for a stored value: dates as digits, numbers without grouping, with
// the decimals of the edit mask or, without a mask, of a display format that has any ("7.50") where
// they hold the whole value; otherwise every digit the value has.
QString editText(const Column &column, const QVariant &value);

} // namespace views
