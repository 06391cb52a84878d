// bench_shell: start-up of the program to the first frame of its main window, with a database of
// 100,000 contacts, 20,000 notes and 100,000 ledger entries, against a bare window of the same size;
// and the memory each holds once idle. Every measurement is a fresh process, the two kinds taking
// turns; the medians are compared. Prints both ratios.
//
//   bench_shell [rounds]           runs the comparison (default 7 rounds)
//   bench_shell --bare W H         child: a bare window of W x H pixels
//   bench_shell --caption W H      child: the same with one line of Chinese text, for reference: the
//                                  first text a process draws loads the font database
//   bench_shell --mivo FOLDER      child: the program, as main() starts it, in FOLDER
//
// Runs on the display in DISPLAY, or off screen when there is none.

#include "app/application.h"
#include "app/schema.h"
#include "shell/startup.h"
#include "shell/w_main.h"
#include "widgets/units.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int kContacts = 100000;
constexpr int kNotes = 20000;
constexpr int kLedgerEntries = 100000;
// How long a child stays idle before its memory is read.
constexpr int kSettleMs = 1500;

long residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// Reports the first frame of `window` on stdout, then its memory once idle, then closes it.
class FrameWatch : public QObject
{
public:
    explicit FrameWatch(const QString &windowName)
        : m_name(windowName)
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_seen && event->type() == QEvent::Paint) {
            auto *widget = qobject_cast<QWidget *>(watched);
            QWidget *window = widget ? widget->window() : nullptr;
            if (window && window->objectName() == m_name) {
                m_seen = true;
                // Queued: runs once this paint has been drawn and put on the screen.
                QTimer::singleShot(0, qApp, [] { std::printf("frame\n"); std::fflush(stdout); });
                QTimer::singleShot(kSettleMs, qApp, [window] {
                    std::printf("rss %ld\n", residentKilobytes());
                    std::fflush(stdout);
                    window->close();
                    QCoreApplication::quit();
                });
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QString m_name;
    bool m_seen = false;
};

int runBare(int argc, char **argv, int width, int height, bool caption)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setObjectName(QStringLiteral("bare"));
    window.setWindowTitle(QStringLiteral("bare"));
    window.resize(width, height);
    if (caption)
        (new QLabel(QStringLiteral("通讯录 Mivo V2.2"), &window))->move(10, 10);
    FrameWatch watch(QStringLiteral("bare"));
    window.show();
    return app.exec();
}

int runProgram(int argc, char **argv, const QString &folder)
{
    Application app(argc, argv);
    FrameWatch watch(QStringLiteral("w_main"));
    return runMivo(app, folder + QStringLiteral("/mivo"), {});
}

bool execute(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql)) {
        std::fprintf(stderr, "bench_shell: %s\n%s\n", qPrintable(q.lastError().text()), qPrintable(sql));
        return false;
    }
    return true;
}

