#include "addressbook/addressbookpage.h"

#include "app/appinfo.h"
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
    return s;
}

} // namespace

AddressBookPage::AddressBookPage(Connection &db, QWidget *parent)
    : GroupTreePage(db, addressBookSpec(), parent)
{
    created();
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
