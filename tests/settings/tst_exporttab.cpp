// The settings page's Export tab: a module's table, as stored, to the spreadsheet file the user
// names, read back by an independent reader.

#include "app/appinfo.h"
#include "settingsdriver.h"
#include "settings/exporttab.h"
#include "sheetreader.h"
#include "testmain.h"
#include "views/datastore.h"

#include <QFile>
#include <QPushButton>
#include <QRadioButton>

using platform::Icon;

namespace {

void fill()
{
    exec(QStringLiteral("INSERT INTO t_telinfo (zuhao0, xingm0, xingb0, shengr, shouji) VALUES "
                        "('2', '李四', '2', '19800101', '13900000000'), ('1', '张三', '1', NULL, '13800000000'), "
                        "('1', 'Alice', NULL, NULL, NULL)"));
    exec(QStringLiteral("INSERT INTO p_info (gid, title, content) VALUES ('2', '会议', '下午三点'), ('1', '日记', '晴')"));
    exec(QStringLiteral("INSERT INTO ca_info (gid, name, num, worth, buydate) VALUES ('1', '电视机', 1, 3000.5, '20080101')"));
}

} // namespace

class tst_exporttab : public QObject
{
    Q_OBJECT

private slots:
    // Each choice writes its own table: the headings first, then the rows in the table's order.
    void eachChoiceExportsItsTable_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("definition");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("filter");
        QTest::newRow("address book") << 0 << "d_telpro_all" << "通讯录.xls" << "xls" << "";
        QTest::newRow("notebook") << 1 << "d_notepro_all" << "notes" << "xls" << "";
        QTest::newRow("assets") << 2 << "d_capital_all" << "assets.xlsx" << "xlsx" << "";
        // A bare name takes the suffix of the filter the user left chosen.
        QTest::newRow("contacts as csv") << 0 << "d_telpro_all" << "contacts" << "csv" << "CSV UTF-8 逗号分隔文件 (*.csv)";
    }
    void eachChoiceExportsItsTable()
    {
        QFETCH(int, choice);
        QFETCH(QString, definition);
        QFETCH(QString, file);
        QFETCH(QString, kind);
        QFETCH(QString, filter);
        SettingsDriver t(QByteArray(), fill);
        settings::ExportTab *tab = t.page->exportTab;
        drive::chooseTab(t.page->optionTabs, 1);
        drive::click(QList<QRadioButton *>{tab->addressBookChoice, tab->notebookChoice, tab->assetsChoice, tab->ledgerChoice}.at(choice));
        QCOMPARE(tab->store->dataObject(), definition);
        t.fakes.dialogs->savePath = t.folder.file(file);
        t.fakes.dialogs->saveFilter = filter;
        drive::click(tab->exportButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("024"), QStringLiteral("备份成功!"));
        QCOMPARE(t.fakes.dialogs->saveRequests.size(), 1);
        QCOMPARE(t.fakes.dialogs->saveRequests.first().fileName, QString());
        // No question of its own: the dialog asks before a file is replaced.
        QVERIFY(t.fakes.dialogs->saveRequests.first().confirmOverwrite);
        // A name without a suffix takes the chosen filter's, or the first format's.
        const QString written = file.contains(QLatin1Char('.')) ? t.folder.file(file) : t.folder.file(file + QLatin1Char('.') + kind);
        QString error;
        const QList<ReadSheet> sheets = readBack(kind, written, &error);
        QVERIFY2(!sheets.isEmpty(), qPrintable(error));
        const QString difference = firstDifference(databaseRows(definition), sheets.first().rows,
                                                   kind == QLatin1String("xlsx") ? Numbers::SixteenDigits
                                                   : kind == QLatin1String("csv") ? Numbers::AsText
                                                                                  : Numbers::Exact);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    // An empty table says so and asks for no file; a cancelled dialog shows nothing; a file that
    // cannot be written is reported with its reason.
    void emptyCancelledAndUnwritable()
    {
        SettingsDriver t(QByteArray(), fill);
        settings::ExportTab *tab = t.page->exportTab;
        drive::chooseTab(t.page->optionTabs, 1);
        drive::click(tab->ledgerChoice);
        drive::click(tab->exportButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("023"), QStringLiteral("数据库中无相关记录!"), Icon::Stop);
        QVERIFY(t.fakes.dialogs->saveRequests.isEmpty());

        drive::click(tab->addressBookChoice);
        drive::click(tab->exportButton);
        QCOMPARE(t.fakes.dialogs->saveRequests.size(), 1);
        QCOMPARE(t.boxTitles(), QStringList{QStringLiteral("023")});

        t.fakes.dialogs->savePath = t.folder.file(QStringLiteral("no such folder/contacts.xls"));
        drive::click(tab->exportButton);
        QCOMPARE(t.fakes.boxes->shown.last().title, QStringLiteral("024A"));
        QVERIFY(t.fakes.boxes->shown.last().text.startsWith(QStringLiteral("导出失败!\n")));
        QVERIFY(t.fakes.boxes->shown.last().text.size() > QStringLiteral("导出失败!\n").size());
        QCOMPARE(t.fakes.boxes->shown.last().icon, Icon::Stop);
        QVERIFY(!QFile::exists(t.fakes.dialogs->savePath));
    }
};

MIVO_TEST_MAIN(tst_exporttab)
#include "tst_exporttab.moc"
