#include "pinyintable.h"

#include <bit>

namespace finder {

Readings PinyinTable::readings(char32_t c)
{
    if (c < readingdata::firstCodePoint)
        return {};
    const std::size_t offset = c - readingdata::firstCodePoint;
    const std::size_t word = offset / 64;
    if (word >= readingdata::wordCount)
        return {};
    const std::uint64_t bits = readingdata::present[word];
    const std::uint64_t bit = std::uint64_t(1) << (offset % 64);
    if (!(bits & bit))
        return {};
    return Readings(readingdata::values[readingdata::rankBefore[word] + std::popcount(bits & (bit - 1))]);
}

std::string_view PinyinTable::syllable(std::uint16_t number)
{
    const std::uint16_t begin = readingdata::syllableStart[number];
    return {readingdata::syllableText + begin, std::size_t(readingdata::syllableStart[number + 1] - begin)};
}

QStringList PinyinTable::syllables(char32_t c)
{
    QStringList out;
    readings(c).forEach([&out](std::uint16_t s) {
        const std::string_view text = syllable(s);
        out << QString::fromLatin1(text.data(), qsizetype(text.size()));
    });
    return out;
}

std::size_t PinyinTable::sizeInBytes()
{
    return readingdata::wordCount * (sizeof(std::uint64_t) + sizeof(std::uint16_t))
        + readingdata::characterCount * sizeof(std::uint16_t) + readingdata::multiCount * sizeof(std::uint16_t)
        + (readingdata::syllableCount + 1u) * sizeof(std::uint16_t) + readingdata::syllableStart[readingdata::syllableCount] + 1;
}

} // namespace finder
