#pragma once
// What a sync compares of a contact, and how it remembers what both sides last agreed on: one hash
// per text, one of the group here and one of the card's CATEGORIES. A field whose hash on one side
// differs from the remembered one was changed on that side since the last sync.

#include "exchange/contact.h"

#include <QByteArray>
#include <QList>
#include <array>
#include <optional>

namespace contactsync {

using exchange::Contact;

// The texts of a contact that travel, in the order their hashes are kept (never reorder: stored
// hashes rely on it; a new field goes at the end).
const QList<QString Contact::*> &syncedTexts();

constexpr int kTextSlots = 20;
constexpr int kGroupSlot = kTextSlots;          // the contact's group code here
constexpr int kCategoriesSlot = kTextSlots + 1; // the card's CATEGORIES on the server
constexpr int kSlots = kTextSlots + 2;
using Hashes = std::array<quint64, kSlots>;

quint64 textHash(QStringView text);
quint64 categoriesHash(const QStringList &categories);
Hashes hashesOf(const Contact &contact, const QString &group, const QStringList &categories);

// As stored: a format byte and eight bytes a hash. Nothing for what is not such a text.
QByteArray encodeHashes(const Hashes &hashes);
std::optional<Hashes> decodeHashes(const QByteArray &stored);

// One number for every text and the group, to tell whether a contact changed between two looks.
quint64 fingerprint(const Contact &contact, const QString &group);

// The column label ("手机") of a synced text.
QString labelOf(QString Contact::*member);

} // namespace contactsync
