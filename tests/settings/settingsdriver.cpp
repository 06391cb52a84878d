#include "settingsdriver.h"

#include "app/appinfo.h"

#include <QFile>
#include <QTest>

void writeSettings(const QByteArray &text)
{
    QFile f(appFile(QStringLiteral("client.ini")));
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
        qFatal("cannot write client.ini");
}

void retype(QWidget *field, const QString &text)
{
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    drive::typeText(field, text);
}

SettingsDriver::SettingsDriver(const QByteArray &settings, const std::function<void()> &prepare)
    : PageDriver<SettingsPage>([&] {
        if (!settings.isNull())
            writeSettings(settings);
        if (prepare)
            prepare();
    })
{
}

