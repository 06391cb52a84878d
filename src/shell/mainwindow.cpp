#include "shell/mainwindow.h"

#include "addressbook/addressbookpage.h"
#include "app/application.h"
#include "app/appinfo.h"
#include "app/generaloptions.h"
#include "assets/assetspage.h"
#include "ledger/ledgerpage.h"
#include "notebook/notebookpage.h"
#include "platform/dialoglock.h"
#include "platform/messagebox.h"
#include "platform/pictureicon.h"
#include "platform/services.h"
#include "settings/settingspage.h"
#include "shell/helpbrowser.h"
#include "shell/traymenu.h"
#include "shell/navigationlist.h"
#include "widgets/unitgeometry.h"
#include "shell/trayicon.h"
#include "sync/syncservice.h"
#include "widgets/units.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QScreen>
#include <QTimer>

namespace {

struct NavigationItem
{
    const char *caption;
    const char *mask; // empty for the items that do something else than show a page
};

// In list order; the bitmaps are resource/P000.bmp onwards in the same order.
const NavigationItem kItems[] = {
    {"通讯录", "10000##0"},
    {"笔记本", "01000##0"},
    {"个人资产", "00100##0"},
    {"记帐", "00010##0"},
    {"配置", "00001##0"},
    {"锁定", ""},
    {"退出", ""},
    {"帮助", "00000##1"},
};

// The bitmaps keep their transparent parts in this colour.
const QColor kMaskColour(255, 0, 255);

// Item `index`'s bitmap, `side` pixels square.
QIcon navigationIcon(int index, int side)
{
    // Read as the bitmaps they are: guessing the format from the contents would load every image
    // plugin to ask it.
    QImageReader reader(appFile(QStringLiteral("resource/P%1.bmp").arg(index - 1, 3, 10, QLatin1Char('0'))),
                        QByteArrayLiteral("bmp"));
    reader.setAutoDetectImageFormat(false);
    QPixmap bitmap = QPixmap::fromImage(reader.read());
    if (bitmap.isNull())
        return {};
    bitmap.setMask(bitmap.createMaskFromColor(kMaskColour, Qt::MaskInColor));
    // Scaled once to the size the list shows, not at every paint.
    if (bitmap.size() != QSize(side, side))
        bitmap = bitmap.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return QIcon(bitmap);
}

} // namespace

MainWindow::MainWindow(Connection &db, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("w_main"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                   | Qt::WindowCloseButtonHint);
    resize(units::toPixels(QSize(DesignWidth, DesignHeight), logicalDpiX()));

    // The pages start hidden: they are created light and filled when first shown, so start-up waits
    // only for what the first frame needs. They still read at once what their creation says at
    // opening (their groups, the options the lock needs), in the same order as ever.
    pagekit::Page::Deferred light;

    addressBookPage = new AddressBookPage(db, this);
    addressBookPage->setObjectName(QStringLiteral("uo_tel"));
    addressBookPage->setAccessibleName(QString::fromUtf8(kItems[0].caption));

    contentArea = new QLabel(this);
    contentArea->setObjectName(QStringLiteral("st_1"));
    contentArea->setAccessibleName(QStringLiteral("内容区"));
    contentArea->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    contentArea->setBackgroundRole(QPalette::Base);
    contentArea->setAutoFillBackground(true);

    createNavigation();

    notebookPage = new NotebookPage(db, this);
    notebookPage->setObjectName(QStringLiteral("uo_note"));
    notebookPage->setAccessibleName(QString::fromUtf8(kItems[1].caption));

    assetsPage = new AssetsPage(db, this);
    assetsPage->setObjectName(QStringLiteral("uo_cap"));
    assetsPage->setAccessibleName(QString::fromUtf8(kItems[2].caption));

    helpBrowser = new HelpBrowser(this);
    helpBrowser->setObjectName(QStringLiteral("ole_ie"));
    helpBrowser->setAccessibleName(QString::fromUtf8(kItems[7].caption));
    connect(helpBrowser, &HelpBrowser::reported, this, [this](const QString &text) {
        if (text.compare(QLatin1String("help"), Qt::CaseInsensitive) == 0)
            helpBrowser->hide();
    });

    ledgerPage = new LedgerPage(db, this);
    ledgerPage->setObjectName(QStringLiteral("uo_acc"));
    ledgerPage->setAccessibleName(QString::fromUtf8(kItems[3].caption));

    settingsPage = new SettingsPage(db, this);
    settingsPage->setObjectName(QStringLiteral("uo_config"));
    settingsPage->setAccessibleName(QString::fromUtf8(kItems[4].caption));
    addressBookPage->attachSync(settingsPage->syncService());

    createBanner();

    // Every page and the help cover the banner, which lies on the content area.
    for (QWidget *control : {static_cast<QWidget *>(banner), static_cast<QWidget *>(contentArea)})
        control->lower();

    m_icon = new TrayIcon(this);
    m_icon->setObjectName(QStringLiteral("u_icon"));

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("timer"));
    m_timer->setInterval(BannerIntervalMs);
    connect(m_timer, &QTimer::timeout, this, &MainWindow::moveBanner);
}

