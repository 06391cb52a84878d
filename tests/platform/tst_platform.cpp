#include "fakes.h"
#include "platform/dialoglock.h"
#include "platform/linux/secretkeyring.h"
#include "platform/linux/xdgautostart.h"
#include "platform/modules.h"
#include "platform/pictureicon.h"
#include "platform/qtservices.h"
#include "testmain.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

class tst_platform : public QObject
{
    Q_OBJECT

private slots:
    void xdgAutostartWritesReadsAndRemovesItsEntry()
    {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        platform::XdgAutostart autostart;
        const QString program = QStringLiteral("/opt/我的 程序/mivo");
        QCOMPARE(autostart.command(QStringLiteral("Mivo")), QString());
        QVERIFY(autostart.enable(QStringLiteral("Mivo"), program, {QStringLiteral("/hide")}));
        const QString path = config.path() + QStringLiteral("/autostart/Mivo.desktop");
        QCOMPARE(platform::XdgAutostart::entryPath(QStringLiteral("Mivo")), path);
        QFile entry(path);
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(entry.readAll());
        QVERIFY(text.startsWith(QStringLiteral("[Desktop Entry]\n")));
        QVERIFY(text.contains(QStringLiteral("\nType=Application\n")));
        // A path with a blank is one quoted argument.
        QVERIFY(text.contains(QStringLiteral("\nExec=\"/opt/我的 程序/mivo\" /hide\n")));
        QCOMPARE(autostart.command(QStringLiteral("Mivo")), QStringLiteral("\"/opt/我的 程序/mivo\" /hide"));
        // Nothing beside the entry: it was renamed into place whole.
        QCOMPARE(QDir(config.path() + QStringLiteral("/autostart")).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("Mivo.desktop")});

