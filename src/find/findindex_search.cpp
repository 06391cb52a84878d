#include "findindex.h"

#include "findindex_p.h"
#include "normalizer.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>

namespace finder {

namespace {

// What was typed, in the forms the records are compared with.
struct Typed
{
    std::string text;   // folded, without blanks around it, UTF-8
    std::string digits; // a phone number's digits, where they differ from the text
    const PinyinQuery &pinyin;
};

std::size_t findBytes(std::string_view haystack, std::string_view needle)
{
    if (needle.size() > haystack.size())
        return std::string_view::npos;
    const char *begin = haystack.data();
    const char *last = begin + (haystack.size() - needle.size());
    for (const char *p = begin; p <= last;) {
        p = static_cast<const char *>(std::memchr(p, needle.front(), std::size_t(last - p) + 1));
        if (!p)
            break;
        if (std::memcmp(p + 1, needle.data() + 1, needle.size() - 1) == 0)
            return std::size_t(p - begin);
        ++p;
    }
    return std::string_view::npos;
}

int fieldAt(std::string_view text, std::size_t position)
{
    return int(std::count(text.begin(), text.begin() + qsizetype(position), FieldEnd));
}

// How the entry matches, and the field; false when it does not.
bool classify(const Entry &e, const Typed &typed, bool nameIsPinyin, const WordList &words, Match *match, int *field)
{
    const std::string_view text = e.text;
    const std::string_view name = text.substr(0, text.find(FieldEnd));
    *field = 0;
    if (name == typed.text) {
        *match = Match::ExactName;
        return true;
    }
    if (name.starts_with(typed.text)) {
        *match = Match::NamePrefix;
        return true;
    }
    // Units of one pinyin field: from after its mark to the next mark.
    const auto fieldUnits = [&e](std::size_t from) {
        std::size_t to = from;
        while (to < e.units.size() && (e.units[to] & (WordBit | FieldMark)) != FieldMark)
            ++to;
        return to;
    };
    const PinyinQuery &pinyin = typed.pinyin;
    if (nameIsPinyin && !pinyin.isEmpty() && pinyin.mayMatch(e.nameInitials, e.letters)) {
        const std::size_t end = fieldUnits(1);
        const PinyinQuery::Result r = pinyin.matchStart(e.units.data() + 1, end - 1, words);
        if (r != PinyinQuery::NoMatch) {
            *match = r == PinyinQuery::Initials ? Match::NameInitials : Match::NamePinyin;
            return true;
        }
    }
    int best = INT_MAX;
    std::size_t at = findBytes(text, typed.text);
    if (at != std::string_view::npos)
        best = fieldAt(text, at);
    if (!typed.digits.empty() && (at = findBytes(text, typed.digits)) != std::string_view::npos)
        best = std::min(best, fieldAt(text, at));
    if (best > 0 && !pinyin.isEmpty() && pinyin.mayMatch(e.initials, e.letters)) {
        for (std::size_t mark = 0; mark < e.units.size();) {
            const int f = int(e.units[mark] & ~FieldMark);
            const std::size_t end = fieldUnits(mark + 1);
            if (f >= best)
                break;
            if (pinyin.matchAnywhere(e.units.data() + mark + 1, end - mark - 1, words)) {
                best = f;
                break;
            }
            mark = end;
        }
    }
    if (best == INT_MAX)
        return false;
    *match = Match::Contains;
    *field = best;
    return true;
}

} // namespace

QList<Hit> FindIndex::search(const QString &text, qsizetype limit)
{
    const QString folded = Normalizer::fold(text);
    const QString trimmed = folded.trimmed();
    auto &narrowings = d->narrowings;
    if (trimmed.isEmpty()) {
        narrowings.clear();
        return {};
    }
    const bool phone = Normalizer::isPhoneNumber(trimmed);
    const PinyinQuery pinyin(folded);
    Typed typed{trimmed.toStdString(), {}, pinyin};
    if (phone) {
        typed.digits = Normalizer::digits(trimmed).toStdString();
        if (typed.digits == typed.text)
            typed.digits.clear();
    }

    // A text extending an earlier one is found among that one's hits, if that one was compared in
    // every way this one is: as digits, and as pinyin.
    while (!narrowings.empty()) {
        const Private::Narrowing &last = narrowings.back();
        if (folded.startsWith(last.folded) && (!phone || last.phone) && (pinyin.isEmpty() || last.pinyin))
            break;
        narrowings.pop_back();
    }
    const std::vector<int> &among = narrowings.empty() ? d->order : narrowings.back().matched;
    Private::Narrowing found{folded, !pinyin.isEmpty(), phone, {}};

    std::array<std::vector<Hit>, 5> byMatch;
    for (const int slot : among) {
        const Entry &e = d->entries[std::size_t(slot)];
        Match match;
        int field;
        if (!classify(e, typed, d->nameIsPinyin, d->words.list, &match, &field))
            continue;
        found.matched.push_back(slot);
        byMatch[std::size_t(match)].push_back({e.id, field, match});
    }

    QList<Hit> hits;
    std::size_t total = 0;
    for (const auto &list : byMatch)
        total += list.size();
    if (limit >= 0)
        total = std::min(total, std::size_t(limit));
    hits.reserve(qsizetype(total));
    for (const auto &list : byMatch)
        for (const Hit &h : list) {
            if (std::size_t(hits.size()) == total)
                break;
            hits.append(h);
        }

    if (!narrowings.empty() && narrowings.back().folded == folded)
        narrowings.back() = std::move(found);
    else
        narrowings.push_back(std::move(found));
    return hits;
}

} // namespace finder
