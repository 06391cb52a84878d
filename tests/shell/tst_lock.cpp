#include "app/appinfo.h"
#include "app/connection.h"
#include "notebook/noteeditor.h"
#include "notebook/notefind.h"
#include "app/writepause.h"
#include "notebook/searchindex.h"
#include "notebook/notereader.h"
#include "shell/lockhotkey.h"
#include "settings/backuptab.h"
#include "settings/generaltab.h"
#include "shellfixture.h"
#include "testmain.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <optional>

namespace {

const QString k010 = QStringLiteral("锁定功能未启用!\n如要启用请到<配置|常规>设置");
const QString k011 = QStringLiteral("快捷键提取失败!锁定功能已被系统关闭,请到<配置|常规>重设!");

QByteArray lockSettings(const QByteArray &shortcut, const QByteArray &more = QByteArray())
{
    return "[setting]\r\nlockshortCut=" + shortcut + "\r\n" + more;
}

int notesCalled(const QString &title)
{
    return scalar(QStringLiteral("SELECT COUNT(*) FROM p_info WHERE title = ?"), {title}).toInt();
}

// The pages and the help, which the lock hides, are disabled with them and enabled again after.
void expectPagesEnabled(const OpenedWindow &t, bool enabled)
{
    for (QWidget *page : t.pages())
        QVERIFY2(page->isEnabled() == enabled, qPrintable(page->objectName()));
}

} // namespace

