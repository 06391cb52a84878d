#pragma once
// The Export page (tp_b) of the settings page: every row of one module's table, as stored, to a
// spreadsheet file the user names. The main window keeps this page hidden; it works all the same.

#include <QWidget>

class Connection;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace views {
class DataStore;
}

namespace settings {

class ExportTab : public QWidget
{
    Q_OBJECT
public:
    explicit ExportTab(Connection &db, QWidget *parent = nullptr);

    void of_layout(int w, int h);

    // The export definition follows the radio button clicked last.
    void rb_clicked(int index);
    // Retrieves the chosen table and writes it where the user says.
    void cb_b1_clicked();

    QGroupBox *gb_b;
    QLabel *st_b1;      // 选择导出项目
    QRadioButton *rb_1; // 通讯录
    QRadioButton *rb_2; // 笔记本
    QRadioButton *rb_3; // 个人资产
    QRadioButton *rb_4; // 记帐
    QPushButton *cb_b1; // 导出(&E)
    views::DataStore *ds_1;

private:
    Connection &m_db;
    QList<QRadioButton *> m_radios;
};

} // namespace settings
