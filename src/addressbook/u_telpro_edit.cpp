// Add, save and delete of the address-book page.

#include "addressbook/u_telpro.h"

#include "app/globals.h"
#include "app/transaction.h"
#include "platform/messagebox.h"
#include "views/datastore.h"
#include "views/dataview.h"
#include "widgets/handletree.h"

using platform::Answer;
using platform::Buttons;
using platform::Icon;
using views::DataStore;
using widgets::TreeItem;
using widgets::TreeNavigation;

namespace {

const QString kCard = QStringLiteral("dw_telper");

bool isBlank(const QString &s)
{
    return s.trimmed().isEmpty();
}

bool isNewRow(DataStore::RowStatus s)
{
    return s == DataStore::RowStatus::New || s == DataStore::RowStatus::NewModified;
}

} // namespace

void u_telpro::cb_1_clicked()
{
    if (dw_1->dataObject() != kCard) {
        dw_1->setDataObject(kCard);
        dw_1->setTransObject(sqlca);
    }
    QString code;
    TreeItem item;
    if (tv_1->getItem(tv_1->findItem(TreeNavigation::Current), item)) {
        if (item.level == 2)
            code = item.data.toString();
        else if (item.level == 3)
            code = dw_1->getItemString(dw_1->getRow(), QStringLiteral("zuhao0"));
    }
    dw_1->reset();
    const long row = dw_1->insertRow(0);
    dw_1->setItem(row, QStringLiteral("zuhao0"), code);
    dw_1->setRow(row);
    dw_1->setFocus();
}

void u_telpro::cb_3_clicked()
{
    if (!showsCard()) {
        platform::messageBox(QStringLiteral("T06"), QStringLiteral("当前视图不能执行保存!"), Icon::Exclamation);
        return;
    }
    // A value that does not fit its field (a date that does not exist) stays in its editor; the
    // write below is then refused with the reason, which T11 shows.
    dw_1->acceptText();
    if (dw_1->rowCount() < 1) {
        platform::messageBox(QStringLiteral("T07"), QStringLiteral("无可保存的记录!"), Icon::Exclamation);
        return;
    }
    const long row = std::max(1L, dw_1->getRow());
    const QString code = dw_1->getItemString(row, QStringLiteral("zuhao0"));
    if (isBlank(code)) {
        platform::messageBox(QStringLiteral("T08"), QStringLiteral("必须选择一个组!"), Icon::Exclamation);
        return;
    }
    const QString name = dw_1->getItemString(row, QStringLiteral("xingm0"));
    if (isBlank(name)) {
        platform::messageBox(QStringLiteral("T09"), QStringLiteral("姓名不能为空!"), Icon::Exclamation);
        return;
    }
    // Written, then committed; the card's flags are cleared only once the commit has succeeded, so a
    // refused save (or a failed commit) leaves the card as typed, ready to be saved again.
    bool saved = dw_1->update(false) == 1;
    if (saved)
        saved = sqlca.commit();
    if (!saved) {
        gs_sqlerrtext = sqlca.sqlerrtext;
        sqlca.rollback();
        platform::messageBox(QStringLiteral("T11"), QStringLiteral("保存失败!\n") + gs_sqlerrtext, Icon::Stop);
        return;
    }
    dw_1->resetUpdate();
    platform::messageBox(QStringLiteral("T10"), QStringLiteral("保存成功!"));
    of_rebuild(code, name);
}

void u_telpro::cb_2_clicked()
{
    if (!showsCard()) {
        platform::messageBox(QStringLiteral("T01"), QStringLiteral("当前视图不能执行删除!"), Icon::Exclamation);
        return;
    }
    if (dw_1->rowCount() < 1) {
        platform::messageBox(QStringLiteral("T02"), QStringLiteral("无可删除记录!"), Icon::Exclamation);
        return;
    }
    const long row = std::max(1L, dw_1->getRow());
    // A card never saved is only taken off the view: whatever name it holds, it is not a stored
    // contact, and a stored contact of that name must not be touched.
    if (isNewRow(dw_1->getItemStatus(row))) {
        dw_1->deleteRow(row);
        return;
    }
    // The stored contact is the one the card was read as, whatever has been typed since.
    const QString code = dw_1->store()->getItemOriginal(row, QStringLiteral("zuhao0")).toString();
    const QString name = dw_1->store()->getItemOriginal(row, QStringLiteral("xingm0")).toString();
    if (isBlank(code) || isBlank(name)) {
        dw_1->deleteRow(row);
        return;
    }
    if (platform::messageBox(QStringLiteral("T03"), QStringLiteral("确认删除<") + name + QStringLiteral(">?"), Icon::Question,
                             Buttons::YesNo, 2)
        != Answer::Yes)
        return;
    dw_1->deleteRow(row);
    const bool done = isDeletedGroup(code)
        ? sqlca.execute(QStringLiteral("DELETE FROM T_TELINFO WHERE XINGM0 = ?"), {name})
        : sqlca.execute(QStringLiteral("update T_TELINFO SET ZUHAO0 ='Z' WHERE XINGM0 = ?"), {name});
    if (!done || !sqlca.commit()) {
        gs_sqlerrtext = sqlca.sqlerrtext;
        sqlca.rollback();
        platform::messageBox(QStringLiteral("T05"), QStringLiteral("删除失败!\n") + gs_sqlerrtext, Icon::Stop);
        // Nothing changed: show the contact as stored again.
        of_rebuild(code, name);
        return;
    }
    platform::messageBox(QStringLiteral("T04"), QStringLiteral("删除成功!"));
    of_rebuild(code);
}

void u_telpro::of_rebuild(const QString &code, const QString &name)
{
    tv_1->deleteItem(tv_1->findItem(TreeNavigation::Root));
    dw_1->reset();
    constructor();
    tv_1->setRedraw(false);
    of_locate(code, name);
    tv_1->setRedraw(true);
    tv_1->setFocus();
}
