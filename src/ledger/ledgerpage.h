#pragma once
// The ledger page: expenses and incomes in two editable lists, each limited to a period the user
// picks (all, this year, this month) and the settings remember, and a third tab of monthly totals
// with a chart of the months. The buttons add, delete and save on the list of the current tab, or
// compute the totals on the third.

#include "ledger/entrylist.h"
#include "pagekit/buttonrow.h"
#include "pagekit/page.h"
#include "pagekit/tabpages.h"

class QPushButton;

namespace views {
class DataView;
}

namespace ledger {
class MonthChart;
}

class LedgerPage : public pagekit::Page
{
    Q_OBJECT
public:
    explicit LedgerPage(Connection &db, QWidget *parent = nullptr);
    ~LedgerPage() override;

    // The controls: null until the page is filled.
    pagekit::TabPages *tabs = nullptr;
    QWidget *expensePage = nullptr;
    QWidget *incomePage = nullptr;
    QWidget *statisticsPage = nullptr;
    ledger::EntryList *expenses = nullptr;   // on the expense page
    ledger::EntryList *incomes = nullptr;    // on the income page
    views::DataView *statistics = nullptr;   // the monthly totals, dw_ac_stat
    ledger::MonthChart *monthChart = nullptr;   // also null when its module is missing
    QPushButton *addButton = nullptr;
    QPushButton *deleteButton = nullptr;
    QPushButton *saveButton = nullptr;
    QPushButton *statisticsButton = nullptr;
    QPushButton *closeButton = nullptr;

    // The period keys of the two lists and the sort direction they share.
    QString expensePeriodKey() const { return expenses->periodKey(); }
    QString incomePeriodKey() const { return incomes->periodKey(); }
    QString sortSuffix() const { return m_sort.suffix(); }

    // Adding, deleting and saving work on the two lists; the statistics are computed on their own tab.
    void enableButtonsForTab(int index);
    void add();
    void deleteEntry();
    void save();
    // Reads the totals of every month, whatever period the lists show, and draws them.
    void computeStatistics();
    void closePage();

protected:
    void buildControls() override;
    void placeControls(int w, int h) override;
    // Escape presses "关闭(&C)", as a dialog's cancel button.
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The list of the current tab; none on the statistics tab.
    ledger::EntryList *currentList() const;
    // Places the controls of a tab page `w` × `h` units large.
    void placeTabPage(QWidget *page, int w, int h);

    pagekit::ButtonRow m_buttons;
    pagekit::SortToggle m_sort;
};
