// The settings page's group tables: add, delete and save on each of the three, from clicks, with
// every box checked and the database read back.

#include "app/appinfo.h"
#include "app/connection.h"
#include "settingsdriver.h"
#include "testmain.h"
#include "views/dataview.h"

#include <QApplication>
#include <QPushButton>
#include <QSqlQuery>
#include <sqlite3.h>

#include <optional>

using platform::Answer;
using platform::Buttons;
using platform::Icon;

namespace {

const QString kSaved = QStringLiteral("保存/删除成功!\n\n分类信息改动必须重新启动程序才能生效!");
const QString kFailed = QStringLiteral("保存/删除失败!");

QStringList groupsIn(const QString &table, const QString &code, const QString &name)
{
    QStringList out;
    QSqlQuery q(testDb().sqlDatabase());
    q.exec(QStringLiteral("SELECT %1 || '=' || ifnull(%2, '') FROM %3 ORDER BY %1").arg(code, name, table));
    while (q.next())
        out << q.value(0).toString();
    return out;
}

// Another program reading the database: the commit of a write cannot finish while it reads.
class Reader
{
public:
    explicit Reader(const QString &path)
    {
        sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_exec(m_db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_exec(m_db, "SELECT count(*) FROM t_group", nullptr, nullptr, nullptr);
    }
    ~Reader()
    {
        sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(m_db);
    }

private:
    sqlite3 *m_db = nullptr;
};

} // namespace

class tst_grouptables : public QObject
{
    Q_OBJECT

private slots:
    // Every table: a new row's code takes the keyboard; two adds are written by one save; a rename
    // and a delete ask with the table's own code and find the row as it was read.
    void addSaveAndDelete_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("saved");
        QTest::newRow("address book") << 0 << "t_group" << "015";
        QTest::newRow("notebook") << 1 << "p_group" << "017";
        QTest::newRow("assets") << 2 << "ca_group" << "019";
    }
    void addSaveAndDelete()
    {
        QFETCH(int, tab);
        QFETCH(QString, table);
        QFETCH(QString, saved);
        SettingsDriver t;
        drive::chooseTab(t.page->groupTables, tab);
        views::DataView *dw = t.page->groupTables->view(tab);
        const auto &desc = settings::GroupTables::tables().at(tab);
        const QStringList before = groupsIn(table, desc.codeColumn, desc.nameColumn);
        const long rows = dw->rowCount();

        drive::click(t.page->addButton);
        QCOMPARE(dw->rowCount(), rows + 1);
        QCOMPARE(dw->getRow(), rows + 1);
        QCOMPARE(dw->getColumnName(), desc.codeColumn);
        QVERIFY(dw->isAncestorOf(QApplication::focusWidget()));
        drive::typeText(QApplication::focusWidget(), QStringLiteral("q"));
        drive::typeCell(dw, desc.nameColumn, rows + 1, QStringLiteral("新组一"));
        drive::click(t.page->addButton);
        drive::typeCell(dw, desc.codeColumn, rows + 2, QStringLiteral("r"));
        drive::typeCell(dw, desc.nameColumn, rows + 2, QStringLiteral("新组二"));
        QCOMPARE(groupsIn(table, desc.codeColumn, desc.nameColumn), before);

        drive::click(t.page->saveButton);
        EXPECT_BOX(*t.fakes.boxes, saved, kSaved);
        QCOMPARE(groupsIn(table, desc.codeColumn, desc.nameColumn),
                 QStringList(before) << QStringLiteral("q=新组一") << QStringLiteral("r=新组二"));
        QVERIFY(t.page->groupsChanged);

        drive::typeCell(dw, desc.nameColumn, rows + 1, QStringLiteral("改名"));
        t.fakes.boxes->answers << Answer::Yes;
        drive::click(t.page->deleteButton);
        QCOMPARE(t.fakes.boxes->shown.at(t.fakes.boxes->shown.size() - 2).title, desc.deleteCode);
        QCOMPARE(t.fakes.boxes->shown.at(t.fakes.boxes->shown.size() - 2).text, QStringLiteral("确认删除组<改名>?"));
        EXPECT_BOX(*t.fakes.boxes, saved, kSaved);
        QCOMPARE(groupsIn(table, desc.codeColumn, desc.nameColumn), QStringList(before) << QStringLiteral("r=新组二"));
    }

