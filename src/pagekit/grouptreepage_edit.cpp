// Add, save and delete of a group-tree page.

#include "pagekit/grouptreepage.h"

#include "views/dataview.h"
#include "widgets/handletree.h"

namespace pagekit {

using platform::Icon;
using widgets::TreeItem;
using widgets::TreeNavigation;

void GroupTreePage::initNewRow(long)
{
}

Group GroupTreePage::deleteTarget(long row)
{
    return {recordView->getItemString(row, m_spec.groupColumn), recordView->getItemString(row, m_spec.nameColumn)};
}

DbResult GroupTreePage::deleteStored(const Group &)
{
    return recordView->update(false);
}

void GroupTreePage::add()
{
    if (!showsCard()) {
        recordView->setDataObject(m_spec.cardView);
        recordView->setConnection(db());
    }
    QString code;
    TreeItem item;
    if (groupTree->getItem(groupTree->findItem(TreeNavigation::Current), item)) {
        if (item.level == GroupTreeBuilder::GroupLevel)
            code = item.data.toString();
        else if (item.level == GroupTreeBuilder::MemberLevel)
            code = recordView->getItemString(recordView->getRow(), m_spec.groupColumn);
    }
    recordView->reset();
    const long row = recordView->insertRow(0);
    recordView->setItem(row, m_spec.groupColumn, code);
    initNewRow(row);
    recordView->setRow(row);
    recordView->setFocus();
}

void GroupTreePage::save()
{
    if (!showsCard()) {
        showBox(box(6));
        return;
    }
    // A value that does not fit its field (a date that does not exist) stays in its editor; the
    // write below is then refused with the reason, which the failure box shows.
    recordView->acceptText();
    if (recordView->rowCount() < 1) {
        showBox(box(7));
        return;
    }
    const long row = std::max(1L, recordView->getRow());
    const QString code = recordView->getItemString(row, m_spec.groupColumn);
    if (isBlank(code)) {
        showBox(box(8));
        return;
    }
    const QString name = recordView->getItemString(row, m_spec.nameColumn);
    if (isBlank(name)) {
        showBox(box(9));
        return;
    }
    if (!saveView(db(), recordView, box(11, Icon::Stop)))
        return;
    showBox(box(10, Icon::Information));
    rebuildAndLocate(code, name);
}

void GroupTreePage::deleteRecord()
{
    if (!showsCard()) {
        showBox(box(1));
        return;
    }
    if (recordView->rowCount() < 1) {
        showBox(box(2));
        return;
    }
    const long row = std::max(1L, recordView->getRow());
    const Group target = deleteTarget(row);
    if (isBlank(target.code) || isBlank(target.name)) {
        recordView->deleteRow(row);
        return;
    }
    if (!confirm(box(3).code, QStringLiteral("确认删除<") + target.name + QStringLiteral(">?")))
        return;
    recordView->deleteRow(row);
    if (!commitOrReport(db(), deleteStored(target), box(5, Icon::Stop))) {
        if (m_spec.rebuildAfterFailedDelete)
            rebuildAndLocate(target.code, target.name);
        return;
    }
    recordView->resetUpdate();
    showBox(box(4, Icon::Information));
    rebuildAndLocate(target.code);
}

} // namespace pagekit
