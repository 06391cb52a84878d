#include "addressbook/addressbookpage.h"

#include "addressbook/contacttransfer.h"
#include "app/appinfo.h"
#include "find/recordsource.h"
#include "pagekit/contextmenu.h"
#include "sync/syncservice.h"
#include "views/dataview.h"
#include "widgets/handletree.h"

#include <QLineEdit>

namespace {

pagekit::GroupTreePageSpec addressBookSpec()
{
    pagekit::GroupTreePageSpec s;
    s.tree.rootLabel = QStringLiteral("通讯录");
    s.tree.pictures = {appFile(QStringLiteral("resource/i004.ico")), appFile(QStringLiteral("resource/i005.ico")),
                       appFile(QStringLiteral("resource/i002.ico")), appFile(QStringLiteral("resource/i003.ico"))};
    s.tree.groupView = QStringLiteral("ds_group");
    s.tree.groupCode = QStringLiteral("zuhao0");
    s.tree.groupName = QStringLiteral("zuming");
    s.tree.memberView = QStringLiteral("ds_xingm0");
    s.tree.memberLabel = QStringLiteral("xingm0");
    s.tree.memberData = QStringLiteral("xingm0");
    s.tree.deletedGroupPicture = true;
    s.pageName = QStringLiteral("通讯录");
    s.treeName = QStringLiteral("通讯录分组");
    s.viewName = QStringLiteral("联系人");
    s.listView = QStringLiteral("dw_telall");
    s.cardView = QStringLiteral("dw_telper");
    s.groupColumn = QStringLiteral("zuhao0");
    s.nameColumn = QStringLiteral("xingm0");
    // A group's list and its names are the same contacts in the same order (names are unique).
    s.listFillsTree = true;
    s.boxPrefix = QStringLiteral("T");
    s.missingName = QStringLiteral("姓名不能为空!");
    // Nothing changed: the contact is shown as stored again.
    s.rebuildAfterFailedDelete = true;
    s.findSource = &finder::contactSource();
    return s;
}

} // namespace

AddressBookPage::AddressBookPage(Connection &db, QWidget *parent)
    : GroupTreePage(db, addressBookSpec(), parent)
{
    created();
}

void AddressBookPage::addTreeMenuItems(pagekit::ContextMenu *menu)
{
    // The root stands for every contact, a group for its own.
    menu->addAction(QStringLiteral("导入联系人…"), QStringLiteral("m_import"), [this](const pagekit::MenuTarget &target) {
        if (addressbook::ContactTransfer(db(), this).importContacts(target.data))
            showAdded(target.data);
    });
    menu->addAction(QStringLiteral("导出联系人…"), QStringLiteral("m_export"), [this](const pagekit::MenuTarget &target) {
        addressbook::ContactTransfer(db(), this).exportContacts(target.data, target.label);
    });
    if (m_sync)
        addSyncItem(menu);
}

void AddressBookPage::attachSync(contactsync::SyncService &sync)
{
    m_sync = &sync;
    sync.setBusyNames([this] { return namesWithUnsavedEdits(); });
    connect(&sync, &contactsync::SyncService::finished, this, &AddressBookPage::syncFinished);
    // A tree left as it was for a card's unsaved edits is built again once another item is chosen
    // (the card's edits are gone then) or the card was saved.
    auto watchPage = [this] {
        connect(groupTree, &widgets::HandleTree::selectionChanged, this, [this] {
            if (m_treeStale && !hasUnsavedEdits())
                rebuildKeepingSelection();
        }, Qt::QueuedConnection);
        connect(recordView, &views::DataView::retrieveEnd, this, [this] { m_cardTyped = false; });
    };
    if (groupTree) {
        watchPage();
        // Filled before: its menu gets the item now.
        addSyncItem(treeMenu);
    } else {
        connect(this, &pagekit::Page::filled, this, watchPage);
    }
}

