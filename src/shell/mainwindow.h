#pragma once

#include <QStringList>
#include <QWidget>
#include <memory>

class Connection;
class HelpBrowser;
class NavigationList;
class QLabel;
class QTimer;
class LedgerPage;
class AssetsPage;
class SettingsPage;
class NotebookPage;
class AddressBookPage;
class TrayIcon;
namespace pagekit {
class Page;
}
namespace platform {
class DialogLock;
}

// The program's only top-level window: the navigation list on the left chooses which page the
// content area shows; the banner runs along the content area's lower edge; the window lives in the
// tray and locks. Closing it ends the program.
class MainWindow : public QWidget
{
    Q_OBJECT
public:
    // The tray icon's mouse messages as they reach ue_custom01.
    enum TrayMessage { TrayLeftButtonUp = 514, TrayRightButtonUp = 517 };
    enum Item { Addressbook = 1, Notebook, Assets, Ledger, Settings, Lock, Exit, Help };

    // Designed sizes in layout units.
    static constexpr int DesignWidth = 3625;
    static constexpr int DesignHeight = 2208;
    static constexpr int ListWidth = 480;
    static constexpr int BannerHeight = 72;
    static constexpr int BannerUnitsPerByte = 40;
    static constexpr int BannerStep = 10;
    static constexpr int BannerMargin = 50;
    static constexpr int BannerIntervalMs = 100;

    // Every page reads and writes through `db`.
    explicit MainWindow(Connection &db, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The opening steps, once, after the window and its pages were created. `arguments` is the command
    // line without the program's own name. Shows the window unless the command line sent it to the tray.
    void open(const QStringList &arguments);

    // Applies an eight-character page mask: positions 1-5 the pages, 8 the help; "1" shows, anything
    // else hides. Any other length is a programming error ("debug") and changes nothing.
    void of_hide(const QString &astr);
    // The banner's next text, and its width to match.
    void of_change_ad();
    // One tick of the banner timer.
    void timer();

    // The command line: "/max" maximizes; else "/min" or "/hide" sends the window to the tray.
    void ue_open(const QStringList &arguments);
    // Posted while opening; runs once the window is up: the start-maximized setting.
    void ue_post();
    // The tray icon's callback.
    void ue_custom01(int lparam, const QPoint &pos);

    // The navigation list chose item `index` (from 1).
    void lv_1_chosen(int index);

    // The lock item: locks when the lock function is usable, else says "010".
    void lock();
    // Locks without any check (the item after its checks, the idle period): hides and disables the
    // pages and closes every box or dialog open, answered No or Cancel.
    void lockNow();
    bool isLocked() const;

    // Window-level layout: the list, the content area, the pages and help on top of it, the banner.
    void layoutControls();

    // The five pages in the order of the page mask.
    QList<pagekit::Page *> pages() const;

    TrayIcon *icon() const { return m_icon; }
    QTimer *bannerTimer() const { return m_timer; }

    // Controls, in creation order.
    AddressBookPage *uo_tel;
    QLabel *st_1;
    NavigationList *lv_1;
    NotebookPage *uo_note;
    AssetsPage *uo_cap;
    HelpBrowser *ole_ie;
    LedgerPage *uo_acc;
    SettingsPage *uo_config;
    QLabel *st_version;

    bool ib_left = false;
    QStringList is_ad;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createList();
    void createBanner();
    void lockSetup();
    void sendToTray();
    void bringBack();
    QList<QWidget *> lockedControls() const;
    void setBannerText(const QString &text);

    TrayIcon *m_icon;
    QTimer *m_timer;
    bool m_showAfterOpen = true;
    bool m_exited = false;
    // Decided once while opening: the lock function was on with a key the hotkey can use.
    bool m_hotkeyUsable = false;
    // Held while locked: no box or dialog of the program shows meanwhile.
    std::unique_ptr<platform::DialogLock> m_dialogLock;
};