        // Another program's entry stays when this one goes.
        QVERIFY(autostart.enable(QStringLiteral("Other"), QStringLiteral("/usr/bin/other"), {}));
        QVERIFY(autostart.disable(QStringLiteral("Mivo")));
        QVERIFY(!QFile::exists(path));
        QVERIFY(QFile::exists(platform::XdgAutostart::entryPath(QStringLiteral("Other"))));
        QCOMPARE(autostart.command(QStringLiteral("Mivo")), QString());
        QVERIFY(autostart.disable(QStringLiteral("Mivo")));
        qunsetenv("XDG_CONFIG_HOME");
    }

    // Whatever the program's path holds, the Exec value gives back exactly that program and its
    // arguments under the desktop-entry rules (quotes, escapes inside them, doubled percent signs,
    // the file's own string escapes on top).
    void execValueRoundTrips_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("exec");
        QTest::newRow("plain") << "/usr/bin/mivo" << "/usr/bin/mivo /hide";
        QTest::newRow("blank and Chinese") << "/home/张三/my apps/mivo" << "\"/home/张三/my apps/mivo\" /hide";
        QTest::newRow("Chinese only") << "/opt/程序/mivo" << "\"/opt/程序/mivo\" /hide";
        QTest::newRow("percent") << "/opt/100%/mivo" << "/opt/100%%/mivo /hide";
        QTest::newRow("dollar, quote, backtick") << "/opt/a$b\"c`d/mivo" << "\"/opt/a\\\\$b\\\\\"c\\\\`d/mivo\" /hide";
        QTest::newRow("backslash") << "/opt/a\\b/mivo" << "\"/opt/a\\\\\\\\b/mivo\" /hide";
    }
    void execValueRoundTrips()
    {
        QFETCH(QString, program);
        QFETCH(QString, exec);
        const QString value = platform::XdgAutostart::execValue(program, {QStringLiteral("/hide")});
        QCOMPARE(value, exec);
        QCOMPARE(platform::XdgAutostart::execArguments(value), (QStringList{program, QStringLiteral("/hide")}));
    }

    void idleCountdownFiresOncePerQuietPeriodAndRestartsOnInput()
    {
        platform::QtIdleCountdown idle;
        idle.setSecondLength(100); // an armed "second" lasts 100 ms here
        QSignalSpy fired(&idle, &platform::IdleCountdown::elapsed);
        QWidget w;
        w.show();

        idle.arm(5); // 500 ms
        QCOMPARE(idle.seconds(), 5);
        // Input every 50 ms keeps it from firing for twice its period (a loaded machine may stretch
        // the waits, so the gaps are measured rather than assumed).
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0, longestGap = 0;
        for (int i = 0; i < 20; ++i) {
            QTest::qWait(50);
            QTest::mouseMove(&w, QPoint(10 + i, 10));
            QTest::keyClick(&w, Qt::Key_A);
            longestGap = std::max(longestGap, clock.elapsed() - last);
            last = clock.elapsed();
        }
        if (longestGap < 450)
            QCOMPARE(fired.count(), 0);
        const int before = fired.count();
        QTRY_COMPARE_WITH_TIMEOUT(fired.count(), before + 1, 5000);
        // Still armed: a further quiet period fires again.
        QTRY_COMPARE_WITH_TIMEOUT(fired.count(), before + 2, 5000);

        idle.arm(0);
        const int count = fired.count();
        QTest::qWait(700);
        QCOMPARE(fired.count(), count);
    }

    void clipboardHoldsTextOffscreen()
    {
        platform::QtClipboard clipboard;
        clipboard.setText(QStringLiteral("错误行: 12\n"));
        QCOMPARE(clipboard.text(), QStringLiteral("错误行: 12\n"));
    }

    void realMessageBoxShowsCodeTextIconAndDefault()
    {
        platform::QtMessageBoxes boxes;
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString defaultCaption;
        QStringList captions;
        QTimer::singleShot(50, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            defaultCaption = box->defaultButton()->text();
            for (QAbstractButton *b : box->buttons())
                captions << b->accessibleName();
            box->defaultButton()->click();
        });
        const auto answer = boxes.show({QStringLiteral("T03"), QStringLiteral("确认删除<张三>?"), platform::Icon::Question,
                                        platform::Buttons::YesNo, 2});
        QCOMPARE(answer, platform::Answer::No);
        QCOMPARE(title, QStringLiteral("T03"));
        QCOMPARE(text, QStringLiteral("确认删除<张三>?"));
        QCOMPARE(icon, QMessageBox::Question);
        QCOMPARE(defaultCaption, QStringLiteral("否(&N)"));
        captions.sort();
        QCOMPARE(captions, (QStringList{QStringLiteral("否(&N)"), QStringLiteral("是(&Y)")}));
    }

    // The lock closes the dialogs open at that moment with their cancelling answer, whatever their
    // default; while it lasts no question and no file dialog shows, while a plain notice still does.
    void realDialogsCloseAtTheLockAndStayShutWhileLocked()
    {
        platform::QtMessageBoxes boxes;
        platform::QtFileDialogs dialogs;
        const platform::SaveFileRequest save{QStringLiteral("选择备份名称及路径"), QStringLiteral("20090214.mdb"),
                                             QStringLiteral("mdb"), QStringLiteral("Access 数据库 (*.mdb)"), QDir::tempPath()};
        std::unique_ptr<platform::DialogLock> lock;
        const auto lockWhileOpen = [&lock] {
            QTimer::singleShot(50, [&lock] {
                const QPointer<QWidget> open = QApplication::activeModalWidget();
                QVERIFY(open);
                lock = std::make_unique<platform::DialogLock>();
                // Left open by the lock, it would take the user's click on its default button.
                QTimer::singleShot(1000, [open] {
                    if (auto *box = qobject_cast<QMessageBox *>(open.data()))
                        box->defaultButton()->click();
                    else if (auto *dialog = qobject_cast<QDialog *>(open.data()))
                        dialog->accept();
                });
            });
        };
        lockWhileOpen();
        QCOMPARE(boxes.show({QStringLiteral("021"), QStringLiteral("?"), platform::Icon::Question, platform::Buttons::YesNo, 1}),
                 platform::Answer::No);
        lock.reset();
        lockWhileOpen();
        QCOMPARE(dialogs.saveFile(save), QString());
        QVERIFY(lock);

        // Anything that shows runs the event loop, where this closes it and tells.
        int shown = 0;
        QTimer closer;
        closer.setInterval(10);
        QObject::connect(&closer, &QTimer::timeout, [&shown] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
                ++shown;
                dialog->reject();
            }
        });
        closer.start();
        fake::Platform fakes;
        platform::Services real;
        real.messageBoxes = std::make_unique<platform::QtMessageBoxes>();
        const platform::ServicesOverride useReal(std::move(real));
        QCOMPARE(platform::messageBox(QStringLiteral("030"), QStringLiteral("?"), platform::Icon::Question,
                                      platform::Buttons::YesNo, 1),
                 platform::Answer::No);
        QCOMPARE(dialogs.saveFile(save), QString());
        QCOMPARE(dialogs.chooseFolder(QStringLiteral("选择备份文件夹"), QDir::tempPath()), QString());
        QCOMPARE(shown, 0);
        QCOMPARE(platform::messageBox(QStringLiteral("033"), QStringLiteral("备份失败!")), platform::Answer::Ok);
        QCOMPARE(shown, 1);
        // The fakes keep shut as the real ones do.
        QCOMPARE(fakes.dialogs->saveFile(save), QString());
        QVERIFY(fakes.dialogs->saveRequests.isEmpty());
        QVERIFY(!fakes.printers->choose(nullptr));
    }

    void fakeRecordsBoxesAndAnswersAsScripted()
    {
        fake::Platform fakes;
        fakes.boxes->answers << platform::Answer::Yes;
        QCOMPARE(platform::messageBox(QStringLiteral("T03"), QStringLiteral("?"), platform::Icon::Question, platform::Buttons::YesNo, 2),
                 platform::Answer::Yes);
        // Unscripted: the default button.
        QCOMPARE(platform::messageBox(QStringLiteral("T03"), QStringLiteral("?"), platform::Icon::Question, platform::Buttons::YesNo, 2),
                 platform::Answer::No);
        QCOMPARE(fakes.boxes->titles(), (QStringList{QStringLiteral("T03"), QStringLiteral("T03")}));
        QCOMPARE(fakes.boxes->shown.at(1).defaultButton, 2);
    }

    void overrideRestoresTheServicesItReplaced()
    {
        platform::Clipboard *before = platform::services().clipboard.get();
        {
            fake::Platform fakes;
            QCOMPARE(platform::services().clipboard.get(), static_cast<platform::Clipboard *>(fakes.clipboard));
        }
        QCOMPARE(platform::services().clipboard.get(), before);
    }

    void offscreenHasNoTrayAndPrintersAnswer()
    {
        platform::QtTray tray;
        QVERIFY(!tray.available());
        // The description is "name\tdriver\tport" or empty where no printer is set up.
        const QString d = platform::QtPrinters().description();
        QVERIFY(d.isEmpty() || d.count(QLatin1Char('\t')) == 2);
    }

    // The program's icon file offers every size it holds; a size is drawn from the nearest larger
    // picture, scaled to fit, and the same icon comes back for the file, so the window and the tray
    // share what was decoded. A file that is not a picture gives no icon (the tray says "004").
    void pictureIconDrawsASizeFromTheNearestLargerPicture()
    {
        const QString file = QStringLiteral(MIVO_BINARY_DIR "/bin/i001.ico");
        const QIcon icon = platform::pictureIcon(file);
        QList<QSize> sizes = icon.availableSizes();
        std::sort(sizes.begin(), sizes.end(), [](QSize a, QSize b) { return a.width() < b.width(); });
        QCOMPARE(sizes, (QList<QSize>{{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}}));
        QCOMPARE(platform::pictureIcon(file).cacheKey(), icon.cacheKey());

        QImageReader reader(file);
        QImage picture24;
        do
            picture24 = reader.size() == QSize(24, 24) ? reader.read() : picture24;
        while (reader.jumpToNextImage());
        const QImage drawn = icon.pixmap(QSize(22, 22)).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(drawn.size(), QSize(22, 22));
        QCOMPARE(drawn, picture24.scaled(22, 22, Qt::KeepAspectRatio, Qt::SmoothTransformation).convertToFormat(QImage::Format_ARGB32));
        QCOMPARE(icon.pixmap(QSize(32, 32)).toImage().convertToFormat(QImage::Format_ARGB32).size(), QSize(32, 32));
        QCOMPARE(icon.pixmap(QSize(300, 300)).size(), QSize(128, 128));

        QTemporaryDir folder;
        const QString text = folder.filePath(QStringLiteral("i001.ico"));
        QFile f(text);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a picture");
        f.close();
        QVERIFY(platform::pictureIcon(text).isNull());
        QVERIFY(platform::pictureIcon(folder.filePath(QStringLiteral("missing.ico"))).isNull());
    }

    // The printers and the keyring come from modules. Without its module there is no printer to
    // name, and what asks the user (the set-up, the choice) says in a box which part is missing; the
    // keyring keeps the secrets for the run, as on a desktop without one.
    void seamsWithoutTheirModules()
    {
        fake::Platform fakes;
        const QString modules = platform::moduleFolder();
        QTemporaryDir empty;
        platform::setModuleFolder(empty.path());
        platform::QtPrinters printers;
        platform::SecretServiceKeyring keyring(QStringLiteral("Mivo test"));
        QCOMPARE(printers.description(), QString());
        platform::Keyring::Status status = platform::Keyring::Status::Failed;
        keyring.write(QStringLiteral("k"), QStringLiteral("密码"), [&](platform::Keyring::Status s) { status = s; });
        QCOMPARE(status, platform::Keyring::Status::Ok);
        QString secret;
        keyring.read(QStringLiteral("k"), [&](platform::Keyring::Status, const QString &s) { secret = s; });
        QCOMPARE(secret, QStringLiteral("密码"));
        QVERIFY(!keyring.persistent());
        QVERIFY(fakes.boxes->shown.isEmpty());
        QVERIFY(!printers.setup(nullptr));
        QVERIFY(!printers.choose(nullptr));
        platform::setModuleFolder(modules);
        QCOMPARE(fakes.boxes->shown.size(), 2);
        QCOMPARE(fakes.boxes->shown.at(0).title, QStringLiteral("程序文件错误"));
        QVERIFY2(fakes.boxes->shown.at(0).text.contains(QStringLiteral("“printing”")), qPrintable(fakes.boxes->shown.at(0).text));
        // A module put back is found by the next question.
        const QString d = printers.description();
        QVERIFY(d.isEmpty() || d.count(QLatin1Char('\t')) == 2);
        QVERIFY(platform::loadModule(QStringLiteral("printing"), nullptr));
    }

    // The password outlives the run in a desktop's keyring (a session bus of the test's own with a
    // Secret Service on it): one program writes it, the next reads it. Without a keyring it is kept
    // for the run only, and the keyring says so.
    void keyringKeepsThePassword_data()
    {
        QTest::addColumn<bool>("secretService");
        QTest::newRow("a Secret Service") << true;
        QTest::newRow("no keyring") << false;
    }

    void keyringKeepsThePassword()
    {
        QFETCH(bool, secretService);
        QTemporaryDir dir;
        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
        const QString probe = QStringLiteral(MIVO_BINARY_DIR "/tests/keyring_probe");
        const QString both = QStringLiteral("\"$0\" write && \"$0\" read");
        if (!secretService)
            env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=") + dir.filePath(QStringLiteral("none")));
        run.setProcessEnvironment(env);
        if (secretService) {
            // The new login keyring's password is "test"; the daemon goes with the bus.
            run.start(QStringLiteral("dbus-run-session"),
                      {QStringLiteral("--"), QStringLiteral("sh"), QStringLiteral("-c"),
                       QStringLiteral("printf test | gnome-keyring-daemon --unlock --components=secrets --foreground >/dev/null & k=$!;"
                                      "i=0; while [ ! -S \"$XDG_RUNTIME_DIR/keyring/control\" ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i+1)); done;")
                           + both + QStringLiteral("; r=$?; kill $k; exit $r"),
                       probe});
        } else {
            run.start(QStringLiteral("sh"), {QStringLiteral("-c"), both, probe});
        }
        QVERIFY(run.waitForFinished(60000));
        const QByteArray said = run.readAllStandardOutput();
        QCOMPARE(said, secretService ? QByteArray("wrote ok, kept\nread s3cret 密码\n") : QByteArray("wrote ok, for the run\nread nothing\n"));
    }
};

MIVO_TEST_MAIN(tst_platform)
#include "tst_platform.moc"