MainWindow::~MainWindow()
{
    if (auto *app = qobject_cast<Application *>(QCoreApplication::instance()))
        app->setIdleHandler({});
}

void MainWindow::createNavigation()
{
    navigation = new NavigationList(this);
    navigation->setObjectName(QStringLiteral("lv_1"));
    navigation->setAccessibleName(QStringLiteral("导航"));
    const qreal dpi = logicalDpiX();
    const int iconSide = int(32 * dpi / 96.0);
    navigation->setIconSize(QSize(iconSide, iconSide));
    const QSize cell(units::toPixelsX(ListWidth, dpi) - 8, int(66 * dpi / 96.0));
    navigation->setGridSize(cell);
    for (int i = 1; i <= int(std::size(kItems)); ++i) {
        auto *item = new QListWidgetItem(navigationIcon(i, iconSide), QString::fromUtf8(kItems[i - 1].caption), navigation);
        item->setSizeHint(cell);
    }
    setUnitGeometry(navigation, QRect(10, 10, ListWidth, DesignHeight - 20));
    connect(navigation, &NavigationList::chosen, this, &MainWindow::itemChosen);
}

void MainWindow::open(const QStringList &arguments)
{
    // The content area starts empty.
    showPages(QStringLiteral("00000##0"));

    // The help page, read when it is first shown.
    const QString help = appFile(QStringLiteral("help.htm"));
    if (QFileInfo(help).isFile())
        helpBrowser->setPage(help);
    else
        platform::messageBox(QStringLiteral("003"), QStringLiteral("帮助文件无法加载!\n尝试用安装程序覆盖安装修复"),
                             platform::Icon::Stop);

    // Title and icon.
    setWindowTitle(QStringLiteral("Mivo V") + appVersion);
    // The same icon as the tray's: its pictures are decoded once for both.
    const QIcon appIcon = platform::pictureIcon(appFile(QStringLiteral("i001.ico")));
    setWindowIcon(appIcon);
    QApplication::setWindowIcon(appIcon);

    // The lock: auto-lock and lock at start.
    setUpLock();

    // The tray icon.
    m_icon->add(appFile(QStringLiteral("i001.ico")), this, QStringLiteral("Mivo个人管理工具"));

    // The command line, now.
    applyCommandLine(arguments);

    // Start maximized, once the window is up.
    QMetaObject::invokeMethod(this, &MainWindow::applyStartMaximized, Qt::QueuedConnection);

    // The settings page's export tab is not offered.
    settingsPage->hideExportTab();

    // The banner, version line first.
    bannerTexts = {
        QStringLiteral("Mivo V") + appVersion + QStringLiteral(" build ") + appBuild,
        QStringLiteral("提示：单击这行文字可看下一条提示"),
        QStringLiteral("提示：最小化即隐藏到托盘，单击托盘图标恢复"),
        QStringLiteral("提示：在<配置|常规>中设置锁定快捷键"),
        QStringLiteral("提示：锁定后按您的锁定快捷键解锁"),
        QStringLiteral("提示：复制 mivo.mdb 即备份了全部数据"),
    };
    setBannerText(bannerTexts.first());

    // The banner moves.
    m_timer->start();

    layoutControls();
    if (windowState() == Qt::WindowNoState)
        if (const QScreen *s = screen())
            move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    if (m_showAfterOpen)
        show();

    // The sync at start and the automatic syncs, once the first frame is out.
    QTimer::singleShot(0, &settingsPage->syncService(), &contactsync::SyncService::atStart);
    QTimer::singleShot(0, notebookPage, &NotebookPage::startIndexBuild);
}

