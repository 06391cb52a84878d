#include "findindex.h"

#include "findindex_p.h"
#include "normalizer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cstring>

namespace finder {

namespace {

// A needle in the records' text. Where one of its bytes is rare there, memchr runs to each place of
// that byte; where all are common (digits), eight places at a time are tested for its two rarest bytes.
class Needle
{
public:
    Needle(std::string_view bytes, const std::array<std::size_t, 256> &count, std::size_t textSize)
        : m_bytes(bytes)
    {
        const auto rarer = [&](std::size_t i, std::size_t j) { return count[std::uint8_t(bytes[i])] < count[std::uint8_t(bytes[j])]; };
        for (std::size_t i = 1; i < bytes.size(); ++i)
            if (rarer(i, m_rarest))
                m_rarest = i;
        m_second = m_rarest == 0 ? bytes.size() - 1 : 0;
        for (std::size_t i = 0; i < bytes.size(); ++i)
            if (i != m_rarest && rarer(i, m_second))
                m_second = i;
        m_byWords = std::endian::native == std::endian::little && bytes.size() > 1
            && count[std::uint8_t(bytes[m_rarest])] * 32 > textSize;
    }

    // The first place in [from, to) of `text` where the needle starts, or `to`.
    std::size_t find(const char *text, std::size_t from, std::size_t to) const
    {
        return m_byWords ? findByWords(text, from, to) : findByRarest(text, from, to);
    }

private:
    bool at(const char *text, std::size_t start) const
    {
        for (std::size_t i = 0; i < m_bytes.size(); ++i)
            if (text[start + i] != m_bytes[i])
                return false;
        return true;
    }

    std::size_t findByRarest(const char *text, std::size_t from, std::size_t to) const
    {
        const std::size_t n = m_bytes.size();
        while (from + n <= to) {
            const void *hit = std::memchr(text + from + m_rarest, m_bytes[m_rarest], to - from - n + 1);
            if (!hit)
                break;
            const std::size_t start = std::size_t(static_cast<const char *>(hit) - text) - m_rarest;
            if (at(text, start))
                return start;
            from = start + 1;
        }
        return to;
    }

    std::size_t findByWords(const char *text, std::size_t from, std::size_t to) const
    {
        constexpr std::uint64_t ones = 0x0101010101010101u, highs = 0x8080808080808080u;
        const std::size_t n = m_bytes.size();
        const std::uint64_t a = ones * std::uint8_t(m_bytes[m_rarest]), b = ones * std::uint8_t(m_bytes[m_second]);
        std::size_t p = from;
        for (; p + n + 7 <= to; p += 8) {
            std::uint64_t x, y;
            std::memcpy(&x, text + p + m_rarest, 8);
            std::memcpy(&y, text + p + m_second, 8);
            x ^= a;
            y ^= b;
            // A high bit for each byte that is zero (and perhaps one above it): places to compare.
            for (std::uint64_t m = (x - ones) & ~x & (y - ones) & ~y & highs; m; m &= m - 1) {
                const std::size_t start = p + std::size_t(std::countr_zero(m) / 8);
                if (at(text, start))
                    return start;
            }
        }
        for (; p + n <= to; ++p)
            if (at(text, p))
                return p;
        return to;
    }

