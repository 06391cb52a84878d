#pragma once
// The Printer page (tp_d) of the settings page: the current printer's name, and the system's
// printer set-up and printer choice.

#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace settings {

class PrinterTab : public QWidget
{
    Q_OBJECT
public:
    // `printerAtStart`: the printer as the program read it when it started ("name\tdriver\tport").
    explicit PrinterTab(const QString &printerAtStart, QWidget *parent = nullptr);

    void of_layout(int w, int h);

    // Shows the current printer's name; with no printer the field stays as it is.
    void of_showprinter();
    void of_showprinter(const QString &description);
    // The set-up of the current printer ("028" when there is none).
    void cb_d2_clicked();
    // The choice of a printer; the field shows the one chosen.
    void cb_d1_clicked();

    QGroupBox *gb_d;
    QLabel *st_d1;      // 当前打印机
    QLineEdit *sle_d1;
    QPushButton *cb_d2; // 设置(&P)
    QPushButton *cb_d1; // 选择(&L)
};

} // namespace settings
