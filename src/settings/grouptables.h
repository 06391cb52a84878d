#pragma once
// The lower tab control ("tab_1") of the settings page: the three group tables, edited in place, one
// page each. Add, delete and save act on the page that is selected; nothing is written before a
// save, and a save writes every pending change of that table at once, or none of it.

#include "pagekit/tabpages.h"

class Connection;

namespace views {
class DataView;
}

namespace settings {

// One group table as its page shows it.
struct GroupTable
{
    QString pageName;     // tp_1
    QString caption;      // 通讯录分类
    QString viewName;     // dw_1
    QString definition;   // dw_group
    QString codeColumn;   // zuhao0
    QString nameColumn;   // zuming
    QString deleteCode;   // 012
    QString savedCode;    // 015
    QString failedCode;   // 016
};

class GroupTables : public pagekit::TabPages
{
    Q_OBJECT
public:
    explicit GroupTables(Connection &db, QWidget *parent = nullptr);

    static const QList<GroupTable> &tables();

    // Lays the control's pages out for a control `w` × `h` units large.
    void placeControls(int w, int h);

    // A new empty row at the end of the selected table; its code column takes the keyboard focus.
    void add();
    // Removes the current row of the selected table after a question, and saves that table at once.
    // A new row with nothing in it goes without a question. True when a save succeeded.
    bool deleteCurrent();
    // Writes the selected table; true when it was written and committed.
    bool save();

    views::DataView *view(int index) const { return m_views.at(index); }
    views::DataView *currentView() const { return m_views.at(std::max(0, currentIndex())); }

    views::DataView *contactGroups;
    views::DataView *noteGroups;
    views::DataView *assetGroups;

signals:
    // A table was written and committed: the other pages see it only after a restart.
    void saved();

private:
    const GroupTable &currentTable() const { return tables().at(std::max(0, currentIndex())); }
    Connection &m_db;
    QList<views::DataView *> m_views;
};

} // namespace settings
