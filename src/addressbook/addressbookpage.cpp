#include "addressbook/addressbookpage.h"

#include "app/appinfo.h"
#include "sync/syncservice.h"
#include "views/dataview.h"
#include "widgets/handletree.h"

#include <QMenu>

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
    s.boxPrefix = QStringLiteral("T");
    s.missingName = QStringLiteral("姓名不能为空!");
    // Nothing changed: the contact is shown as stored again.
    s.rebuildAfterFailedDelete = true;
    return s;
}

} // namespace

AddressBookPage::AddressBookPage(Connection &db, QWidget *parent)
    : GroupTreePage(db, addressBookSpec(), parent)
{
    created();
}

void AddressBookPage::attachSync(contactsync::SyncService &sync)
{
    m_sync = &sync;
    sync.setBusyNames([this] { return namesWithUnsavedEdits(); });
    connect(&sync, &contactsync::SyncService::finished, this, &AddressBookPage::syncFinished);
    // A tree left as it was for a card's unsaved edits is built again once another item is chosen
    // (the card's edits are gone then) or the card was saved.
    auto watchTree = [this] {
        connect(groupTree, &widgets::HandleTree::selectionChanged, this, [this] {
            if (m_treeStale && !hasUnsavedEdits())
                rebuildKeepingSelection();
        }, Qt::QueuedConnection);
    };
    if (groupTree) {
        watchTree();
        // Filled before: its menu gets the item now.
        addTreeMenuItems(treeMenu);
    } else {
        connect(this, &pagekit::Page::filled, this, watchTree);
    }
}

void AddressBookPage::addTreeMenuItems(QMenu *menu)
{
    if (!m_sync)
        return;
    QAction *action = menu->addAction(QStringLiteral("立即同步"));
    action->setObjectName(QStringLiteral("m_sync"));
    connect(action, &QAction::triggered, this, [this] { m_sync->syncNow(contactsync::SyncService::Trigger::User); });
}

bool AddressBookPage::hasUnsavedEdits() const
{
    const views::DataStore *shown = recordView ? recordView->store() : nullptr;
    return shown && showsCard() && (shown->modifiedCount() > 0 || shown->deletedCount() > 0);
}

QStringList AddressBookPage::namesWithUnsavedEdits() const
{
    QStringList names;
    if (!hasUnsavedEdits())
        return names;
    // Saving goes by name: neither the contact read nor one of the name typed may change meanwhile.
    for (long row = 1; row <= recordView->rowCount(); ++row) {
        for (const QVariant &name : {recordView->getItemOriginal(row, QStringLiteral("xingm0")),
                                     QVariant(recordView->getItemString(row, QStringLiteral("xingm0")))}) {
            const QString text = name.toString().trimmed();
            if (!text.isEmpty() && !names.contains(text))
                names << text;
        }
    }
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
