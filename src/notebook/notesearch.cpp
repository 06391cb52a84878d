#include "notebook/notesearch.h"

#include "notebook/searchindex.h"
#include "views/dataview.h"

#include <QStringList>
#include <string>

namespace notesearch {

namespace {

// A long pattern gives many pieces; a few spread over it pick the notes as well as all of them.
constexpr qsizetype kMostPieces = 16;

// The three-character pieces that every text LIKE `pattern` holds: those of each run of three or
// more characters between the wildcards "%" and "_". None when no run is that long, or when the
// pattern holds a NUL or half a surrogate pair, which the index is not trusted with. The index
// folds case more widely than LIKE does (É and é alike), so the pieces find every note LIKE could
// match, and some it will not.
std::optional<QStringList> pieces(const QString &pattern)
{
    QStringList out;
    std::u32string run;
    auto endRun = [&] {
        for (size_t i = 0; i + 3 <= run.size(); ++i)
            out << QString::fromUcs4(run.data() + i, 3);
        run.clear();
    };
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == u'%' || c == u'_') {
            endRun();
        } else if (c.isHighSurrogate() && i + 1 < pattern.size() && pattern.at(i + 1).isLowSurrogate()) {
            run.push_back(QChar::surrogateToUcs4(c, pattern.at(i + 1)));
            ++i;
        } else if (c.isSurrogate() || c.isNull()) {
            return std::nullopt;
        } else {
            run.push_back(c.unicode());
        }
    }
    endRun();
    out.removeDuplicates();
    if (out.isEmpty())
        return std::nullopt;
    if (out.size() > kMostPieces) {
        QStringList some;
        for (qsizetype k = 0; k < kMostPieces; ++k)
            some << out.at(k * (out.size() - 1) / (kMostPieces - 1));
        out = some;
    }
    return out;
}

// Full-text query syntax: every piece a quoted string, all of them required.
QString allOf(const QStringList &pieces)
{
    QStringList quoted;
    for (const QString &p : pieces)
        quoted << QLatin1Char('"') + QString(p).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
    return QLatin1Char('(') + quoted.join(QStringLiteral(" AND ")) + QLatin1Char(')');
}

QString sqlText(const QString &text)
{
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

} // namespace

Patterns fromFind(const std::optional<QString> &group, const QString &typed, bool inTitles, bool inContents)
{
    qsizetype from = 0, to = typed.size();
    while (from < to && typed.at(from) == u' ')
        ++from;
    while (to > from && typed.at(to - 1) == u' ')
        --to;
    const QString pattern = QLatin1Char('%') + typed.mid(from, to - from) + QLatin1Char('%');
    return {group, inTitles ? pattern : kOff, inContents ? pattern : kOff};
}

Statement statement(const Patterns &p, bool indexAvailable)
{
    Statement s;
    s.args = {p.group.value_or(QStringLiteral("%")), p.title, p.content};
    // Every group is every note with a group code, as LIKE '%' has it.
    QString scope = p.group ? QStringLiteral("p_info.gid = :as_group") : QStringLiteral("p_info.gid IS NOT NULL");

    const std::optional<QStringList> inTitle = indexAvailable ? pieces(p.title) : std::nullopt;
    const std::optional<QStringList> inContent = indexAvailable ? pieces(p.content) : std::nullopt;
    if (inTitle && inContent) {
        // One full-text query for both halves (a note is a candidate for either), so the notes are
        // found by id; the unary + keeps the group from leading the search instead.
        QString query = allOf(*inTitle);
        if (*inContent != *inTitle)
            query += QStringLiteral(" OR ") + allOf(*inContent);
        scope = QStringLiteral("p_info.id IN (SELECT rowid FROM p_info_fts WHERE p_info_fts MATCH ") + sqlText(query)
                + QStringLiteral(") AND +") + scope;
        s.indexed = true;
    }
    s.sql = QStringLiteral("SELECT p_info.id, p_info.gid, p_info.title FROM p_info WHERE ") + scope
            + QStringLiteral(" AND ((p_info.title LIKE :as_title) OR (p_info.content LIKE :as_content))"
                             " ORDER BY p_info.gid ASC, p_info.title ASC");
    return s;
}

long retrieve(views::DataView &dw, const Patterns &p)
{
    Connection *db = dw.store()->connection();
    Statement s = statement(p, db && hasSearchIndex(*db));
    dw.setSelect(s.sql);
    long rows = dw.retrieve(s.args);
    if (rows < 0 && s.indexed) {
        s = statement(p, false);
        dw.setSelect(s.sql);
        rows = dw.retrieve(s.args);
    }
    return rows;
}

} // namespace notesearch
