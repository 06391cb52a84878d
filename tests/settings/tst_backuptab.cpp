// The settings page's Backup tab: the remembered folder, the copy under today's name with its
// questions, and the automatic copies at exit.

#include "app/appinfo.h"
#include "app/settingkeys.h"
#include "app/settingsfile.h"
#include "app/connection.h"
#include "settingsdriver.h"
#include "settings/backupcopy.h"
#include "settings/backuptab.h"
#include "testmain.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <sqlite3.h>

using platform::Answer;
using platform::Buttons;
using platform::Icon;

namespace {

// The number of contacts in a database file, read by a connection of its own.
int contactsIn(const QString &path)
{
    sqlite3 *db = nullptr;
    int n = -1;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt *s = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT count(*) FROM t_telinfo", -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
            n = sqlite3_column_int(s, 0);
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
    return n;
}

void addContact(const QString &name)
{
    exec(QStringLiteral("INSERT INTO t_telinfo (zuhao0, xingm0) VALUES ('1', ?)"), {name});
}

} // namespace

class tst_backuptab : public QObject
{
    Q_OBJECT

private slots:
    // Never set, the folder is the program's; chosen, it is remembered; a cancelled choice keeps it.
    void backupFolderIsRemembered()
    {
        SettingsDriver t;
        settings::BackupTab *tab = t.page->backupTab;
        QCOMPARE(tab->folderEdit->text(), appFolder());
        const QString chosen = t.folder.file(QStringLiteral("备份 目录"));
        QDir().mkpath(chosen);
        t.fakes.dialogs->folderPath = chosen;
        drive::chooseTab(t.page->optionTabs, 2);
        drive::click(tab->chooseFolderButton);
        QCOMPARE(t.fakes.dialogs->folderTitles, QStringList{QStringLiteral("选择备份文件夹")});
        QCOMPARE(tab->folderEdit->text(), chosen);
        QCOMPARE(readSetting(QStringLiteral("bkpath")), chosen);
        t.fakes.dialogs->folderPath.clear();
        drive::click(tab->chooseFolderButton);
        QCOMPARE(readSetting(QStringLiteral("bkpath")), chosen);
        // Typed, a folder counts for the next backup only; a missing one stops before any dialog.
        retype(tab->folderEdit, t.folder.file(QStringLiteral("missing")));
        drive::click(tab->backupButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("027"), QStringLiteral("备份路径不存在!请重新选择"), Icon::Stop);
        QVERIFY(t.fakes.dialogs->saveRequests.isEmpty());
        QCOMPARE(readSetting(QStringLiteral("bkpath")), chosen);

        SettingsDriver again(QByteArray("[setting]\nbkpath=") + chosen.toUtf8() + "\n");
        QCOMPARE(again.page->backupTab->folderEdit->text(), chosen);
    }

    // Today's name in the folder; a second backup the same day asks before it overwrites (No
    // opens the dialog again); the copy holds what the database held.
    void backupUnderTodaysName()
    {
        SettingsDriver t(QByteArray(), [] { addContact(QStringLiteral("张三")); });
        settings::BackupTab *tab = t.page->backupTab;
        drive::chooseTab(t.page->optionTabs, 2);
        const QString target = t.folder.file(QStringLiteral("20090214.mdb"));
        t.fakes.dialogs->savePath = target;
        drive::click(tab->backupButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("032"), QStringLiteral("备份成功!"));
        const platform::SaveFileRequest request = t.fakes.dialogs->saveRequests.first();
        QCOMPARE(request.title, QStringLiteral("选择备份名称及路径"));
        QCOMPARE(request.fileName, QStringLiteral("20090214.mdb"));
        QCOMPARE(request.extension, QStringLiteral("mdb"));
        QCOMPARE(request.filter, QStringLiteral("Access 数据库 (*.mdb)"));
        QCOMPARE(request.folder, appFolder());
        QVERIFY(!request.confirmOverwrite);
        QCOMPARE(contactsIn(target), 1);

        addContact(QStringLiteral("李四"));
        // No: the dialog comes again; this time the user cancels it.
        t.fakes.boxes->answers << Answer::No;
        t.fakes.boxes->onShow = [&t](const platform::MessageBoxRequest &b) {
            if (b.title == QLatin1String("030"))
                t.fakes.dialogs->savePath.clear();
        };
        drive::click(tab->backupButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("030"), QStringLiteral("同名文件已经存在,是否覆盖?"), Icon::Question,
                   Buttons::YesNo, 2);
        QCOMPARE(t.fakes.dialogs->saveRequests.size(), 3);
        QCOMPARE(contactsIn(target), 1);

        t.fakes.boxes->onShow = nullptr;
        t.fakes.dialogs->savePath = target;
        t.fakes.boxes->answers << Answer::Yes;
        drive::click(tab->backupButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("025"), QStringLiteral("备份成功!"));
        QCOMPARE(contactsIn(target), 2);
        QCOMPARE(t.boxTitles(), (QStringList{"032", "030", "030", "025"}));
    }

