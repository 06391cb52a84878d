#pragma once
// The address-book page: contacts in groups. The tree chooses what `recordView` shows: the list of
// a group's (or every) contact, or one contact's card; the buttons add, save and delete contacts.
// A contact is known by its name. Deleting moves a contact into the group "Z", and deletes it for
// good only from there.

#include "pagekit/grouptreepage.h"

class AddressBookPage : public pagekit::GroupTreePage
{
    Q_OBJECT
public:
    explicit AddressBookPage(Connection &db, QWidget *parent = nullptr);

protected:
    pagekit::Group deleteTarget(long row) override;
    DbResult deleteStored(const pagekit::Group &target) override;
};
