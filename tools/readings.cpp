// mivo_readings UNIHAN_READINGS OUTPUT.cpp: turns the Mandarin readings of the Unicode Character
// Database (Unihan_Readings.txt, plain or .bz2) into the compiled-in table of src/find/readingdata.h.
//
// A character gets the union of its readings in kMandarin, kHanyuPinyin, kXHC1983 and kTGHZ2013, so a
// surname read otherwise than usual (单 shan, 乐 yue) is found too; kMandarin alone gives one reading.
// Tones are dropped and ü is written v, the way it is typed. The customary reading (kMandarin's) comes
// first: it orders names. Syllables are numbered alphabetically, so comparing numbers orders them.

#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QMap>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <array>
#include <bzlib.h>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

int fail(const std::string &message)
{
    std::fprintf(stderr, "mivo_readings: %s\n", message.c_str());
    return 1;
}

bool decompress(const QByteArray &packed, std::string *out, std::string *error)
{
    const char *next = packed.constData();
    unsigned left = unsigned(packed.size());
    // A file may hold several streams one after another.
    while (left > 0) {
        bz_stream s{};
        if (BZ2_bzDecompressInit(&s, 0, 0) != BZ_OK) {
            *error = "cannot start bzip2";
            return false;
        }
        s.next_in = const_cast<char *>(next);
        s.avail_in = left;
        int rc = BZ_OK;
        char buffer[1 << 16];
        while (rc == BZ_OK) {
            s.next_out = buffer;
            s.avail_out = sizeof buffer;
            rc = BZ2_bzDecompress(&s);
            out->append(buffer, sizeof buffer - s.avail_out);
        }
        next = s.next_in;
        left = s.avail_in;
        BZ2_bzDecompressEnd(&s);
        if (rc != BZ_STREAM_END) {
            *error = "damaged bzip2 data (" + std::to_string(rc) + ")";
            return false;
        }
    }
    return true;
}

// "lǚ" → "lv", "zhǎng" → "zhang", "ê̄" → "e"; empty when something else than a Latin letter is left.
std::string toneless(const QString &reading)
{
    std::string out;
    for (const QChar c : reading.normalized(QString::NormalizationForm_D)) {
        if (c == QChar(0x0308) && !out.empty() && out.back() == 'u')
            out.back() = 'v';
        else if (c.isMark())
            continue;
        else if (c.toLower().unicode() >= 'a' && c.toLower().unicode() <= 'z')
            out += char(c.toLower().unicode());
        else
            return {};
    }
    return out;
}

// The field's readings without their dictionary positions: "0117.100:chán 0207.100:dān" → chán, dān;
// kHanyuPinyin lists several per position: "21521.030:zēng,céng".
QStringList readingsOf(const QString &field, const QString &value)
{
    QStringList out;
    for (const QString &entry : value.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (field == QLatin1String("kMandarin")) {
            out << entry;
            continue;
        }
        const qsizetype colon = entry.indexOf(QLatin1Char(':'));
        out << entry.mid(colon + 1).split(QLatin1Char(','), Qt::SkipEmptyParts);
    }
    return out;
}

