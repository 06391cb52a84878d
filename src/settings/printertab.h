#pragma once
// The Printer page ("tp_d") of the settings page: the current printer's name, and the system's
// printer set-up and printer choice.

#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace settings {

class PrinterAtStart;

class PrinterTab : public QWidget
{
    Q_OBJECT
public:
    // Shows the printer the program read when it started, as soon as that read arrives.
    explicit PrinterTab(PrinterAtStart &printerAtStart, QWidget *parent = nullptr);

    // Lays the page out `w` × `h` units large.
    void placeControls(int w, int h);

    // Shows the current printer's name; with no printer the field stays as it is.
    void showCurrentPrinter();
    void showPrinter(const QString &description);
    // The set-up of the current printer ("028" when there is none).
    void setUp();
    // The choice of a printer; the field shows the one chosen.
    void choosePrinter();

    QGroupBox *frame;
    QLabel *printerLabel;
    QLineEdit *printerName;
    QPushButton *setupButton;
    QPushButton *chooseButton;

private:
    PrinterAtStart &m_printerAtStart;
};

} // namespace settings
