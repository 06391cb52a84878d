#include "app/application.h"
#include "app/systemerror.h"
#include "fakes.h"
#include "testmain.h"

#include <QTimer>
#include <QWidget>

namespace {

int g_throwLine = 0;

class u_failing : public QWidget
{
public:
    u_failing() { setObjectName(QStringLiteral("uo_fail")); }
    void cb_1_clicked()
    {
        g_throwLine = __LINE__ + 1;
        throw MivoError(QStringLiteral("组号不存在"));
    }

protected:
    void customEvent(QEvent *) override { cb_1_clicked(); }
};

} // namespace

class tst_systemerror : public QObject
{
    Q_OBJECT

private slots:
    void textHasItsFourLinesInOrder()
    {
        SystemErrorInfo info;
        info.window = QStringLiteral("w_main");
        info.object = QStringLiteral("uo_tel");
        info.event = QStringLiteral("cb_3_clicked");
        info.line = 12;
        info.description = QStringLiteral("除数为零");
        info.number = 7;
        const QString text = systemErrorText(info);
        QCOMPARE(text, QStringLiteral("\n错误对象: w_main.uo_tel\n错误事件: cb_3_clicked\n错误行: 12\n错误描述: 除数为零"));
        QCOMPARE(systemErrorMessage(text),
                 QStringLiteral("系统出现错误!错误信息如下:\n") + text + QStringLiteral("\n\n错误信息已经复制到剪贴板,请将此信息反馈给作者"));
    }

    void foreignExceptionNamesTheReceiverAndEvent()
    {
        QWidget window;
        window.setObjectName(QStringLiteral("w_main"));
        QWidget child(&window);
        child.setObjectName(QStringLiteral("lv_1"));
        QEvent event(QEvent::MouseButtonPress);
        const std::runtime_error error("vector::at");
        const SystemErrorInfo info = describeFailure(&child, &event, &error);
        QCOMPARE(info.window, QStringLiteral("w_main"));
        QCOMPARE(info.object, QStringLiteral("lv_1"));
        QCOMPARE(info.event, QStringLiteral("MouseButtonPress"));
        QCOMPARE(info.line, 0L);
        QCOMPARE(info.description, QStringLiteral("vector::at"));
    }

    // Last: the report ends the application's event loop for good.
    void escapedExceptionIsReportedCopiedAndEndsTheProgram()
    {
        fake::Platform fakes;
        QWidget window;
        window.setObjectName(QStringLiteral("w_main"));
        auto *page = new u_failing;
        page->setParent(&window);
        QCoreApplication::postEvent(page, new QEvent(QEvent::User));
        // A second failure while the first is reported is not shown again.
        QCoreApplication::postEvent(page, new QEvent(QEvent::User));
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(99); });

        const int status = qApp->exec();

        QCOMPARE(status, int(Application::ExitSystemError));
        const QString expected = QStringLiteral("\n错误对象: w_main.u_failing\n错误事件: cb_1_clicked\n错误行: %1\n错误描述: 组号不存在")
                                     .arg(g_throwLine);
        QCOMPARE(fakes.clipboard->content, expected);
        QCOMPARE(fakes.boxes->shown.size(), 1);
        const auto &box = fakes.boxes->shown.first();
        QCOMPARE(box.title, QStringLiteral("002"));
        QCOMPARE(box.text, systemErrorMessage(expected));
        QCOMPARE(box.icon, platform::Icon::Stop);
        QCOMPARE(box.buttons, platform::Buttons::Ok);
        QVERIFY(Application::instance()->systemErrorRaised());
    }
};

MIVO_TEST_MAIN(tst_systemerror)
#include "tst_systemerror.moc"