    std::string_view m_bytes;
    std::size_t m_rarest = 0, m_second = 0;
    bool m_byWords = false;
};

int fieldAt(const char *text, std::size_t from, std::size_t position)
{
    return int(std::count(text + from, text + position, FieldEnd));
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
    const std::string typed = trimmed.toStdString();
    std::string digits;
    if (phone && (digits = Normalizer::digits(trimmed).toStdString()) == typed)
        digits.clear();

    // A text extending an earlier one is found among that one's hits, if that one was compared in
    // every way this one is: as digits, and as pinyin.
    while (!narrowings.empty()) {
        const Private::Narrowing &last = narrowings.back();
        if (folded.startsWith(last.folded) && (!phone || last.phone) && (pinyin.isEmpty() || last.pinyin))
            break;
        narrowings.pop_back();
    }
    const Store &s = d->store;
    const std::vector<int> &among = narrowings.empty() ? s.order : narrowings.back().matched;

    // Which records hold the text (or the digits), and in which field first: through the whole text
    // at once, or record by record when only a few are left to look at.
    if (d->textMark.size() < s.entries.size()) {
        d->textMark.resize(s.entries.size(), 0);
        d->textField.resize(s.entries.size(), 0);
    }
    const std::uint32_t mark = ++d->searchNumber;
    const auto holds = [&](int slot, int field) {
        if (d->textMark[std::size_t(slot)] != mark || field < d->textField[std::size_t(slot)]) {
            d->textMark[std::size_t(slot)] = mark;
            d->textField[std::size_t(slot)] = std::uint8_t(field);
        }
    };
    const char *all = s.text.data();
    for (const std::string &bytes : {typed, digits}) {
        if (bytes.empty())
            continue;
        const Needle needle(bytes, s.byteCount, s.text.size() - s.deadText);
        if (among.size() * 8 < s.entries.size()) {
            for (const int slot : among) {
                const Entry &e = s.entries[std::size_t(slot)];
                const std::size_t at = needle.find(all, e.textStart, e.textStart + e.textLength);
                if (at < e.textStart + e.textLength)
                    holds(slot, fieldAt(all, e.textStart, at));
            }
            continue;
        }
        std::size_t piece = 0;
        for (std::size_t from = 0;;) {
            const std::size_t at = needle.find(all, from, s.text.size());
            if (at == s.text.size())
                break;
            while (piece + 1 < s.pieces.size() && s.pieces[piece + 1].start <= at)
                ++piece;
            if (s.pieces[piece].slot >= 0)
                holds(s.pieces[piece].slot, fieldAt(all, s.pieces[piece].start, at));
            from = piece + 1 < s.pieces.size() ? s.pieces[piece + 1].start : s.text.size();
        }
    }

    // Each record's best match, gathered by kind of match in name order.
    std::array<std::vector<Hit>, 5> byMatch;
    Private::Narrowing found{folded, !pinyin.isEmpty(), phone, {}};
    for (const int slot : among) {
        const Entry &e = s.entries[std::size_t(slot)];
        const Unit *units = s.units.data() + e.unitStart;
        // The units of the pinyin field whose mark is at `mark`: up to the next mark.
        const auto fieldEnd = [&](std::uint32_t markAt) {
            std::uint32_t end = markAt + 1;
            while (end < e.unitCount && !isFieldMark(units[end]))
                ++end;
            return end;
        };
        const std::string_view name(all + e.textStart, e.nameLength);
        Match match = Match::Contains;
        int field = 0;
        // The first byte decides most; comparing it here spares a call per record.
        const bool namePrefix = !name.empty() && name.front() == typed.front() && name.starts_with(typed);
        if (namePrefix && name.size() == typed.size()) {
            match = Match::ExactName;
        } else if (namePrefix) {
            match = Match::NamePrefix;
        } else {
            PinyinQuery::Result r = PinyinQuery::NoMatch;
            if (d->nameIsPinyin && !pinyin.isEmpty() && pinyin.mayMatch(e.nameInitials, e.letters))
                r = pinyin.matchStart(units + 1, fieldEnd(0) - 1, s.words);
            if (r != PinyinQuery::NoMatch) {
                match = r == PinyinQuery::Initials ? Match::NameInitials : Match::NamePinyin;
            } else {
                field = d->textMark[std::size_t(slot)] == mark ? d->textField[std::size_t(slot)] : INT_MAX;
                if (field > 0 && !pinyin.isEmpty() && pinyin.mayMatch(e.initials, e.letters))
                    for (std::uint32_t at = 0; at < e.unitCount;) {
                        const int f = int(units[at] & ~FieldMark);
                        const std::uint32_t end = fieldEnd(at);
                        if (f >= field)
                            break;
                        if (pinyin.matchAnywhere(units + at + 1, end - at - 1, s.words)) {
                            field = f;
                            break;
                        }
                        at = end;
                    }
                if (field == INT_MAX)
                    continue;
            }
        }
        found.matched.push_back(slot);
        byMatch[std::size_t(match)].push_back({e.id, field, match});
    }

    std::size_t total = 0;
    for (const auto &list : byMatch)
        total += list.size();
    if (limit >= 0)
        total = std::min(total, std::size_t(limit));
    QList<Hit> hits;
    hits.reserve(qsizetype(total));
    for (const auto &list : byMatch)
        for (std::size_t i = 0; i < list.size() && std::size_t(hits.size()) < total; ++i)
            hits.append(list[i]);

    if (!narrowings.empty() && narrowings.back().folded == folded)
        narrowings.back() = std::move(found);
    else
        narrowings.push_back(std::move(found));
    return hits;
}

} // namespace finder
