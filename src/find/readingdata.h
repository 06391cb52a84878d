#pragma once
// The Mandarin readings of every Chinese character that has any, generated at build time by
// tools/readings.cpp from the Unicode Character Database. PinyinTable reads it; nothing else should.
//
// A character's readings: bit (c - firstCodePoint) of `present` says it has any; its value is then
// values[rankBefore[word] + the set bits below it in its word]. A value below syllableCount is one
// syllable; a larger one starts a list in `multi` at (value - syllableCount), whose last entry has the
// top bit set. Syllable i is syllableText[syllableStart[i] .. syllableStart[i + 1]), toneless, ü as v,
// numbered alphabetically. The customary reading is listed first.

#include <cstddef>
#include <cstdint>

namespace finder::readingdata {

extern const char32_t firstCodePoint;
extern const std::size_t wordCount;
extern const std::uint16_t syllableCount;
extern const std::size_t characterCount;
extern const std::size_t multiCount;
extern const char syllableText[];
extern const std::uint16_t syllableStart[];
extern const std::uint64_t present[];
extern const std::uint16_t rankBefore[];
extern const std::uint16_t values[];
extern const std::uint16_t multi[];

} // namespace finder::readingdata
