#pragma once
// Notes that trouble a search, and the check that a search finds what the find tab's own statement
// finds: mixed Chinese and ASCII with wildcards, quotes, É beside é, a character beyond the BMP, the
// marker "@#$", NULL and empty titles and texts, groups coded "%" and "_", a code with no group, NULL.

#include <QStringList>

namespace corpus {

// The groups "%" and "_", and `n` notes through the test's connection, committed; the same seed, the same notes.
void addNotes(int n, unsigned seed);

// About `n` LIKE patterns: a fixed awkward set, then pieces of 1 to 6 characters cut from the notes,
// some with their ASCII case turned or "%" or "_" put in, most wrapped in "%" as the find tab does.
QStringList patterns(int n, unsigned seed);

// Searches every pattern in titles and texts, titles only and texts only, over every group and one
// other scope, through the index where the database has it: empty when each finds exactly what
// dw_find's own statement finds over every group, narrowed to the scope's code, in the same order;
// else the first difference. `indexed` counts the searches the index served.
QString differenceFromPlain(const QStringList &patterns, int *indexed = nullptr);

} // namespace corpus