    // A save that fails, whatever the cause, writes none of the table's pending rows (a good one
    // beside the bad one included), says why in the table's own box, leaves no transaction open and
    // keeps the rows as typed; once the cause is gone, the next save writes each row once.
    void failedSaveKeepsTheRows_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("failed");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("reason");
        QTest::newRow("address book, code taken") << 0 << "t_group" << "016" << "015" << "taken" << "组号";
        QTest::newRow("notebook, code taken") << 1 << "p_group" << "018" << "017" << "taken" << "组号";
        QTest::newRow("assets, code taken") << 2 << "ca_group" << "020" << "019" << "taken" << "组号";
        QTest::newRow("address book, no code") << 0 << "t_group" << "016" << "015" << "empty" << "组号";
        QTest::newRow("address book, commit fails") << 0 << "t_group" << "016" << "015" << "commit" << "";
    }
    void failedSaveKeepsTheRows()
    {
        QFETCH(int, tab);
        QFETCH(QString, table);
        QFETCH(QString, failed);
        QFETCH(QString, saved);
        QFETCH(QString, cause);
        QFETCH(QString, reason);
        SettingsDriver t;
        drive::chooseTab(t.page->groupTables, tab);
        views::DataView *dw = t.page->groupTables->view(tab);
        const auto &desc = settings::GroupTables::tables().at(tab);
        const QStringList before = groupsIn(table, desc.codeColumn, desc.nameColumn);
        const long rows = dw->rowCount();

        drive::click(t.page->addButton);
        drive::typeCell(dw, desc.codeColumn, rows + 1, QStringLiteral("q"));
        drive::typeCell(dw, desc.nameColumn, rows + 1, QStringLiteral("新组一"));
        drive::click(t.page->addButton);
        if (cause == QLatin1String("taken"))
            drive::typeCell(dw, desc.codeColumn, rows + 2, QStringLiteral("1"));
        else if (cause == QLatin1String("commit"))
            drive::typeCell(dw, desc.codeColumn, rows + 2, QStringLiteral("r"));
        drive::typeCell(dw, desc.nameColumn, rows + 2, QStringLiteral("新组二"));
        {
            std::optional<Reader> other;
            if (cause == QLatin1String("commit"))
                other.emplace(t.folder.database());
            drive::click(t.page->saveButton);
        }

        QCOMPARE(t.boxTitles(), QStringList{failed});
        const auto &box = t.fakes.boxes->shown.last();
        QCOMPARE(box.icon, Icon::Stop);
        QVERIFY2(box.text.startsWith(kFailed + QLatin1Char('\n')) && box.text.size() > kFailed.size() + 1, qPrintable(box.text));
        QVERIFY2(box.text.contains(reason), qPrintable(box.text));
        QVERIFY(!t.folder.db().inTransaction());
        QCOMPARE(groupsIn(table, desc.codeColumn, desc.nameColumn), before);
        QVERIFY(!t.page->groupsChanged);
        QCOMPARE(dw->rowCount(), rows + 2);
        QCOMPARE(drive::column(dw, desc.nameColumn).mid(rows), (QStringList{QStringLiteral("新组一"), QStringLiteral("新组二")}));

        if (cause != QLatin1String("commit"))
            drive::typeCell(dw, desc.codeColumn, rows + 2, QStringLiteral("r"));
        drive::click(t.page->saveButton);
        EXPECT_BOX(*t.fakes.boxes, saved, kSaved);
        QCOMPARE(groupsIn(table, desc.codeColumn, desc.nameColumn),
                 QStringList(before) << QStringLiteral("q=新组一") << QStringLiteral("r=新组二"));
        QVERIFY(t.page->groupsChanged);
    }

    // Delete asks (No changes nothing), then writes at once; the members of a deleted group stay
    // in their table. A new row with nothing in it goes without a question.
    void deleteAsksAndSavesAtOnce()
    {
        SettingsDriver t(QByteArray(), [] {
            exec(QStringLiteral("INSERT INTO t_group (zuhao0, zuming) VALUES ('w', '网友'), ('n', NULL)"));
            exec(QStringLiteral("INSERT INTO t_telinfo (zuhao0, xingm0) VALUES ('w', '王五')"));
        });
        views::DataView *dw = t.page->groupTables->contactGroups;
        const long w = drive::column(dw, QStringLiteral("zuhao0")).indexOf(QStringLiteral("w")) + 1;
        QVERIFY(w > 0);
        const long rows = dw->rowCount();

        drive::click(t.page->addButton);
        drive::click(t.page->deleteButton);
        QVERIFY(t.fakes.boxes->shown.isEmpty());
        QCOMPARE(dw->rowCount(), rows);

        drive::clickObject(dw, QStringLiteral("zuming"), w);
        t.fakes.boxes->answers << Answer::No;
        drive::click(t.page->deleteButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("012"), QStringLiteral("确认删除组<网友>?"), Icon::Question, Buttons::YesNo, 2);
        QCOMPARE(dw->rowCount(), rows);
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM t_group WHERE zuhao0 = 'w'")).toInt(), 1);

        drive::clickObject(dw, QStringLiteral("zuming"), w);
        t.fakes.boxes->answers << Answer::Yes;
        drive::click(t.page->deleteButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("015"), kSaved);
        QCOMPARE(dw->rowCount(), rows - 1);
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM t_group WHERE zuhao0 = 'w'")).toInt(), 0);
        QCOMPARE(scalar(QStringLiteral("SELECT zuhao0 FROM t_telinfo WHERE xingm0 = '王五'")).toString(), QStringLiteral("w"));
        QVERIFY(t.page->groupsChanged);

        // A stored group without a name is asked about too, and goes only on Yes.
        const long n = drive::column(dw, QStringLiteral("zuhao0")).indexOf(QStringLiteral("n")) + 1;
        drive::clickObject(dw, QStringLiteral("zuhao0"), n);
        t.fakes.boxes->answers << Answer::No;
        drive::click(t.page->deleteButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("012"), QStringLiteral("确认删除组<>?"), Icon::Question, Buttons::YesNo, 2);
        drive::click(t.page->saveButton);
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM t_group WHERE zuhao0 = 'n'")).toInt(), 1);
    }
};

MIVO_TEST_MAIN(tst_grouptables)
#include "tst_grouptables.moc"
