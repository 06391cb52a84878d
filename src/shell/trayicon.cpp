#include "shell/trayicon.h"

#include "platform/messagebox.h"
#include "platform/services.h"
#include "shell/mainwindow.h"

TrayIcon::TrayIcon(QObject *parent)
    : QObject(parent)
{
}

TrayIcon::~TrayIcon()
{
    remove();
}

QString TrayIcon::cutTip(const QString &tips)
{
    if (tips.size() <= TipLength)
        return tips;
    qsizetype n = TipLength;
    if (tips.at(n - 1).isHighSurrogate())
        --n;
    return tips.left(n);
}

void TrayIcon::add(const QString &iconFile, MainWindow *window, const QString &tip)
{
    if (m_added)
        return;
    m_added = true;
    m_tip = cutTip(tip);
    if (!m_icon)
        m_icon = platform::services().tray->createIcon(this);
    connect(m_icon, &platform::TrayIcon::leftClicked, window,
            [window] { window->trayMessage(MainWindow::TrayLeftButtonUp, QPoint()); });
    connect(m_icon, &platform::TrayIcon::rightClicked, window,
            [window](const QPoint &at) { window->trayMessage(MainWindow::TrayRightButtonUp, at); });
    if (!m_icon->add(iconFile, m_tip))
        platform::messageBox(QStringLiteral("004"), QStringLiteral("图标文件无法加载!\n尝试用安装程序覆盖安装修复"),
                             platform::Icon::Stop);
}

void TrayIcon::remove()
{
    if (!m_added)
        return;
    m_added = false;
    m_icon->remove();
    m_icon->disconnect();
}
