#include "assetitems.h"

void addItems(const QList<Item> &items, const QList<QPair<QString, QString>> &groups)
{
    for (const auto &g : groups)
        exec(QStringLiteral("INSERT INTO ca_group (groupid, groupname) VALUES (?, ?)"), {g.first, g.second});
    for (const Item &i : items)
        exec(QStringLiteral("INSERT INTO ca_info (gid, name, num, buyprice, worth, buydate, brand) "
                            "VALUES (?, ?, ?, ?, ?, ?, '品牌')"),
             {i.group, i.name, i.num, i.buyprice, i.worth, i.buydate.isEmpty() ? QVariant() : QVariant(i.buydate)});
}

int itemCount(const QString &where)
{
    return scalar(QStringLiteral("SELECT count(*) FROM ca_info WHERE ") + where).toInt();
}

QVariant storedValue(const QString &name, const QString &column)
{
    return scalar(QStringLiteral("SELECT %1 FROM ca_info WHERE name = ? ORDER BY id").arg(column), {name});
}
