// The find box on a real database: what it lists for what is typed, on contacts and on items; how the
// keyboard chooses a line; that it reads nothing before it opens and keeps up with writes after.

#include "pagedriver.h"
#include "pagekit/findbox.h"
#include "testmain.h"

#include <QLineEdit>
#include <QTreeView>
#include <QTreeWidget>

using pagekit::FindBox;
using pagekit::FoundRecord;

namespace {

// A tree in a window, as a page lays it out, with the box over it.
struct Window
{
    explicit Window(const finder::RecordSource &source)
    {
        window.resize(600, 400);
        tree = new QTreeView(&window);
        tree->setGeometry(10, 40, 200, 340);
        box = new FindBox(testDb(), source, tree);
        QObject::connect(box, &FindBox::chosen, box, [this](const FoundRecord &r) { chosen << r; });
        showPage(&window);
    }

    // Each line as "name|group|field".
    QStringList lines() const
    {
        QStringList out;
        for (int i = 0; i < box->results()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *line = box->results()->topLevelItem(i);
            out << QStringLiteral("%1|%2|%3").arg(line->text(0), line->text(1), line->text(2));
        }
        return out;
    }
    void type(const QString &text)
    {
        box->edit()->clear();
        drive::typeText(box->edit(), text);
    }
    void key(Qt::Key key) { QTest::keyClick(box->edit(), key); }

    QWidget window;
    QTreeView *tree;
    FindBox *box;
    QList<FoundRecord> chosen;
};

void addContacts()
{
    exec(QStringLiteral("INSERT INTO t_telinfo (zuhao0, xingm0, nich00, shouji, dianh0_dw, danwei) VALUES "
                        "('1', '张三', NULL, '13800138000', NULL, NULL), ('2', '张三丰', NULL, NULL, '010-6512 3456', NULL), "
                        "('2', '赵四', '小张', NULL, NULL, '华信'), ('3', '单雄信', NULL, NULL, NULL, NULL), "
                        "('9', 'Tom Smith', NULL, NULL, NULL, NULL)"));
}

void addItems()
{
    exec(QStringLiteral("INSERT INTO ca_info (gid, name, brand, descb, buyplace) VALUES "
                        "('1', '电视', '华为', NULL, '国美'), ('1', '冰箱', '海尔', '双门', NULL), "
                        "('2', '书桌', NULL, NULL, NULL), ('1', '冰箱', '美的', NULL, NULL)"));
}

} // namespace