void AddressBookPage::addSyncItem(pagekit::ContextMenu *menu)
{
    menu->addAction(QStringLiteral("立即同步"), QStringLiteral("m_sync"), [this](const pagekit::MenuTarget &) {
        m_sync->syncNow(contactsync::SyncService::Trigger::User);
    });
}

void AddressBookPage::cardEdited(long, const QString &, const QString &)
{
    m_cardTyped = true;
}

bool AddressBookPage::hasUnsavedEdits() const
{
    const views::DataStore *shown = recordView ? recordView->store() : nullptr;
    // Typing counts before the value reaches the row: it reaches it only when the field is left.
    return shown && showsCard() && (m_cardTyped || shown->modifiedCount() > 0 || shown->deletedCount() > 0);
}

QStringList AddressBookPage::namesWithUnsavedEdits() const
{
    QStringList names;
    if (!hasUnsavedEdits())
        return names;
    // Saving goes by name: neither the contact read nor one of the name typed may change meanwhile.
    auto add = [&names](const QString &name) {
        if (!name.trimmed().isEmpty() && !names.contains(name.trimmed()))
            names << name.trimmed();
    };
    for (long row = 1; row <= recordView->rowCount(); ++row) {
        add(recordView->getItemOriginal(row, QStringLiteral("xingm0")).toString());
        add(recordView->getItemString(row, QStringLiteral("xingm0")));
    }
    if (const auto *typing = qobject_cast<const QLineEdit *>(recordView->fieldEditor(QStringLiteral("xingm0"))))
        add(typing->text());
    return names;
}

void AddressBookPage::syncFinished(const contactsync::Outcome &outcome)
{
    // A light page reads the contacts when first shown.
    if (!groupTree || !outcome.changedHere())
        return;
    if (hasUnsavedEdits()) {
        m_treeStale = true;
        return;
    }
    rebuildKeepingSelection();
}

void AddressBookPage::rebuildKeepingSelection()
{
    m_treeStale = false;
    using widgets::TreeNavigation;
    const long current = groupTree->findItem(TreeNavigation::Current);
    const int level = current ? groupTree->itemLevel(current) : 0;
    QString code, name;
    widgets::TreeItem item;
    if (level == pagekit::GroupTreeBuilder::GroupLevel && groupTree->getItem(current, item)) {
        code = item.data.toString();
    } else if (level == pagekit::GroupTreeBuilder::MemberLevel && groupTree->getItem(current, item)) {
        name = item.data.toString();
        widgets::TreeItem group;
        if (groupTree->getItem(groupTree->findItem(TreeNavigation::Parent, current), group))
            code = group.data.toString();
    }
    // Not rebuildAndLocate: a sync in the background must not take the focus from where the user types.
    treeBuilder().clear();
    recordView->reset();
    buildTree();
    groupTree->setRedraw(false);
    if (code.isEmpty() || !locate(code, name))
        groupTree->selectItem(treeBuilder().root());
    groupTree->setRedraw(true);
}

pagekit::Group AddressBookPage::deleteTarget(long row)
{
    // A card never saved is only taken off the view: whatever name it holds, it is not a stored
    // contact, and a stored contact of that name must not be touched.
    const auto status = recordView->getItemStatus(row);
    if (status == views::DataStore::RowStatus::New || status == views::DataStore::RowStatus::NewModified)
        return {};
    // The stored contact is the one the card was read as, whatever has been typed since.
    return {recordView->getItemOriginal(row, QStringLiteral("zuhao0")).toString(),
            recordView->getItemOriginal(row, QStringLiteral("xingm0")).toString()};
}

DbResult AddressBookPage::deleteStored(const pagekit::Group &target)
{
    // From the group "z" (either case) a contact goes for good; from any other it moves there.
    if (target.code.toLower() == QStringLiteral("z"))
        return db().execute(QStringLiteral("DELETE FROM T_TELINFO WHERE XINGM0 = ?"), {target.name});
    return db().execute(QStringLiteral("update T_TELINFO SET ZUHAO0 ='Z' WHERE XINGM0 = ?"), {target.name});
}
