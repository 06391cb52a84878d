#pragma once
// The three-way merge of one contact that changed since the last sync: on this side, on the server,
// or on both. A field changed on one side only takes that side's value; a field changed on both to
// different values keeps the server's, and this side's value is written into 交往记录 with the
// date, so that nothing is lost.

#include "sync/fields.h"

#include <QDate>
#include <QStringList>

namespace contactsync {

// The address book's groups, and how a card's CATEGORIES name them.
struct GroupTable
{
    QList<std::pair<QString, QString>> groups;   // code, name; in code order

    static bool isDeleted(const QString &code) { return code.compare(QLatin1String("z"), Qt::CaseInsensitive) == 0; }
    // The code of the group deleted contacts go to: the group table's own spelling, else "Z".
    QString deletedCode() const;
    QString nameOf(const QString &code) const;
    // The first category that names a group other than the deleted contacts'; empty where none does.
    QString codeOf(const QStringList &categories) const;
    // Where a card goes that names no group: the first group other than the deleted contacts'.
    QString defaultCode() const;
    // A card's CATEGORIES for a contact of group `code`: the group's name, then those of
    // `previous` (the card's on the server) that name no group here.
    QStringList categoriesFor(const QString &code, const QStringList &previous) const;
};

struct Side
{
    Contact contact;
    QString group;
};

struct Merged
{
    Side side;
    QStringList conflicts;   // the labels of fields changed on both sides, kept as the server has them
    bool toServer = false;   // the server's card differs from the result and is to be written
};

Merged merge(const Hashes &base, const Side &local, const Contact &server, const GroupTable &groups, const QDate &today);

// What merge() writes into 交往记录: `history`, then a dated paragraph of `lines`.
QString withNote(const QString &history, const QDate &today, const QString &heading, const QStringList &lines);

} // namespace contactsync
