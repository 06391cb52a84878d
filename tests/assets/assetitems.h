#pragma once
// Asset items and groups put into the test database before the assets page is built, and what the
// database holds afterwards.

#include "assets/assetspage.h"
#include "pagedriver.h"
#include "views/dataview.h"

#include <QPair>
#include <QVariant>

struct Item
{
    QString group;
    QString name;
    QVariant num;
    QVariant buyprice;
    QVariant worth;
    QString buydate;
};

using AssetsDriver = PageDriver<AssetsPage>;

// Adds the groups (code, name) and the items.
void addItems(const QList<Item> &items, const QList<QPair<QString, QString>> &groups = {});
int itemCount(const QString &where = QStringLiteral("1=1"));
// A column of the (first) stored item of that name.
QVariant storedValue(const QString &name, const QString &column);
