#include "corpus.h"

#include "app/transaction.h"
#include "notebook/searchindex.h"
#include "views/datastore.h"

#include <QSqlQuery>
#include <algorithm>
#include <random>

namespace corpus {

namespace {

const QStringList kWords = {
    QStringLiteral("笔记"), QStringLiteral("今天"), QStringLiteral("会议"), QStringLiteral("记录"), QStringLiteral("学习"),
    QStringLiteral("计划"), QStringLiteral("北京市"), QStringLiteral("天气很好"), QStringLiteral("项目进度"), QStringLiteral("的"),
    QStringLiteral("了"), QStringLiteral("中文"), QStringLiteral("数据库"), QStringLiteral("索引"), QStringLiteral("搜索"),
    QStringLiteral("Qt"), QStringLiteral("SQLite"), QStringLiteral("sqlite"), QStringLiteral("hello"), QStringLiteral("Hello"),
    QStringLiteral("HELLO"), QStringLiteral("world"), QStringLiteral("note"), QStringLiteral("Notes"), QStringLiteral("abc"),
    QStringLiteral("ABC"), QStringLiteral("École"), QStringLiteral("école"), QStringLiteral("ÉCOLE"), QStringLiteral("café"),
    QStringLiteral("CAFÉ"), QStringLiteral("100%"), QStringLiteral("a_b"), QStringLiteral("50%_off"), QStringLiteral("O'Brien"),
    QStringLiteral("\"quoted\""), QStringLiteral("😀表情"), QStringLiteral("x😀y"), QStringLiteral("2009-02-14"),
    QStringLiteral("C++"), QStringLiteral("ÄÖÜ"), QStringLiteral("äöü"), QStringLiteral("Straße"), QStringLiteral("ΣΊΣΥΦΟΣ"),
    QStringLiteral("σίσυφος"), QStringLiteral("全角 空格"), QStringLiteral("tab\there"), QStringLiteral("\n"), QStringLiteral("。"),
    QStringLiteral(","), QStringLiteral(" "), QStringLiteral(" "), QStringLiteral("AND"), QStringLiteral("OR"), QStringLiteral("NEAR"),
    QStringLiteral("*"), QStringLiteral("^"), QStringLiteral("\\"),
};

// Group codes, weighted towards the real groups.
const QStringList kGroups = {QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("2"), QStringLiteral("3"),
                             QStringLiteral("4"), QStringLiteral("Z"), QStringLiteral("%"), QStringLiteral("_"), QStringLiteral("Q"),
                             QString(), QStringLiteral("NULL")};

struct Random
{
    std::mt19937 rng;
    int below(int n) { return int(std::uniform_int_distribution<int>(0, n - 1)(rng)); }
    bool chance(int percent) { return below(100) < percent; }
};

QString sentence(Random &r, int words)
{
    QString s;
    for (int i = 0; i < words; ++i)
        s += kWords.at(r.below(int(kWords.size())));
    return s;
}

QString shown(const QVariant &v)
{
    return v.isNull() ? QStringLiteral("<NULL>") : v.toString();
}

// "gid/title#id" for each row, in the order read.
QStringList rowsOf(const views::DataStore &ds)
{
    QStringList out;
    for (long r = 1; r <= ds.rowCount(); ++r)
        out << shown(ds.getItem(r, QStringLiteral("gid"))) + QLatin1Char('/') + shown(ds.getItem(r, QStringLiteral("title")))
                   + QLatin1Char('#') + ds.getItemString(r, QStringLiteral("id"));
    return out;
}

QStringList withoutIds(QStringList rows)
{
    for (QString &r : rows)
        r.truncate(r.lastIndexOf(QLatin1Char('#')));
    return rows;
}

} // namespace

void addOddGroups()
{
    if (!sqlca.execute(QStringLiteral("INSERT INTO p_group (groupid, groupname) VALUES ('%', '百分号'), ('_', '下划线')")) || !sqlca.commit())
        qFatal("cannot add groups: %s", qPrintable(sqlca.sqlerrtext));
}

void addNotes(int n, unsigned seed)
{
    Random r{std::mt19937(seed)};
    const QString insert = QStringLiteral("INSERT INTO p_info (gid, title, content) VALUES (?, ?, ?)");
    for (int i = 0; i < n; ++i) {
        const QString g = kGroups.at(r.below(int(kGroups.size())));
        const QVariant gid = g == QStringLiteral("NULL") ? QVariant() : QVariant(g);
        QVariant title = sentence(r, 1 + r.below(5)).left(255);
        QVariant content = sentence(r, r.below(120));
        if (r.chance(4))
            title = QVariant();
        if (r.chance(4))
            content = QVariant();
        if (r.chance(2))
            title = notesearch::kOff;
        if (r.chance(2))
            content = notesearch::kOff;
        if (!sqlca.execute(insert, {gid, title, content}))
            qFatal("cannot add a note: %s", qPrintable(sqlca.sqlerrtext));
    }
    if (!sqlca.commit())
        qFatal("cannot commit the notes: %s", qPrintable(sqlca.sqlerrtext));
}

QStringList texts()
{
    QStringList out;
    QSqlQuery q(sqlca.db());
    q.exec(QStringLiteral("SELECT title, content FROM p_info"));
    while (q.next())
        for (int c = 0; c < 2; ++c)
            if (!q.value(c).isNull() && !q.value(c).toString().isEmpty())
                out << q.value(c).toString();
    return out;
}

QStringList patterns(const QStringList &texts, int n, unsigned seed)
{
    QStringList out = {
        QString(), QStringLiteral("%"), QStringLiteral("%%"), QStringLiteral("_"), QStringLiteral("%_%"), notesearch::kOff,
        QStringLiteral("%@#$%"), QStringLiteral("%École%"), QStringLiteral("%école%"), QStringLiteral("%ÉCOLE%"),
        QStringLiteral("%ÉCOLe%"), QStringLiteral("%cole%"), QStringLiteral("%中文%"), QStringLiteral("%中文%abc%"),
        QStringLiteral("%中_文%"), QStringLiteral("%数据库%"), QStringLiteral("%据库索%"), QStringLiteral("%hel_o%"),
        QStringLiteral("%HELLO%"), QStringLiteral("hello%"), QStringLiteral("%100%%"), QStringLiteral("%0\\%%"),
        QStringLiteral("%O'Brien%"), QStringLiteral("%\"quoted\"%"), QStringLiteral("%😀表%"), QStringLiteral("%x😀y%"),
        QStringLiteral("%😀%"), QStringLiteral("%ΣΊΣ%"), QStringLiteral("%σίσ%"), QStringLiteral("%STRASSE%"),
        QStringLiteral("%全角 空%"), QStringLiteral("%\t%"), QStringLiteral("%AND%"), QStringLiteral("%\" OR \"%"),
        QStringLiteral("%*^\\%"), QStringLiteral("%a_b%"), QStringLiteral("%50%_off%"), QStringLiteral("%不存在的词%"),
        QStringLiteral("%zzzzzz%"), QStringLiteral("%项目进度会议记录学习计划北京市天气很好%"),
    };
    Random r{std::mt19937(seed)};
    while (out.size() < n) {
        const QList<uint> text = texts.at(r.below(int(texts.size()))).toUcs4();
        const int length = 1 + r.below(6);
        const int from = r.below(int(qMax<qsizetype>(1, text.size() - length + 1)));
        QString piece;
        for (int i = from; i < from + length && i < text.size(); ++i) {
            char32_t c = text.at(i);
            if (c < 128 && r.chance(30))
                c = QChar::isUpper(c) ? QChar::toLower(c) : QChar::toUpper(c);
            piece += QString::fromUcs4(&c, 1);
        }
        if (r.chance(15) && !piece.isEmpty())
            piece[r.below(int(piece.size()))] = u'_';
        if (r.chance(15))
            piece.insert(r.below(int(piece.size()) + 1), u'%');
        if (piece.contains(QChar(QChar::ReplacementCharacter)) || (!piece.isEmpty() && (piece.back().isHighSurrogate() || piece.front().isLowSurrogate())))
            continue;
        out << (r.chance(90) ? QLatin1Char('%') + piece + QLatin1Char('%') : piece);
    }
    return out;
}

QList<std::optional<QString>> scopes()
{
    return {std::nullopt, QStringLiteral("1"), QStringLiteral("Z"), QStringLiteral("%"), QStringLiteral("_"), QStringLiteral("Q"), QString()};
}

QString compareWithPlain(const notesearch::Patterns &p, bool *indexed)
{
    views::DataStore plain;
    plain.setDataObject(QStringLiteral("dw_find"));
    plain.setTransObject(sqlca);
    plain.setDbErrorHandler([](long, const QString &, const QString &, long) { return 1; });
    if (plain.retrieve({QStringLiteral("%"), p.title, p.content}) < 0)
        return QStringLiteral("the plain statement failed: ") + sqlca.sqlerrtext;
    QStringList want;
    for (const QString &row : rowsOf(plain))
        if (!p.group || row.startsWith(*p.group + QLatin1Char('/')))
            want << row;

    const notesearch::Statement s = notesearch::statement(p, notesearch::hasSearchIndex(sqlca));
    if (indexed)
        *indexed = s.indexed;
    views::DataStore search;
    search.setDataObject(QStringLiteral("dw_find"));
    search.setTransObject(sqlca);
    search.setDbErrorHandler([](long, const QString &, const QString &, long) { return 1; });
    search.setSelect(s.sql);
    if (search.retrieve(s.args) < 0)
        return QStringLiteral("the search failed: ") + sqlca.sqlerrtext;
    const QStringList got = rowsOf(search);

    // Notes of one group and title may come in any order; everything else in the same.
    QStringList wantSorted = want, gotSorted = got;
    std::sort(wantSorted.begin(), wantSorted.end());
    std::sort(gotSorted.begin(), gotSorted.end());
    if (withoutIds(want) == withoutIds(got) && wantSorted == gotSorted)
        return QString();
    QStringList missing, extra;
    for (const QString &w : wantSorted)
        if (!gotSorted.contains(w))
            missing << w;
    for (const QString &g : gotSorted)
        if (!wantSorted.contains(g))
            extra << g;
    return QStringLiteral("scope %1, title %2, content %3 (%4): missing [%5], extra [%6], order %7")
        .arg(p.group ? *p.group : QStringLiteral("<all>"), p.title, p.content, s.indexed ? QStringLiteral("indexed") : QStringLiteral("plain"),
             missing.join(QStringLiteral(", ")), extra.join(QStringLiteral(", ")),
             withoutIds(want) == withoutIds(got) ? QStringLiteral("same") : QStringLiteral("differs"));
}

} // namespace corpus
