// The settings page's General tab and its Close button, from what a user has: a client.ini, the
// start entry, clicks on the page.

#include "app/appinfo.h"
#include "app/settingsfile.h"
#include "settingsdriver.h"
#include "platform/linux/xdgautostart.h"
#include "testmain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>

using platform::Icon;

namespace {

const QString k022 = QStringLiteral("保存失败!快捷键必须选择一个字母或数字!\n如果不保存,则使用原来的设置!");

QList<QWidget *> lockControls(const settings::GeneralTab *g)
{
    return {g->ctrlBox, g->shiftBox, g->keyList, g->lockAtStartBox, g->minutesEdit};
}

bool allEnabled(const settings::GeneralTab *g, bool on)
{
    for (QWidget *w : lockControls(g))
        if (w->isEnabled() != on)
            return false;
    return true;
}

// Sets a check box to `on` by clicking it, as the user does.
void tick(QCheckBox *box, bool on)
{
    if (box->isChecked() != on)
        drive::click(box);
    if (box->isChecked() != on)
        qFatal("%s did not follow the click", qPrintable(box->objectName()));
}

} // namespace

class tst_generaltab : public QObject
{
    Q_OBJECT

private slots:
    // The page shows what client.ini holds; only a digit or a capital letter is a usable key.
    void storedSettingsAreShown_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<bool>("lockOn");
        QTest::addColumn<bool>("ctrl");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("hotkeyLoaded");
        QTest::addColumn<QString>("minutes");
        QTest::newRow("Ctrl+K, 30 minutes") << QByteArray("lockshortCut=110K\nlockTime=30\nLockstart=1\nstartMax=1\n")
                                           << true << true << false << "K" << true << "30";
        QTest::newRow("digit, both modifiers") << QByteArray("lockShortcut=1117\nlocktime=5\n")
                                               << true << true << true << "7" << true << "5";
        QTest::newRow("lower-case key") << QByteArray("lockshortCut=111k\nlockTime=5\n")
                                        << false << true << true << "" << false << "5";
        QTest::newRow("symbol as key") << QByteArray("lockshortCut=110#\n") << false << true << false << "" << false << "";
        QTest::newRow("three characters") << QByteArray("lockshortCut=101\n") << false << false << true << "" << false << "";
        QTest::newRow("off, with a key") << QByteArray("lockshortCut=010Q\nlockTime=99\n")
                                         << false << true << false << "Q" << false << "99";
        QTest::newRow("minutes out of range") << QByteArray("lockshortCut=100A\nlockTime=150\n")
                                              << true << false << false << "A" << true << "";
        QTest::newRow("empty file") << QByteArray("") << false << false << false << "" << false << "";
    }
    void storedSettingsAreShown()
    {
        QFETCH(QByteArray, ini);
        QFETCH(bool, lockOn);
        QFETCH(bool, ctrl);
        QFETCH(bool, shift);
        QFETCH(QString, key);
        QFETCH(bool, hotkeyLoaded);
        QFETCH(QString, minutes);
        SettingsDriver t("[setting]\n" + ini);
        const auto *g = t.page->generalTab;
        QCOMPARE(g->lockBox->isChecked(), lockOn);
        QCOMPARE(g->ctrlBox->isChecked(), ctrl);
        QCOMPARE(g->shiftBox->isChecked(), shift);
        QCOMPARE(g->keyList->currentText(), key);
        QCOMPARE(g->minutesText(), minutes);
        QCOMPARE(t.page->loadedOptions().lockEnabled, hotkeyLoaded);
        QVERIFY(allEnabled(g, lockOn));
        QCOMPARE(g->startMaximizedBox->isChecked(), ini.contains("startMax=1"));
        QCOMPARE(g->lockAtStartBox->isChecked(), ini.contains("Lockstart=1"));
        QVERIFY(!g->runAtLogonBox->isChecked());
        QVERIFY(t.fakes.boxes->shown.isEmpty());
        // The key list: digits, then capitals.
        QCOMPARE(g->keyList->count(), 36);
        QCOMPARE(g->keyList->itemText(0), QStringLiteral("0"));
        QCOMPARE(g->keyList->itemText(10), QStringLiteral("A"));
        QCOMPARE(g->keyList->itemText(35), QStringLiteral("Z"));
    }

    // What "保存设置(&O)" writes, from clicks: the hotkey's four characters (three without a key),
    // the minutes, lock at start, and the idle countdown it re-arms.
    void saveWritesWhatTheControlsSay()
    {
        SettingsDriver t("[setting]\nlistout=当年\n");
        auto *g = t.page->generalTab;

        // Nothing ticked, no key.
        drive::click(g->saveButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("029"), QStringLiteral("保存配置成功!"));
        QCOMPARE(readSetting(QStringLiteral("lockshortCut")), QStringLiteral("000"));
        QCOMPARE(readSetting(QStringLiteral("startMax")), QStringLiteral("0"));
        QCOMPARE(readSetting(QStringLiteral("Lockstart")), QStringLiteral("0"));
        QCOMPARE(readSetting(QStringLiteral("lockTime")), QString());
        QCOMPARE(t.fakes.idle->armed, 0);
        QCOMPARE(t.fakes.idle->armCount, 1);

        // Ctrl and a letter chosen, then the lock switched off again: 0, 1, 0 and the letter.
        tick(g->lockBox, true);
        tick(g->ctrlBox, true);
        drive::choose(g->keyList, QStringLiteral("Q"));
        retype(g->minutesEdit, QStringLiteral("7"));
        tick(g->lockBox, false);
        tick(g->startMaximizedBox, true);
        drive::click(g->saveButton);
        QCOMPARE(readSetting(QStringLiteral("lockshortCut")), QStringLiteral("010Q"));
        QCOMPARE(readSetting(QStringLiteral("lockTime")), QStringLiteral("7"));
        QCOMPARE(readSetting(QStringLiteral("startMax")), QStringLiteral("1"));
        QCOMPARE(t.fakes.idle->armed, 0);

        // Switched on, Shift too, lock at start, 12 minutes.
        tick(g->lockBox, true);
        tick(g->shiftBox, true);
        tick(g->lockAtStartBox, true);
        retype(g->minutesEdit, QStringLiteral("12"));
        drive::click(g->saveButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("029"), QStringLiteral("保存配置成功!"));
        QCOMPARE(readSetting(QStringLiteral("lockshortCut")), QStringLiteral("111Q"));
        QCOMPARE(readSetting(QStringLiteral("locktime")), QStringLiteral("12"));
        QCOMPARE(readSetting(QStringLiteral("Lockstart")), QStringLiteral("1"));
        QCOMPARE(t.fakes.idle->armed, 12 * 60);
        // The field takes two digits at most; the other lines of the file stay.
        retype(g->minutesEdit, QStringLiteral("123"));
        QCOMPARE(g->minutesText(), QStringLiteral("12"));
        QCOMPARE(readSetting(QStringLiteral("listout")), QStringLiteral("当年"));
        QCOMPARE(t.boxTitles(), (QStringList{"029", "029", "029"}));
    }

    // With the lock on but no key (or no minutes), only the start entry and "startMax" are written.
    void incompleteLockKeepsTheStoredLock()
    {
        const QByteArray stored = "[setting]\nlockshortCut=000\nlockTime=5\nLockstart=0\n";
        SettingsDriver t(stored);
        auto *g = t.page->generalTab;
        tick(g->runAtLogonBox, true);
        tick(g->startMaximizedBox, true);
        tick(g->lockBox, true);
        tick(g->lockAtStartBox, true);
        drive::click(g->saveButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("022"), k022, Icon::Exclamation);
        QCOMPARE(readSetting(QStringLiteral("startMax")), QStringLiteral("1"));
        QCOMPARE(t.fakes.autostart->entries.value(QStringLiteral("Mivo")),
                 (QStringList{appFile(QStringLiteral("mivo")), QStringLiteral("/hide")}));
        QCOMPARE(readSetting(QStringLiteral("lockshortCut")), QStringLiteral("000"));
        QCOMPARE(readSetting(QStringLiteral("Lockstart")), QStringLiteral("0"));
        QCOMPARE(t.fakes.idle->armCount, 0);

        drive::choose(g->keyList, QStringLiteral("3"));
        retype(g->minutesEdit, QString());
        drive::click(g->saveButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("022A"), QStringLiteral("自动锁定时间必须设置一个有效值"), Icon::Exclamation);
        QCOMPARE(readSetting(QStringLiteral("lockshortCut")), QStringLiteral("000"));
        QCOMPARE(readSetting(QStringLiteral("lockTime")), QStringLiteral("5"));
        QCOMPARE(t.fakes.idle->armCount, 0);
        // "0" is no valid time either.
        retype(g->minutesEdit, QStringLiteral("0"));
        drive::click(g->saveButton);
        QCOMPARE(t.boxTitles(), (QStringList{"022", "022A", "022A"}));
    }

    // The entry names the executable where the program lies now: saving again after a move repairs
    // it; unticking removes it.
    void startEntryFollowsTheProgram()
    {
        // Registered from where the program lay before it was moved.
        SettingsDriver moved(QByteArray(), [] {
            platform::services().autostart->enable(QStringLiteral("Mivo"), QStringLiteral("/old/place/mivo"),
                                                   {QStringLiteral("/hide")});
        });
        auto *g = moved.page->generalTab;
        QVERIFY(g->runAtLogonBox->isChecked());
        drive::click(g->saveButton);
        QCOMPARE(moved.fakes.autostart->entries.value(QStringLiteral("Mivo")),
                 (QStringList{appFile(QStringLiteral("mivo")), QStringLiteral("/hide")}));
        tick(g->runAtLogonBox, false);
        drive::click(g->saveButton);
        QVERIFY(!moved.fakes.autostart->entries.contains(QStringLiteral("Mivo")));
    }

    // The real entry on disk, in a folder with a blank and Chinese in its name: a desktop reads it
    // as valid, and launching it starts the program there with "/hide".
    void realStartEntryStartsTheProgram()
    {
        const QString validate = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
        QVERIFY2(!validate.isEmpty() && !gio.isEmpty(), "desktop-file-utils and libglib2.0-bin are needed (./test.sh installs them)");
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        fake::Platform fakes;
        {
            platform::Services real;
            real.autostart = std::make_unique<platform::XdgAutostart>();
            platform::ServicesOverride withRealEntry(std::move(real));
            AppFolder folder(AppFolder::Connect, QStringLiteral("我的 程序"));
            // The "program": records how it was started.
            const QString started = folder.file(QStringLiteral("started.txt"));
            folder.writeFile(QStringLiteral("mivo"), "#!/bin/sh\nprintf '%s\\n' \"$0\" \"$@\" > \"$(dirname \"$0\")/started.txt\"\n");
            QFile::setPermissions(folder.executable(), QFile::permissions(folder.executable()) | QFile::ExeOwner);

            SettingsPage page(folder.db());
            showPage(&page);
            tick(page.generalTab->runAtLogonBox, true);
            drive::click(page.generalTab->saveButton);
            const QString entry = platform::XdgAutostart::entryPath(QStringLiteral("Mivo"));
            QVERIFY(QFile::exists(entry));

            QProcess check;
            check.start(validate, {entry});
            QVERIFY(check.waitForFinished(30000));
            QVERIFY2(check.exitCode() == 0, check.readAllStandardOutput().constData());

            QProcess launch;
            launch.start(gio, {QStringLiteral("launch"), entry});
            QVERIFY(launch.waitForFinished(30000));
            QVERIFY2(launch.exitCode() == 0, launch.readAllStandardError().constData());
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(started) && QFile(started).size() > 0, 10000);
            QFile f(started);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(QString::fromUtf8(f.readAll()), folder.executable() + QStringLiteral("\n/hide\n"));

            // Loaded again, the box is ticked; unticked and saved, the entry is gone.
            QVERIFY(GeneralOptions::load().runAtLogon);
            tick(page.generalTab->runAtLogonBox, false);
            drive::click(page.generalTab->saveButton);
            QVERIFY(!QFile::exists(entry));
        }
        qunsetenv("XDG_CONFIG_HOME");
    }

    // "关闭(&C)" only hides the page, unless a group table was saved: then it offers a restart,
    // with Yes preselected, and a restart keeps the command line.
    void closeOffersARestartAfterAGroupChange()
    {
        SettingsDriver t;
        drive::click(t.page->closeButton);
        QVERIFY(!t.page->isVisible());
        QVERIFY(t.fakes.boxes->shown.isEmpty());
        QVERIFY(t.fakes.restarter->restarts.isEmpty());

        showPage(t.page.get());
        drive::click(t.page->saveButton);
        QVERIFY(t.page->groupsChanged);
        const QString text = QStringLiteral("必须重新启动程序才能使改动生效,现在重新启动程序吗?");
        t.fakes.boxes->answers << platform::Answer::No;
        drive::click(t.page->closeButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("021"), text, Icon::Question, platform::Buttons::YesNo, 1);
        QVERIFY(!t.page->isVisible());
        QVERIFY(t.fakes.restarter->restarts.isEmpty());

        showPage(t.page.get());
        drive::click(t.page->closeButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("021"), text, Icon::Question, platform::Buttons::YesNo, 1);
        QCOMPARE(t.fakes.restarter->restarts, QList<QStringList>{platform::startArguments()});

        // A new copy that cannot start leaves this one going, the page closed as usual.
        t.fakes.restarter->starts = false;
        drive::click(t.page->closeButton);
        QVERIFY(!t.page->isVisible());
    }
};

MIVO_TEST_MAIN(tst_generaltab)
#include "tst_generaltab.moc"