    // The database itself, however it is named, is refused and the dialog opens again.
    void theDatabaseItselfIsNeverTheTarget()
    {
        SettingsDriver t(QByteArray(), [] { addContact(QStringLiteral("张三")); });
        settings::BackupTab *tab = t.page->backupTab;
        QDir().mkpath(t.folder.file(QStringLiteral("sub")));
        QFile::link(t.folder.database(), t.folder.file(QStringLiteral("link.mdb")));
        for (const QString &name : {QStringLiteral("mivo.mdb"), QStringLiteral("sub/../mivo.mdb"), QStringLiteral("link.mdb")}) {
            t.fakes.boxes->shown.clear();
            t.fakes.dialogs->saveRequests.clear();
            t.fakes.dialogs->savePath = t.folder.file(name);
            t.fakes.boxes->onShow = [&t](const platform::MessageBoxRequest &) { t.fakes.dialogs->savePath.clear(); };
            drive::click(tab->backupButton);
            QCOMPARE(t.boxTitles(), QStringList{QStringLiteral("034")});
            EXPECT_BOX(*t.fakes.boxes, QStringLiteral("034"), QStringLiteral("严重警告!目的文件路径名称与当前数据库相同!"), Icon::Stop);
            QCOMPARE(t.fakes.dialogs->saveRequests.size(), 2);
        }
        QCOMPARE(contactsIn(t.folder.database()), 1);
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM t_telinfo")).toInt(), 1);
    }

    // A copy that fails says so with its reason: 033 for a new file, 031 over an existing one.
    void failedCopiesSayWhy()
    {
        SettingsDriver t;
        settings::BackupTab *tab = t.page->backupTab;
        t.fakes.dialogs->savePath = t.folder.file(QStringLiteral("gone/20090214.mdb"));
        drive::click(tab->backupButton);
        QCOMPARE(t.fakes.boxes->shown.last().title, QStringLiteral("033"));
        QVERIFY(t.fakes.boxes->shown.last().text.startsWith(QStringLiteral("备份失败!\n")));
        QCOMPARE(t.fakes.boxes->shown.last().icon, Icon::Stop);

        // A folder of that name exists: it is not replaced.
        QDir().mkpath(t.folder.file(QStringLiteral("20090214.mdb")));
        t.fakes.dialogs->savePath = t.folder.file(QStringLiteral("20090214.mdb"));
        t.fakes.boxes->answers << Answer::Yes;
        drive::click(tab->backupButton);
        QCOMPARE(t.boxTitles(), (QStringList{"033", "030", "031"}));
        QVERIFY(t.fakes.boxes->shown.last().text.startsWith(QStringLiteral("备份失败!\n")));
        QVERIFY(QFileInfo(t.fakes.dialogs->savePath).isDir());
    }

    // The progress window's cancel stops the copy: no file, no box.
    void cancelledCopyLeavesNothing()
    {
        SettingsDriver t(QByteArray(), [] {
            for (int i = 0; i < 40; ++i)
                exec(QStringLiteral("INSERT INTO p_info (gid, title, content) VALUES ('1', ?, ?)"),
                     {QStringLiteral("笔记%1").arg(i), QString(200000, QChar(u'文' + i))});
        });
        settings::BackupTab *tab = t.page->backupTab;
        const QString target = t.folder.file(QStringLiteral("20090214.mdb"));
        t.fakes.dialogs->savePath = target;
        QTimer canceller;
        QObject::connect(&canceller, &QTimer::timeout, [&t] {
            if (auto *progress = t.page->window()->findChild<QProgressDialog *>(QStringLiteral("backupProgress")))
                progress->cancel();
        });
        canceller.start(0);
        drive::click(tab->backupButton);
        canceller.stop();
        QVERIFY(t.fakes.boxes->shown.isEmpty());
        QVERIFY(!QFile::exists(target));
        QCOMPARE(QDir(t.folder.path()).entryList({QStringLiteral("*.mdb*")}, QDir::Files), QStringList{QStringLiteral("mivo.mdb")});
    }

    // Ticked, every exit leaves a copy in "auto" below the backup folder, and only the newest stay.
    void automaticCopiesAtExit()
    {
        SettingsDriver t;
        settings::BackupTab *tab = t.page->backupTab;
        drive::chooseTab(t.page->optionTabs, 2);
        t.page->atProgramEnd();
        QVERIFY(!QDir(t.folder.file(QStringLiteral("auto"))).exists());
        QVERIFY(!tab->keepCount->isEnabled());
        drive::click(tab->autoBackupBox);
        QCOMPARE(readSetting(settingkeys::autoBackup), QStringLiteral("1"));
        QVERIFY(tab->keepCount->isEnabled());
        retype(tab->keepCount, QStringLiteral("2"));
        QCOMPARE(readSetting(settingkeys::autoBackupKeep), QStringLiteral("2"));
        for (int i = 0; i < 3; ++i) {
            t.fakes.clock->current = t.fakes.clock->current.addSecs(3600);
            t.page->atProgramEnd();
        }
        QCOMPARE(settings::autoBackups(t.folder.file(QStringLiteral("auto"))),
                 (QStringList{QStringLiteral("mivo-auto-20090214-123000.mdb"), QStringLiteral("mivo-auto-20090214-133000.mdb")}));
        QVERIFY(t.fakes.boxes->shown.isEmpty());

        // Read back when the page is made again. A remembered folder that went away is said at exit.
        SettingsDriver again(QByteArray("[setting]\nautobackup=1\nautobackupkeep=3\n"));
        QVERIFY(again.page->backupTab->autoBackupBox->isChecked());
        QCOMPARE(again.page->backupTab->keepCount->value(), 3);
        writeSetting(QStringLiteral("bkpath"), again.folder.file(QStringLiteral("gone")));
        again.page->atProgramEnd();
        QCOMPARE(again.boxTitles(), QStringList{QStringLiteral("033")});
        QVERIFY2(again.fakes.boxes->shown.last().text.startsWith(QStringLiteral("备份失败!\n备份文件夹不存在")),
                 qPrintable(again.fakes.boxes->shown.last().text));
        QCOMPARE(again.fakes.boxes->shown.last().icon, Icon::Stop);
    }
};

MIVO_TEST_MAIN(tst_backuptab)
#include "tst_backuptab.moc"
