#pragma once
// The Mandarin readings of Chinese characters, toneless, ü written v (吕: lv), every reading a
// character has in the common dictionaries (单: dan, shan, chan). Compiled into the program: the table
// is made at build time from the Unicode Character Database and costs no start-up work.

#include "find/readingdata.h"

#include <QStringList>
#include <cstdint>
#include <string_view>

namespace finder {

// One character's readings: a syllable number, or a list of them with the customary reading first.
class Readings
{
public:
    static constexpr std::uint16_t None = 0xffff;

    Readings() = default;
    explicit Readings(std::uint16_t code) : m_code(code) {}

    bool isEmpty() const { return m_code == None; }
    // What an index keeps of a character: Readings(code()) gives the same readings back.
    std::uint16_t code() const { return m_code; }

    // Calls f(syllable number) for each reading, the customary one first.
    template <class F> void forEach(F f) const
    {
        if (m_code == None)
            return;
        if (m_code < readingdata::syllableCount) {
            f(m_code);
            return;
        }
        for (const std::uint16_t *p = readingdata::multi + (m_code - readingdata::syllableCount);; ++p) {
            f(std::uint16_t(*p & 0x7fff));
            if (*p & 0x8000)
                return;
        }
    }
    std::uint16_t first() const
    {
        return m_code < readingdata::syllableCount ? m_code : std::uint16_t(readingdata::multi[m_code - readingdata::syllableCount] & 0x7fff);
    }

private:
    std::uint16_t m_code = None;
};

class PinyinTable
{
public:
    static Readings readings(char32_t c);
    // Syllables are numbered alphabetically: comparing numbers orders them as their text.
    static std::string_view syllable(std::uint16_t number);
    static int syllableCount() { return readingdata::syllableCount; }

    // The readings of `c` as text ("dan", "shan", "chan"), for messages and tests.
    static QStringList syllables(char32_t c);
    // How many characters have readings, and what the table costs the program in bytes.
    static std::size_t characterCount() { return readingdata::characterCount; }
    static std::size_t sizeInBytes();
};

} // namespace finder
