#pragma once
// The settings page. Its upper tab control holds the start-up and lock options, the export of a
// module's records, the database backup and the printer; its lower one the three group tables,
// with the buttons at the right that act on them. While it is created it loads the start-up and
// lock options once: the lock of the main window relies on that load (gb_shortcut_get).

#include "settings/generaloptions.h"

#include "pagekit/page.h"

class QPushButton;
class QTabWidget;

namespace settings {
class BackupTab;
class ExportTab;
class GeneralTab;
class GroupTables;
class PrinterTab;
}

class u_config : public pagekit::Page
{
    Q_OBJECT
public:
    explicit u_config(Connection &db, QWidget *parent = nullptr);
    ~u_config() override;

    // The automatic backup, when it is ticked.
    void of_exit() override;

    // Loads the options (and with them whether a usable lock hotkey exists).
    void constructor();

    const GeneralOptions &loadedOptions() const { return m_options; }

    // Add, delete and save act on the group table selected in tab_1.
    void cb_1_clicked();
    void cb_2_clicked();
    void cb_3_clicked();
    // Hides the page; after a group table changed, offers to restart the program first.
    void cb_4_clicked();

    // The controls: null until the page is filled.
    QTabWidget *tab_2 = nullptr;
    settings::GeneralTab *tp_a = nullptr;
    settings::ExportTab *tp_b = nullptr;
    settings::BackupTab *tp_c = nullptr;
    settings::PrinterTab *tp_d = nullptr;
    settings::GroupTables *tab_1 = nullptr;
    QPushButton *cb_1 = nullptr; // 添加(&A)
    QPushButton *cb_2 = nullptr; // 删除(&D)
    QPushButton *cb_3 = nullptr; // 保存(&S)
    QPushButton *cb_4 = nullptr; // 关闭(&C)

    // 1 once a group table was saved in this run: the other pages see it only after a restart.
    int ii_restart = 0;

protected:
    void of_build() override;
    void of_arrange(int w, int h) override;

private:
    GeneralOptions m_options;
    QString m_printerAtStart;
};