template <class T> void writeArray(std::string &out, const char *declaration, const std::vector<T> &values)
{
    out += declaration;
    out += " = {";
    for (size_t i = 0; i < values.size(); ++i) {
        out += (i % 16 == 0) ? "\n    " : " ";
        if constexpr (sizeof(T) == 8) {
            char hex[24];
            std::snprintf(hex, sizeof hex, "0x%llxu", static_cast<unsigned long long>(values[i]));
            out += std::string(hex) + ",";
        } else {
            out += std::to_string(values[i]) + ",";
        }
    }
    out += "\n};\n";
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3)
        return fail("usage: mivo_readings Unihan_Readings.txt[.bz2] output.cpp");
    const QString inputPath = QString::fromLocal8Bit(argv[1]);
    QFile input(inputPath);
    if (!input.open(QIODevice::ReadOnly))
        return fail("cannot read " + std::string(argv[1]));
    std::string text;
    const QByteArray raw = input.readAll();
    if (inputPath.endsWith(QLatin1String(".bz2"))) {
        std::string error;
        if (!decompress(raw, &text, &error))
            return fail(std::string(argv[1]) + ": " + error);
    } else {
        text.assign(raw.constData(), size_t(raw.size()));
    }

    // The fields in the order their readings are listed: the customary one first.
    const QStringList fields = {QStringLiteral("kMandarin"), QStringLiteral("kHanyuPinyin"), QStringLiteral("kXHC1983"),
                                QStringLiteral("kTGHZ2013")};
    std::map<char32_t, std::array<QStringList, 4>> byCharacter;
    size_t lineStart = 0;
    int lineNumber = 0;
    while (lineStart < text.size()) {
        size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string::npos)
            lineEnd = text.size();
        const QString line = QString::fromUtf8(text.data() + lineStart, qsizetype(lineEnd - lineStart)).trimmed();
        lineStart = lineEnd + 1;
        ++lineNumber;
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList parts = line.split(QLatin1Char('\t'));
        const qsizetype field = parts.size() == 3 ? fields.indexOf(parts.at(1)) : -1;
        if (field < 0)
            continue;
        bool ok = false;
        const uint cp = parts.at(0).mid(2).toUInt(&ok, 16);
        if (!parts.at(0).startsWith(QLatin1String("U+")) || !ok || cp > 0x10FFFF)
            return fail("line " + std::to_string(lineNumber) + ": no code point");
        byCharacter[char32_t(cp)][size_t(field)] << readingsOf(parts.at(1), parts.at(2));
    }
    if (byCharacter.size() < 20000)
        return fail("only " + std::to_string(byCharacter.size()) + " characters have readings: not the readings file?");

    // Each character's syllables, customary first, without repeats.
    std::map<char32_t, std::vector<std::string>> syllablesOf;
    std::set<std::string> allSyllables;
    for (const auto &[cp, lists] : byCharacter) {
        std::vector<std::string> &mine = syllablesOf[cp];
        for (const QStringList &list : lists)
            for (const QString &reading : list) {
                const std::string s = toneless(reading);
                if (s.empty())
                    return fail("U+" + QString::number(uint(cp), 16).toUpper().toStdString() + ": unreadable reading "
                                + reading.toStdString());
                if (std::find(mine.begin(), mine.end(), s) == mine.end())
                    mine.push_back(s);
            }
        allSyllables.insert(mine.begin(), mine.end());
    }

    const std::vector<std::string> syllables(allSyllables.begin(), allSyllables.end());
    std::map<std::string, uint16_t> idOf;
    std::vector<uint16_t> syllableStart;
    std::string syllableText;
    for (const std::string &s : syllables) {
        idOf[s] = uint16_t(idOf.size());
        syllableStart.push_back(uint16_t(syllableText.size()));
        syllableText += s;
    }
    syllableStart.push_back(uint16_t(syllableText.size()));

    // One value per character: a syllable's number, or past the syllables, where its list begins in
    // `multi` (the last of a list has the top bit set). Equal lists are stored once.
    const char32_t first = syllablesOf.begin()->first & ~char32_t(63);
    const char32_t last = syllablesOf.rbegin()->first;
    std::vector<uint64_t> present((last - first) / 64 + 1, 0);
    std::vector<uint16_t> rankBefore(present.size(), 0);
    std::vector<uint16_t> values;
    std::vector<uint16_t> multi;
    std::map<std::vector<uint16_t>, size_t> listAt;
    for (const auto &[cp, mine] : syllablesOf) {
        present[(cp - first) / 64] |= uint64_t(1) << ((cp - first) % 64);
        std::vector<uint16_t> ids;
        for (const std::string &s : mine)
            ids.push_back(idOf.at(s));
        if (ids.size() == 1) {
            values.push_back(ids.front());
            continue;
        }
        auto found = listAt.find(ids);
        if (found == listAt.end()) {
            found = listAt.emplace(ids, multi.size()).first;
            for (size_t i = 0; i < ids.size(); ++i)
                multi.push_back(uint16_t(ids[i] | (i + 1 == ids.size() ? 0x8000 : 0)));
        }
        values.push_back(uint16_t(syllables.size() + found->second));
        if (syllables.size() + multi.size() > 0xffff)
            return fail("too many readings for 16-bit offsets");
    }
    if (values.size() > 0xffff || syllableText.size() > 0xffff)
        return fail("too many characters for 16-bit ranks");
    uint32_t before = 0;
    for (size_t w = 0; w < present.size(); ++w) {
        rankBefore[w] = uint16_t(before);
        before += uint32_t(__builtin_popcountll(present[w]));
    }

    std::string out = "// Generated by mivo_readings from the Unicode Character Database. Do not edit.\n"
                      "#include \"find/readingdata.h\"\n\nnamespace finder::readingdata {\n\n";
    out += "const char32_t firstCodePoint = " + std::to_string(uint32_t(first)) + ";\n";
    out += "const std::size_t wordCount = " + std::to_string(present.size()) + ";\n";
    out += "const std::uint16_t syllableCount = " + std::to_string(syllables.size()) + ";\n";
    out += "const std::size_t characterCount = " + std::to_string(values.size()) + ";\n";
    out += "const std::size_t multiCount = " + std::to_string(multi.size()) + ";\n";
    out += "const char syllableText[] = \"" + syllableText + "\";\n";
    writeArray(out, "const std::uint16_t syllableStart[]", syllableStart);
    writeArray(out, "const std::uint64_t present[]", present);
    writeArray(out, "const std::uint16_t rankBefore[]", rankBefore);
    writeArray(out, "const std::uint16_t values[]", values);
    writeArray(out, "const std::uint16_t multi[]", multi);
    out += "\n} // namespace finder::readingdata\n";

    QSaveFile output(QString::fromLocal8Bit(argv[2]));
    if (!output.open(QIODevice::WriteOnly) || output.write(out.data(), qint64(out.size())) != qint64(out.size()) || !output.commit())
        return fail("cannot write " + std::string(argv[2]));
    std::printf("mivo_readings: %zu characters, %zu syllables, %zu shared lists of readings\n", values.size(),
                syllables.size(), listAt.size());
    return 0;
}