QList<pagekit::Page *> MainWindow::pages() const
{
    return {addressBookPage, notebookPage, assetsPage, ledgerPage, settingsPage};
}

void MainWindow::showPages(const QString &mask)
{
    if (mask.size() != 8) {
        platform::messageBox(QStringLiteral("debug"), QStringLiteral("传入长度<>8"));
        return;
    }
    const auto on = [&mask](int position) { return mask.at(position - 1) == QLatin1Char('1'); };
    addressBookPage->setVisible(on(1));
    notebookPage->setVisible(on(2));
    assetsPage->setVisible(on(3));
    ledgerPage->setVisible(on(4));
    settingsPage->setVisible(on(5));
    helpBrowser->setVisible(on(8));
}

void MainWindow::itemChosen(int index)
{
    switch (index) {
    case Lock:
        lock();
        return;
    case Exit:
        close();
        return;
    default:
        if (index >= 1 && index <= int(std::size(kItems)))
            showPages(QString::fromLatin1(kItems[index - 1].mask));
        return;
    }
}

void MainWindow::applyCommandLine(const QStringList &arguments)
{
    const QString parameters = arguments.join(QLatin1Char(' ')).toLower();
    if (parameters.contains(QLatin1String("/max")))
        setWindowState(windowState() | Qt::WindowMaximized);
    else if (parameters.contains(QLatin1String("/min")))
        sendToTray();
    else if (parameters.contains(QLatin1String("/hide")))
        sendToTray();
}

void MainWindow::applyStartMaximized()
{
    // A window started minimized (no tray) stays minimized and comes back maximized.
    if (GeneralOptions::load().startMaximized)
        setWindowState((windowState() & Qt::WindowMinimized) | Qt::WindowMaximized);
}

void MainWindow::sendToTray()
{
    // Without a tray a hidden window could never be reached again: it is minimized instead.
    if (!platform::services().tray->available()) {
        setWindowState(windowState() | Qt::WindowMinimized);
        return;
    }
    m_showAfterOpen = false;
    hide();
}

void MainWindow::bringBack()
{
    if (!isVisible())
        show();
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

void MainWindow::trayMessage(int message, const QPoint &pos)
{
    switch (message) {
    case TrayLeftButtonUp:
        bringBack();
        return;
    case TrayRightButtonUp: {
        if (isVisible()) {
            raise();
            activateWindow();
        }
        auto *menu = new TrayMenu(this);
        menu->showAction->setText(isVisible() ? QStringLiteral("隐藏窗口") : QStringLiteral("显示窗口"));
        connect(menu->showAction, &QAction::triggered, this, [this] {
            if (!isVisible())
                bringBack();
            else
                hide();
        });
        connect(menu->exitAction, &QAction::triggered, this, &QWidget::close);
        connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
        menu->popup(pos);
        return;
    }
    default:
        return;
    }
}

void MainWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !(windowState() & Qt::WindowMinimized))
        return;
    if (!platform::services().tray->available())
        return;
    // Minimizing hides the window to the tray; it comes back in the state it had before.
    QTimer::singleShot(0, this, [this] {
        if (!(windowState() & Qt::WindowMinimized))
            return;
        hide();
        setWindowState(windowState() & ~Qt::WindowMinimized);
    });
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_timer->stop();
    helpBrowser->clear();
    m_icon->remove();
    // Once per run, while the database is still open.
    if (!m_exited) {
        m_exited = true;
        for (pagekit::Page *page : pages())
            page->atProgramEnd();
    }
    // The program ends with its window, also when a dialog or box closes while the window is hidden.
    QCoreApplication::quit();
}
