#include "settings/grouptables.h"

#include "app/connection.h"
#include "pagekit/helpers.h"
#include "views/dataview.h"
#include "widgets/unitgeometry.h"

namespace settings {

using views::DataStore;

const QList<GroupTable> &GroupTables::tables()
{
    static const QList<GroupTable> t = {
        {QStringLiteral("tp_1"), QStringLiteral("通讯录分类"), QStringLiteral("dw_1"), QStringLiteral("dw_group"),
         QStringLiteral("zuhao0"), QStringLiteral("zuming"), QStringLiteral("012"), QStringLiteral("015"),
         QStringLiteral("016")},
        {QStringLiteral("tp_2"), QStringLiteral("笔记本分类"), QStringLiteral("dw_2"), QStringLiteral("ds_pt_group"),
         QStringLiteral("groupid"), QStringLiteral("groupname"), QStringLiteral("013"), QStringLiteral("017"),
         QStringLiteral("018")},
        {QStringLiteral("tp_3"), QStringLiteral("个人资产分类"), QStringLiteral("dw_3"), QStringLiteral("ds_ca_group"),
         QStringLiteral("groupid"), QStringLiteral("groupname"), QStringLiteral("014"), QStringLiteral("019"),
         QStringLiteral("020")},
    };
    return t;
}

GroupTables::GroupTables(Connection &db, QWidget *parent)
    : TabPages(QStringLiteral("tab_1"), QStringLiteral("分类"), parent)
    , m_db(db)
{
    for (const GroupTable &t : tables()) {
        auto *page = new QWidget;
        auto *dw = new views::DataView(page);
        dw->setObjectName(t.viewName);
        dw->setAccessibleName(t.caption);
        dw->setDataObject(t.definition);
        // The page's own box is the only one shown (the store shows none of its own).
        dw->setConnection(m_db);
        dw->retrieve();
        // Only the first tab has a picture.
        addPage(page, t.pageName, t.caption, m_views.isEmpty() ? QStringLiteral("i016.ico") : QString());
        m_views << dw;
    }
    contactGroups = m_views.at(0);
    noteGroups = m_views.at(1);
    assetGroups = m_views.at(2);
}

void GroupTables::placeControls(int w, int h)
{
    const QSize page = pageSize(QSize(w, h));
    for (views::DataView *dw : m_views)
        setUnitGeometry(dw, QRect(9, 14, page.width() - 18, page.height() - 28));
}

void GroupTables::add()
{
    const GroupTable &t = currentTable();
    views::DataView *dw = currentView();
    const long row = dw->insertRow(0);
    dw->scrollToRow(row);
    dw->setColumn(t.codeColumn);
    dw->setFocus();
}

bool GroupTables::deleteCurrent()
{
    const GroupTable &t = currentTable();
    views::DataView *dw = currentView();
    // What is being typed counts as the row's: the question names what the user sees.
    dw->acceptText();
    const long row = dw->getRow();
    if (row < 1)
        return false;
    const auto status = dw->getItemStatus(row);
    const bool unsaved = status == DataStore::RowStatus::New || status == DataStore::RowStatus::NewModified;
    const QString code = dw->getItemString(row, t.codeColumn);
    QString name = dw->getItemString(row, t.nameColumn);
    // A new row not yet filled in is only taken off the view. A stored group always asks: taken
    // off without a question, it would vanish from the table with the next save unannounced.
    if (unsaved && (pagekit::isBlank(code) || pagekit::isBlank(name))) {
        dw->deleteRow(row);
        return false;
    }
    if (!unsaved && pagekit::isBlank(name))
        name = dw->getItemOriginal(row, t.nameColumn).toString();
    if (!pagekit::confirm(t.deleteCode, QStringLiteral("确认删除组<") + name + QStringLiteral(">?")))
        return false;
    dw->deleteRow(row);
    return save();
}

bool GroupTables::save()
{
    const GroupTable &t = currentTable();
    if (!pagekit::saveView(m_db, currentView(), {t.failedCode, QStringLiteral("保存/删除失败!"), platform::Icon::Stop}))
        return false;
    emit saved();
    pagekit::showBox({t.savedCode, QStringLiteral("保存/删除成功!\n\n分类信息改动必须重新启动程序才能生效!")});
    return true;
}

} // namespace settings
