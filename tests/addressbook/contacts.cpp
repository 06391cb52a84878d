#include "contacts.h"

void addContacts(const QList<Contact> &contacts, const QList<QPair<QString, QString>> &groups)
{
    for (const auto &g : groups)
        exec(QStringLiteral("INSERT INTO t_group (zuhao0, zuming) VALUES (?, ?)"), {g.first, g.second});
    for (const Contact &c : contacts)
        exec(QStringLiteral("INSERT INTO t_telinfo (zuhao0, xingm0, shouji, danwei) VALUES (?, ?, ?, '单位')"),
             {c.group, c.name, c.mobile});
}

int contactCount(const QString &where)
{
    return scalar(QStringLiteral("SELECT count(*) FROM t_telinfo WHERE ") + where).toInt();
}

QString storedField(const QString &name, const QString &column)
{
    return scalar(QStringLiteral("SELECT %1 FROM t_telinfo WHERE xingm0 = ?").arg(column), {name}).toString();
}
