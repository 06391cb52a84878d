#pragma once
// Typed pinyin ("zhangsan", "zs", "zsan", "zhangs", "lv") matched against names given as the readings
// of their characters. Each character takes its full syllable, its initial (z, or zh/ch/sh) or, at the
// end of the typing, the beginning of a syllable; any of its readings will do. The match walks the
// characters once, keeping the set of typed positions reached, so a long text of characters with many
// readings costs no more than its length times its readings.

#include <QStringView>
#include <cstdint>
#include <string>
#include <vector>

namespace finder {

// A text as the matcher reads it: one unit per Chinese character (its readings' code, see Readings)
// and one per run of Latin letters or of digits (a word, WordBit | its number in a WordList). Other
// characters (blanks, signs) are left out.
using Unit = std::uint32_t;
constexpr Unit WordBit = 0x80000000u;
using WordList = std::vector<std::string>;

class PinyinQuery
{
public:
    static constexpr int MaxLength = 63;
    enum Result { NoMatch, Initials, Syllables };

    // `folded` is typed text already folded (Normalizer::fold); blanks and apostrophes are ignored.
    // Anything but Latin letters and digits left, or more than MaxLength of them, matches nothing.
    explicit PinyinQuery(QStringView folded);

    bool isEmpty() const { return m_text.empty(); }
    const std::string &text() const { return m_text; }

    // Whether a text whose readings begin with the letters `initials` and hold the letters `letters`
    // (masks from letterMask()) can match at all: a cheap test before the walk.
    bool mayMatch(std::uint32_t initials, std::uint32_t letters) const
    {
        return (initials & m_firstMask) && (letters & m_letterMask) == m_letterMask;
    }
    // The bit of a letter or digit in the masks; a reading's ü (v) counts as u as well.
    static std::uint32_t letterMask(char c);

    // The whole typing matched from the first unit: by initials alone, or needing syllables.
    Result matchStart(const Unit *units, std::size_t count, const WordList &words) const;
    // The whole typing matched from any unit on.
    bool matchAnywhere(const Unit *units, std::size_t count, const WordList &words) const;

private:
    template <bool Anywhere> Result walk(const Unit *units, std::size_t count, const WordList &words) const;
    // Positions reached from `p` through one reading: by any means, and by its initial alone.
    void step(std::string_view reading, bool isSyllable, int p, std::uint64_t *any, std::uint64_t *initial) const;

    std::string m_text;
    int m_length = 0;
    std::uint32_t m_firstMask = 0;
    std::uint32_t m_letterMask = 0;
    // Per syllable of the table and typed position, the positions a reading reaches.
    std::vector<std::uint64_t> m_any, m_initial;
};

} // namespace finder
