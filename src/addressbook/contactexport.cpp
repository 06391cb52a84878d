#include "addressbook/contactexport.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace addressbook {

using exchange::Contact;
using exchange::contactFields;

DbResult readContacts(Connection &db, const QString &groupPattern, QList<Contact> *out)
{
    out->clear();
    QStringList columns;
    for (const exchange::ContactField &f : contactFields())
        columns << QStringLiteral("t.") + f.column;
    QSqlQuery q(db.sqlDatabase());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT g.zuming, ") + columns.join(QLatin1Char(','))
              + QStringLiteral(" FROM t_telinfo t LEFT JOIN t_group g ON g.zuhao0 = t.zuhao0"
                               " WHERE t.zuhao0 LIKE ? ORDER BY t.zuhao0, t.xingm0"));
    q.addBindValue(groupPattern);
    if (!q.exec())
        return db.failure(q.lastError());
    while (q.next()) {
        Contact c;
        for (int i = 0; i < contactFields().size(); ++i)
            c.*contactFields().at(i).member = q.value(i + 1).toString();
        if (const QString group = q.value(0).toString(); !group.isEmpty())
            c.categories = {group};
        out->append(std::move(c));
    }
    return {};
}

} // namespace addressbook
