#include "app/appinfo.h"
#include "app/installation.h"
#include "app/settingsfile.h"
#include "app/schema.h"
#include "app/application.h"
#include "app/connection.h"
#include "fakes.h"
#include "platform/modules.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace {

Connection &db()
{
    return Application::instance()->connection();
}

// What a package installs, in a temporary folder: the executable's folder, ../share/mivo with the empty
// database, and a data home (XDG_DATA_HOME) with a blank and Chinese in its name. Everything program-wide
// is put back afterwards.
class Installed
{
public:
    Installed()
        : m_savedHome(qgetenv("XDG_DATA_HOME"))
        , m_savedAppPath(appFolder())
        , m_savedModules(platform::moduleFolder())
    {
        QDir root(m_dir.path());
        root.mkpath(QStringLiteral("usr/bin"));
        root.mkpath(QStringLiteral("usr/share/mivo"));
        QString error;
        if (!createDatabase(shipped(), &error))
            qFatal("cannot make the shipped database: %s", qPrintable(error));
        qputenv("XDG_DATA_HOME", dataHome().toUtf8());
    }
    ~Installed()
    {
        db().close();
        if (m_savedHome.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", m_savedHome);
        setInstallation(std::nullopt);
        setAppFolder(m_savedAppPath);
        platform::setModuleFolder(m_savedModules);
    }

    QString executable() const { return m_dir.filePath(QStringLiteral("usr/bin/mivo")); }
    QString files() const { return m_dir.filePath(QStringLiteral("usr/share/mivo")); }
    QString modules() const { return m_dir.filePath(QStringLiteral("usr/lib/mivo/modules")); }
    QString shipped() const { return files() + QStringLiteral("/mivo.mdb"); }
    QString dataHome() const { return m_dir.filePath(QStringLiteral("家 目录/.local/share")); }
    QString data() const { return dataHome() + QStringLiteral("/mivo"); }
    QString database() const { return data() + QStringLiteral("/mivo.mdb"); }

    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void write(const QString &path, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_savedHome;
    QString m_savedAppPath;
    QString m_savedModules;
};

int contacts()
{
    QSqlQuery q(db().sqlDatabase());
    return q.exec(QStringLiteral("SELECT count(*) FROM t_telinfo")) && q.next() ? q.value(0).toInt() : -1;
}

} // namespace

class tst_installation : public QObject
{
    Q_OBJECT

private slots:
    // The first start makes the user's folder from the shipped database; the records and settings go
    // there, the program's own files come from the installation, and a later start keeps them.
    void firstStartMakesTheUserFolderAndLaterStartsKeepIt()
    {
        fake::Platform fakes;
        Installed in;
        const QByteArray shipped = Installed::read(in.shipped());

        QVERIFY(Application::instance()->open(in.executable()));
        QVERIFY(fakes.boxes->shown.isEmpty());
        QVERIFY(runsInstalled());
        QCOMPARE(db().file(), in.database());
        QCOMPARE(Installed::read(in.database()), shipped);
        QCOMPARE(QFileInfo(in.data()).permissions() & 0x0077, QFile::Permissions());
        QCOMPARE(QFileInfo(in.database()).permissions() & 0x0077, QFile::Permissions());
        QCOMPARE(QDir(QFileInfo(in.data()).absolutePath()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("mivo")});
        QCOMPARE(appFile(QStringLiteral("help.htm")), in.files() + QStringLiteral("/help.htm"));
        QCOMPARE(dataFolder(), in.data());
        QCOMPARE(programFile(), in.executable());
        QCOMPARE(platform::moduleFolder(), in.modules());

        QVERIFY(db().execute(QStringLiteral("INSERT INTO t_telinfo (zuhao0, xingm0) VALUES ('1', '张三')")));
        QVERIFY(db().commit());
        writeSetting(QStringLiteral("startMax"), QStringLiteral("1"));
        QCOMPARE(Installed::read(in.data() + QStringLiteral("/client.ini")), QByteArray("[setting]\nstartMax=1\n"));
        QVERIFY(!QFile::exists(in.files() + QStringLiteral("/client.ini")));
        db().close();

        QVERIFY(Application::instance()->open(in.executable()));
        QCOMPARE(contacts(), 1);
        QCOMPARE(readSetting(QStringLiteral("startMax")), QStringLiteral("1"));
        QCOMPARE(Installed::read(in.shipped()), shipped);

        // A relative XDG_DATA_HOME is no data home: the default one stands.
        qputenv("XDG_DATA_HOME", "relative/data");
        QCOMPARE(userDataHome(), QDir::homePath() + QStringLiteral("/.local/share"));
    }

    // A user's folder that has lost its database is reported with the file it expected, and no new
    // database is made over the loss; a first start that cannot make the folder says why.
    void lostDatabaseIsReportedNeverReplaced_data()
    {
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << QStringLiteral("数据库文件不存在");
        QTest::newRow("damaged") << QStringLiteral("已损坏或不是数据库");
        QTest::newRow("data home is a file") << QStringLiteral("无法创建文件夹");
        QTest::newRow("shipped database gone") << QStringLiteral("安装的空数据库不存在");
    }
    void lostDatabaseIsReportedNeverReplaced()
    {
        QFETCH(QString, reason);
        fake::Platform fakes;
        Installed in;
        const QByteArray tag = QTest::currentDataTag();
        QString expected = in.database();
        if (tag == "missing") {
            QDir().mkpath(in.data());
        } else if (tag == "damaged") {
            Installed::write(in.database(), "not a database\n");
        } else if (tag == "data home is a file") {
            Installed::write(in.dataHome(), "a file");
            expected = in.dataHome();
        } else {
            QFile::remove(in.shipped());
            expected = in.shipped();
        }
        const QByteArray before = Installed::read(in.database());
        const QStringList listed = QDir(in.data()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

        QVERIFY(!Application::instance()->open(in.executable()));

        QCOMPARE(fakes.boxes->titles(), QStringList{QStringLiteral("001")});
        const QString text = fakes.boxes->shown.first().text;
        QVERIFY2(text.startsWith(QStringLiteral("无法连接数据库!\n")), qPrintable(text));
        QVERIFY2(text.contains(reason), qPrintable(text));
        QVERIFY2(text.contains(QDir::toNativeSeparators(expected)), qPrintable(text));
        QVERIFY(!db().isOpen());
        QCOMPARE(Installed::read(in.database()), before);
        QCOMPARE(QDir(in.data()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), listed);
        QVERIFY(!QFile::exists(in.data() + QStringLiteral("/client.ini")));
    }
};

MIVO_TEST_MAIN(tst_installation)
#include "tst_installation.moc"
