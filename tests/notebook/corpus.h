#pragma once
// Notes that trouble a search, and the check that a search finds what the find tab's own statement
// finds. The notes mix Chinese and ASCII and hold wildcards, quotes, É beside é, a character beyond
// the BMP, the marker "@#$", NULL and empty titles and texts; their groups include ones coded "%" and
// "_", a code with no group, an empty code and NULL.

#include "notebook/notesearch.h"

#include <QString>
#include <QStringList>

namespace corpus {

// The groups "%" and "_" beside the default ones.
void addOddGroups();

// `n` notes through sqlca, committed. The same seed gives the same notes.
void addNotes(int n, unsigned seed);

// Every title and text of the notes as stored, NULLs left out.
QStringList texts();

// About `n` LIKE patterns: pieces of 1 to 6 characters cut from the notes, some with their ASCII
// case turned, some with "%" or "_" put in, most wrapped in "%" as the find tab does, and a fixed
// set of awkward ones.
QStringList patterns(const QStringList &texts, int n, unsigned seed);

// The scopes worth trying: every group, default and odd groups, a code without a group.
QList<std::optional<QString>> scopes();

// Empty when the search of `p` (through the index where the database has it) finds what dw_find's
// own statement finds over every group, narrowed to `p.group` exactly, in the same order; else what
// differs. `indexed` tells whether the index served it.
QString compareWithPlain(const notesearch::Patterns &p, bool *indexed = nullptr);

} // namespace corpus
