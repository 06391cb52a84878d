#pragma once
// Test data for benchmarks: contacts and asset items with realistic Chinese names and fields, spread
// over groups; notes of mixed Chinese and ASCII text; ledger entries.

#include <QString>

namespace bench {

// Adds `n` contacts to the database at `path` (made from the schema when the file does not exist),
// spread evenly over `groups` address-book groups: the default groups "1".."4" first, then new ones.
// Names are unique. The same seed gives the same contacts. False with `error` set on failure.
bool generateContacts(const QString &path, int n, int groups, QString *error = nullptr, unsigned seed = 20090214);

// Adds `n` asset items, with names, brands, prices and dates, spread evenly over `groups` asset
// groups in the same way. The total value of each is its price times its quantity, to the cent.
bool generateItems(const QString &path, int n, int groups, QString *error = nullptr, unsigned seed = 20090214);

// The group code the generator gives the i-th group (0-based).
QString groupCode(int index);

// Words that only the notes given them hold (every 2,000th note, from the 17th), one ASCII and one
// Chinese: no generated text holds them otherwise.
inline const QString kRareAscii = QStringLiteral("Quokkaville");
inline const QString kRareChinese = QStringLiteral("麒麟阁");

// Adds `n` notes of about `bytes` bytes of mixed Chinese and ASCII text (UTF-8) each, spread over the
// notebook's default groups, to the database at `path`. A missing file is made from the schema, with
// the search index or, without `searchIndex`, as databases were before it. The same seed gives the
// same notes. False with `error` set on failure.
bool generateNotes(const QString &path, int n, int bytes, bool searchIndex, QString *error = nullptr, unsigned seed = 20090214);

// Adds `n` ledger entries (about one in twelve an income) to the database at `path` (made from the
// schema when the file does not exist), three a day on average, the last on 2009-02-14. The same seed
// gives the same entries. False with `error` set on failure.
bool generateLedger(const QString &path, int n, QString *error = nullptr, unsigned seed = 20090214);

} // namespace bench
