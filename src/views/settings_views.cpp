// The settings page's views: the address-book groups edited in place (the notebook's and the assets'
// group views live with their pages), and the four export views, which read every column as stored.

#include "views/registry.h"

namespace views {

using namespace build;

namespace {

Definition groups()
{
    Definition d;
    d.name = QStringLiteral("dw_group");
    d.select = QStringLiteral("SELECT t_group.zuhao0, t_group.zuming FROM t_group ORDER BY zuhao0 ASC");
    d.columns = {
        text(QStringLiteral("zuhao0"), 1, QStringLiteral("组号")).edit().update().shown(6),
        text(QStringLiteral("zuming"), 8, QStringLiteral("组名")).edit().update().shown(22),
    };
    d.updateTable = QStringLiteral("t_group");
    d.keyColumns = QStringList{QStringLiteral("zuhao0")};
    return d;
}

Definition exportOf(const QString &name, const QString &table, const QList<Column> &columns, const QString &order)
{
    Definition d;
    d.name = name;
    QStringList names;
    for (const Column &c : columns)
        names << c.name;
    d.select = QStringLiteral("SELECT %1 FROM %2 ORDER BY %3").arg(names.join(QStringLiteral(", ")), table, order);
    d.columns = columns;
    return d;
}

Definition contacts()
{
    return exportOf(QStringLiteral("d_telpro_all"), QStringLiteral("t_telinfo"),
                    {
                        integer(QStringLiteral("id"), QStringLiteral("Id")),
                        text(QStringLiteral("zuhao0"), 1, QStringLiteral("Zuhao0")),
                        text(QStringLiteral("xingm0"), 20, QStringLiteral("Xingm0")),
                        text(QStringLiteral("nich00"), 20, QStringLiteral("Nich00")),
                        text(QStringLiteral("xingb0"), 1, QStringLiteral("Xingb0")),
                        text(QStringLiteral("shengr"), 8, QStringLiteral("Shengr")),
                        text(QStringLiteral("shouji"), 12, QStringLiteral("Shouji")),
                        text(QStringLiteral("xiaolt"), 12, QStringLiteral("Xiaolt")),
                        text(QStringLiteral("dianh0"), 20, QStringLiteral("Dianh0")),
                        text(QStringLiteral("email0"), 30, QStringLiteral("Email0")),
                        text(QStringLiteral("qq0000"), 10, QStringLiteral("Qq0000")),
                        text(QStringLiteral("msn00"), 30, QStringLiteral("Msn00")),
                        text(QStringLiteral("dizhi0"), 50, QStringLiteral("Dizhi0")),
                        text(QStringLiteral("youb00"), 6, QStringLiteral("Youb00")),
                        text(QStringLiteral("danwei"), 30, QStringLiteral("Danwei")),
                        text(QStringLiteral("yuanji"), 20, QStringLiteral("Yuanji")),
                        text(QStringLiteral("beizhu"), 200, QStringLiteral("Beizhu")),
                        text(QStringLiteral("dianh0_dw"), 20, QStringLiteral("Dianh0 Dw")),
                        text(QStringLiteral("zhiye0"), 20, QStringLiteral("Zhiye0")),
                        text(QStringLiteral("dizhi0_dw"), 50, QStringLiteral("Dizhi0 Dw")),
                        text(QStringLiteral("jwjl00"), 32766, QStringLiteral("Jwjl00")),
                        text(QStringLiteral("gxrq00"), 8, QStringLiteral("Gxrq00")),
                    },
                    QStringLiteral("zuhao0 ASC, xingm0 ASC"));
}

Definition notes()
{
    return exportOf(QStringLiteral("d_notepro_all"), QStringLiteral("p_info"),
                    {
                        text(QStringLiteral("gid"), 1, QStringLiteral("Gid")),
                        text(QStringLiteral("title"), 255, QStringLiteral("Title")),
                        text(QStringLiteral("content"), 32766, QStringLiteral("Content")),
                    },
                    QStringLiteral("gid ASC, title ASC"));
}

Definition assets()
{
    return exportOf(QStringLiteral("d_capital_all"), QStringLiteral("ca_info"),
                    {
                        integer(QStringLiteral("id"), QStringLiteral("Id")),
                        text(QStringLiteral("gid"), 1, QStringLiteral("Gid")),
                        text(QStringLiteral("name"), 40, QStringLiteral("Name")),
                        text(QStringLiteral("brand"), 40, QStringLiteral("Brand")),
                        text(QStringLiteral("descb"), 200, QStringLiteral("Descb")),
                        integer(QStringLiteral("num"), QStringLiteral("Num")),
                        number(QStringLiteral("worth"), QStringLiteral("Worth")),
                        text(QStringLiteral("buydate"), 8, QStringLiteral("Buydate")),
                        text(QStringLiteral("buyplace"), 40, QStringLiteral("Buyplace")),
                        number(QStringLiteral("buyprice"), QStringLiteral("Buyprice")),
                        text(QStringLiteral("dropdate"), 8, QStringLiteral("Dropdate")),
                        text(QStringLiteral("droptype"), 40, QStringLiteral("Droptype")),
                        text(QStringLiteral("remark"), 200, QStringLiteral("Remark")),
                    },
                    QStringLiteral("gid ASC, name ASC"));
}

Definition ledger()
{
    return exportOf(QStringLiteral("d_account_all"), QStringLiteral("t_account"),
                    {
                        text(QStringLiteral("vtype"), 1, QStringLiteral("Vtype")),
                        text(QStringLiteral("vdate"), 8, QStringLiteral("Vdate")),
                        text(QStringLiteral("vname"), 40, QStringLiteral("Vname")),
                        number(QStringLiteral("vmoney"), QStringLiteral("Vmoney")),
                        text(QStringLiteral("vremark"), 100, QStringLiteral("Vremark")),
                    },
                    QStringLiteral("vtype ASC, vdate ASC"));
}

} // namespace

QList<Definition> settingsViews()
{
    return {groups(), contacts(), notes(), assets(), ledger()};
}

} // namespace views
