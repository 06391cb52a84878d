#include "telpage.h"

TelPage::TelPage(const QList<Contact> &contacts, const QList<QPair<QString, QString>> &groups)
    : PageDriver<AddressBookPage>([&] {
        for (const auto &g : groups)
            exec(QStringLiteral("INSERT INTO t_group (zuhao0, zuming) VALUES (?, ?)"), {g.first, g.second});
        for (const Contact &c : contacts)
            exec(QStringLiteral("INSERT INTO t_telinfo (zuhao0, xingm0, shouji, danwei) VALUES (?, ?, ?, '单位')"),
                 {c.group, c.name, c.mobile});
    })
{
}

int TelPage::contactCount(const QString &where) const
{
    return scalar(QStringLiteral("SELECT count(*) FROM t_telinfo WHERE ") + where).toInt();
}

QString TelPage::field(const QString &name, const QString &column) const
{
    return scalar(QStringLiteral("SELECT %1 FROM t_telinfo WHERE xingm0 = ?").arg(column), {name}).toString();
}
