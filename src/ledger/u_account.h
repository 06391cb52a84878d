#pragma once
// The ledger page: expenses and incomes in two editable lists, each limited to a period the user
// picks (all, this year, this month) and the settings remember, and a third tab of monthly totals
// with a chart of the months. The buttons add, delete and save on the list of the current tab, or
// compute the totals on the third.

#include "ledger/entrylist.h"
#include "pagekit/page.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;

namespace views {
class DataView;
}

namespace ledger {
class MonthChart;
}

class u_account : public pagekit::Page
{
    Q_OBJECT
public:
    explicit u_account(Connection &db, QWidget *parent = nullptr);
    ~u_account() override;

    // The controls: null until the page is filled.
    QTabWidget *tab_1 = nullptr;
    QWidget *tp_1 = nullptr; //  支出
    QWidget *tp_2 = nullptr; //  收入
    QWidget *tp_3 = nullptr; //  统计
    QLabel *st_1 = nullptr;
    QComboBox *ddlb_1 = nullptr;
    views::DataView *dw_1 = nullptr;   // dw_ac_out
    QLabel *st_2 = nullptr;
    QComboBox *ddlb_2 = nullptr;
    views::DataView *dw_2 = nullptr;   // dw_ac_in
    views::DataView *dw_3 = nullptr;   // dw_ac_stat
    ledger::MonthChart *monthChart = nullptr;
    QPushButton *cb_1 = nullptr; // 添加(&A)
    QPushButton *cb_2 = nullptr; // 删除(&D)
    QPushButton *cb_3 = nullptr; // 保存(&S)
    QPushButton *cb_4 = nullptr; // 统计(&T)
    QPushButton *cb_5 = nullptr; // 关闭(&C)

    // The period keys of the two lists and the sort direction they share.
    QString is_dateout() const { return m_out->key(); }
    QString is_datein() const { return m_in->key(); }
    QString v_sort() const { return m_sort.suffix(); }

    void tab_1_selectionchanged(int newindex);
    void cb_1_clicked();
    void cb_2_clicked();
    void cb_3_clicked();
    void cb_4_clicked();
    void cb_5_clicked();

protected:
    void of_build() override;
    void of_arrange(int w, int h) override;
    // Escape presses "关闭(&C)", as a dialog's cancel button.
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The list of the current tab; none on the statistics tab.
    ledger::EntryList *currentList() const;
    // Places the controls of a tab page `w` × `h` units large.
    void layoutTabPage(QWidget *page, int w, int h);

    pagekit::SortToggle m_sort;
    ledger::EntryList *m_out = nullptr;
    ledger::EntryList *m_in = nullptr;
};
