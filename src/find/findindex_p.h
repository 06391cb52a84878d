#pragma once
// Inside FindIndex: how a record is kept, and what a search remembers to narrow the next one.

#include "findindex.h"
#include "pinyinquery.h"

#include <QHash>
#include <string>
#include <unordered_map>
#include <vector>

namespace finder {

// Ends each field in a record's text; typed text never holds it (folding makes it a blank).
constexpr char FieldEnd = '\x1f';
// Starts a field's units in Entry::units (the rest of the value is the field's number).
constexpr Unit FieldMark = 0x40000000u;

struct Entry
{
    qint64 id = 0;
    bool used = false;
    // The folded values as UTF-8, each followed by FieldEnd; phone fields as their digits.
    std::string text;
    // For each pinyin field: FieldMark | field, then its units.
    std::vector<Unit> units;
    // Letters that readings begin with (of the name's first unit; of any unit), and that they hold.
    std::uint32_t nameInitials = 0, initials = 0, letters = 0;
};

struct FindIndex::Private
{
    QList<Field> fields;
    bool nameIsPinyin = false;
    std::vector<Entry> entries;
    std::vector<int> freeSlots;
    QHash<qint64, int> slotOf;
    // The used slots, ordered by name: their readings, then their text, then the id.
    std::vector<int> order;
    // The words of the records (Latin names, digits), each kept once.
    struct Words
    {
        WordList list;
        std::unordered_map<std::string, std::uint32_t> number;
        std::uint32_t intern(const std::string &word);
    } words;

    // Searches since the text was last blank, each with the slots it matched (in name order); a text
    // that extends one of them looks only among its slots.
    struct Narrowing
    {
        QString folded;
        bool pinyin = false, phone = false;
        std::vector<int> matched;
    };
    std::vector<Narrowing> narrowings;

    // A record from its values, one per field (fewer are taken as empty), its words put in `into`.
    Entry makeEntry(qint64 id, const QStringView *values, qsizetype count, Words &into) const;
    // Adds the entry, or replaces the one with its id, keeping the order.
    void put(Entry &&e);
    // Replaces every record by these (of one id, the last), made with these words.
    void replaceAll(std::vector<Entry> &&all, Words &&newWords);
    std::string sortKey(const Entry &e) const;
};

} // namespace finder
