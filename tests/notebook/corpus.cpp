#include "corpus.h"

#include "fixture.h"
#include "notebook/notesearch.h"
#include "notebook/searchindex.h"
#include "views/datastore.h"

#include <QSqlQuery>
#include <algorithm>
#include <random>

namespace corpus {

namespace {

const QStringList kWords = {
    "笔记", "会议记录", "数据库", "索引", "的", "中文", "北京市", "hello", "Hello", "HELLO", "abc", "École", "école", "ÉCOLE",
    "Straße", "σίσυφος", "ΣΊΣΥΦΟΣ", "100%", "a_b", "O'Brien", "\"AND\" OR", "x😀y表情", "全角 空格", "\t", "\n", " ", "。",
    "@#$", "*^\\",
};
const QStringList kGroups = {"1", "1", "2", "3", "Z", "%", "_", "Q", "", "NULL"};

struct Random
{
    std::mt19937 rng;
    int below(int n) { return int(std::uniform_int_distribution<int>(0, n - 1)(rng)); }
};

QVariant maybeNull(const QString &s, Random &r)
{
    return s == QStringLiteral("NULL") || r.below(25) == 0 ? QVariant() : QVariant(s);
}

QString words(Random &r, int n)
{
    QString s;
    while (n-- > 0)
        s += kWords.at(r.below(int(kWords.size())));
    return s;
}

// "gid/title#id" of each hit, in the order read; NULL shown as such.
QStringList hits(views::DataStore &ds, const QString &sql, const QVariantList &args)
{
    ds.setSelect(sql);
    QStringList out;
    if (ds.retrieve(args) < 0)
        return {QStringLiteral("failed: ") + ds.lastError().reason};
    for (long r = 1; r <= ds.rowCount(); ++r) {
        QStringList parts;
        for (const char *c : {"gid", "title"})
            parts << (ds.getItem(r, QLatin1String(c)).isNull() ? QStringLiteral("<NULL>") : ds.getItemString(r, QLatin1String(c)));
        out << parts.join(QLatin1Char('/')) + QLatin1Char('#') + ds.getItemString(r, QStringLiteral("id"));
    }
    return out;
}

// Notes of one group and title may come in any order: the same rows, and the same order without ids.
bool same(QStringList a, QStringList b)
{
    auto keys = [](QStringList rows) {
        for (QString &r : rows)
            r.truncate(r.lastIndexOf(QLatin1Char('#')));
        return rows;
    };
    if (keys(a) != keys(b))
        return false;
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return a == b;
}

} // namespace

void addNotes(int n, unsigned seed)
{
    Random r{std::mt19937(seed)};
    DbResult done = testDb().execute(QStringLiteral("INSERT OR IGNORE INTO p_group VALUES ('%', '百分号'), ('_', '下划线')"));
    for (int i = 0; done && i < n; ++i)
        done = testDb().execute(QStringLiteral("INSERT INTO p_info (gid, title, content) VALUES (?, ?, ?)"),
                                {maybeNull(kGroups.at(r.below(int(kGroups.size()))), r), maybeNull(words(r, r.below(5)), r),
                                 maybeNull(words(r, r.below(60)), r)});
    if (done)
        done = testDb().commit();
    if (!done)
        qFatal("cannot add notes: %s", qPrintable(done.reason));
}

QStringList patterns(int n, unsigned seed)
{
    QStringList out = {"", "%", "_", "%%", "%_%", "@#$", "%École%", "%ÉCOLe%", "%STRASSE%", "%ΣΊΣ%", "%中文%", "%中_文%abc%",
                       "%据库索%", "%hel_o%", "%100%%", "%O'Brien%", "%\"AND\" OR%", "%😀表%", "%y表情%", "%*^\\%", "%全角 空%"};
    QStringList texts;
    QSqlQuery q(testDb().sqlDatabase());
    q.exec(QStringLiteral("SELECT content FROM p_info WHERE length(content) > 6"));
    while (q.next())
        texts << q.value(0).toString();
    Random r{std::mt19937(seed)};
    while (out.size() < n && !texts.isEmpty()) {
        const QList<uint> text = texts.at(r.below(int(texts.size()))).toUcs4();
        const int from = r.below(int(text.size()) - 6);
        const int length = 1 + r.below(6);
        QString piece;
        for (int i = from; i < from + length; ++i) {
            char32_t c = text.at(i);
            if (c < 128 && r.below(3) == 0)
                c = QChar::isUpper(c) ? QChar::toLower(c) : QChar::toUpper(c);
            piece += QString::fromUcs4(&c, 1);
        }
        if (r.below(6) == 0)
            piece[r.below(int(piece.size()))] = u'_';
        if (r.below(6) == 0)
            piece.insert(r.below(int(piece.size()) + 1), u'%');
        if (!piece.front().isLowSurrogate() && !piece.back().isHighSurrogate())
            out << (r.below(10) ? QLatin1Char('%') + piece + QLatin1Char('%') : piece);
    }
    return out;
}

QString differenceFromPlain(const QStringList &patterns, int *indexed)
{
    const QList<std::optional<QString>> scopes = {std::nullopt, "1", "%", "_", "Q", ""};
    views::DataStore plain, search;
    for (views::DataStore *ds : {&plain, &search}) {
        ds->setDataObject(QStringLiteral("dw_find"));
        ds->setConnection(testDb());
    }
    const bool index = notesearch::hasSearchIndex(testDb());
    for (qsizetype i = 0; i < patterns.size(); ++i) {
        const QString &p = patterns.at(i);
        for (const std::optional<QString> &scope : {scopes.first(), scopes.at(i % scopes.size())}) {
            for (const notesearch::Patterns &ask : {notesearch::Patterns{scope, p, p}, notesearch::Patterns{scope, p, notesearch::kOff},
                                                    notesearch::Patterns{scope, notesearch::kOff, p}}) {
                QStringList want;
                for (const QString &row : hits(plain, QString(), {QStringLiteral("%"), ask.title, ask.content}))
                    if (!scope || row.startsWith(*scope + QLatin1Char('/')))
                        want << row;
                const notesearch::Statement s = notesearch::statement(ask, index);
                const QStringList got = hits(search, s.sql, s.args);
                if (!same(want, got))
                    return QStringLiteral("scope %1, title %2, content %3: want [%4], got [%5]")
                        .arg(scope.value_or(QStringLiteral("<all>")), ask.title, ask.content, want.join(u", "), got.join(u", "));
                if (indexed)
                    *indexed += s.indexed ? 1 : 0;
            }
        }
    }
    return QString();
}

} // namespace corpus
