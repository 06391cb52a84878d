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
    // The tray icon's mouse messages as they reach trayMessage().
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
    void showPages(const QString &mask);
    // The banner's next text, and its width to match.
    void nextBannerText();
    // One tick of the banner timer: ten units on, turning fifty units inside the content area's
    // edges; arriving back at the left brings the next text.
    void moveBanner();
    bool bannerMovesLeft() const { return m_bannerMovingLeft; }

    // The command line: "/max" maximizes; else "/min" or "/hide" sends the window to the tray.
    void applyCommandLine(const QStringList &arguments);
    // Posted while opening; runs once the window is up: the start-maximized setting.
    void applyStartMaximized();
    // A mouse message of the tray icon (TrayMessage); `pos` is where a menu pops up.
    void trayMessage(int message, const QPoint &pos);

    // The navigation list chose item `index` (from 1).
    void itemChosen(int index);

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

    TrayIcon *trayIcon() const { return m_icon; }
    QTimer *bannerTimer() const { return m_timer; }

    // Controls, in creation order.
    AddressBookPage *addressBookPage;
    QLabel *contentArea;
    NavigationList *navigation;
    NotebookPage *notebookPage;
    AssetsPage *assetsPage;
    HelpBrowser *helpBrowser;
    LedgerPage *ledgerPage;
    SettingsPage *settingsPage;
    QLabel *banner;

    // What the banner shows in turn, the version line first.
    QStringList bannerTexts;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createNavigation();
    void createBanner();
    void setUpLock();
    void sendToTray();
    void bringBack();
    QList<QWidget *> lockedControls() const;
    void setBannerText(const QString &text);

    TrayIcon *m_icon;
    QTimer *m_timer;
    bool m_bannerMovingLeft = false;
    bool m_showAfterOpen = true;
    bool m_exited = false;
    // Decided once while opening: the lock function was on with a key the hotkey can use.
    bool m_hotkeyUsable = false;
    // Held while locked: no box or dialog of the program shows meanwhile.
    std::unique_ptr<platform::DialogLock> m_dialogLock;
};
