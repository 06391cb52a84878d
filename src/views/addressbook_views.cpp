// The address book's views: the list and the card of contacts, the groups and names that fill its
// tree, and the group drop-down.

#include "views/registry.h"

namespace views {

using namespace build;

namespace {

const QString kDate = QStringLiteral("####-##-##");

QList<CodeEntry> sexes()
{
    return {{QStringLiteral("男"), QStringLiteral("1")}, {QStringLiteral("女"), QStringLiteral("2")}};
}

Col groupColumn()
{
    return text(QStringLiteral("zuhao0"), 1, QStringLiteral("组别"))
        .dropDown(QStringLiteral("dddw_group"), QStringLiteral("zuming"), QStringLiteral("zuhao0"))
        .shown(8);
}

Definition telall()
{
    Definition d;
    d.name = QStringLiteral("dw_telall");
    d.style = Style::Grid;
    d.select = QStringLiteral(
        "SELECT zuhao0, xingm0, nich00, xingb0, shengr, shouji, xiaolt, dianh0, email0, qq0000, dizhi0, "
        "youb00, danwei, yuanji, dianh0_dw, zhiye0, dizhi0_dw, msn00 FROM t_telinfo "
        "WHERE t_telinfo.zuhao0 GLOB :as_zuhao0 ORDER BY zuhao0 ASC, xingm0 ASC");
    d.arguments = {textArg(QStringLiteral("as_zuhao0"))};
    d.columns = {
        groupColumn(),
        text(QStringLiteral("xingm0"), 20, QStringLiteral("姓名")).shown(10),
        text(QStringLiteral("nich00"), 20, QStringLiteral("昵称")).shown(10),
        text(QStringLiteral("xingb0"), 1, QStringLiteral("性别")).codes(sexes()).shown(4),
        text(QStringLiteral("shengr"), 8, QStringLiteral("生日")).format(kDate).shown(10),
        text(QStringLiteral("shouji"), 12, QStringLiteral("手机")),
        text(QStringLiteral("xiaolt"), 12, QStringLiteral("小灵通")),
        text(QStringLiteral("dianh0"), 20, QStringLiteral("家庭电话")).shown(13),
        text(QStringLiteral("email0"), 30, QStringLiteral("Email")).shown(20),
        text(QStringLiteral("qq0000"), 10, QStringLiteral("QQ")),
        text(QStringLiteral("dizhi0"), 50, QStringLiteral("家庭地址")).shown(24),
        text(QStringLiteral("youb00"), 6, QStringLiteral("邮编")).shown(7),
        text(QStringLiteral("danwei"), 30, QStringLiteral("单位")).shown(18),
        text(QStringLiteral("yuanji"), 20, QStringLiteral("原籍")).shown(10),
        text(QStringLiteral("dianh0_dw"), 20, QStringLiteral("办公电话")).shown(13),
        text(QStringLiteral("zhiye0"), 20, QStringLiteral("职业")).shown(10),
        text(QStringLiteral("dizhi0_dw"), 50, QStringLiteral("单位地址")).shown(24),
        text(QStringLiteral("msn00"), 30, QStringLiteral("MSN")).shown(20),
    };
    d.gridOrder = QStringList{
        QStringLiteral("zuhao0"), QStringLiteral("xingm0"), QStringLiteral("nich00"), QStringLiteral("xingb0"),
        QStringLiteral("shengr"), QStringLiteral("shouji"), QStringLiteral("xiaolt"), QStringLiteral("dianh0"),
        QStringLiteral("dianh0_dw"), QStringLiteral("qq0000"), QStringLiteral("email0"), QStringLiteral("msn00"),
        QStringLiteral("dizhi0"), QStringLiteral("youb00"), QStringLiteral("zhiye0"), QStringLiteral("yuanji"),
        QStringLiteral("danwei"), QStringLiteral("dizhi0_dw"),
    };
    d.summary = {
        fixedText(QStringLiteral("t_total"), QStringLiteral("合计:"), QStringLiteral("zuhao0")),
        countOf(QStringLiteral("count_xingm0"), QStringLiteral("xingm0"), QStringLiteral("人"), QStringLiteral("xingm0")),
    };
    d.banding = bands();
    return d;
}

Definition telper()
{
    Definition d;
    d.name = QStringLiteral("dw_telper");
    d.style = Style::Card;
    d.select = QStringLiteral(
        "SELECT zuhao0, xingm0, nich00, xingb0, shengr, shouji, xiaolt, dianh0, email0, qq0000, dizhi0, "
        "youb00, danwei, yuanji, beizhu, dianh0_dw, zhiye0, dizhi0_dw, jwjl00, gxrq00, msn00 "
        "FROM t_telinfo WHERE t_telinfo.xingm0 = :as_xingm0");
    d.arguments = {textArg(QStringLiteral("as_xingm0"))};
    // Every column is written back; the name is also the key, found by the value it was read with.
    d.columns = {
        groupColumn().edit().update().card(1, 1),
        text(QStringLiteral("xingm0"), 20, QStringLiteral("姓名")).edit().update().card(1, 2),
        text(QStringLiteral("nich00"), 20, QStringLiteral("昵称")).edit().update().card(2, 1),
        text(QStringLiteral("xingb0"), 1, QStringLiteral("性别")).codes(sexes()).edit().update().card(1, 3),
        text(QStringLiteral("shengr"), 8, QStringLiteral("生日")).format(kDate).mask(kDate).edit().update().card(2, 2),
        text(QStringLiteral("shouji"), 12, QStringLiteral("手机")).mask(QStringLiteral("###########")).edit().update().card(1, 4),
        text(QStringLiteral("xiaolt"), 12, QStringLiteral("小灵通")).edit().update().card(2, 3),
        text(QStringLiteral("dianh0"), 20, QStringLiteral("家庭电话")).edit().update().card(1, 5),
        text(QStringLiteral("email0"), 30, QStringLiteral("Email")).edit().update().card(1, 6),
        text(QStringLiteral("qq0000"), 10, QStringLiteral("QQ")).edit().update().card(2, 5),
        text(QStringLiteral("dizhi0"), 50, QStringLiteral("家庭地址")).edit().update().card(1, 8),
        text(QStringLiteral("youb00"), 6, QStringLiteral("邮编")).mask(QStringLiteral("######")).edit().update().card(2, 6),
        text(QStringLiteral("danwei"), 30, QStringLiteral("单位")).edit().update().card(1, 10),
        text(QStringLiteral("yuanji"), 20, QStringLiteral("原籍")).edit().update().card(2, 7),
        text(QStringLiteral("beizhu"), 200, QStringLiteral("备注")).edit().update().card(1, 12),
        text(QStringLiteral("dianh0_dw"), 20, QStringLiteral("办公电话")).edit().update().card(2, 4),
        text(QStringLiteral("zhiye0"), 20, QStringLiteral("职业")).edit().update().card(1, 9),
        text(QStringLiteral("dizhi0_dw"), 50, QStringLiteral("单位地址")).edit().update().card(1, 11),
        text(QStringLiteral("jwjl00"), 32766, QStringLiteral("交往记录")).multiLine().edit().update().card(1, 13),
        text(QStringLiteral("gxrq00"), 8, QStringLiteral("更新日期")).format(kDate).mask(kDate).edit().update().card(0, 1),
        text(QStringLiteral("msn00"), 30, QStringLiteral("MSN")).edit().update().card(1, 7),
    };
    d.updateTable = QStringLiteral("t_telinfo");
    d.keyColumns = QStringList{QStringLiteral("xingm0")};
    return d;
}

Definition groups(const QString &name)
{
    Definition d;
    d.name = name;
    d.select = QStringLiteral("SELECT zuhao0, zuming FROM t_group ORDER BY zuhao0 ASC");
    d.columns = {
        text(QStringLiteral("zuhao0"), 1, QStringLiteral("组号")),
        text(QStringLiteral("zuming"), 8, QStringLiteral("组名")),
    };
    return d;
}

Definition names()
{
    Definition d;
    d.name = QStringLiteral("ds_xingm0");
    d.select = QStringLiteral("SELECT xingm0 FROM t_telinfo WHERE t_telinfo.zuhao0 = :as_zuhao0 ORDER BY xingm0 ASC");
    d.arguments = {textArg(QStringLiteral("as_zuhao0"))};
    d.columns = {text(QStringLiteral("xingm0"), 20, QStringLiteral("姓名"))};
    return d;
}

} // namespace

QList<Definition> addressbookViews()
{
    return {telall(), telper(), groups(QStringLiteral("ds_group")), names(), groups(QStringLiteral("dddw_group"))};
}

} // namespace views
