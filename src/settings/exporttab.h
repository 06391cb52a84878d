#pragma once
// The Export page ("tp_b") of the settings page: every row of one module's table, as stored, to a
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

    // Lays the page out `w` × `h` units large.
    void placeControls(int w, int h);

    // The export definition follows the choice clicked last (0 address book … 3 ledger).
    void choose(int index);
    // Retrieves the chosen table and writes it where the user says.
    void exportChosen();

    QGroupBox *frame;
    QLabel *choiceLabel;
    QRadioButton *addressBookChoice;
    QRadioButton *notebookChoice;
    QRadioButton *assetsChoice;
    QRadioButton *ledgerChoice;
    QPushButton *exportButton;
    views::DataStore *store;   // reads what is exported; shown nowhere

private:
    Connection &m_db;
    QList<QRadioButton *> m_choices;
};

} // namespace settings
