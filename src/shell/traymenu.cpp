#include "shell/traymenu.h"

TrayMenu::TrayMenu(QWidget *parent)
    : QMenu(parent)
{
    setObjectName(QStringLiteral("m_pop"));
    setAccessibleName(QStringLiteral("托盘菜单"));
    showAction = addAction(QStringLiteral("恢复 / 隐藏"));
    showAction->setObjectName(QStringLiteral("m_show"));
    separator = addSeparator();
    separator->setObjectName(QStringLiteral("m_01"));
    exitAction = addAction(QStringLiteral("退出 Mivo"));
    exitAction->setObjectName(QStringLiteral("m_exit"));
    setDefaultAction(showAction);
}
