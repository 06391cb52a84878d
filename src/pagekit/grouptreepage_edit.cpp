// Add, save and delete of a group-tree page.

#include "pagekit/grouptreepage.h"

#include "views/dataview.h"
#include "widgets/handletree.h"

namespace pagekit {

using platform::Icon;
using widgets::TreeItem;
using widgets::TreeNavigation;

void GroupTreePage::of_newrow(long)
{
}

Group GroupTreePage::of_deletetarget(long row)
{
    return {dw_1->getItemString(row, m_spec.groupColumn), dw_1->getItemString(row, m_spec.nameColumn)};
}

DbResult GroupTreePage::of_deletestored(const Group &)
{
    return dw_1->update(false);
}

void GroupTreePage::cb_1_clicked()
{
    if (!showsCard()) {
        dw_1->setDataObject(m_spec.cardView);
        dw_1->setConnection(db());
    }
    QString code;
    TreeItem item;
    if (tv_1->getItem(tv_1->findItem(TreeNavigation::Current), item)) {
        if (item.level == GroupTree::GroupLevel)
            code = item.data.toString();
        else if (item.level == GroupTree::MemberLevel)
            code = dw_1->getItemString(dw_1->getRow(), m_spec.groupColumn);
    }
    dw_1->reset();
    const long row = dw_1->insertRow(0);
    dw_1->setItem(row, m_spec.groupColumn, code);
    of_newrow(row);
    dw_1->setRow(row);
    dw_1->setFocus();
}

void GroupTreePage::cb_3_clicked()
{
    if (!showsCard()) {
        showBox(box(6));
        return;
    }
    // A value that does not fit its field (a date that does not exist) stays in its editor; the
    // write below is then refused with the reason, which the failure box shows.
    dw_1->acceptText();
    if (dw_1->rowCount() < 1) {
        showBox(box(7));
        return;
    }
    const long row = std::max(1L, dw_1->getRow());
    const QString code = dw_1->getItemString(row, m_spec.groupColumn);
    if (isBlank(code)) {
        showBox(box(8));
        return;
    }
    const QString name = dw_1->getItemString(row, m_spec.nameColumn);
    if (isBlank(name)) {
        showBox(box(9));
        return;
    }
    if (!saveView(db(), dw_1, box(11, Icon::Stop)))
        return;
    showBox(box(10, Icon::Information));
    of_rebuild(code, name);
}

void GroupTreePage::cb_2_clicked()
{
    if (!showsCard()) {
        showBox(box(1));
        return;
    }
    if (dw_1->rowCount() < 1) {
        showBox(box(2));
        return;
    }
    const long row = std::max(1L, dw_1->getRow());
    const Group target = of_deletetarget(row);
    if (isBlank(target.code) || isBlank(target.name)) {
        dw_1->deleteRow(row);
        return;
    }
    if (!confirm(box(3).code, QStringLiteral("确认删除<") + target.name + QStringLiteral(">?")))
        return;
    dw_1->deleteRow(row);
    if (!commitOrReport(db(), of_deletestored(target), box(5, Icon::Stop))) {
        if (m_spec.rebuildAfterFailedDelete)
            of_rebuild(target.code, target.name);
        return;
    }
    dw_1->resetUpdate();
    showBox(box(4, Icon::Information));
    of_rebuild(target.code);
}

} // namespace pagekit
