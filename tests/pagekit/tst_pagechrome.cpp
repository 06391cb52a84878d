// The chrome pages share: the row of action buttons and the tab control whose pages a page lays out
// itself, shown or not.

#include "fixture.h"
#include "pagekit/buttonrow.h"
#include "pagekit/tabpages.h"
#include "testmain.h"
#include "widgets/unitgeometry.h"
#include "widgets/units.h"

#include <QDir>
#include <QFile>

using pagekit::ButtonRow;
using pagekit::TabPages;

namespace {

// Three pages, two of them with the pictures the program delivers: a picture makes the tab bar as
// tall as it is in the program.
TabPages *makeTabs(QWidget *parent)
{
    auto *tabs = new TabPages(QStringLiteral("tab_1"), QStringLiteral("记帐"), parent);
    tabs->addPage(new QWidget, QStringLiteral("tp_1"), QStringLiteral(" 支出"), QStringLiteral("i013.ico"));
    tabs->addPage(new QWidget, QStringLiteral("tp_2"), QStringLiteral(" 统计 "), QStringLiteral("i015.ico"));
    tabs->addPage(new QWidget, QStringLiteral("tp_3"), QStringLiteral("分类"));
    return tabs;
}

QSize unitSize(const QWidget *w)
{
    return QSize(units::toUnitsX(w->width(), w->logicalDpiX()), units::toUnitsY(w->height(), w->logicalDpiY()));
}

} // namespace

class tst_pagechrome : public QObject
{
    Q_OBJECT

private:
    // The delivered pictures in the application folder, where the pages find them.
    void deliverPictures(const AppFolder &folder)
    {
        QDir().mkpath(folder.file(QStringLiteral("resource")));
        for (const char *name : {"i013.ico", "i015.ico"}) {
            const QString picture = QStringLiteral("resource/") + QLatin1String(name);
            QVERIFY(QFile::copy(QStringLiteral(MIVO_BINARY_DIR "/bin/") + picture, folder.file(picture)));
        }
    }

private slots:
    void tabPagesNameTheirPagesForScreenReaders()
    {
        AppFolder folder(AppFolder::NoDatabase);
        deliverPictures(folder);
        QWidget host;
        TabPages *tabs = makeTabs(&host);
        QCOMPARE(tabs->objectName(), QStringLiteral("tab_1"));
        QCOMPARE(tabs->accessibleName(), QStringLiteral("记帐"));
        // The caption keeps its blanks on the tab; the page's name is the word.
        QCOMPARE(tabs->tabText(1), QStringLiteral(" 统计 "));
        QCOMPARE(tabs->widget(1)->objectName(), QStringLiteral("tp_2"));
        QCOMPARE(tabs->widget(1)->accessibleName(), QStringLiteral("统计"));
        QVERIFY(!tabs->tabIcon(1).pixmap(16, 16).isNull());
        QVERIFY(tabs->tabIcon(2).isNull());
    }

    void tabPagesKnowTheirPageSizeBeforeTheyAreShown_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("a page at the designed window size") << QSize(3104, 1958);
        QTest::newRow("a page at 1920x1080") << QSize(8300, 3900);
    }

    void tabPagesKnowTheirPageSizeBeforeTheyAreShown()
    {
        QFETCH(QSize, size);
        AppFolder folder(AppFolder::NoDatabase);
        deliverPictures(folder);
        QWidget host;
        host.resize(units::toPixels(size + QSize(100, 100)));
        TabPages *tabs = makeTabs(&host);
        // Asked for a size it does not have yet, then at that size, still hidden.
        const QSize beforePlacing = tabs->pageSize(size);
        setUnitGeometry(tabs, QRect(QPoint(), size));
        const QSize hidden = tabs->pageSize();

        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QCOMPARE(beforePlacing, unitSize(tabs->currentWidget()));
        QCOMPARE(hidden, unitSize(tabs->currentWidget()));
        // A tab chosen for the first time gets that size too.
        tabs->setCurrentIndex(2);
        QCOMPARE(hidden, unitSize(tabs->widget(2)));
    }

    void buttonRowStandsInTheOrderOfAddingAlongTheRightEdge()
    {
        QWidget page;
        ButtonRow row(&page);
        QStringList clicked;
        for (const char *name : {"cb_1", "cb_3", "cb_5"}) {
            const QString objectName = QLatin1String(name);
            row.add(QStringLiteral("按钮(&B)"), objectName, &page, [&clicked, objectName] { clicked << objectName; });
        }
        row.place(3104);
        const QList<QPushButton *> &buttons = row.buttons();
        QCOMPARE(buttons.size(), 3);
        QCOMPARE(buttons.at(1)->objectName(), QStringLiteral("cb_3"));
        QCOMPARE(buttons.at(1)->parentWidget(), &page);
        QCOMPARE(buttons.at(1)->accessibleName(), QStringLiteral("按钮(B)"));
        QCOMPARE(unitGeometry(buttons.last()).x() + ButtonRow::Width, 3104 - ButtonRow::Margin);
        for (int i = 1; i < buttons.size(); ++i)
            QCOMPARE(unitGeometry(buttons.at(i)).x() - unitGeometry(buttons.at(i - 1)).x(), ButtonRow::Width + ButtonRow::Gap);
        QVERIFY(unitGeometry(buttons.first()).bottom() < ButtonRow::ContentTop);
        buttons.at(1)->click();
        QCOMPARE(clicked, QStringList{QStringLiteral("cb_3")});
    }
};

MIVO_TEST_MAIN(tst_pagechrome)
#include "tst_pagechrome.moc"
