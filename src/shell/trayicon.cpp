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
    uf_deltray();
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

void TrayIcon::uf_addtray(const QString &as_icon, MainWindow *al_handle, const QString &as_tips)
{
    if (m_added)
        return;
    m_added = true;
    m_tip = cutTip(as_tips);
    if (!m_icon)
        m_icon = platform::services().tray->createIcon(this);
    connect(m_icon, &platform::TrayIcon::leftClicked, al_handle,
            [al_handle] { al_handle->ue_custom01(MainWindow::TrayLeftButtonUp, QPoint()); });
    connect(m_icon, &platform::TrayIcon::rightClicked, al_handle,
            [al_handle](const QPoint &at) { al_handle->ue_custom01(MainWindow::TrayRightButtonUp, at); });
    if (!m_icon->add(as_icon, m_tip))
        platform::messageBox(QStringLiteral("004"), QStringLiteral("图标文件无法加载!\n尝试用安装程序覆盖安装修复"),
                             platform::Icon::Stop);
}

void TrayIcon::uf_deltray()
{
    if (!m_added)
        return;
    m_added = false;
    m_icon->remove();
    m_icon->disconnect();
}
