// Notes for the benchmarks: titles and texts of mixed Chinese and ASCII, common characters and
// words far more often than rare ones, as real notes have them.

#include "generator.h"

#include "app/schema.h"

#include <QFileInfo>
#include <QStringList>
#include <random>
#include <sqlite3.h>

namespace bench {

namespace {

// Roughly by frequency, most common first; none of the characters of kRareChinese.
const QString kHanzi = QStringLiteral(
    "的一是不了在人有我他这个们中来上大为和国地到以说时要就出会可也你对生能而子那得于着下自之年过发后作里用道行所然家种事成方多经么去"
    "法学如都同现当没动面起看定天分还进好小部其些主样理心她本前开但因只从想实日军者意无力它与长把机十民第公此已工使情明性知全三又关点正"
    "业外将两高间由问很最重并物手应战向头文体政美相见被利什二等产或新己制身果加西斯月话合回特代内信表化老给世位次度门任常先海通教儿原东"
    "声提立及比员解水名真论处走义各入几口认条平系气题活尔更别打女变四神总何电数安少报才结反受目太量再感建务做接必场件计管期市直德资命山"
    "金指克许统区保至队形社便空决治展马科司五基眼书非则听白却界达光放强即像难且权思王象完设式色路记南品住告类求据程北边死张该交规万取拉"
    "格望觉术领共确传师观清今切院让识候带导争运笑飞风步改收根干造言联持组每济车亲极林服快办议往元英士证近失转夫令准布始怎呢存未远叫台单"
    "影具罗字爱击流备兵连调深商算质团集百需价花党华城石级整府离况亚请技际约示复病息究线似官火断精满支视消越器容照须九增研写称企八功吗包"
    "片史委乎查轻易早曾除农找装广显吧阿李标谈吃图念六引历首医局突专费号尽另周较注语仅考落青随选列武红响虽推势参希古众构房半节土投某案黑"
    "维革划敌致陈律足态护七兴派孩验责营星够章音跟志底站严巴例防族供效续施留讲型料终答紧黄绝奇察母京段依批群项故按河米围江织害斗双境客纪"
    "采举杀攻父苏密低朝友诉止细愿千值仍男钱破网热助倒育属坐帝限船脸职速刻乐否刚威毛状率甚独球般普怕弹校苦创假久错承印晚兰试股拿脑预谁益"
    "阳若哪微尼继送急血惊伤素药适波夜省初喜卫源食险待述陆习置居劳财环排福纳欢雷警获模充负云停木游龙树疑层冷洲冲射略范竟句室异激汉村哈策"
    "演简卡罪判担州静退既衣您宗积余痛检差富灵协角占配征修皮挥胜降阶审沉坚善妈刘读啊超免压银买皇养伊怀执副乱抗犯追帮宣佛岁航优怪香著田铁"
    "控税左右份穿艺背阵草脚概恶块顿敢守酒岛托央户烈洋哥索胡款靠评版宝座释景顾弟登货互付伯慢欧换闻危忙核暗姐介坏讨丽良序升监临亮露永呼味");

const QStringList kEnglish = {
    "the", "of", "and", "to", "in", "is", "for", "on", "with", "as", "meeting", "project", "report", "email", "phone",
    "data", "file", "update", "version", "release", "bug", "fix", "test", "build", "server", "client", "user", "password",
    "login", "backup", "windows", "linux", "office", "excel", "word", "pdf", "http", "www", "com", "cn", "ok", "todo",
    "done", "note", "list", "plan", "week", "month", "year", "monday", "friday", "budget", "invoice", "order", "price",
    "total", "account", "bank", "card", "travel", "hotel", "flight", "train", "ticket", "address", "beijing", "shanghai",
    "design", "review", "draft", "final", "idea", "book", "chapter", "page", "read", "write", "study", "english", "java",
    "python", "sql", "database", "index", "search", "table", "query", "select", "from", "where", "order", "group", "by",
    "iPhone", "Android", "Google", "Microsoft", "QQ", "MSN", "USB", "CPU", "GB", "MB", "KB", "v2.2", "2009", "2008",
    "10:30", "14:00", "No.", "ID", "OK", "TODO", "FYI", "PS", "NB", "A4", "B2B", "CEO", "HR", "IT", "PM", "AM",
};

struct Writer
{
    std::mt19937 rng;
    // Low indices far more often than high ones.
    int skewed(qsizetype size)
    {
        const double u = std::uniform_real_distribution<double>(0, 1)(rng);
        return int(double(size) * u * u * u);
    }
    int below(int n) { return int(std::uniform_int_distribution<int>(0, n - 1)(rng)); }

