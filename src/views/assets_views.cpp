// The personal assets' views: the list and the form of items, the groups and names that fill the
// tree, and the group drop-down (the groups table is also edited on the settings page).

#include "views/registry.h"

namespace views {

using namespace build;

namespace {

const QString kDate = QStringLiteral("####-##-##");
const QString kMoney = QStringLiteral("###,###.00");
const QString kTotal = QStringLiteral("#,##0.00");

Col groupColumn()
{
    return text(QStringLiteral("gid"), 1, QStringLiteral("组别"))
        .dropDown(QStringLiteral("dddw_ca_group"), QStringLiteral("groupname"), QStringLiteral("groupid"))
        .shown(10);
}

Definition all()
{
    Definition d;
    d.name = QStringLiteral("dw_ca_all");
    d.select = QStringLiteral(
        "SELECT gid, name, brand, descb, num, worth, buydate, buyprice, dropdate, remark, buyplace, droptype "
        "FROM ca_info WHERE ca_info.gid GLOB :as_groupid ORDER BY gid ASC, name ASC");
    d.arguments = {textArg(QStringLiteral("as_groupid"))};
    d.columns = {
        groupColumn(),
        text(QStringLiteral("name"), 40, QStringLiteral("名称")).shown(16),
        text(QStringLiteral("brand"), 40, QStringLiteral("品牌型号")).shown(16),
        text(QStringLiteral("descb"), 200, QStringLiteral("描述")).shown(24),
        integer(QStringLiteral("num"), QStringLiteral("数量")).shown(6),
        number(QStringLiteral("worth"), QStringLiteral("总价值")).format(kTotal).color(blue()).shown(12),
        text(QStringLiteral("buydate"), 8, QStringLiteral("购买日期")).format(kDate).shown(10),
        number(QStringLiteral("buyprice"), QStringLiteral("购买单价")).format(kMoney).color(green()).shown(12),
        text(QStringLiteral("dropdate"), 8, QStringLiteral("处理日期")).format(kDate).shown(10),
        text(QStringLiteral("remark"), 200, QStringLiteral("备注")).shown(24),
        text(QStringLiteral("buyplace"), 40, QStringLiteral("购买地点")).shown(16),
        text(QStringLiteral("droptype"), 40, QStringLiteral("处理方式")).shown(12),
    };
    d.gridOrder = QStringList{
        QStringLiteral("gid"), QStringLiteral("name"), QStringLiteral("brand"), QStringLiteral("buyprice"),
        QStringLiteral("num"), QStringLiteral("worth"), QStringLiteral("buydate"), QStringLiteral("buyplace"),
        QStringLiteral("descb"), QStringLiteral("dropdate"), QStringLiteral("droptype"), QStringLiteral("remark"),
    };
    d.summary = {
        fixedText(QStringLiteral("t_total"), QStringLiteral("合计:"), QStringLiteral("num")),
        sumOf(QStringLiteral("sum_worth"), QStringLiteral("worth"), kTotal, QStringLiteral("worth")),
    };
    d.banding = bands();
    return d;
}

Definition one()
{
    Definition d;
    d.name = QStringLiteral("dw_ca_one");
    d.style = Style::Card;
    d.select = QStringLiteral(
        "SELECT id, gid, name, num, worth, buydate, buyprice, dropdate, remark, brand, descb, buyplace, droptype "
        "FROM ca_info WHERE ca_info.id = :ai_id");
    d.arguments = {numberArg(QStringLiteral("ai_id"))};
    // The database assigns the id; the form shows it and never writes it.
    d.columns = {
        integer(QStringLiteral("id"), QStringLiteral("Id:")).readOnly().card(1, 0),
        groupColumn().edit().update().card(1, 1),
        text(QStringLiteral("name"), 40, QStringLiteral("名称")).edit().update().card(1, 2),
        integer(QStringLiteral("num"), QStringLiteral("数量")).mask(QStringLiteral("####")).spin(1, 9999).edit().update().card(2, 3),
        // Shown with the two decimals it is stored with (the page rounds it).
        number(QStringLiteral("worth"), QStringLiteral("总价值")).format(kTotal).color(blue()).edit().update().card(1, 5),
        // The purchase date is the eight characters as typed; only the disposal date has a date mask.
        text(QStringLiteral("buydate"), 8, QStringLiteral("购买日期")).edit().update().card(1, 4),
        number(QStringLiteral("buyprice"), QStringLiteral("购买单价")).mask(kMoney).color(green()).edit().update().card(1, 3),
        text(QStringLiteral("dropdate"), 8, QStringLiteral("处理日期")).format(kDate).mask(kDate).edit().update().card(2, 1),
        text(QStringLiteral("remark"), 200, QStringLiteral("备注")).multiLine().edit().update().card(0, 1),
        text(QStringLiteral("brand"), 40, QStringLiteral("品牌型号")).edit().update().card(2, 2),
        text(QStringLiteral("descb"), 200, QStringLiteral("描述")).multiLine().edit().update().card(1, 6),
        text(QStringLiteral("buyplace"), 40, QStringLiteral("购买地点")).edit().update().card(2, 4),
        text(QStringLiteral("droptype"), 40, QStringLiteral("处理方式")).edit().update().card(2, 5),
    };
    d.updateTable = QStringLiteral("ca_info");
    d.keyColumns = QStringList{QStringLiteral("id")};
    return d;
}

Definition groups()
{
    Definition d;
    d.name = QStringLiteral("ds_ca_group");
    d.select = QStringLiteral("SELECT ca_group.groupid, ca_group.groupname FROM ca_group ORDER BY groupid ASC");
    d.columns = {
        text(QStringLiteral("groupid"), 1, QStringLiteral("组号")).edit().update().shown(6),
        text(QStringLiteral("groupname"), 20, QStringLiteral("组名")).edit().update().shown(22),
    };
    d.updateTable = QStringLiteral("ca_group");
    d.keyColumns = QStringList{QStringLiteral("groupid")};
    return d;
}

Definition names()
{
    Definition d;
    d.name = QStringLiteral("ds_ca_name");
    d.select = QStringLiteral(
        "SELECT ca_info.name, ca_info.id FROM ca_info WHERE ca_info.gid = :groupid ORDER BY gid ASC, name ASC");
    d.arguments = {textArg(QStringLiteral("groupid"))};
    d.columns = {
        text(QStringLiteral("name"), 50, QStringLiteral("名称")),
        integer(QStringLiteral("id"), QStringLiteral("Id")),
    };
    return d;
}

Definition dropDown()
{
    Definition d;
    d.name = QStringLiteral("dddw_ca_group");
    d.select = QStringLiteral("SELECT ca_group.groupname, ca_group.groupid FROM ca_group ORDER BY groupid ASC");
    d.columns = {
        text(QStringLiteral("groupname"), 20, QStringLiteral("组名")),
        text(QStringLiteral("groupid"), 1, QStringLiteral("组号")),
    };
    return d;
}

} // namespace

QList<Definition> assetsViews()
{
    return {all(), one(), groups(), names(), dropDown()};
}

} // namespace views
