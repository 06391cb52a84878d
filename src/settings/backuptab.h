#pragma once
// The Backup page ("tp_c") of the settings page: a copy of the open database under a name the user
// confirms, by default today's date in the remembered backup folder; and, when ticked, automatic
// copies at every exit, the oldest beyond a chosen number removed.

#include <QWidget>

class Connection;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QToolButton;

namespace settings {

enum class CopyResult;

class BackupTab : public QWidget
{
    Q_OBJECT
public:
    explicit BackupTab(Connection &db, QWidget *parent = nullptr);

    // Lays the page out `w` × `h` units large.
    void placeControls(int w, int h);
    // The program ends: the automatic copy of the database open on `db`, when it is ticked. It needs
    // no tab: the settings page makes it whether it was ever shown or not.
    static void backUpAtExit(Connection &db);

    // Chooses the backup folder and remembers it.
    void chooseFolder();
    // Backs the database up where the user says.
    void backUp();

    static constexpr int DefaultKeep = 7;

    QGroupBox *frame;
    QLabel *folderLabel;
    QLineEdit *folderEdit;
    QToolButton *chooseFolderButton;
    QPushButton *backupButton;
    QCheckBox *autoBackupBox;  // automatic copies at exit
    QLabel *keepLabel;
    QSpinBox *keepCount;       // how many automatic copies stay
    QLabel *copiesLabel;

private:
    // Copies the database to `target` with a progress window the user can cancel.
    CopyResult copyTo(const QString &target, QString *reason);

    Connection &m_db;
};

} // namespace settings