class tst_lock : public QObject
{
    Q_OBJECT

private slots:
    void hotkeyMatching_data()
    {
        QTest::addColumn<QString>("shortcut");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("unlocks");
        const int none = Qt::NoModifier, shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier;
        const int both = shift | ctrl, alt = Qt::AltModifier;
        // Ctrl alone.
        QTest::newRow("Ctrl+L") << "110L" << int(Qt::Key_L) << ctrl << true;
        QTest::newRow("Ctrl+L, Shift held too") << "110L" << int(Qt::Key_L) << both << false;
        QTest::newRow("Ctrl+L without Ctrl") << "110L" << int(Qt::Key_L) << none << false;
        QTest::newRow("Ctrl+L, Alt held too") << "110L" << int(Qt::Key_L) << (ctrl | alt) << true;
        QTest::newRow("Ctrl+L, other key") << "110L" << int(Qt::Key_K) << ctrl << false;
        // Shift alone.
        QTest::newRow("Shift+L") << "101L" << int(Qt::Key_L) << shift << true;
        QTest::newRow("Shift+L, Ctrl held too") << "101L" << int(Qt::Key_L) << both << false;
        QTest::newRow("Shift+L without Shift") << "101L" << int(Qt::Key_L) << none << false;
        // Both.
        QTest::newRow("Ctrl+Shift+L") << "111L" << int(Qt::Key_L) << both << true;
        QTest::newRow("Ctrl+Shift+L, Ctrl only") << "111L" << int(Qt::Key_L) << ctrl << false;
        QTest::newRow("Ctrl+Shift+L, Shift only") << "111L" << int(Qt::Key_L) << shift << false;
        // Neither: the key alone, whatever is held.
        QTest::newRow("L") << "100L" << int(Qt::Key_L) << none << true;
        QTest::newRow("L with Ctrl+Shift") << "100L" << int(Qt::Key_L) << both << true;
        QTest::newRow("L, other key") << "100L" << int(Qt::Key_M) << none << false;
        // The stored key.
        QTest::newRow("lower-case letter") << "110l" << int(Qt::Key_L) << ctrl << true;
        QTest::newRow("digit") << "1107" << int(Qt::Key_7) << ctrl << true;
        QTest::newRow("Shift+digit reports its symbol") << "1017" << int(Qt::Key_Ampersand) << shift << true;
        QTest::newRow("Ctrl+Shift+0") << "1110" << int(Qt::Key_ParenRight) << both << true;
        QTest::newRow("symbol without Shift") << "1007" << int(Qt::Key_Ampersand) << none << false;
        QTest::newRow("no key stored") << "111" << int(Qt::Key_L) << both << false;
        QTest::newRow("no key stored, key 0") << "100" << 0 << none << false;
        QTest::newRow("longer value: fourth character") << "110LX" << int(Qt::Key_L) << ctrl << true;
        // Lock function off, or flags that are neither "0" nor "1".
        QTest::newRow("disabled") << "011L" << int(Qt::Key_L) << both << false;
        QTest::newRow("empty") << "" << int(Qt::Key_L) << none << false;
        QTest::newRow("odd flag") << "1x0L" << int(Qt::Key_L) << none << false;
        QTest::newRow("odd flags") << "12 L" << int(Qt::Key_L) << ctrl << false;
    }
    void hotkeyMatching()
    {
        QFETCH(QString, shortcut);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, unlocks);
        QCOMPARE(lockHotkeyMatches(shortcut, key, Qt::KeyboardModifiers(modifiers)), unlocks);
    }

    // The window decides, while it opens, whether the stored hotkey is usable: only a digit or a
    // capital letter is a key of the list. Without one the lock stays off for the run and the lock
    // item answers "010".
    void lockItemSays010WhileTheLockIsOff_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QStringList>("atOpening");
        const QByteArray more = "locktime=5\r\nLockstart=1\r\n";
        QTest::newRow("no settings file") << QByteArray() << QStringList();
        QTest::newRow("lower-case letter") << lockSettings("111l", more) << QStringList{"011"};
        QTest::newRow("no key") << lockSettings("111", more) << QStringList{"011"};
        QTest::newRow("symbol") << lockSettings("110#", more) << QStringList{"011"};
        QTest::newRow("Chinese") << lockSettings("110锁", more) << QStringList{"011"};
    }
    void lockItemSays010WhileTheLockIsOff()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QStringList, atOpening);
        OpenedWindow t(OpenedWindow::Delivered, settings);
        t.open();
        QCOMPARE(t.fakes.boxes->titles(), atOpening);
        if (!atOpening.isEmpty()) {
            const auto &box = t.fakes.boxes->shown.first();
            QCOMPARE(box.text, k011);
            QCOMPARE(box.icon, platform::Icon::Exclamation);
        }
        // No auto-lock, no lock at start.
        QCOMPARE(t.fakes.idle->armCount, 0);
        QVERIFY(!t.w.isLocked());
        t.clickItem(MainWindow::Notebook);
        t.clickItem(MainWindow::Lock);
        QCOMPARE(t.fakes.boxes->titles(), atOpening + QStringList{QStringLiteral("010")});
        const auto &box = t.fakes.boxes->shown.last();
        QCOMPARE(box.text, k010);
        QCOMPARE(box.icon, platform::Icon::Exclamation);
        QCOMPARE(box.buttons, platform::Buttons::Ok);
        QVERIFY(!t.w.isLocked());
        QCOMPARE(t.visiblePages(), QStringLiteral("010000"));
    }

    // What a user has: a settings file with a hotkey, an idle period and lock at start, nothing set
    // by hand; the program started shown or in the tray.
    void theSettingsFileAloneArmsTheLock_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("visible");
        QTest::newRow("shown") << QStringList() << true;
        QTest::newRow("/hide") << QStringList{"/hide"} << false;
    }
    void theSettingsFileAloneArmsTheLock()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, visible);
        OpenedWindow t(OpenedWindow::Delivered, lockSettings("110K", "lockTime=30\r\nLockstart=1\r\n"));
        t.open(arguments);
        QVERIFY(t.fakes.boxes->shown.isEmpty());
        QCOMPARE(t.fakes.idle->armed, 30 * 60);
        QVERIFY(t.w.isLocked());
        QCOMPARE(t.w.isVisible(), visible);
        QCOMPARE(t.w.navigation->selectedIndex(), int(MainWindow::Lock));
        QCOMPARE(t.visiblePages(), QStringLiteral("000000"));
        // Back from the tray, still locked until the hotkey itself.
        t.trayIcon()->clickLeft();
        QVERIFY(t.w.isLocked());
        QTest::keyClick(&t.w, Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(t.w.isLocked());
        QTest::keyClick(&t.w, Qt::Key_K, Qt::ControlModifier);
        QVERIFY(!t.w.isLocked());
        t.clickItem(MainWindow::Addressbook);
        t.clickItem(MainWindow::Lock);
        QVERIFY(t.w.isLocked());
        QVERIFY(t.fakes.boxes->shown.isEmpty());
        t.fakes.idle->fire();
        QVERIFY(t.w.isLocked());
    }

    void autoLockTime_data()
    {
        QTest::addColumn<QByteArray>("locktime");
        QTest::addColumn<int>("seconds");
        QTest::newRow("5 minutes") << QByteArray("locktime=5\n") << 300;
        QTest::newRow("written as lockTime") << QByteArray("lockTime=99\n") << 5940;
        QTest::newRow("absent") << QByteArray() << 0;
        QTest::newRow("not a number") << QByteArray("Locktime=abc\n") << 0;
        QTest::newRow("negative") << QByteArray("locktime=-3\n") << 0;
        QTest::newRow("beyond the countdown") << QByteArray("locktime=99999999999\n") << 35791 * 60;
    }
    void autoLockTime()
    {
        QFETCH(QByteArray, locktime);
        QFETCH(int, seconds);
        OpenedWindow t(OpenedWindow::Delivered, lockSettings("111L", locktime));
        t.open();
        QCOMPARE(t.fakes.idle->armCount, 1);
        QCOMPARE(t.fakes.idle->armed, seconds);
        QVERIFY(t.fakes.boxes->shown.isEmpty());
        QVERIFY(!t.w.isLocked());
    }

    void lockItemLocksAndTheHotkeyUnlocks()
    {
        OpenedWindow t(OpenedWindow::Delivered, lockSettings("110L"));
        t.open();
        QVERIFY(QTest::qWaitForWindowActive(&t.w));
        t.clickItem(MainWindow::Assets);
        t.clickItem(MainWindow::Lock);
        QVERIFY(t.fakes.boxes->shown.isEmpty());
        QVERIFY(t.w.isLocked());
        QVERIFY(t.w.navigation->hideSelection());
        QCOMPARE(t.visiblePages(), QStringLiteral("000000"));
        QCOMPARE(t.w.focusWidget(), static_cast<QWidget *>(t.w.contentArea));

        // Locked: clicks and arrows on the list do nothing.
        t.clickItem(MainWindow::Addressbook);
        QTest::keyClick(t.w.navigation, Qt::Key_Up);
        QTest::keyClick(t.w.navigation, Qt::Key_Down);
        QCOMPARE(t.visiblePages(), QStringLiteral("000000"));
        QCOMPARE(t.w.navigation->selectedIndex(), int(MainWindow::Lock));
        QVERIFY(t.w.isVisible());

        // Wrong combinations leave it locked.
        QTest::keyClick(t.w.contentArea, Qt::Key_L);
        QTest::keyClick(t.w.contentArea, Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(t.w.contentArea, Qt::Key_K, Qt::ControlModifier);
        QVERIFY(t.w.isLocked());
        // The hotkey, pressed where the focus is, reaches the window and unlocks; no page comes back.
        QTest::keyClick(t.w.contentArea, Qt::Key_L, Qt::ControlModifier);
        QVERIFY(!t.w.isLocked());
        QVERIFY(!t.w.navigation->hideSelection());
        QCOMPARE(t.visiblePages(), QStringLiteral("000000"));
        t.clickItem(MainWindow::Ledger);
        QCOMPARE(t.visiblePages(), QStringLiteral("000100"));
        // Unlocked, the hotkey changes nothing visible.
        QTest::keyClick(&t.w, Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(t.visiblePages(), QStringLiteral("000100"));
        QVERIFY(!t.w.isLocked());
    }

    void hotkeyIsReadAfreshOnEveryKey()
    {
        OpenedWindow t(OpenedWindow::Delivered, lockSettings("110L"));
        t.open();
        t.clickItem(MainWindow::Lock);
        QVERIFY(t.w.isLocked());
        // Changed behind the window's back: the new key unlocks, the old one no longer does.
        t.folder.writeFile(QStringLiteral("client.ini"), lockSettings("1009"));
        QTest::keyClick(&t.w, Qt::Key_L, Qt::ControlModifier);
        QVERIFY(t.w.isLocked());
        QTest::keyClick(&t.w, Qt::Key_9, Qt::AltModifier);
        QVERIFY(!t.w.isLocked());
    }

    // The settings page saves the lock; the lock uses it. Enabled for the first time in a run, the
    // lock item still answers "010" until the next start, while the idle countdown and the hotkey
    // follow the save at once.
    void theLockUsesWhatTheSettingsPageSaved()
    {
        PreparedFolder folder(PreparedFolder::Delivered, QByteArray());
        {
            MainWindow w(folder.folder.db());
            w.open({});
            QVERIFY(QTest::qWaitForWindowActive(&w));
            w.navigation->choose(MainWindow::Settings);
            settings::GeneralTab *g = w.settingsPage->generalTab;
            QTest::mouseClick(g->lockBox, Qt::LeftButton);
            QTest::mouseClick(g->ctrlBox, Qt::LeftButton);
            g->keyList->setCurrentIndex(g->keyList->findText(QStringLiteral("K")));
            g->minutesEdit->setValue(2);
            QTest::mouseClick(g->saveButton, Qt::LeftButton);
            QCOMPARE(folder.fakes.boxes->titles(), QStringList{QStringLiteral("029")});
            QCOMPARE(folder.fakes.idle->armed, 120);
            w.navigation->choose(MainWindow::Lock);
            QCOMPARE(folder.fakes.boxes->titles(), (QStringList{QStringLiteral("029"), QStringLiteral("010")}));
            QVERIFY(!w.isLocked());
            // The idle period locks, and the new hotkey unlocks.
            Application::instance()->idle();
            QVERIFY(w.isLocked());
            QTest::keyClick(&w, Qt::Key_K, Qt::ControlModifier);
            QVERIFY(!w.isLocked());
        }
        // The next start: a new run, nothing carried over but the files.
        folder.fakes.boxes->shown.clear();
        folder.fakes.idle->armed = 0;
        MainWindow w(folder.folder.db());
        w.open({});
        QCOMPARE(folder.fakes.idle->armed, 120);
        w.navigation->choose(MainWindow::Lock);
        QVERIFY(w.isLocked());
        QVERIFY(folder.fakes.boxes->shown.isEmpty());
        QTest::keyClick(&w, Qt::Key_K, Qt::ShiftModifier);
        QVERIFY(w.isLocked());
        QTest::keyClick(&w, Qt::Key_K, Qt::ControlModifier);
        QVERIFY(!w.isLocked());
    }

    void idlePeriodLocksAgainAndAgain()
    {
        OpenedWindow t(OpenedWindow::Delivered, lockSettings("100Z", "locktime=1\r\n"));
        t.open();
        QCOMPARE(t.fakes.idle->armed, 60);
        t.clickItem(MainWindow::Help);

        Application::instance()->idle();
        QVERIFY(t.w.isLocked());
        QVERIFY(t.w.navigation->hideSelection());
        QCOMPARE(t.visiblePages(), QStringLiteral("000000"));

        // Locked again without a visible change; the countdown stays armed.
        Application::instance()->idle();
        QVERIFY(t.w.isLocked());
        QTest::keyClick(&t.w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(!t.w.isLocked());
        Application::instance()->idle();
        QVERIFY(t.w.isLocked());
        QCOMPARE(t.fakes.idle->armCount, 1);
        QCOMPARE(t.fakes.idle->armed, 60);
    }

    // While locked no note may be seen or reached in any window: the notebook's reader hides,
    // disabled, with the pages, when the idle period of the settings file passes, and when the item
    // locks; it comes back once unlocked.
    void theLockHidesTheNotebooksReader()
    {
        OpenedWindow t(OpenedWindow::Delivered, lockSettings("110L", "lockTime=1\r\n"), OpenedWindow::QuickIdle);
        t.open();
        QVERIFY(QTest::qWaitForWindowActive(&t.w));
        t.clickItem(MainWindow::Notebook);
        t.w.notebookPage->editor->setText(QStringLiteral("秘密"));
        QTest::mouseClick(t.w.notebookPage->editor->readerButton, Qt::LeftButton);
        QWidget *reader = t.w.notebookPage->editor->reader();
        QVERIFY(reader && reader->isVisible());
        QCOMPARE(reader->geometry(), t.w.geometry());

        QTRY_VERIFY_WITH_TIMEOUT(t.w.isLocked(), 10000);
        QVERIFY(!reader->isVisible());
        QVERIFY(!reader->isEnabled());
        expectPagesEnabled(t, false);
        QTest::keyClick(t.w.contentArea, Qt::Key_L, Qt::ControlModifier);
        QVERIFY(!t.w.isLocked());
        QVERIFY(reader->isVisible());
        QVERIFY(reader->isEnabled());
        expectPagesEnabled(t, true);

        t.clickItem(MainWindow::Lock);
        QVERIFY(!reader->isVisible());
        QTest::keyClick(t.w.contentArea, Qt::Key_L, Qt::ControlModifier);
        QVERIFY(reader->isVisible());
    }

    // A question open when the idle period locks is answered No, whatever the user was about to
    // answer, and the note stays. Nothing of the hidden page can be pressed while locked, not even
    // through a screen reader; unlocked, the page comes when chosen, holding the note as before.
    void theIdleLockAnswersAnOpenDeleteQuestionNo()
    {
        OpenedWindow t(OpenedWindow::Delivered, lockSettings("110L", "lockTime=1\r\n"), OpenedWindow::QuickIdle);
        QVERIFY(testDb().execute(QStringLiteral("INSERT INTO p_info (gid, title, content) VALUES ('1', '秘密', '内容')")));
        QVERIFY(testDb().commit());
        t.open();
        QVERIFY(QTest::qWaitForWindowActive(&t.w));
        t.clickItem(MainWindow::Notebook);
        NotebookPage *note = t.w.notebookPage;
        QVERIFY(note->locate(QStringLiteral("1"), QStringLiteral("秘密")));
        const long id = note->noteId;
        QVERIFY(id > 0);

        t.fakes.boxes->answers << platform::Answer::Yes;
        t.fakes.boxes->onShow = [&t](const platform::MessageBoxRequest &) {
            QTRY_VERIFY_WITH_TIMEOUT(t.w.isLocked(), 10000);
        };
        QTest::mouseClick(note->deleteButton, Qt::LeftButton);
        QCOMPARE(t.fakes.boxes->titles(), QStringList{QStringLiteral("N01")});
        QCOMPARE(notesCalled(QStringLiteral("秘密")), 1);
        QVERIFY(t.fakes.boxes->answers.isEmpty());

        expectPagesEnabled(t, false);
        QAccessibleInterface *button = QAccessible::queryAccessibleInterface(note->deleteButton);
        QVERIFY(button && button->actionInterface());
        button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(t.fakes.boxes->shown.size(), 1);

        QTest::keyClick(t.w.contentArea, Qt::Key_L, Qt::ControlModifier);
        expectPagesEnabled(t, true);
        QCOMPARE(t.visiblePages(), QStringLiteral("000000"));
        t.clickItem(MainWindow::Notebook);
        QCOMPARE(note->noteId, id);
        QCOMPARE(note->editor->titleEdit->text(), QStringLiteral("秘密"));
        // Unlocked, questions are asked again and Yes deletes.
        t.fakes.boxes->onShow = nullptr;
        t.fakes.boxes->answers << platform::Answer::Yes;
        QTest::mouseClick(note->deleteButton, Qt::LeftButton);
        QCOMPARE(t.fakes.boxes->titles(), (QStringList{QStringLiteral("N01"), QStringLiteral("N01"), QStringLiteral("N02")}));
        QCOMPARE(notesCalled(QStringLiteral("秘密")), 0);
    }

    // The settings page's questions under the idle lock: a No to "030" would bring the save dialog
    // again, which does not open while locked, and the file stays; "021" defaults to Yes, yet the
    // lock answers it No and nothing restarts. A backup under way holds the lock off until it ends.
    void theIdleLockAnswersTheSettingsQuestionsNo()
    {
        OpenedWindow t(OpenedWindow::Delivered, lockSettings("110L", "lockTime=1\r\n"), OpenedWindow::QuickIdle);
        const QString target = t.folder.file(QStringLiteral("20090214.mdb"));
        t.folder.writeFile(QStringLiteral("20090214.mdb"), "an older backup");
        t.open();
        QVERIFY(QTest::qWaitForWindowActive(&t.w));
        t.clickItem(MainWindow::Settings);
        SettingsPage *config = t.w.settingsPage;
        config->optionTabs->setCurrentWidget(config->backupTab);
        t.fakes.dialogs->savePath = target;
        t.fakes.boxes->onShow = [&t](const platform::MessageBoxRequest &box) {
            if (box.title == QLatin1String("030") || box.title == QLatin1String("021"))
                QTRY_VERIFY_WITH_TIMEOUT(t.w.isLocked(), 10000);
        };
        t.fakes.boxes->answers << platform::Answer::Yes;
        QTest::mouseClick(config->backupTab->backupButton, Qt::LeftButton);
        QCOMPARE(t.fakes.boxes->titles(), QStringList{QStringLiteral("030")});
        QCOMPARE(t.fakes.dialogs->saveRequests.size(), 1);
        QCOMPARE(t.folder.readFile(QStringLiteral("20090214.mdb")), QByteArray("an older backup"));

        QTest::keyClick(t.w.contentArea, Qt::Key_L, Qt::ControlModifier);
        t.clickItem(MainWindow::Settings);
        t.fakes.boxes->shown.clear();
        t.fakes.boxes->onShow = nullptr;
        t.fakes.boxes->answers << platform::Answer::Yes;
        bool idleDuringCopy = false;
        QTimer::singleShot(0, &t.w, [&] {
            idleDuringCopy = t.fakes.boxes->titles() == QStringList{QStringLiteral("030")};
            Application::instance()->idle();
        });
        QTest::mouseClick(config->backupTab->backupButton, Qt::LeftButton);
        QVERIFY(idleDuringCopy);
        QVERIFY(!t.w.isLocked());
        QCOMPARE(t.fakes.boxes->titles(), (QStringList{QStringLiteral("030"), QStringLiteral("025")}));

        QTest::mouseClick(config->saveButton, Qt::LeftButton);
        QVERIFY(config->groupsChanged);
        t.fakes.boxes->shown.clear();
        t.fakes.boxes->onShow = [&t](const platform::MessageBoxRequest &) {
            QTRY_VERIFY_WITH_TIMEOUT(t.w.isLocked(), 10000);
        };
        QTest::mouseClick(config->closeButton, Qt::LeftButton);
        QCOMPARE(t.fakes.boxes->titles(), QStringList{QStringLiteral("021")});
        QVERIFY(t.fakes.restarter->restarts.isEmpty());
        expectPagesEnabled(t, false);
        QTest::keyClick(t.w.contentArea, Qt::Key_L, Qt::ControlModifier);
        expectPagesEnabled(t, true);
    }

    // The notes' search index is built in the background once the first frame is out; that is not
    // input: the idle period locks as always meanwhile, and the build goes on behind the lock.
    void theIndexBuildDoesNotKeepTheLockAway()
    {
        OpenedWindow t(OpenedWindow::Delivered, lockSettings("110L", "locktime=1\r\n"));
        for (const char *sql : {"DROP TRIGGER p_info_fts_ai", "DROP TRIGGER p_info_fts_ad", "DROP TRIGGER p_info_fts_au",
                                "DROP TABLE p_info_fts"})
            QVERIFY(testDb().execute(QString::fromLatin1(sql)));
        for (int i = 0; i < 300; ++i)
            QVERIFY(testDb().execute(QStringLiteral("INSERT INTO p_info (gid, title, content) VALUES ('1', ?, 'x')"), {QString::number(i)}));
        QVERIFY(testDb().commit());
        std::optional<app::WritePause> pause(std::in_place);   // the build waits at its first step
        t.open();
        QTRY_VERIFY(t.w.notebookPage->indexBuilder.isRunning());
        Application::instance()->idle();
        QVERIFY(t.w.isLocked());
        pause.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!t.w.notebookPage->indexBuilder.isRunning(), 20000);
        QVERIFY(notesearch::hasSearchIndex(t.folder.db()));
        QVERIFY(t.w.isLocked());
    }
};

MIVO_TEST_MAIN(tst_lock)
#include "tst_lock.moc"
