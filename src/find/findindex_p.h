#pragma once
// Inside FindIndex: how the records are kept, and what a search remembers to narrow the next one.
//
// The records' folded texts lie one after another in one block of memory, and a search runs through
// that block at the speed of memchr, for the byte of the typed text that is rarest there, instead of
// visiting each record; the readings of their pinyin fields lie likewise in a block of units. A changed
// record's new text is added at the end and its old piece left dead, until the dead outweigh the live.

#include "findindex.h"
#include "pinyinquery.h"

#include <QHash>
#include <array>
#include <string>
#include <unordered_map>
#include <vector>

namespace finder {

// Ends each field in a record's text; typed text never holds it (folding makes it a blank).
constexpr char FieldEnd = '\x1f';
// Starts a field's units (the rest of the value is the field's number).
constexpr Unit FieldMark = 0x40000000u;

inline bool isFieldMark(Unit u)
{
    return (u & (WordBit | FieldMark)) == FieldMark;
}

struct Entry
{
    qint64 id = 0;
    bool used = false;
    // The folded values as UTF-8, each followed by FieldEnd (phone fields as their digits): in Store::text.
    std::uint32_t textStart = 0, textLength = 0, nameLength = 0;
    // For each pinyin field: FieldMark | field, then its units: in Store::units.
    std::uint32_t unitStart = 0, unitCount = 0;
    // Letters that readings begin with (of the name's first unit; of any unit), and that they hold.
    std::uint32_t nameInitials = 0, initials = 0, letters = 0;
};

// Everything the records are kept in; a load builds a new one and takes it only when it succeeded.
struct Store
{
    std::vector<Entry> entries; // by slot
    std::vector<int> freeSlots;
    QHash<qint64, int> slotOf;
    // The used slots, ordered by name: their readings, then their text, then the id.
    std::vector<int> order;

    std::string text;
    std::vector<Unit> units;
    // The pieces of `text` in order, with the slot each belongs to; -1 for a dead piece.
    struct Piece
    {
        std::uint32_t start;
        int slot;
    };
    std::vector<Piece> pieces;
    std::size_t deadText = 0, deadUnits = 0;
    // How often each byte occurs in the live text: the rarest of the typed ones is looked for.
    std::array<std::size_t, 256> byteCount{};

    // The words of the records (Latin names, digits), each kept once.
    WordList words;
    std::unordered_map<std::string, std::uint32_t> wordNumber;
    std::uint32_t intern(const std::string &word);
};

struct FindIndex::Private
{
    QList<Field> fields;
    bool nameIsPinyin = false;
    Store store;

    // Searches since the text was last blank, each with the slots it matched (in name order); a text
    // that extends one of them looks only among its slots.
    struct Narrowing
    {
        QString folded;
        bool pinyin = false, phone = false;
        std::vector<int> matched;
    };
    std::vector<Narrowing> narrowings;
    // Per slot, the first field whose text holds the typed text, valid where its mark is this search's.
    std::vector<std::uint32_t> textMark;
    std::vector<std::uint8_t> textField;
    std::uint32_t searchNumber = 0;

    // Appends a record's text and units to `store`, returning its entry (not yet placed). The values
    // are QStringView or UTF-8 in std::string_view.
    template <class Text> Entry makeEntry(Store &store, qint64 id, const Text *values, qsizetype count) const;
    // Gives the entry a slot, replacing the one of its id; `ordered` keeps the order (else sort later).
    void place(Store &store, Entry &&e, bool ordered) const;
    void kill(Store &store, int slot) const;
    void sortOrder(Store &store) const;
    // Copies the live records into fresh blocks, numbered and laid out in name order, so that a
    // search walking the order reads memory forwards.
    void renumber(Store &store) const;
    // Does that when the dead pieces outweigh the live ones.
    void compactIfWasteful();
    std::string sortKey(const Store &store, const Entry &e) const;
};

} // namespace finder
