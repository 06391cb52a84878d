#pragma once
// Contacts and groups put into the test database before the address-book page is built, and what
// the database holds afterwards.

#include "addressbook/addressbookpage.h"
#include "pagedriver.h"

#include <QPair>

struct Contact
{
    QString group;
    QString name;
    QString mobile;
};

using AddressBookDriver = PageDriver<AddressBookPage>;

// Adds the groups (code, name) and the contacts.
void addContacts(const QList<Contact> &contacts, const QList<QPair<QString, QString>> &groups = {});
int contactCount(const QString &where = QStringLiteral("1=1"));
// A column of the stored contact of that name.
QString storedField(const QString &name, const QString &column);
