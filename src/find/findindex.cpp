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

// The same for UTF-8 (as the database gives it); a byte that starts no character passes as U+FFFD.
template <class F> void forEachCodePoint(std::string_view text, F f)
{
    const auto *p = reinterpret_cast<const unsigned char *>(text.data());
    const auto *end = p + text.size();
    while (p < end) {
        const unsigned char b = *p++;
        if (b < 0x80) {
            f(char32_t(b));
            continue;
        }
        const int more = b >= 0xF0 && b < 0xF8 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : -1;
        char32_t c = more == 3 ? b & 0x07 : more == 2 ? b & 0x0F : b & 0x1F;
        int taken = 0;
        while (taken < more && p < end && (*p & 0xC0) == 0x80) {
            c = (c << 6) | (*p++ & 0x3F);
            ++taken;
        }
        f(more < 0 || taken < more || c > 0x10FFFF ? char32_t(0xFFFD) : c);
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

} // namespace

std::uint32_t Store::intern(const std::string &word)
{
    const auto [at, added] = wordNumber.emplace(word, std::uint32_t(words.size()));
    if (added)
        words.push_back(word);
    return at->second;
}

template <class Text>
Entry FindIndex::Private::makeEntry(Store &store, qint64 id, const Text *values, qsizetype count) const
{
    Entry e;
    e.id = id;
    e.used = true;
    e.textStart = std::uint32_t(store.text.size());
    e.unitStart = std::uint32_t(store.units.size());
    std::string &text = store.text;
    std::string word;
    // Each unit's readings: the letters they begin with and the letters they hold.
    const auto addUnit = [&](Unit unit, std::uint32_t initials, std::uint32_t letters, bool nameStart) {
        store.units.push_back(unit);
        e.initials |= initials;
        e.letters |= letters;
        if (nameStart)
            e.nameInitials = initials;
    };
    for (qsizetype f = 0; f < fields.size(); ++f) {
        const Text value = f < count ? values[f] : Text();
        const FieldKind kind = fields.at(f).kind;
        if (kind == FieldKind::Phone) {
            forEachCodePoint(value, [&text](char32_t raw) {
                const char32_t c = Normalizer::fold(raw);
                if (c >= '0' && c <= '9')
                    text += char(c);
            });
        } else {
            const bool pinyin = kind == FieldKind::Pinyin;
            if (pinyin)
                store.units.push_back(FieldMark | Unit(f));
            const std::size_t fieldStart = store.units.size();
            const auto flushWord = [&] {
                if (word.empty())
                    return;
                addUnit(WordBit | store.intern(word), PinyinQuery::letterMask(word.front()), lettersOf(word),
                        f == 0 && store.units.size() == fieldStart);
                word.clear();
            };
            forEachCodePoint(value, [&](char32_t raw) {
                const char32_t c = Normalizer::fold(raw);
                appendUtf8(text, c);
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
                addUnit(readings.code(), initials, letters, f == 0 && store.units.size() == fieldStart);
            });
            flushWord();
        }
        if (f == 0)
            e.nameLength = std::uint32_t(text.size() - e.textStart);
        text += FieldEnd;
    }
    e.textLength = std::uint32_t(text.size() - e.textStart);
    e.unitCount = std::uint32_t(store.units.size() - e.unitStart);
    for (std::size_t i = e.textStart; i < text.size(); ++i)
        ++store.byteCount[std::uint8_t(text[i])];
    return e;
}

template Entry FindIndex::Private::makeEntry(Store &, qint64, const QStringView *, qsizetype) const;
template Entry FindIndex::Private::makeEntry(Store &, qint64, const std::string_view *, qsizetype) const;

std::string FindIndex::Private::sortKey(const Store &store, const Entry &e) const
{
    std::string key;
    if (nameIsPinyin)
        for (std::uint32_t i = 1; i < e.unitCount && !isFieldMark(store.units[e.unitStart + i]); ++i) {
            const Unit u = store.units[e.unitStart + i];
            key += (u & WordBit) ? std::string_view(store.words[u & ~WordBit])
                                 : PinyinTable::syllable(Readings(std::uint16_t(u)).first());
            key += '\x01';
        }
    key += '\0';
    key.append(store.text, e.textStart, e.nameLength);
    return key;
}

void FindIndex::Private::kill(Store &store, int slot) const
{
    Entry &old = store.entries[std::size_t(slot)];
    auto piece = std::lower_bound(store.pieces.begin(), store.pieces.end(), old.textStart,
                                  [](const Store::Piece &p, std::uint32_t start) { return p.start < start; });
    while (piece->slot != slot) // pieces of no text (an index of no fields) share their start
        ++piece;
    piece->slot = -1;
    for (std::uint32_t i = 0; i < old.textLength; ++i)
        --store.byteCount[std::uint8_t(store.text[old.textStart + i])];
    store.deadText += old.textLength;
    store.deadUnits += old.unitCount;
    old = Entry();
}

void FindIndex::Private::place(Store &store, Entry &&e, bool ordered) const
{
    int slot;
    const auto existing = store.slotOf.constFind(e.id);
    if (existing != store.slotOf.constEnd()) {
        slot = *existing;
        if (ordered)
            store.order.erase(std::find(store.order.begin(), store.order.end(), slot));
        kill(store, slot);
    } else if (!store.freeSlots.empty()) {
        slot = store.freeSlots.back();
        store.freeSlots.pop_back();
    } else {
        slot = int(store.entries.size());
        store.entries.emplace_back();
    }
    store.pieces.push_back({e.textStart, slot});
    store.slotOf.insert(e.id, slot);
    store.entries[std::size_t(slot)] = std::move(e);
    if (!ordered)
        return;
    const Entry &placed = store.entries[std::size_t(slot)];
    const std::string key = sortKey(store, placed);
    const auto at = std::lower_bound(store.order.begin(), store.order.end(), 0, [&](int other, int) {
        const Entry &o = store.entries[std::size_t(other)];
        const int c = sortKey(store, o).compare(key);
        return c < 0 || (c == 0 && o.id < placed.id);
    });
    store.order.insert(at, slot);
}

void FindIndex::Private::sortOrder(Store &store) const
{
    store.order.clear();
    std::vector<std::string> keys(store.entries.size());
    for (std::size_t i = 0; i < store.entries.size(); ++i)
        if (store.entries[i].used) {
            keys[i] = sortKey(store, store.entries[i]);
            store.order.push_back(int(i));
        }
    std::sort(store.order.begin(), store.order.end(), [&](int a, int b) {
        const int c = keys[std::size_t(a)].compare(keys[std::size_t(b)]);
        return c < 0 || (c == 0 && store.entries[std::size_t(a)].id < store.entries[std::size_t(b)].id);
    });
}

void FindIndex::Private::renumber(Store &s) const
{
    Store out;
    out.entries.reserve(s.order.size());
    out.slotOf.reserve(qsizetype(s.order.size()));
    out.text.reserve(s.text.size() - s.deadText);
    out.units.reserve(s.units.size() - s.deadUnits);
    out.pieces.reserve(s.order.size());
    out.order.reserve(s.order.size());
    for (const int slot : s.order) {
        Entry e = s.entries[std::size_t(slot)];
        const int now = int(out.entries.size());
        out.pieces.push_back({std::uint32_t(out.text.size()), now});
        out.text.append(s.text, e.textStart, e.textLength);
        e.textStart = out.pieces.back().start;
        out.units.insert(out.units.end(), s.units.begin() + e.unitStart, s.units.begin() + e.unitStart + e.unitCount);
        e.unitStart = std::uint32_t(out.units.size() - e.unitCount);
        out.slotOf.insert(e.id, now);
        out.order.push_back(now);
        out.entries.push_back(e);
    }
    out.byteCount = s.byteCount;
    out.words = std::move(s.words);
    out.wordNumber = std::move(s.wordNumber);
    s = std::move(out);
}

void FindIndex::Private::compactIfWasteful()
{
    if (store.deadText >= (1u << 16) && store.deadText >= store.text.size() / 2)
        renumber(store);
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
    return d->store.slotOf.size();
}

bool FindIndex::contains(qint64 id) const
{
    return d->store.slotOf.contains(id);
}

void FindIndex::setRecords(const QList<Record> &records)
{
    Store fresh;
    fresh.entries.reserve(std::size_t(records.size()));
    std::vector<QStringView> views;
    for (const Record &r : records) {
        views.assign(r.values.begin(), r.values.end());
        d->place(fresh, d->makeEntry(fresh, r.id, views.data(), qsizetype(views.size())), false);
    }
    d->sortOrder(fresh);
    d->renumber(fresh);
    d->store = std::move(fresh);
    d->narrowings.clear();
}

void FindIndex::update(const Record &record)
{
    const std::vector<QStringView> views(record.values.begin(), record.values.end());
    d->place(d->store, d->makeEntry(d->store, record.id, views.data(), qsizetype(views.size())), true);
    d->narrowings.clear();
    d->compactIfWasteful();
}

bool FindIndex::remove(qint64 id)
{
    Store &s = d->store;
    const auto found = s.slotOf.constFind(id);
    if (found == s.slotOf.constEnd())
        return false;
    const int slot = *found;
    s.slotOf.erase(found);
    s.order.erase(std::find(s.order.begin(), s.order.end(), slot));
    d->kill(s, slot);
    s.freeSlots.push_back(slot);
    d->narrowings.clear();
    d->compactIfWasteful();
    return true;
}

void FindIndex::clear()
{
    d->store = Store();
    d->narrowings.clear();
}

std::size_t FindIndex::memoryUsage() const
{
    const Store &s = d->store;
    std::size_t bytes = s.entries.capacity() * sizeof(Entry) + s.order.capacity() * sizeof(int)
        + s.freeSlots.capacity() * sizeof(int) + std::size_t(s.slotOf.capacity()) * (sizeof(qint64) + sizeof(int) + 8)
        + s.text.capacity() + s.units.capacity() * sizeof(Unit) + s.pieces.capacity() * sizeof(Store::Piece)
        + d->textMark.capacity() * sizeof(std::uint32_t) + d->textField.capacity();
    for (const std::string &w : s.words)
        bytes += sizeof(std::string) * 2 + 32 + (w.capacity() > 15 ? 2 * (w.capacity() + 1) : 0);
    for (const Private::Narrowing &n : d->narrowings)
        bytes += n.matched.capacity() * sizeof(int) + std::size_t(n.folded.capacity()) * 2;
    return bytes;
}

} // namespace finder
