#pragma once
// The contacts a file export takes: those of one group, or of every group, in the list's order
// (group, then name), each with its group's name as its category, so a vCard carries the group and
// an import into another address book finds it again.

#include "exchange/contact.h"

#include "app/connection.h"

namespace addressbook {

// The contacts whose group code is like `groupPattern` ("%": all of them).
DbResult readContacts(Connection &db, const QString &groupPattern, QList<exchange::Contact> *out);

} // namespace addressbook
