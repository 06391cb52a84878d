// The ledger's views: the expense and income lists, edited in place, and the monthly statistics.

#include "views/registry.h"

namespace views {

using namespace build;

namespace {

const QString kDate = QStringLiteral("####-##-##");
const QString kMoney = QStringLiteral("###,###.00");
const QString kTotal = QStringLiteral("#,##0.00");

Definition entries(const QString &name, const QString &type, const QString &itemLabel, const QColor &amountColor)
{
    Definition d;
    d.name = name;
    // The key "0" of "全部" lists every entry of the type, also one without a date (empty or NULL),
    // which no comparison would let through: it would be counted but out of reach.
    d.select = QStringLiteral(
                   "SELECT vdate, vname, vmoney, vremark, vtype, id FROM t_account "
                   "WHERE vtype = '%1' AND (vdate >= :as_date OR :as_date = '0') ORDER BY vdate ASC")
                   .arg(type);
    d.arguments = {textArg(QStringLiteral("as_date"))};
    d.columns = {
        text(QStringLiteral("vdate"), 8, QStringLiteral("日期")).format(kDate).mask(kDate).edit().update().shown(11),
        text(QStringLiteral("vname"), 40, itemLabel).edit().update().shown(24),
        number(QStringLiteral("vmoney"), QStringLiteral("金额")).format(kMoney).mask(kMoney).color(amountColor).edit().update().shown(13),
        text(QStringLiteral("vremark"), 100, QStringLiteral("备注")).edit().update().shown(36),
        text(QStringLiteral("vtype"), 1).update(),
        integer(QStringLiteral("id")),
    };
    // The type and the id travel in every row without a column of their own.
    d.gridOrder = QStringList{QStringLiteral("vdate"), QStringLiteral("vname"), QStringLiteral("vmoney"),
                              QStringLiteral("vremark")};
    d.summary = {
        fixedText(QStringLiteral("t_total"), QStringLiteral("合计:"), QStringLiteral("vname")),
        sumOf(QStringLiteral("sum_vmoney"), QStringLiteral("vmoney"), kTotal, QStringLiteral("vmoney")),
    };
    d.banding = bands();
    d.updateTable = QStringLiteral("t_account");
    d.keyColumns = QStringList{QStringLiteral("id")};
    // An entry someone else removed meanwhile is as deleted as the user wants it.
    d.goneRowDeleted = true;
    return d;
}

// One row per month that has an entry, in month order, with the month's expense, income and
// balance, all in one pass over the table. A month is the first six characters of the date, so the
// entries without a date (empty or NULL) form a month of their own and are counted only there. A
// month with entries of one kind only has no value for the other kind, and then no balance.
// Amounts are added as whole cents, each as the lists show it: in binary fractions 0.10 + 0.20 -
// 0.30 is a hair above 0, and a balance of nothing would show as a gain.
Definition statistics()
{
    Definition d;
    d.name = QStringLiteral("dw_ac_stat");
    d.select = QStringLiteral(
        "SELECT coalesce(substr(vdate, 1, 6), '') AS vdate, "
        "sum(CASE WHEN vtype = '1' THEN round(vmoney * 100) END) / 100.0 AS \"out\", "
        "sum(CASE WHEN vtype = '2' THEN round(vmoney * 100) END) / 100.0 AS \"in\", "
        "(sum(CASE WHEN vtype = '2' THEN round(vmoney * 100) END) - sum(CASE WHEN vtype = '1' THEN round(vmoney * 100) END)) "
        "/ 100.0 AS \"diff\" "
        "FROM t_account GROUP BY 1 ORDER BY 1 ASC");
    d.columns = {
        text(QStringLiteral("vdate"), 6, QStringLiteral("年月")).format(QStringLiteral("####-##")).shown(10),
        number(QStringLiteral("out"), QStringLiteral("支出")).format(kMoney).shown(14),
        number(QStringLiteral("in"), QStringLiteral("收入")).format(kMoney).shown(14),
        number(QStringLiteral("diff"), QStringLiteral("节余")).format(kMoney)
            .colorIf(QStringLiteral("diff"), 0, green(), red()).shown(14),
    };
    Compute balance = difference(QStringLiteral("all_diff"), QStringLiteral("all_in"), QStringLiteral("all_out"),
                                 kTotal, QStringLiteral("diff"));
    balance.colorRule = {QStringLiteral("all_diff"), 0, green(), red()};
    d.summary = {
        fixedText(QStringLiteral("t_total"), QStringLiteral("合计:"), QStringLiteral("vdate")),
        sumOf(QStringLiteral("all_out"), QStringLiteral("out"), kTotal, QStringLiteral("out")),
        sumOf(QStringLiteral("all_in"), QStringLiteral("in"), kTotal, QStringLiteral("in")),
        balance,
    };
    d.banding = bands();
    return d;
}

} // namespace

QList<Definition> ledgerViews()
{
    return {entries(QStringLiteral("dw_ac_out"), QStringLiteral("1"), QStringLiteral("支出项目"), blue()),
            entries(QStringLiteral("dw_ac_in"), QStringLiteral("2"), QStringLiteral("收入项目"), green()),
            statistics()};
}

} // namespace views
