// Ledger entries for the benchmarks: expenses and incomes over several years, a few a day, with the
// items and remarks people write.

#include "generator.h"

#include "app/schema.h"

#include <QDate>
#include <QFileInfo>
#include <QStringList>
#include <random>
#include <sqlite3.h>

namespace bench {

namespace {

const QStringList kExpenses = {QStringLiteral("午饭"), QStringLiteral("早餐"), QStringLiteral("晚饭"), QStringLiteral("超市购物"),
                               QStringLiteral("公交卡充值"), QStringLiteral("打车"), QStringLiteral("手机话费"), QStringLiteral("电费"),
                               QStringLiteral("水费"), QStringLiteral("房租"), QStringLiteral("买书"), QStringLiteral("看电影"),
                               QStringLiteral("衣服"), QStringLiteral("药品"), QStringLiteral("礼物"), QStringLiteral("宽带费")};
const QStringList kIncomes = {QStringLiteral("工资"), QStringLiteral("奖金"), QStringLiteral("稿费"), QStringLiteral("利息"),
                              QStringLiteral("报销"), QStringLiteral("兼职")};
const QStringList kRemarks = {QString(), QString(), QString(), QStringLiteral("和同事一起"), QStringLiteral("信用卡"),
                              QStringLiteral("现金"), QStringLiteral("网上支付"), QStringLiteral("月底结算")};

} // namespace

bool generateLedger(const QString &path, int n, QString *error, unsigned seed)
{
    QString why;
    if (!QFileInfo::exists(path) && !createDatabase(path, &why)) {
        if (error)
            *error = why;
        return false;
    }
    sqlite3 *db = nullptr;
    sqlite3_stmt *ins = nullptr;
    bool ok = sqlite3_open16(path.utf16(), &db) == SQLITE_OK && sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK
              && sqlite3_prepare_v2(db, "INSERT INTO t_account (vtype, vdate, vname, vmoney, vremark) VALUES (?, ?, ?, ?, ?)", -1,
                                    &ins, nullptr)
                     == SQLITE_OK;
    std::mt19937 rng(seed);
    auto below = [&rng](int size) { return int(std::uniform_int_distribution<int>(0, size - 1)(rng)); };
    // Three entries a day on average, the last one today's date of the data (2009-02-14).
    const int days = std::max(1, n / 3);
    for (int i = 0; ok && i < n; ++i) {
        const bool income = below(12) == 0;
        const QDate date = QDate(2009, 2, 14).addDays(-qint64(days - 1) + qint64(i) * days / n);
        const QString name = income ? kIncomes.at(below(int(kIncomes.size()))) : kExpenses.at(below(int(kExpenses.size())));
        const double money = income ? 500 + below(800000) / 100.0 : 1 + below(50000) / 100.0;
        const QString remark = kRemarks.at(below(int(kRemarks.size())));
        const QByteArray type = income ? "1" : "0";
        const QByteArray day = date.toString(QStringLiteral("yyyyMMdd")).toUtf8();
        const QByteArray item = name.toUtf8(), note = remark.toUtf8();
        sqlite3_reset(ins);
        ok = sqlite3_bind_text(ins, 1, type.constData(), -1, SQLITE_TRANSIENT) == SQLITE_OK
             && sqlite3_bind_text(ins, 2, day.constData(), -1, SQLITE_TRANSIENT) == SQLITE_OK
             && sqlite3_bind_text(ins, 3, item.constData(), -1, SQLITE_TRANSIENT) == SQLITE_OK
             && sqlite3_bind_double(ins, 4, money) == SQLITE_OK
             && (remark.isEmpty() ? sqlite3_bind_null(ins, 5) : sqlite3_bind_text(ins, 5, note.constData(), -1, SQLITE_TRANSIENT))
                    == SQLITE_OK
             && sqlite3_step(ins) == SQLITE_DONE;
    }
    sqlite3_finalize(ins);
    ok = ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!ok && error)
        *error = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_close(db);
    return ok;
}

} // namespace bench
