#include "shell/traymenu.h"

TrayMenu::TrayMenu(QWidget *parent)
    : QMenu(parent)
{
    setObjectName(QStringLiteral("m_pop"));
    setAccessibleName(QStringLiteral("托盘菜单"));
    m_show = addAction(QStringLiteral("恢复 / 隐藏"));
    m_show->setObjectName(QStringLiteral("m_show"));
    m_01 = addSeparator();
    m_01->setObjectName(QStringLiteral("m_01"));
    m_exit = addAction(QStringLiteral("退出 Mivo"));
    m_exit->setObjectName(QStringLiteral("m_exit"));
    setDefaultAction(m_show);
}
