#include "pinyinquery.h"

#include "pinyintable.h"

#include <bit>

namespace finder {

namespace {

constexpr std::uint64_t bit(int position)
{
    return std::uint64_t(1) << position;
}

// Calls f(p) for each set bit p.
template <class F> void forEachBit(std::uint64_t bits, F f)
{
    while (bits) {
        f(std::countr_zero(bits));
        bits &= bits - 1;
    }
}

} // namespace

std::uint32_t PinyinQuery::letterMask(char c)
{
    if (c >= '0' && c <= '9')
        return 1u << 26;
    if (c < 'a' || c > 'z')
        return 0;
    return c == 'v' ? (1u << ('v' - 'a')) | (1u << ('u' - 'a')) : 1u << (c - 'a');
}

PinyinQuery::PinyinQuery(QStringView folded)
{
    for (const QChar c : folded) {
        const char16_t u = c.unicode();
        if (u == ' ' || u == '\'')
            continue;
        if (u == 0xFC) { // ü typed as itself
            m_text += 'v';
            continue;
        }
        if (!((u >= 'a' && u <= 'z') || (u >= '0' && u <= '9')) || m_text.size() >= std::size_t(MaxLength)) {
            m_text.clear();
            return;
        }
        m_text += char(u);
    }
    m_length = int(m_text.size());
    if (m_text.empty())
        return;
    m_firstMask = letterMask(m_text.front());
    for (const char c : m_text)
        m_letterMask |= letterMask(c);

    const int syllables = PinyinTable::syllableCount();
    m_any.assign(std::size_t(syllables) * std::size_t(m_length), 0);
    m_initial.assign(m_any.size(), 0);
    for (int s = 0; s < syllables; ++s) {
        const std::string_view reading = PinyinTable::syllable(std::uint16_t(s));
        for (int p = 0; p < m_length; ++p) {
            const std::size_t at = std::size_t(s) * std::size_t(m_length) + std::size_t(p);
            step(reading, true, p, &m_any[at], &m_initial[at]);
        }
    }
}

void PinyinQuery::step(std::string_view reading, bool isSyllable, int p, std::uint64_t *any, std::uint64_t *initial) const
{
    const char *typed = m_text.data();
    // A syllable's ü is typed v or u.
    const auto same = [isSyllable](char r, char t) { return r == t || (isSyllable && r == 'v' && t == 'u'); };
    if (reading.empty())
        return;
    if (same(reading[0], typed[p])) {
        *any |= bit(p + 1);
        *initial |= bit(p + 1);
    }
    const char c = reading[0];
    if (reading.size() > 1 && reading[1] == 'h' && (c == 'z' || c == 'c' || c == 's') && p + 1 < m_length
        && typed[p] == c && typed[p + 1] == 'h') {
        *any |= bit(p + 2);
        *initial |= bit(p + 2);
    }
    int k = 0;
    const int size = int(reading.size());
    while (k < size && p + k < m_length && same(reading[std::size_t(k)], typed[p + k]))
        ++k;
    if (k == size || (k > 0 && p + k == m_length))
        *any |= bit(p + k);
}

template <bool Anywhere>
PinyinQuery::Result PinyinQuery::walk(const Unit *units, std::size_t count, const WordList &words) const
{
    const std::uint64_t done = bit(m_length);
    std::uint64_t any = Anywhere ? 0 : 1;
    std::uint64_t initial = Anywhere ? 0 : 1;
    bool reachedEnd = false;
    for (std::size_t i = 0; i < count; ++i) {
        if (Anywhere)
            any |= 1;
        else if (!any)
            break;
        std::uint64_t nextAny = 0, nextInitial = 0;
        const Unit unit = units[i];
        if (unit & WordBit) {
            const std::string &word = words[unit & ~WordBit];
            forEachBit(any | initial, [&](int p) {
                std::uint64_t a = 0, b = 0;
                step(word, false, p, &a, &b);
                if (any & bit(p))
                    nextAny |= a;
                if (initial & bit(p))
                    nextInitial |= b;
            });
        } else {
            Readings(std::uint16_t(unit)).forEach([&](std::uint16_t s) {
                const std::size_t row = std::size_t(s) * std::size_t(m_length);
                forEachBit(any, [&](int p) { nextAny |= m_any[row + std::size_t(p)]; });
                if (!Anywhere)
                    forEachBit(initial, [&](int p) { nextInitial |= m_initial[row + std::size_t(p)]; });
            });
        }
        if (nextInitial & done)
            return Initials;
        if (nextAny & done) {
            if (Anywhere)
                return Syllables;
            reachedEnd = true;
        }
        any = nextAny & ~done;
        initial = nextInitial & ~done;
    }
    return reachedEnd ? Syllables : NoMatch;
}

PinyinQuery::Result PinyinQuery::matchStart(const Unit *units, std::size_t count, const WordList &words) const
{
    return m_text.empty() ? NoMatch : walk<false>(units, count, words);
}

bool PinyinQuery::matchAnywhere(const Unit *units, std::size_t count, const WordList &words) const
{
    return !m_text.empty() && walk<true>(units, count, words) != NoMatch;
}

} // namespace finder
