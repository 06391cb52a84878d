#pragma once
// The find tab's search: the notes of a scope whose title or text is LIKE a pattern, ordered by
// group code and title; the rows dw_find's own statement gives, except that a group's scope is its
// code matched exactly, so a group coded "%" or "_" does not take in the others. Where the search
// index is there and every pattern holds three characters between wildcards, the index picks the
// few notes that can match and LIKE decides on those; otherwise every note is read, as the plain
// statement does. Either way the hits are the same.

#include <QString>
#include <QVariantList>
#include <optional>

namespace views {
class DataView;
}

namespace notesearch {

// The pattern of a half (title or text) that is not searched. Having no wildcard it matches only a
// title or text that is exactly this.
inline const QString kOff = QStringLiteral("@#$");

struct Patterns
{
    std::optional<QString> group;   // a group's code; none: every group ("全部")
    QString title;                  // LIKE patterns, as the user's "%" and "_" make them
    QString content;
};

// From the find tab's fields: the text with its blanks (U+0020) trimmed, wrapped in "%", for each
// ticked half; kOff for the other.
Patterns fromFind(const std::optional<QString> &group, const QString &typed, bool inTitles, bool inContents);

struct Statement
{
    QString sql;          // dw_find's columns and named arguments
    QVariantList args;    // as_group, as_title, as_content
    bool indexed = false;
};

// The statement for `p`; through the index only when `indexAvailable` and it can serve both halves.
Statement statement(const Patterns &p, bool indexAvailable);

// Retrieves the hits into `dw`, which shows dw_find and has its connection: through the index when
// the database has it, and again the plain way should that fail (a damaged index). Rows, or -1.
long retrieve(views::DataView &dw, const Patterns &p);

} // namespace notesearch
