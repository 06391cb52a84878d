#pragma once
// The argument a group list is read with. A list reads its rows with `code GLOB :arg`: the whole
// list ("*", every row that has a code) or exactly one group's code. LIKE would not do: it folds
// case ("a" would list "A") and treats "%" and "_" in a code as wildcards.

#include <QString>

namespace views {

// Every row that has a group code.
QString allGroupsPattern();

// Exactly `code`: the characters GLOB treats as special are each put in a bracket of their own.
QString exactGroupPattern(const QString &code);

} // namespace views
