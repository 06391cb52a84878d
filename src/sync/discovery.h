#pragma once
// Finds the user's address books from a server's address: the well-known entry point, the
// user's principal, its address-book home, and the address books in that home. An address that is
// itself an address book is found as one.

#include "sync/outcome.h"

#include <QList>
#include <QUrl>
#include <atomic>

namespace contactsync {

struct AddressBook
{
    QUrl url;
    QString name;       // its display name, else the last part of its path

    bool operator==(const AddressBook &) const = default;
};

struct Discovery
{
    Problem problem;
    QList<AddressBook> books;
};

// Blocks until answered; for a worker thread.
Discovery discoverAddressBooks(const QUrl &server, const QString &user, const QString &password,
                               const std::atomic_bool &cancel);

} // namespace contactsync

Q_DECLARE_METATYPE(contactsync::AddressBook)
