#pragma once
// The Sync page of the settings page: the CardDAV server, the user and the password (kept by the
// keyring, never in client.ini), "连接" to find the user's address books and choose one, a sync on
// demand, the automatic syncs, and the last sync or the running one in words. What it sets is
// remembered at once; server and user together with the address book found on them.

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace contactsync {
class SyncService;
struct AddressBook;
struct Outcome;
}

namespace settings {

class SyncTab : public QWidget
{
    Q_OBJECT
public:
    explicit SyncTab(contactsync::SyncService &sync, QWidget *parent = nullptr);

    void placeControls(int w, int h);

    // Finds the address books on the server as typed.
    void connectServer();
    // Syncs the chosen address book now.
    void syncNow();

    QGroupBox *frame;
    QLineEdit *serverEdit;      // 服务器地址
    QLineEdit *userEdit;        // 用户名
    QLineEdit *passwordEdit;    // 密码
    QComboBox *bookList;        // 通讯簿
    QPushButton *connectButton; // 连接
    QPushButton *syncButton;    // 立即同步(&Y)
    QCheckBox *autoBox;         // 自动同步
    QSpinBox *minutesBox;       // every so many minutes
    QCheckBox *atStartBox;      // 启动时同步
    QCheckBox *atExitBox;       // 退出时同步
    QLabel *statusLabel;        // the last sync, or the running one, in words

private:
    void booksFound(const QList<contactsync::AddressBook> &books, const contactsync::Outcome &outcome);
    void setRunning(bool running);

    contactsync::SyncService &m_sync;
    QLabel *m_serverCaption, *m_userCaption, *m_passwordCaption, *m_bookCaption, *m_everyCaption, *m_minutesCaption;
};

} // namespace settings