// A database of the program, filled by the database itself.
bool makeDatabase(const QString &path)
{
    QString error;
    if (!createDatabase(path, &error)) {
        std::fprintf(stderr, "bench_shell: %s\n", qPrintable(error));
        return false;
    }
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench"));
        db.setDatabaseName(path);
        ok = db.open() && execute(db, QStringLiteral("BEGIN"))
             && execute(db, QStringLiteral(
                    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                    "INSERT INTO t_telinfo (zuhao0, xingm0, shouji, email0, dizhi0, danwei, beizhu, gxrq00) "
                    "SELECT substr('1234Z', 1 + i % 5, 1), '联系人' || i, printf('138%08d', i), "
                    "'user' || i || '@example.com', '某省某市某区某路' || i || '号', '某某有限公司', "
                    "'备注' || i, '20090214' FROM n").arg(kContacts))
             && execute(db, QStringLiteral(
                    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                    "INSERT INTO p_info (gid, title, content) "
                    "SELECT substr('1234Z', 1 + i % 5, 1), '笔记 ' || i, "
                    "replace(printf('%.30c', '.'), '.', '今天记下的一些文字。') FROM n").arg(kNotes))
             && execute(db, QStringLiteral(
                    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                    "INSERT INTO t_account (vtype, vdate, vname, vmoney, vremark) "
                    "SELECT i % 2, printf('%04d%02d%02d', 2000 + i % 10, 1 + i % 12, 1 + i % 28), "
                    "'项目' || i, (i % 1000) * 1.5, '说明' || i FROM n").arg(kLedgerEntries))
             && execute(db, QStringLiteral("COMMIT"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench"));
    return ok;
}

bool copyRuntimeFiles(const QString &folder)
{
    const QString from = QStringLiteral(MIVO_RUNTIME_DIR);
    QStringList files = {QStringLiteral("help.htm"), QStringLiteral("i001.ico")};
    for (const QString &name : QDir(from + QStringLiteral("/resource")).entryList(QDir::Files))
        files << QStringLiteral("resource/") + name;
    QDir().mkpath(folder + QStringLiteral("/resource"));
    for (const QString &name : files)
        if (!QFile::copy(from + QLatin1Char('/') + name, folder + QLatin1Char('/') + name)) {
            std::fprintf(stderr, "bench_shell: cannot copy %s\n", qPrintable(name));
            return false;
        }
    return true;
}

struct Sample
{
    double frameMs = -1;
    long rssKb = -1;
};

Sample measure(const QStringList &arguments)
{
    Sample sample;
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    child.start(QCoreApplication::applicationFilePath(), arguments);
    QByteArray out;
    while (child.waitForReadyRead(30000)) {
        out += child.readAllStandardOutput();
        if (sample.frameMs < 0 && out.contains("frame\n"))
            sample.frameMs = clock.nsecsElapsed() / 1e6;
        if (out.contains("rss "))
            break;
    }
    child.waitForFinished(30000);
    out += child.readAllStandardOutput();
    const qsizetype at = out.indexOf("rss ");
    if (at >= 0)
        sample.rssKb = out.mid(at + 4).split('\n').first().toLong();
    return sample;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

int compare(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 7;
    QTemporaryDir dir;
    const QString folder = dir.path();
    std::printf("filling the database: %d contacts, %d notes, %d ledger entries\n", kContacts, kNotes, kLedgerEntries);
    std::fflush(stdout);
    if (!copyRuntimeFiles(folder) || !makeDatabase(folder + QStringLiteral("/mivo.mdb")))
        return 1;
    // The same program on a new, empty database: the data's size must not show.
    QTemporaryDir emptyDir;
    QString error;
    if (!copyRuntimeFiles(emptyDir.path()) || !createDatabase(emptyDir.path() + QStringLiteral("/mivo.mdb"), &error))
        return 1;
    std::printf("database: %.1f MB\n", QFileInfo(folder + QStringLiteral("/mivo.mdb")).size() / 1e6);

    // The program's window at 96 dpi, as the bare window is given it.
    const QSize size = units::toPixels(QSize(w_main::DesignWidth, w_main::DesignHeight));
    const QStringList bare = {QStringLiteral("--bare"), QString::number(size.width()), QString::number(size.height())};
    QStringList captioned = bare;
    captioned[0] = QStringLiteral("--caption");
    const QStringList program = {QStringLiteral("--mivo"), folder};
    const QStringList emptyProgram = {QStringLiteral("--mivo"), emptyDir.path()};
    const QList<QStringList> kinds = {bare, captioned, program, emptyProgram};
    // One of each first, not counted: the system's caches warm up.
    for (const QStringList &kind : kinds)
        measure(kind);
    QList<QList<double>> ms(kinds.size()), kb(kinds.size());
    for (int i = 0; i < rounds; ++i)
        for (int k = 0; k < kinds.size(); ++k) {
            const Sample s = measure(kinds.at(k));
            if (s.frameMs < 0 || s.rssKb < 0) {
                std::fprintf(stderr, "bench_shell: a %s run reported no frame\n", qPrintable(kinds.at(k).first()));
                return 1;
            }
            ms[k] << s.frameMs;
            kb[k] << double(s.rssKb);
        }
    const double startBare = median(ms[0]), startCaption = median(ms[1]), startProgram = median(ms[2]);
    const double memBare = median(kb[0]), memCaption = median(kb[1]), memProgram = median(kb[2]);
    std::printf("start-up to the first frame (median of %d): bare window %.1f ms, Mivo %.1f ms, ratio %.2f (limit 1.30)\n",
                rounds, startBare, startProgram, startProgram / startBare);
    std::printf("idle memory (resident, median of %d): bare window %.1f MB, Mivo %.1f MB, ratio %.2f (limit 1.50)\n",
                rounds, memBare / 1024, memProgram / 1024, memProgram / memBare);
    std::printf("for reference, Mivo on an empty database: %.1f ms, %.1f MB\n", median(ms[3]), median(kb[3]) / 1024);
    std::printf("for reference, a bare window with one line of Chinese text: %.1f ms (Mivo %.2f of it), %.1f MB (Mivo %.2f of it)\n",
                startCaption, startProgram / startCaption, memCaption / 1024, memProgram / memCaption);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 4 && (QByteArray(argv[1]) == "--bare" || QByteArray(argv[1]) == "--caption"))
        return runBare(argc, argv, QByteArray(argv[2]).toInt(), QByteArray(argv[3]).toInt(),
                       QByteArray(argv[1]) == "--caption");
    if (argc == 3 && QByteArray(argv[1]) == "--mivo")
        return runProgram(argc, argv, QString::fromLocal8Bit(argv[2]));
    return compare(argc, argv);
}
