#include "configpage.h"

#include "app/appinfo.h"
#include "views/dataview.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTabBar>
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

ConfigPage::ConfigPage(const QByteArray &settings, const std::function<void()> &prepare)
    : PageOnDisk<u_config>([&] {
        if (!settings.isNull())
            writeSettings(settings);
        if (prepare)
            prepare();
    })
{
}

void ConfigPage::chooseTab(QTabWidget *tabs, int index) const
{
    QTabBar *bar = tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    if (tabs->currentIndex() != index)
        qFatal("tab %d was not chosen", index);
}

void ConfigPage::typeCell(views::DataView *dw, const QString &column, long row, const QString &text) const
{
    drive::clickObject(dw, column, row);
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    if (!editor)
        qFatal("no editor in %s of row %ld", qPrintable(column), row);
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Delete);
    drive::typeText(editor, text);
}