    // Appends words until the text holds about `bytes` bytes of UTF-8.
    void text(QString &out, int bytes)
    {
        int size = 0, sentence = 0;
        while (size < bytes) {
            if (below(4) == 0) {
                const QString &w = kEnglish.at(skewed(kEnglish.size()));
                out += QLatin1Char(' ') + w + QLatin1Char(' ');
                size += int(w.size()) + 2;
            } else {
                for (int k = 1 + below(4); k > 0; --k, size += 3)
                    out += kHanzi.at(skewed(kHanzi.size()));
            }
            if (++sentence % 12 == 0) {
                out += QStringLiteral("。");
                size += 3;
                if (below(4) == 0) {
                    out += QLatin1Char('\n');
                    ++size;
                }
            } else if (sentence % 4 == 0) {
                out += QStringLiteral(",");
                size += 3;
            }
        }
    }
};

bool bindText(sqlite3_stmt *s, int i, const QString &v)
{
    return sqlite3_bind_text16(s, i, v.utf16(), int(v.size() * 2), SQLITE_TRANSIENT) == SQLITE_OK;
}

// A new database as the schema makes it, with or without the search index's block.
bool makeDatabase(const QString &path, bool searchIndex, QString *why)
{
    if (searchIndex)
        return createDatabase(path, why);
    QString schema = schemaSql();
    const qsizetype from = schema.indexOf(QStringLiteral("-- search index: begin"));
    const qsizetype to = schema.indexOf(QStringLiteral("-- search index: end"));
    if (from < 0 || to < from) {
        *why = QStringLiteral("the schema has lost the marks around the search index");
        return false;
    }
    schema.remove(from, to - from);
    sqlite3 *db = nullptr;
    const bool ok = sqlite3_open16(path.utf16(), &db) == SQLITE_OK
                    && sqlite3_exec(db, schema.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!ok)
        *why = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_close(db);
    return ok;
}

} // namespace

bool generateNotes(const QString &path, int n, int bytes, bool searchIndex, QString *error, unsigned seed)
{
    QString why;
    auto fail = [&](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (!QFileInfo::exists(path) && !makeDatabase(path, searchIndex, &why))
        return fail(why);
    sqlite3 *db = nullptr;
    if (sqlite3_open16(path.utf16(), &db) != SQLITE_OK) {
        why = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        return fail(why);
    }
    sqlite3_stmt *ins = nullptr;
    bool ok = sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK
              && sqlite3_prepare_v2(db, "INSERT INTO p_info (gid, title, content) VALUES (?, ?, ?)", -1, &ins, nullptr) == SQLITE_OK;
    const QString groups = QStringLiteral("1234Z");
    Writer w{std::mt19937(seed)};
    for (int i = 0; ok && i < n; ++i) {
        QString title, content;
        w.text(title, 12 + w.below(40));
        w.text(content, bytes);
        if (i % 2000 == 17) {
            content.insert(w.below(int(content.size())), QLatin1Char(' ') + kRareAscii + QLatin1Char(' '));
            content.insert(w.below(int(content.size())), kRareChinese);
        }
        sqlite3_reset(ins);
        ok = bindText(ins, 1, groups.mid(i % groups.size(), 1)) && bindText(ins, 2, title.trimmed().left(255))
             && bindText(ins, 3, content) && sqlite3_step(ins) == SQLITE_DONE;
    }
    sqlite3_finalize(ins);
    ok = ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!ok)
        why = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_close(db);
    return ok || fail(why);
}

} // namespace bench
