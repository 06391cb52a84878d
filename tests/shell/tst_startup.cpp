#include "app/application.h"
#include "app/appinfo.h"
#include "app/settingsfile.h"
#include "fakes.h"
#include "fixture.h"
#include "shell/traymenu.h"
#include "shell/navigationlist.h"
#include "shell/startup.h"
#include "shell/mainwindow.h"
#include "shellfixture.h"
#include "testmain.h"

#include <QRandomGenerator>
#include <QTimer>
#include <QWidget>

class tst_startup : public QObject
{
    Q_OBJECT

    // Starts the program as main() does, with the executable in `folder`; closes the main window as
    // soon as the event loop runs and returns the exit status.
    static int runAndClose(const AppFolder &folder, QString *title = nullptr)
    {
        QTimer::singleShot(0, qApp, [title] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (w->objectName() == QStringLiteral("w_main")) {
                    if (title)
                        *title = w->windowTitle();
                    w->close();
                }
        });
        return runMivo(*Application::instance(), folder.executable(), {});
    }

    // The program's connection, which start-up opens and the end closes.
    static Connection &appDb() { return Application::instance()->connection(); }

    static MainWindow *mainWindow()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *window = qobject_cast<MainWindow *>(w))
                return window;
        return nullptr;
    }

private slots:
    void unusableDatabaseGives001AndNothingElse_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << QByteArray() << QStringLiteral("数据库文件不存在");
        QByteArray noise(4096, 0);
        for (char &c : noise)
            c = char(QRandomGenerator::global()->bounded(256));
        QTest::newRow("random bytes") << noise << QStringLiteral("已损坏或不是数据库");
        QTest::newRow("text file") << QByteArray("not a database\n") << QStringLiteral("已损坏或不是数据库");
        QTest::newRow("empty file") << QByteArray("") << QStringLiteral("数据库中缺少数据表: t_group, t_telinfo");
    }
    void unusableDatabaseGives001AndNothingElse()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        fake::Platform fakes;
        AppFolder folder(AppFolder::NoDatabase);
        if (QByteArray(QTest::currentDataTag()) != "missing")
            folder.writeFile(QStringLiteral("mivo.mdb"), content);
        folder.writeFile(QStringLiteral("client.ini"), "[setting]\nstartMax=1\n");
        const int reads = settingsReadCount();
        const int disconnects = appDb().closeCount();

        QCOMPARE(runAndClose(folder), int(Application::ExitConnectFailed));

        QCOMPARE(fakes.boxes->titles(), QStringList{QStringLiteral("001")});
        const auto &box = fakes.boxes->shown.first();
        QVERIFY2(box.text.startsWith(QStringLiteral("无法连接数据库!\n")), qPrintable(box.text));
        QVERIFY2(box.text.contains(reason), qPrintable(box.text));
        QCOMPARE(box.icon, platform::Icon::Information);
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
        QVERIFY(fakes.tray->icons.isEmpty());
        QCOMPARE(settingsReadCount(), reads);
        QVERIFY(!appDb().isOpen());
        QCOMPARE(appDb().closeCount(), disconnects);
        // Never created, never changed.
        QCOMPARE(folder.readFile(QStringLiteral("mivo.mdb")), content);
    }

    void databaseWithoutTheTablesNamesThem()
    {
        fake::Platform fakes;
        AppFolder folder;
        QVERIFY(testDb().execute(QStringLiteral("DROP TABLE t_account")));
        QVERIFY(testDb().commit());
        testDb().close();
        QCOMPARE(runAndClose(folder), int(Application::ExitConnectFailed));
        QCOMPARE(fakes.boxes->shown.size(), 1);
        QCOMPARE(fakes.boxes->shown.first().text, QStringLiteral("无法连接数据库!\n数据库中缺少数据表: t_account"));
    }

    void cleanStartInAFolderWithBlanksAndChinese()
    {
        fake::Platform fakes;
        AppFolder folder(AppFolder::NoConnect, QStringLiteral("我的 程序#1"));
        deliverAll(folder);
        const int disconnects = appDb().closeCount();
        QString title;
        QCOMPARE(runAndClose(folder, &title), 0);
        QCOMPARE(appFolder(), folder.path());
        QCOMPARE(title, QStringLiteral("Mivo V2.2"));
        QVERIFY(fakes.boxes->shown.isEmpty());
        // Closed exactly once.
        QVERIFY(!appDb().isOpen());
        QCOMPARE(appDb().closeCount(), disconnects + 1);
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void startedInTheTrayEndsThroughTheTrayMenu()
    {
        fake::Platform fakes;
        AppFolder folder(AppFolder::NoConnect);
        deliverAll(folder);
        const int disconnects = appDb().closeCount();
        bool wasHidden = false;
        QTimer::singleShot(0, qApp, [&] {
            MainWindow *w = mainWindow();
            wasHidden = w && !w->isVisible();
            fakes.tray->icons.first()->clickRight();
            TrayMenu *menu = w->findChild<TrayMenu *>();
            QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(menu->exitAction).center());
        });
        QCOMPARE(runMivo(*Application::instance(), folder.executable(), {QStringLiteral("/HIDE")}), 0);
        QVERIFY(wasHidden);
        QVERIFY(fakes.boxes->shown.isEmpty());
        QVERIFY(!appDb().isOpen());
        QCOMPARE(appDb().closeCount(), disconnects + 1);
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void idleNotificationLocksTheRunningProgram()
    {
        fake::Platform fakes;
        AppFolder folder(AppFolder::NoConnect);
        deliverAll(folder);
        folder.writeFile(QStringLiteral("client.ini"), "[setting]\nlockshortCut=111L\nlockTime=2\n");
        bool locked = false;
        bool unlocked = false;
        QTimer::singleShot(0, qApp, [&] {
            MainWindow *w = mainWindow();
            // The platform's countdown reaches the window through the application object.
            fakes.idle->fire();
            locked = w->isLocked() && !w->navigation->isEnabled();
            QTest::keyClick(w, Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
            unlocked = !w->isLocked();
            w->close();
        });
        QCOMPARE(runMivo(*Application::instance(), folder.executable(), {}), 0);
        QCOMPARE(fakes.idle->armed, 120);
        QVERIFY(locked);
        QVERIFY(unlocked);
        // Nothing is left to lock once the window is gone.
        fakes.idle->fire();
    }

    void executableInTheRootFolder()
    {
        fake::Platform fakes;
        QVERIFY(!Application::instance()->open(QStringLiteral("/mivo")));
        QCOMPARE(appFolder(), QString());
        QCOMPARE(appDb().file(), QStringLiteral("/mivo.mdb"));
    }
};

MIVO_TEST_MAIN(tst_startup)
#include "tst_startup.moc"
