#include "addressbook/addressbookpage.h"

#include "addressbook/contacttransfer.h"
#include "app/appinfo.h"
#include "find/recordsource.h"
#include "pagekit/contextmenu.h"
#include "views/dataview.h"

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
