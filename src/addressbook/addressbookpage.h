#pragma once
// The address-book page: contacts in groups. The tree chooses what `recordView` shows: the list of
// a group's (or every) contact, or one contact's card; the buttons add, save and delete contacts.
// A contact is known by its name. Deleting moves a contact into the group "Z", and deletes it for
// good only from there. The contacts sync with a server through the settings page's sync service.

#include "pagekit/grouptreepage.h"

namespace contactsync {
class SyncService;
struct Outcome;
}

class AddressBookPage : public pagekit::GroupTreePage
{
    Q_OBJECT
public:
    explicit AddressBookPage(Connection &db, QWidget *parent = nullptr);

    // Syncs through `sync` from now on: its syncs leave the contacts of a card with unsaved edits
    // alone, the tree shows what they changed, and the tree menu offers "立即同步".
    void attachSync(contactsync::SyncService &sync);

    // The contacts a card with unsaved edits holds: the names they were read as and the names typed.
    QStringList namesWithUnsavedEdits() const;

protected:
    // "导入联系人…" and "导出联系人…" (boxes "T12" … "T19"); "立即同步" once a sync is attached.
    void addTreeMenuItems(pagekit::ContextMenu *menu) override;
    void cardEdited(long row, const QString &column, const QString &text) override;
    pagekit::Group deleteTarget(long row) override;
    DbResult deleteStored(const pagekit::Group &target) override;

private:
    void addSyncItem(pagekit::ContextMenu *menu);
    bool hasUnsavedEdits() const;
    void syncFinished(const contactsync::Outcome &outcome);
    // Builds the tree again and selects what was selected, as far as it still exists.
    void rebuildKeepingSelection();

    contactsync::SyncService *m_sync = nullptr;
    // A sync changed contacts while a card held unsaved edits: the tree is built again once it does not.
    bool m_treeStale = false;
    // Typed on the card since it was read.
    bool m_cardTyped = false;
};
