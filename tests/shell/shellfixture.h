#pragma once
// What the shell tests share: the delivered program files copied into a test's application folder,
// and a main window opened there with every platform seam faked.

#include "addressbook/addressbookpage.h"
#include "assets/assetspage.h"
#include "fakes.h"
#include "fixture.h"
#include "ledger/ledgerpage.h"
#include "notebook/notebookpage.h"
#include "platform/qtservices.h"
#include "settings/settingspage.h"
#include "shell/helpbrowser.h"
#include "shell/navigationlist.h"
#include "shell/mainwindow.h"

#include <QDir>
#include <QFile>
#include <QListWidgetItem>
#include <QTabWidget>
#include <QTest>

// Copies `name` from the build's runtime folder, where the build delivers the program's files.
inline void deliver(const AppFolder &folder, const QString &name)
{
    const QString target = folder.file(name);
    QDir().mkpath(QFileInfo(target).absolutePath());
    if (!QFile::copy(QStringLiteral(MIVO_BINARY_DIR "/bin/") + name, target))
        qFatal("cannot deliver %s", qPrintable(name));
}

inline void deliverAll(const AppFolder &folder)
{
    deliver(folder, QStringLiteral("help.htm"));
    deliver(folder, QStringLiteral("i001.ico"));
    for (int i = 0; i < 8; ++i)
        deliver(folder, QStringLiteral("resource/P%1.bmp").arg(i, 3, 10, QLatin1Char('0')));
}

// The controls a page lays out: its own children, and those on the pages of its tab controls.
inline QList<QWidget *> pageControls(QWidget *page)
{
    QList<QWidget *> out;
    for (QWidget *child : page->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow() || !child->isVisibleTo(page))
            continue;
        out << child;
        if (auto *tabs = qobject_cast<QTabWidget *>(child))
            for (int i = 0; i < tabs->count(); ++i)
                for (QWidget *c : tabs->widget(i)->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                    if (!c->isWindow() && !c->isHidden())
                        out << c;
    }
    return out;
}

// The application folder made ready before the window exists, as start-up does.
struct PreparedFolder
{
    enum Files { Delivered, Bare };
    // The fake idle countdown, which fires when told, or the program's own on a fast clock: a
    // minute of it passes in 1.2 seconds without input.
    enum Idle { FakeIdle, QuickIdle };
    PreparedFolder(Files files, const QByteArray &settings, Idle idle = FakeIdle)
    {
        if (files == Delivered)
            deliverAll(folder);
        if (!settings.isNull())
            folder.writeFile(QStringLiteral("client.ini"), settings);
        if (idle == QuickIdle) {
            auto countdown = std::make_unique<platform::QtIdleCountdown>();
            countdown->setSecondLength(20);
            platform::Services real;
            real.idle = std::move(countdown);
            realIdle = std::make_unique<platform::ServicesOverride>(std::move(real));
        }
    }
    fake::Platform fakes;
    AppFolder folder;
    std::unique_ptr<platform::ServicesOverride> realIdle;
};

struct OpenedWindow : PreparedFolder
{
    explicit OpenedWindow(Files files = Delivered, const QByteArray &settings = QByteArray(), Idle idle = FakeIdle)
        : PreparedFolder(files, settings, idle)
    {
    }
    void open(const QStringList &arguments = {}) { w.open(arguments); }

    // The pages and the help, in the order of the page mask's positions 1-5 and 8.
    QList<QWidget *> pages() const
    {
        return {w.addressBookPage, w.notebookPage, w.assetsPage, w.ledgerPage, w.settingsPage, w.helpBrowser};
    }
    QString visiblePages() const
    {
        QString mask;
        for (QWidget *p : pages())
            mask += p->isVisibleTo(const_cast<MainWindow *>(&w)) ? QLatin1Char('1') : QLatin1Char('0');
        return mask;
    }
    fake::TrayIcon *trayIcon() const { return fakes.tray->icons.isEmpty() ? nullptr : fakes.tray->icons.first(); }
    QPoint itemCentre(int index) const
    {
        return w.navigation->visualItemRect(w.navigation->item(index - 1)).center();
    }
    // A left click on item `index` of the navigation list, as the user makes it.
    void clickItem(int index) const
    {
        QTest::mouseClick(w.navigation->viewport(), Qt::LeftButton, Qt::NoModifier, itemCentre(index));
    }

    MainWindow w{folder.db()};
};
