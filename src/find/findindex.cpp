#include "findindex.h"

#include "findindex_p.h"
#include "normalizer.h"
#include "pinyintable.h"

#include <algorithm>
#include <numeric>

namespace finder {

namespace {

void appendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// Calls f(code point) for each character of `text`; a lone surrogate passes as itself.
template <class F> void forEachCodePoint(QStringView text, F f)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(char16_t(c), text[++i].unicode());
        f(c);
    }
}

std::uint32_t lettersOf(std::string_view text)
{
    std::uint32_t mask = 0;
    for (const char c : text)
        mask |= PinyinQuery::letterMask(c);
    return mask;
}

// The letters each syllable of the table holds.
const std::vector<std::uint32_t> &syllableLetters()
{
    static const std::vector<std::uint32_t> letters = [] {
        std::vector<std::uint32_t> out(std::size_t(PinyinTable::syllableCount()));
        for (std::size_t s = 0; s < out.size(); ++s)
            out[s] = lettersOf(PinyinTable::syllable(std::uint16_t(s)));
        return out;
    }();
    return letters;
}

bool isMark(Unit u)
{
    return (u & (WordBit | FieldMark)) == FieldMark;
}

} // namespace

std::uint32_t FindIndex::Private::Words::intern(const std::string &word)
{
    const auto [at, added] = number.emplace(word, std::uint32_t(list.size()));
    if (added)
        list.push_back(word);
    return at->second;
}

Entry FindIndex::Private::makeEntry(qint64 id, const QStringView *values, qsizetype count, Words &into) const
{
    Entry e;
    e.id = id;
    e.used = true;
    std::string word;
    // Each unit's readings: the letters they begin with and the letters they hold.
    const auto addUnit = [&](Unit unit, std::uint32_t initials, std::uint32_t letters, bool nameStart) {
        e.units.push_back(unit);
        e.initials |= initials;
        e.letters |= letters;
        if (nameStart)
            e.nameInitials = initials;
    };
    for (qsizetype f = 0; f < fields.size(); ++f) {
        const QStringView value = f < count ? values[f] : QStringView();
        const FieldKind kind = fields.at(f).kind;
        if (kind == FieldKind::Phone) {
            for (const QChar c : Normalizer::digits(value))
                e.text += char(c.unicode());
            e.text += FieldEnd;
            continue;
        }
        const bool pinyin = kind == FieldKind::Pinyin;
        if (pinyin)
            e.units.push_back(FieldMark | Unit(f));
        const std::size_t fieldStart = e.units.size();
        const auto flushWord = [&] {
            if (word.empty())
                return;
            addUnit(WordBit | into.intern(word), PinyinQuery::letterMask(word.front()), lettersOf(word),
                    f == 0 && e.units.size() == fieldStart);
            word.clear();
        };
        forEachCodePoint(value, [&](char32_t raw) {
            const char32_t c = Normalizer::fold(raw);
            appendUtf8(e.text, c);
            if (!pinyin)
                return;
            const bool letter = c >= 'a' && c <= 'z', digit = c >= '0' && c <= '9';
            // A run of letters or of digits is one word; "abc123" two.
            if (!word.empty() && (!(letter || digit) || (digit != (word.back() >= '0' && word.back() <= '9'))))
                flushWord();
            if (letter || digit) {
                word += char(c);
                return;
            }
            const Readings readings = PinyinTable::readings(c);
            if (readings.isEmpty())
                return;
            std::uint32_t initials = 0, letters = 0;
            readings.forEach([&](std::uint16_t s) {
                initials |= PinyinQuery::letterMask(PinyinTable::syllable(s).front());
                letters |= syllableLetters()[s];
            });
            addUnit(readings.code(), initials, letters, f == 0 && e.units.size() == fieldStart);
        });
        flushWord();
        e.text += FieldEnd;
    }
    return e;
}

std::string FindIndex::Private::sortKey(const Entry &e) const
{
    std::string key;
    if (nameIsPinyin)
        for (std::size_t i = 1; i < e.units.size() && !isMark(e.units[i]); ++i) {
            const Unit u = e.units[i];
            key += (u & WordBit) ? std::string_view(words.list[u & ~WordBit]) : PinyinTable::syllable(Readings(std::uint16_t(u)).first());
            key += '\x01';
        }
    key += '\0';
    key.append(e.text, 0, e.text.find(FieldEnd));
    return key;
}

