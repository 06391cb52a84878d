#include "generator.h"

#include "app/schema.h"

#include <QFileInfo>
#include <QSet>
#include <QStringList>
#include <random>
#include <sqlite3.h>

namespace bench {

namespace {

const QString kSurnames = QStringLiteral(
    "王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾萧田董袁潘于蒋蔡余杜叶程苏魏吕丁任沈姚卢姜崔钟"
    "谭陆汪范金石廖贾夏韦付方白邹孟熊秦邱江尹薛闫段雷侯龙史陶黎贺顾毛郝龚邵万钱严覃武戴莫孔向汤");
const QString kGiven = QStringLiteral(
    "伟芳娜秀英敏静丽强磊军洋勇艳杰娟涛明超秀兰霞平刚桂英华建国文辉红玉飞鹏宇浩然子轩梓涵一诺欣怡思远晓东海燕志"
    "强春梅冬雪秋月晨曦家豪俊杰宏伟婷婷雅琪佳琪嘉怡博文浩宇天佑若曦雨桐紫萱梦瑶");
const QStringList kCities = {QStringLiteral("北京市"), QStringLiteral("上海市"), QStringLiteral("广州市"), QStringLiteral("深圳市"),
                             QStringLiteral("杭州市"), QStringLiteral("南京市"), QStringLiteral("成都市"), QStringLiteral("武汉市"),
                             QStringLiteral("西安市"), QStringLiteral("沈阳市")};
const QStringList kDistricts = {QStringLiteral("朝阳区"), QStringLiteral("海淀区"), QStringLiteral("浦东新区"), QStringLiteral("天河区"),
                                QStringLiteral("西湖区"), QStringLiteral("鼓楼区"), QStringLiteral("武侯区"), QStringLiteral("江汉区")};
const QStringList kRoads = {QStringLiteral("建国路"), QStringLiteral("中山路"), QStringLiteral("人民路"), QStringLiteral("解放路"),
                            QStringLiteral("长安街"), QStringLiteral("南京路"), QStringLiteral("学院路"), QStringLiteral("和平路")};
const QStringList kEmployers = {QStringLiteral("华信科技有限公司"), QStringLiteral("东方建设集团"), QStringLiteral("第一人民医院"),
                                QStringLiteral("市实验中学"), QStringLiteral("长城贸易公司"), QStringLiteral("新华书店"),
                                QStringLiteral("中国银行"), QStringLiteral("光明乳业")};
const QStringList kJobs = {QStringLiteral("工程师"), QStringLiteral("教师"), QStringLiteral("医生"), QStringLiteral("会计"),
                           QStringLiteral("销售经理"), QStringLiteral("公务员"), QStringLiteral("设计师"), QStringLiteral("律师")};
const QStringList kProvinces = {QStringLiteral("山东"), QStringLiteral("河南"), QStringLiteral("四川"), QStringLiteral("江苏"),
                                QStringLiteral("湖南"), QStringLiteral("浙江"), QStringLiteral("广东"), QStringLiteral("河北")};
const QStringList kNotes = {QStringLiteral("大学同学,毕业后在外地工作。"), QStringLiteral("老朋友"), QStringLiteral("生意伙伴,每年春节拜访。"),
                            QStringLiteral("邻居"), QString(), QString()};
const QString kCodes = QStringLiteral("123456789ABCDEFGHIJKLMNOPQRSTUVWXY");
const QStringList kThings = {QStringLiteral("电视机"), QStringLiteral("冰箱"), QStringLiteral("洗衣机"), QStringLiteral("沙发"),
                             QStringLiteral("书桌"), QStringLiteral("笔记本电脑"), QStringLiteral("相机"), QStringLiteral("自行车"),
                             QStringLiteral("空调"), QStringLiteral("手机"), QStringLiteral("台灯"), QStringLiteral("书柜")};
const QStringList kBrands = {QStringLiteral("海尔"), QStringLiteral("长虹"), QStringLiteral("联想"), QStringLiteral("格力"),
                             QStringLiteral("美的"), QStringLiteral("永久"), QStringLiteral("TCL"), QStringLiteral("华为")};
const QStringList kStores = {QStringLiteral("国美电器"), QStringLiteral("苏宁电器"), QStringLiteral("百货大楼"), QStringLiteral("家具城")};

bool bindText(sqlite3_stmt *s, int i, const QString &v)
{
    if (v.isEmpty())
        return sqlite3_bind_null(s, i) == SQLITE_OK;
    return sqlite3_bind_text16(s, i, v.utf16(), int(v.size() * 2), SQLITE_TRANSIENT) == SQLITE_OK;
}

// One write transaction on the database at a path (made from the schema when the file does not
// exist); a failure rolls back, closes and says what failed.
class Batch
{
public:
    Batch(const QString &path, QString *error)
        : m_error(error)
    {
        if (!QFileInfo::exists(path)) {
            QString why;
            if (!createDatabase(path, &why)) {
                report(why);
                return;
            }
        }
        if (sqlite3_open16(path.utf16(), &m_db) != SQLITE_OK) {
            report(QString::fromUtf8(sqlite3_errmsg(m_db)));
            sqlite3_close(m_db);
            m_db = nullptr;
            return;
        }
        if (sqlite3_exec(m_db, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
            fail("begin");
    }
    ~Batch()
    {
        if (m_db)
            sqlite3_close(m_db);
    }

    bool ok() const { return m_db != nullptr; }
    sqlite3 *db() const { return m_db; }

    bool fail(const char *what)
    {
        if (m_db) {
            report(QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromUtf8(sqlite3_errmsg(m_db))));
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(m_db);
            m_db = nullptr;
        }
        return false;
    }

    // The groups "分组1".. with the generator's codes, through `sql` (code, name).
    bool addGroups(const char *sql, int groups)
    {
        sqlite3_stmt *group = nullptr;
        if (sqlite3_prepare_v2(m_db, sql, -1, &group, nullptr) != SQLITE_OK)
            return fail("prepare groups");
        for (int g = 0; g < groups; ++g) {
            sqlite3_reset(group);
            bindText(group, 1, groupCode(g));
            bindText(group, 2, QStringLiteral("分组%1").arg(g + 1));
            if (sqlite3_step(group) != SQLITE_DONE) {
                sqlite3_finalize(group);
                return fail("insert group");
            }
        }
        sqlite3_finalize(group);
        return true;
    }

    // Runs `insert` once per row, its values bound by `bind`.
    template <class Bind> bool addRows(const char *sql, int rows, Bind bind)
    {
        sqlite3_stmt *ins = nullptr;
        if (sqlite3_prepare_v2(m_db, sql, -1, &ins, nullptr) != SQLITE_OK)
            return fail("prepare rows");
        for (int i = 0; i < rows; ++i) {
            sqlite3_reset(ins);
            bind(ins, i);
            if (sqlite3_step(ins) != SQLITE_DONE) {
                sqlite3_finalize(ins);
                return fail("insert row");
            }
        }
        sqlite3_finalize(ins);
        return true;
    }

    bool commit()
    {
        if (sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
            return fail("commit");
        return true;
    }

private:
    void report(const QString &why)
    {
        if (m_error)
            *m_error = why;
    }

    sqlite3 *m_db = nullptr;
    QString *m_error;
};

bool badGroups(int groups, QString *error)
{
    if (groups >= 1 && groups <= kCodes.size())
        return false;
    if (error)
        *error = QStringLiteral("groups must be 1..%1").arg(kCodes.size());
    return true;
}

} // namespace

QString groupCode(int index)
{
    return kCodes.mid(index % kCodes.size(), 1);
}

bool generateContacts(const QString &path, int n, int groups, QString *error, unsigned seed)
{
    if (badGroups(groups, error))
        return false;
    Batch batch(path, error);
    if (!batch.ok() || !batch.addGroups("INSERT OR IGNORE INTO t_group (zuhao0, zuming) VALUES (?, ?)", groups))
        return false;
    sqlite3 *db = batch.db();

    // Names already there stay unique too.
    QSet<QString> used;
    {
        sqlite3_stmt *names = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT lower(xingm0) FROM t_telinfo", -1, &names, nullptr) != SQLITE_OK)
            return batch.fail("read names");
        while (sqlite3_step(names) == SQLITE_ROW)
            used.insert(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(names, 0))));
        sqlite3_finalize(names);
    }