class tst_findbox : public QObject
{
    Q_OBJECT

private slots:
    // Typed key by key; the lines best first; Down then Enter, or a click, opens the line chosen.
    void listsWhatMatchesAndOpensTheChosenLine_data()
    {
        QTest::addColumn<bool>("contacts");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("downs"); // below 0: a click on line -downs
        QTest::addColumn<QString>("opened"); // name|group code|id
        QTest::newRow("initials") << true << "zs" << QStringList{"张三|家人|姓名", "张三丰|朋友|姓名", "赵四|朋友|姓名"} << 1
                                  << "张三丰|2|2";
        QTest::newRow("full pinyin with a blank, upper case") << true << "Zhang San"
                                                               << QStringList{"张三|家人|姓名", "张三丰|朋友|姓名"} << 0 << "张三|1|1";
        QTest::newRow("surname read otherwise") << true << "shanxx" << QStringList{"单雄信|同学|姓名"} << 0 << "单雄信|3|4";
        QTest::newRow("phone fragment, the value shown")
            << true << "6512 34" << QStringList{"张三丰|朋友|办公电话: 010-6512 3456"} << 0 << "张三丰|2|2";
        QTest::newRow("Latin; Down past the last line; a group not in the table shows its code")
            << true << "smith" << QStringList{"Tom Smith|9|姓名"} << 3 << "Tom Smith|9|5";
        QTest::newRow("items by a brand's pinyin") << false << "hw" << QStringList{"电视|电器|品牌型号: 华为"} << 0 << "电视|1|1";
        QTest::newRow("items of one name, each its own line")
            << false << "bx" << QStringList{"冰箱|电器|名称", "冰箱|电器|名称"} << -2 << "冰箱|1|4";
        QTest::newRow("no match: nothing to open") << true << "qqqx" << QStringList{"无匹配记录||"} << 1 << "";
    }
    void listsWhatMatchesAndOpensTheChosenLine()
    {
        QFETCH(bool, contacts);
        QFETCH(QString, typed);
        QFETCH(QStringList, lines);
        QFETCH(int, downs);
        QFETCH(QString, opened);
        fake::Platform fakes;
        AppFolder folder;
        contacts ? addContacts() : addItems();
        Window w(contacts ? finder::contactSource() : finder::assetItemSource());
        const QRect treeBefore = w.tree->geometry();
        QVERIFY(!w.box->isBuilt());

        w.box->open();
        QVERIFY(w.box->isOpen());
        QVERIFY(w.box->edit()->hasFocus());
        w.type(typed);
        QCOMPARE(w.lines(), lines);
        // Over the tree's top, inside it; the tree itself where it was.
        QCOMPARE(w.tree->geometry(), treeBefore);
        QCOMPARE(w.box->geometry().topLeft(), treeBefore.topLeft());
        QCOMPARE(w.box->width(), treeBefore.width());
        QVERIFY(w.box->geometry().bottom() <= treeBefore.bottom());

        for (int i = 0; i < downs; ++i)
            w.key(Qt::Key_Down);
        if (downs >= 0) {
            w.key(Qt::Key_Return);
        } else {
            QTreeWidget *results = w.box->results();
            const QRect line = results->visualItemRect(results->topLevelItem(-downs - 1));
            QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, line.center());
        }
        if (opened.isEmpty()) {
            QVERIFY(w.chosen.isEmpty());
            QVERIFY(w.box->isOpen());
            return;
        }
        QCOMPARE(w.chosen.size(), 1);
        const FoundRecord r = w.chosen.first();
        QCOMPARE(QStringLiteral("%1|%2|%3").arg(r.name, r.groupCode).arg(r.id), opened);
        const QString table = contacts ? QStringLiteral("t_telinfo") : QStringLiteral("ca_info");
        const QString name = contacts ? QStringLiteral("xingm0") : QStringLiteral("name");
        QCOMPARE(scalar(QStringLiteral("SELECT %1 FROM %2 WHERE id = ?").arg(name, table), {r.id}).toString(), r.name);
        QVERIFY(!w.box->isOpen());
        QVERIFY(w.tree->hasFocus());
        QVERIFY(fakes.boxes->shown.isEmpty());
    }

    // While the box is open a contact is renamed, another deleted, a third imported: the lines follow
    // at once after refresh() or reload().
    void followsWritesWhileOpen()
    {
        fake::Platform fakes;
        AppFolder folder;
        addContacts();
        Window w(finder::contactSource());
        // Nothing is read until the box opens.
        w.box->refresh({1, 2});
        QVERIFY(!w.box->isBuilt());
        w.box->open();
        w.type(QStringLiteral("zs"));
        QCOMPARE(w.lines().size(), 3);

        exec(QStringLiteral("UPDATE t_telinfo SET xingm0 = '李四', zuhao0 = '4' WHERE xingm0 = '张三'"));
        w.box->refresh(w.box->idsWhere(QStringLiteral("xingm0"), QStringLiteral("李四")));
        QCOMPARE(w.lines(), (QStringList{"张三丰|朋友|姓名", "赵四|朋友|姓名"}));
        // The key compares as the page's statements do: without regard to case.
        QCOMPARE(w.box->idsWhere(QStringLiteral("xingm0"), QStringLiteral("tom smith")), QList<qint64>{5});
        const QList<qint64> deleted = w.box->idsWhere(QStringLiteral("xingm0"), QStringLiteral("张三丰"));
        exec(QStringLiteral("DELETE FROM t_telinfo WHERE xingm0 = ?"), {QStringLiteral("张三丰")});
        w.box->refresh(deleted);
        QCOMPARE(w.lines(), QStringList{"赵四|朋友|姓名"});
        QCOMPARE(w.box->recordCount(), 4);
        w.type(QStringLiteral("ls"));
        QCOMPARE(w.lines(), QStringList{"李四|同事|姓名"});

        exec(QStringLiteral("INSERT INTO t_telinfo (zuhao0, xingm0) VALUES ('1', '刘三')"));
        w.box->reload();
        QVERIFY(w.box->isBuilt());
        QCOMPARE(w.lines(), (QStringList{"李四|同事|姓名", "刘三|家人|姓名"}));

        // Closed, a reload only forgets; the next open reads afresh.
        w.key(Qt::Key_Escape);
        w.box->reload();
        QVERIFY(!w.box->isBuilt());
        w.box->open();
        QCOMPARE(w.box->recordCount(), 5);
    }

    // A database the records cannot be read from says so, and the box stays shut.
    void anUnreadableTableIsReported()
    {
        fake::Platform fakes;
        AppFolder folder;
        finder::RecordSource broken = finder::contactSource();
        broken.table = QStringLiteral("no_such_table");
        Window w(broken);
        w.box->open();
        QVERIFY(!w.box->isOpen());
        QVERIFY(!w.box->isBuilt());
        QCOMPARE(fakes.boxes->titles(), QStringList{"数据库错误"});
        QVERIFY2(fakes.boxes->shown.first().text.contains(QLatin1String("no_such_table")), qPrintable(fakes.boxes->shown.first().text));
    }
};

MIVO_TEST_MAIN(tst_findbox)
#include "tst_findbox.moc"
