#include "app/appinfo.h"
#include "app/settingsfile.h"
#include "fixture.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <sys/resource.h>

class tst_profile : public QObject
{
    Q_OBJECT

private slots:
    void missingFileReadsEmptyAndFirstWriteCreatesIt()
    {
        AppFolder folder(AppFolder::NoDatabase);
        QCOMPARE(readSetting(QStringLiteral("startMax")), QString());
        QVERIFY(!QFile::exists(folder.file(QStringLiteral("client.ini"))));
        writeSetting(QStringLiteral("startMax"), QStringLiteral("1"));
        QCOMPARE(folder.readFile(QStringLiteral("client.ini")), QByteArray("[setting]\nstartMax=1\n"));
        QCOMPARE(readSetting(QStringLiteral("startMax")), QStringLiteral("1"));
    }

    void keysMatchWithoutRegardToCase()
    {
        AppFolder folder(AppFolder::NoDatabase);
        writeSetting(QStringLiteral("lockTime"), QStringLiteral("5"));
        QCOMPARE(readSetting(QStringLiteral("locktime")), QStringLiteral("5"));
        QCOMPARE(readSetting(QStringLiteral("Locktime")), QStringLiteral("5"));

        writeSetting(QStringLiteral("lockshortCut"), QStringLiteral("110L"));
        QCOMPARE(readSetting(QStringLiteral("lockShortcut")), QStringLiteral("110L"));
        // Writing under another spelling replaces the one key and keeps its first spelling.
        writeSetting(QStringLiteral("LOCKSHORTCUT"), QStringLiteral("0"));
        const QByteArray text = folder.readFile(QStringLiteral("client.ini"));
        QCOMPARE(text.count("lockshortCut="), 1);
        QVERIFY(!text.contains("LOCKSHORTCUT"));
        QCOMPARE(readSetting(QStringLiteral("lockshortcut")), QStringLiteral("0"));
        // The section name matches without regard to case too.
        folder.writeFile(QStringLiteral("client.ini"), "[SETTING]\nStartMax = 1 \n");
        QCOMPARE(readSetting(QStringLiteral("startmax")), QStringLiteral("1"));
    }

    void valuesWithBlanksAndChineseKeptExactly_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("period") << QStringLiteral("当月");
        QTest::newRow("folder") << QStringLiteral("/home/用户/我的 备份");
        QTest::newRow("outer blanks") << QStringLiteral("  两边有空格  ");
        QTest::newRow("quoted") << QStringLiteral("\"引号\"");
        QTest::newRow("equals and semicolon") << QStringLiteral("a=b;c");
        QTest::newRow("empty") << QString();
    }
    void valuesWithBlanksAndChineseKeptExactly()
    {
        QFETCH(QString, value);
        AppFolder folder(AppFolder::NoDatabase);
        writeSetting(QStringLiteral("bkpath"), value);
        QCOMPARE(readSetting(QStringLiteral("bkpath")), value);
        // Stored as UTF-8.
        QVERIFY(QString::fromUtf8(folder.readFile(QStringLiteral("client.ini"))).contains(value.trimmed()));
    }

    void lineBreaksCannotForgeOtherKeys()
    {
        AppFolder folder(AppFolder::NoDatabase);
        writeSetting(QStringLiteral("bkpath"), QStringLiteral("a\nstartMax=1"));
        QCOMPARE(readSetting(QStringLiteral("startMax")), QString());
    }

    void otherSectionsKeysAndCommentsKept()
    {
        AppFolder folder(AppFolder::NoDatabase);
        const QByteArray before =
            "; written by hand\r\n[other]\r\nstartMax=9\r\n\r\n[setting]\r\n# comment\r\nlistout=全部\r\nunknown=x\r\n\r\n[last]\r\nk=v\r\n";
        folder.writeFile(QStringLiteral("client.ini"), before);
        QCOMPARE(readSetting(QStringLiteral("startMax")), QString()); // only [setting] counts
        writeSetting(QStringLiteral("listout"), QStringLiteral("当年"));
        writeSetting(QStringLiteral("startMax"), QStringLiteral("1"));
        const QByteArray after = folder.readFile(QStringLiteral("client.ini"));
        QCOMPARE(after, QByteArray("; written by hand\r\n[other]\r\nstartMax=9\r\n\r\n[setting]\r\n# comment\r\n"
                                   "listout=当年\r\nunknown=x\r\nstartMax=1\r\n\r\n[last]\r\nk=v\r\n"));
    }

    void earlierVersionsGbkFileIsRead()
    {
        AppFolder folder(AppFolder::NoDatabase);
        // "[setting]\nlistin=当年\n" in GBK: 当 = B5 B1, 年 = C4 EA.
        folder.writeFile(QStringLiteral("client.ini"), "[setting]\nlistin=\xB5\xB1\xC4\xEA\n");
        QCOMPARE(readSetting(QStringLiteral("listin")), QStringLiteral("当年"));
        writeSetting(QStringLiteral("listout"), QStringLiteral("全部"));
        QCOMPARE(folder.readFile(QStringLiteral("client.ini")),
                 QByteArray("[setting]\nlistin=当年\nlistout=全部\n"));
    }

    void damagedOrEmptyFileReadsEmpty()
    {
        AppFolder folder(AppFolder::NoDatabase);
        folder.writeFile(QStringLiteral("client.ini"), QByteArray());
        QCOMPARE(readSetting(QStringLiteral("startMax")), QString());
        folder.writeFile(QStringLiteral("client.ini"), QByteArray("\x00\xff\xfe[set\x01ting]=\x80\x81", 14));
        QCOMPARE(readSetting(QStringLiteral("startMax")), QString());
        writeSetting(QStringLiteral("startMax"), QStringLiteral("1"));
        QCOMPARE(readSetting(QStringLiteral("startMax")), QStringLiteral("1"));
    }

    void failedWriteKeepsTheOldFile()
    {
        AppFolder folder(AppFolder::NoDatabase);
        writeSetting(QStringLiteral("bkpath"), QStringLiteral("/old"));
        const QByteArray before = folder.readFile(QStringLiteral("client.ini"));

        // Running as root, permissions stop nothing: limit the size of any file this process writes
        // instead, so the new text cannot be written in full (as on a full disk).
        struct rlimit saved;
        QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit tiny = saved;
        tiny.rlim_cur = 16;
        QVERIFY(setrlimit(RLIMIT_FSIZE, &tiny) == 0);
        writeSetting(QStringLiteral("bkpath"), QString(200, QLatin1Char('x')));
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        QCOMPARE(folder.readFile(QStringLiteral("client.ini")), before);
        QCOMPARE(readSetting(QStringLiteral("bkpath")), QStringLiteral("/old"));
        // No temporary file is left behind.
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("client.ini")});
    }

    void missingFolderMakesWritesIneffective()
    {
        AppFolder folder(AppFolder::NoDatabase);
        setAppFolder(folder.file(QStringLiteral("gone")));
        writeSetting(QStringLiteral("startMax"), QStringLiteral("1"));
        QCOMPARE(readSetting(QStringLiteral("startMax")), QString());
        QVERIFY(!QFile::exists(folder.file(QStringLiteral("gone"))));
    }
};

MIVO_TEST_MAIN(tst_profile)
#include "tst_profile.moc"