void FindIndex::Private::put(Entry &&e)
{
    narrowings.clear();
    int slot;
    const auto existing = slotOf.constFind(e.id);
    if (existing != slotOf.constEnd()) {
        slot = *existing;
        order.erase(std::find(order.begin(), order.end(), slot));
    } else if (!freeSlots.empty()) {
        slot = freeSlots.back();
        freeSlots.pop_back();
    } else {
        slot = int(entries.size());
        entries.emplace_back();
    }
    const std::string key = sortKey(e);
    const qint64 id = e.id;
    entries[std::size_t(slot)] = std::move(e);
    slotOf.insert(id, slot);
    const auto at = std::lower_bound(order.begin(), order.end(), 0, [&](int other, int) {
        const Entry &o = entries[std::size_t(other)];
        const int c = sortKey(o).compare(key);
        return c < 0 || (c == 0 && o.id < id);
    });
    order.insert(at, slot);
}

void FindIndex::Private::replaceAll(std::vector<Entry> &&all, Words &&newWords)
{
    narrowings.clear();
    words = std::move(newWords);
    entries.clear();
    freeSlots.clear();
    slotOf.clear();
    slotOf.reserve(qsizetype(all.size()));
    entries.reserve(all.size());
    for (Entry &e : all) {
        const auto existing = slotOf.constFind(e.id);
        if (existing != slotOf.constEnd()) {
            entries[std::size_t(*existing)] = std::move(e);
            continue;
        }
        slotOf.insert(e.id, int(entries.size()));
        entries.push_back(std::move(e));
    }
    std::vector<std::string> keys(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        keys[i] = sortKey(entries[i]);
    order.resize(entries.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const int c = keys[std::size_t(a)].compare(keys[std::size_t(b)]);
        return c < 0 || (c == 0 && entries[std::size_t(a)].id < entries[std::size_t(b)].id);
    });
}

FindIndex::FindIndex(const QList<Field> &fields)
    : d(std::make_unique<Private>())
{
    d->fields = fields;
    d->nameIsPinyin = !fields.isEmpty() && fields.first().kind == FieldKind::Pinyin;
}

FindIndex::~FindIndex() = default;

const QList<Field> &FindIndex::fields() const
{
    return d->fields;
}

qsizetype FindIndex::size() const
{
    return d->slotOf.size();
}

bool FindIndex::contains(qint64 id) const
{
    return d->slotOf.contains(id);
}

void FindIndex::setRecords(const QList<Record> &records)
{
    std::vector<Entry> all;
    all.reserve(std::size_t(records.size()));
    Private::Words words;
    std::vector<QStringView> views;
    for (const Record &r : records) {
        views.assign(r.values.begin(), r.values.end());
        all.push_back(d->makeEntry(r.id, views.data(), qsizetype(views.size()), words));
    }
    d->replaceAll(std::move(all), std::move(words));
}

void FindIndex::update(const Record &record)
{
    const std::vector<QStringView> views(record.values.begin(), record.values.end());
    d->put(d->makeEntry(record.id, views.data(), qsizetype(views.size()), d->words));
}

bool FindIndex::remove(qint64 id)
{
    const auto found = d->slotOf.constFind(id);
    if (found == d->slotOf.constEnd())
        return false;
    const int slot = *found;
    d->slotOf.erase(found);
    d->order.erase(std::find(d->order.begin(), d->order.end(), slot));
    d->entries[std::size_t(slot)] = Entry();
    d->freeSlots.push_back(slot);
    d->narrowings.clear();
    return true;
}

void FindIndex::clear()
{
    d->replaceAll({}, {});
}

std::size_t FindIndex::memoryUsage() const
{
    std::size_t bytes = d->entries.capacity() * sizeof(Entry) + d->order.capacity() * sizeof(int)
        + d->freeSlots.capacity() * sizeof(int) + std::size_t(d->slotOf.capacity()) * (sizeof(qint64) + sizeof(int) + 8);
    for (const Entry &e : d->entries) {
        if (e.text.capacity() > 15)
            bytes += e.text.capacity() + 1;
        bytes += e.units.capacity() * sizeof(Unit);
    }
    for (const std::string &w : d->words.list)
        bytes += sizeof(std::string) * 2 + sizeof(std::uint32_t) + (w.capacity() > 15 ? 2 * (w.capacity() + 1) : 0);
    for (const Private::Narrowing &n : d->narrowings)
        bytes += n.matched.capacity() * sizeof(int) + std::size_t(n.folded.capacity()) * 2;
    return bytes;
}

} // namespace finder
