#pragma once
// The Backup page (tp_c) of the settings page: a copy of the open database under a name the user
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

    void of_layout(int w, int h);
    // The program ends: the automatic copy of the database open on `db`, when it is ticked. It needs
    // no tab: the settings page makes it whether it was ever shown or not.
    static void of_exit(Connection &db);

    // Chooses the backup folder and remembers it.
    void pb_c1_clicked();
    // Backs the database up where the user says.
    void cb_c1_clicked();

    // Keys of client.ini for the automatic copies.
    static QString autoKey() { return QStringLiteral("autobackup"); }
    static QString keepKey() { return QStringLiteral("autobackupkeep"); }
    static constexpr int DefaultKeep = 7;

    QGroupBox *gb_c;
    QLabel *st_c1;       // 备份路径
    QLineEdit *sle_c1;
    QToolButton *pb_c1;  // chooses the folder
    QPushButton *cb_c1;  // 备份(&B)
    QCheckBox *cbx_c1;   // 退出时自动备份
    QLabel *st_c2;       // 保留
    QSpinBox *em_c1;     // how many automatic copies stay
    QLabel *st_c3;       // 份

private:
    // Copies the database to `target` with a progress window the user can cancel.
    CopyResult copyTo(const QString &target, QString *reason);

    Connection &m_db;
};

} // namespace settings
