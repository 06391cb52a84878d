#pragma once
// One list of the ledger, the expenses or the incomes: the label "显示范围" and the drop-down list of
// periods above the editable grid, and what the page's buttons do on it. Both lists behave the same,
// each with its own entry type, period key, settings key and boxes; they share one sort direction.

#include "pagekit/helpers.h"

#include <QObject>

class Connection;
class QComboBox;
class QLabel;

namespace views {
class DataView;
struct ViewObject;
}

namespace ledger {

struct EntryListSpec
{
    QString view;          // "dw_ac_out"
    QString entryType;     // "1" expense, "2" income
    QString settingsKey;   // "listout": the period last chosen
    QString name;          // what a screen reader calls the grid
    QString confirmCode;   // "A01": delete the current row?
    pagekit::Box saved;    // "A03"
    pagekit::Box failed;   // "A04"
};

// The object names of a list's controls.
struct EntryListNames
{
    QString label;     // "显示范围"
    QString periods;   // the drop-down list of periods
    QString list;      // the grid
};

class EntryList : public QObject
{
    Q_OBJECT
public:
    // Builds the controls on `tabPage` with the given object names, chooses the period the settings
    // name (this month where they name none) without writing them, and reads the list once through
    // `db`.
    EntryList(Connection &db, const EntryListSpec &desc, pagekit::SortToggle &sort, QWidget *tabPage,
              const EntryListNames &names);

    QLabel *periodLabel;
    QComboBox *periodList;
    views::DataView *list;

    // The period key: the list shows the entries dated on or after it.
    QString periodKey() const { return m_key; }

    // Attaches the grid and reads it with the key (at creation and after every save).
    void reload();
    // Shows the period at `index` of the drop-down list and remembers it in the settings.
    void choosePeriod(int index);
    void highlightCurrentRow(long rows);
    void sortByHeader(int xpos, int ypos, long row, const views::ViewObject &object);

    // The buttons' work on this list.
    void add();
    void deleteCurrent();
    bool save();
    // Places the controls on a tab page `w` × `h` units large.
    void placeControls(int w, int h);

private:
    // A new row the user has typed into: it goes without a question.
    bool typedInto(long row) const;
    void highlight(long row);

    Connection &m_db;
    EntryListSpec m_spec;
    pagekit::SortToggle &m_sort;
    QString m_key;
};

} // namespace ledger
