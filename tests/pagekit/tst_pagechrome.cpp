// The chrome pages share: the tab control whose pages a page lays out itself, shown or not, and the
// row of action buttons.

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

QSize unitSize(const QWidget *w)
{
    return QSize(units::toUnitsX(w->width(), w->logicalDpiX()), units::toUnitsY(w->height(), w->logicalDpiY()));
}

} // namespace

class tst_pagechrome : public QObject
{
    Q_OBJECT

private slots:
    // The main window lays out hidden pages too: a tab the user has not opened yet must be laid out
    // at the size it will have.
    void tabPagesKnowTheirPageSizeBeforeTheyAreShown()
    {
        AppFolder folder(AppFolder::NoDatabase);
        // Delivered pictures make the tab bar as tall as it is in the program.
        QDir().mkpath(folder.file(QStringLiteral("resource")));
        for (const QString &picture : {QStringLiteral("resource/i013.ico"), QStringLiteral("resource/i015.ico")})
            QVERIFY(QFile::copy(QStringLiteral(MIVO_BINARY_DIR "/bin/") + picture, folder.file(picture)));

        // The ledger's tabs at the designed window size and at 1920x1080.
        for (const QSize size : {QSize(3104, 1958), QSize(8300, 3900)}) {
            QWidget host;
            host.resize(units::toPixels(size + QSize(100, 100)));
            auto *tabs = new TabPages(QStringLiteral("tab_1"), QStringLiteral("记帐"), &host);
            tabs->addPage(new QWidget, QStringLiteral("tp_1"), QStringLiteral(" 支出"), QStringLiteral("i013.ico"));
            tabs->addPage(new QWidget, QStringLiteral("tp_2"), QStringLiteral(" 统计 "), QStringLiteral("i015.ico"));
            tabs->addPage(new QWidget, QStringLiteral("tp_3"), QStringLiteral("分类"));
            // Asked for a size it does not have yet, then at that size, still hidden.
            const QSize beforePlacing = tabs->pageSize(size);
            setUnitGeometry(tabs, QRect(QPoint(), size));
            const QSize hidden = tabs->pageSize();

            host.show();
            QVERIFY(QTest::qWaitForWindowExposed(&host));
            QCOMPARE(beforePlacing, unitSize(tabs->currentWidget()));
            QCOMPARE(hidden, unitSize(tabs->currentWidget()));
            tabs->setCurrentIndex(2);
            QCOMPARE(hidden, unitSize(tabs->widget(2)));

            // The caption keeps its blanks on the tab; a screen reader reads the word.
            QCOMPARE(tabs->tabText(1), QStringLiteral(" 统计 "));
            QCOMPARE(tabs->widget(1)->objectName(), QStringLiteral("tp_2"));
            QCOMPARE(tabs->widget(1)->accessibleName(), QStringLiteral("统计"));
            QVERIFY(!tabs->tabIcon(1).pixmap(16, 16).isNull());
            QVERIFY(tabs->tabIcon(2).isNull());
        }
    }

    void buttonRowStandsInTheOrderOfAddingAlongTheRightEdge()
    {
        QWidget page;
        ButtonRow row(&page);
        QStringList clicked;
        for (const QString &name : {QStringLiteral("cb_1"), QStringLiteral("cb_3"), QStringLiteral("cb_5")})
            row.add(QStringLiteral("保存(&S)"), name, &page, [&clicked, name] { clicked << name; });
        row.place(3104);
        const QList<QPushButton *> &buttons = row.buttons();
        QCOMPARE(unitGeometry(buttons.last()).right() + 1, 3104 - ButtonRow::Margin);
        for (int i = 1; i < buttons.size(); ++i)
            QCOMPARE(unitGeometry(buttons.at(i)).x() - unitGeometry(buttons.at(i - 1)).x(), ButtonRow::Width + ButtonRow::Gap);
        QVERIFY(unitGeometry(buttons.first()).bottom() < ButtonRow::ContentTop);
        QCOMPARE(buttons.at(1)->objectName(), QStringLiteral("cb_3"));
        QCOMPARE(buttons.at(1)->accessibleName(), QStringLiteral("保存(S)"));
        buttons.at(1)->click();
        QCOMPARE(clicked, QStringList{QStringLiteral("cb_3")});
    }
};

MIVO_TEST_MAIN(tst_pagechrome)
#include "tst_pagechrome.moc"