    std::mt19937 rng(seed);
    auto pick = [&rng](int size) { return int(std::uniform_int_distribution<int>(0, size - 1)(rng)); };
    auto digits = [&](int count) {
        QString s;
        for (int i = 0; i < count; ++i)
            s += QChar(u'0' + pick(10));
        return s;
    };
    const bool added = batch.addRows(
        "INSERT INTO t_telinfo (zuhao0, xingm0, nich00, xingb0, shengr, shouji, xiaolt, dianh0, email0, "
        "qq0000, msn00, dizhi0, youb00, danwei, yuanji, beizhu, dianh0_dw, zhiye0, dizhi0_dw, jwjl00, gxrq00) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
        n, [&](sqlite3_stmt *ins, int i) {
            QString name;
            do {
                name = kSurnames.at(pick(int(kSurnames.size())));
                const int given = 1 + (pick(10) < 6 ? 1 : 0);
                for (int k = 0; k < given; ++k)
                    name += kGiven.at(pick(int(kGiven.size())));
                if (used.contains(name.toLower()))
                    name += QString::number(pick(9000) + 1);
            } while (used.contains(name.toLower()));
            used.insert(name.toLower());

            const int year = 1950 + pick(56), month = 1 + pick(12), day = 1 + pick(28);
            const QString latin = QStringLiteral("user%1").arg(i + 1);
            const QString city = kCities.at(pick(int(kCities.size())));
            const QStringList values = {
                groupCode(i % groups),
                name,
                pick(3) == 0 ? QStringLiteral("小") + name.right(1) : QString(),
                pick(2) ? QStringLiteral("1") : QStringLiteral("2"),
                QStringLiteral("%1%2%3").arg(year).arg(month, 2, 10, QLatin1Char('0')).arg(day, 2, 10, QLatin1Char('0')),
                QStringLiteral("1") + QChar(u'3' + pick(7)) + digits(9),
                pick(4) == 0 ? QStringLiteral("0") + digits(10) : QString(),
                QStringLiteral("0") + digits(2) + QStringLiteral("-") + digits(8),
                latin + QStringLiteral("@example.com"),
                digits(5 + pick(5)),
                pick(3) == 0 ? latin + QStringLiteral("@hotmail.com") : QString(),
                city + kDistricts.at(pick(int(kDistricts.size()))) + kRoads.at(pick(int(kRoads.size())))
                    + QString::number(1 + pick(300)) + QStringLiteral("号"),
                QString::number(100000 + pick(800000)),
                kEmployers.at(pick(int(kEmployers.size()))),
                kProvinces.at(pick(int(kProvinces.size()))),
                kNotes.at(pick(int(kNotes.size()))),
                QStringLiteral("0") + digits(2) + QStringLiteral("-") + digits(8),
                kJobs.at(pick(int(kJobs.size()))),
                city + kRoads.at(pick(int(kRoads.size()))) + QString::number(1 + pick(999)) + QStringLiteral("号"),
                pick(5) == 0 ? QStringLiteral("%1年春节一起吃饭。").arg(2000 + pick(9)) : QString(),
                QStringLiteral("2009%1%2").arg(1 + pick(2), 2, 10, QLatin1Char('0')).arg(1 + pick(28), 2, 10, QLatin1Char('0')),
            };
            for (int k = 0; k < values.size(); ++k)
                bindText(ins, k + 1, values.at(k));
        });
    return added && batch.commit();
}

bool generateItems(const QString &path, int n, int groups, QString *error, unsigned seed)
{
    if (badGroups(groups, error))
        return false;
    Batch batch(path, error);
    if (!batch.ok() || !batch.addGroups("INSERT OR IGNORE INTO ca_group (groupid, groupname) VALUES (?, ?)", groups))
        return false;
    std::mt19937 rng(seed);
    auto pick = [&rng](int size) { return int(std::uniform_int_distribution<int>(0, size - 1)(rng)); };
    const bool added = batch.addRows(
        "INSERT INTO ca_info (gid, name, brand, descb, num, worth, buydate, buyplace, buyprice, dropdate, droptype, remark) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
        n, [&](sqlite3_stmt *ins, int i) {
            const QString thing = kThings.at(pick(int(kThings.size())));
            const int num = 1 + (pick(4) == 0 ? pick(20) : 0);
            const double price = (100 + pick(500000)) / 100.0;
            const bool disposed = pick(10) == 0;
            const QString bought = QStringLiteral("%1%2%3").arg(1995 + pick(15)).arg(1 + pick(12), 2, 10, QLatin1Char('0'))
                                       .arg(1 + pick(28), 2, 10, QLatin1Char('0'));
            bindText(ins, 1, groupCode(i % groups));
            bindText(ins, 2, thing + QString::number(1 + pick(999)));
            bindText(ins, 3, kBrands.at(pick(int(kBrands.size()))) + QStringLiteral(" ") + QChar(u'A' + pick(26)) + QString::number(100 + pick(900)));
            bindText(ins, 4, pick(3) == 0 ? QStringLiteral("家里用的") + thing : QString());
            sqlite3_bind_int(ins, 5, num);
            sqlite3_bind_double(ins, 6, QString::number(price * num, 'f', 2).toDouble());
            bindText(ins, 7, bought);
            bindText(ins, 8, kCities.at(pick(int(kCities.size()))) + kStores.at(pick(int(kStores.size()))));
            sqlite3_bind_double(ins, 9, price);
            bindText(ins, 10, disposed ? QStringLiteral("2009%1%2").arg(1 + pick(9), 2, 10, QLatin1Char('0'))
                                             .arg(1 + pick(28), 2, 10, QLatin1Char('0'))
                                       : QString());
            bindText(ins, 11, disposed ? QStringLiteral("卖掉") : QString());
            bindText(ins, 12, kNotes.at(pick(int(kNotes.size()))));
        });
    return added && batch.commit();
}

} // namespace bench
