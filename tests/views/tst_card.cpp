// The control as a card: labels beside their fields in two columns, editors that refuse what does
// not fit, choices and drop-downs, values that reach the row and come back exactly.

#include "views/dataview.h"
#include "views/definition.h"
#include "views/format.h"
#include "views/registry.h"

#include "app/connection.h"
#include "fakes.h"
#include "fixture.h"
#include "testmain.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>

using namespace views;

namespace {

void run(const QString &sql, const QVariantList &values = {})
{
    if (const DbResult done = testDb().execute(sql, values); !done)
        qFatal("%s: %s", qPrintable(sql), qPrintable(done.reason));
}

// Typing as a user types, one character at a time, Chinese and emoji included (the test library's
// own helper takes ASCII only).
void typeInto(QWidget *w, const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString ch = text.mid(i, n);
        i += n - 1;
        if (ch == QStringLiteral("\n")) {
            QTest::keyClick(w, Qt::Key_Return);
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, ch);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, ch);
        QCoreApplication::sendEvent(w, &press);
        QCoreApplication::sendEvent(w, &release);
    }
}

// A card in a window with a button to take the focus away, as a page has.
struct Page
{
    QWidget window;
    DataView *dw;
    QPushButton *save;

    explicit Page(const QString &definition)
    {
        dw = new DataView(&window);
        save = new QPushButton(QStringLiteral("保存(&S)"), &window);
        dw->setGeometry(0, 0, 760, 520);
        save->setGeometry(0, 530, 100, 28);
        window.resize(760, 570);
        dw->setDataObject(definition);
        dw->setConnection(testDb());
    }
    bool show()
    {
        window.show();
        return QTest::qWaitForWindowActive(&window);
    }
    template <class T> T *editor(const char *column) { return qobject_cast<T *>(dw->fieldEditor(QString::fromLatin1(column))); }
    void type(QWidget *w, const QString &text)
    {
        w->setFocus();
        if (auto *line = qobject_cast<QLineEdit *>(w))
            line->selectAll();
        typeInto(w, text);
    }
    void leave() { save->setFocus(); }
};

} // namespace

class tst_card : public QObject
{
    Q_OBJECT

private slots:
    void labelsSitBesideTheirFieldsInTwoColumns()
    {
        fake::Platform platform;
        AppFolder folder;
        Page page(QStringLiteral("dw_telper"));
        QVERIFY(page.show());
        DataView &dw = *page.dw;
        const Definition *def = dw.definition();
        for (const Column &c : def->columns) {
            QWidget *editor = dw.fieldEditor(c.name);
            QVERIFY2(editor, qPrintable(c.name));
            QCOMPARE(editor->accessibleName(), c.label);
            const QRect label = dw.objectRect(c.headerName());
            const QRect field = dw.objectRect(c.name);
            QCOMPARE(dw.displayText(c.headerName()), c.label);
            // The label is left of its field and on the same line.
            QVERIFY2(label.right() < field.left(), qPrintable(c.name));
            QVERIFY2(c.multiLine || (label.center().y() >= field.top() && label.center().y() <= field.bottom() + 1),
                     qPrintable(c.name));
        }
        // First column 组别, 姓名, 性别 ... top to bottom; 昵称, 生日 ... to their right; 更新日期 below all.
        auto at = [&](const char *c) { return dw.objectRect(QString::fromLatin1(c)); };
        QVERIFY(at("zuhao0").top() < at("xingm0").top());
        QVERIFY(at("xingm0").top() < at("xingb0").top());
        QVERIFY(at("xingb0").top() < at("shouji").top());
        QVERIFY(at("beizhu").top() < at("jwjl00").top());
        QVERIFY(at("nich00").left() > at("xingm0").right());
        QVERIFY(at("shengr").left() > at("xingm0").right());
        QVERIFY(at("nich00").top() < at("shengr").top());
        QVERIFY(at("youb00").top() < at("yuanji").top());
        QVERIFY(at("gxrq00").top() > at("jwjl00").bottom());
        QVERIFY(page.editor<QComboBox>("zuhao0"));
        QVERIFY(page.editor<QPlainTextEdit>("jwjl00"));
        // Empty card: nothing to edit.
        QVERIFY(!dw.fieldEditor(QStringLiteral("xingm0"))->isEnabled());
    }

    void editorsRefuseWhatDoesNotFit()
    {
        fake::Platform platform;
        AppFolder folder;
        Page page(QStringLiteral("dw_telper"));
        QVERIFY(page.show());
        DataView &dw = *page.dw;
        QCOMPARE(dw.insertRow(0), 1L);
        QVERIFY(dw.fieldEditor(QStringLiteral("xingm0"))->isEnabled());

        page.type(page.editor<QLineEdit>("shouji"), QStringLiteral("138a0b0０0013800138"));
        QCOMPARE(page.editor<QLineEdit>("shouji")->text(), QStringLiteral("13800001380"));
        page.type(page.editor<QLineEdit>("youb00"), QStringLiteral("10x00001"));
        QCOMPARE(page.editor<QLineEdit>("youb00")->text(), QStringLiteral("100000"));
        page.type(page.editor<QLineEdit>("shengr"), QStringLiteral("1990ab0501"));
        QCOMPARE(page.editor<QLineEdit>("shengr")->displayText(), QStringLiteral("1990-05-01"));
        page.type(page.editor<QLineEdit>("xingm0"), QString(25, QChar(0x5F20)));
        QCOMPARE(page.editor<QLineEdit>("xingm0")->text(), QString(20, QChar(0x5F20)));
        page.type(page.editor<QLineEdit>("qq0000"), QStringLiteral("123456789012345"));
        QCOMPARE(page.editor<QLineEdit>("qq0000")->text().size(), 10);
        QVERIFY(dw.acceptText());
        QCOMPARE(dw.getItemString(1, QStringLiteral("shouji")), QStringLiteral("13800001380"));
        QCOMPARE(dw.getItemString(1, QStringLiteral("shengr")), QStringLiteral("19900501"));
        QCOMPARE(dw.getItemString(1, QStringLiteral("youb00")), QStringLiteral("100000"));

        // The memo takes up to its limit, typed or pasted.
        const Column *memo = dw.definition()->column(QStringLiteral("jwjl00"));
        auto *text = page.editor<QPlainTextEdit>("jwjl00");
        text->setFocus();
        text->insertPlainText(QString(memo->width - 2, QLatin1Char('a')));
        typeInto(text, QStringLiteral("bcdef"));
        QCOMPARE(text->toPlainText().size(), memo->width);
        QVERIFY(text->toPlainText().endsWith(QStringLiteral("abc")));

        // A date that does not exist stays typed and is not written.
        page.type(page.editor<QLineEdit>("shengr"), QStringLiteral("19900231"));
        page.leave();
        QCOMPARE(dw.getItemString(1, QStringLiteral("shengr")), QStringLiteral("19900501"));
        QCOMPARE(page.editor<QLineEdit>("shengr")->displayText(), QStringLiteral("1990-02-31"));
        QVERIFY(!dw.acceptText());
        const DbResult refused = dw.update();
        QVERIFY(!refused);
        QVERIFY2(refused.reason.contains(QStringLiteral("“生日”不是有效的日期")), qPrintable(refused.reason));
        QCOMPARE(page.editor<QLineEdit>("shengr")->displayText(), QStringLiteral("1990-02-31"));
        QVERIFY(platform.boxes->shown.isEmpty());
    }

    void choicesAndDropDownsStoreTheirCodes()
    {
        fake::Platform platform;
        AppFolder folder;
        run(QStringLiteral("INSERT INTO t_telinfo (zuhao0, xingm0, xingb0) VALUES ('1', '张三', '1')"));
        testDb().commit();
        Page page(QStringLiteral("dw_telper"));
        QVERIFY(page.show());
        DataView &dw = *page.dw;
        QCOMPARE(dw.retrieve({QStringLiteral("张三")}), 1L);
        auto *groups = page.editor<QComboBox>("zuhao0");
        QCOMPARE(groups->currentText(), QStringLiteral("家人"));
        QStringList names;
        for (int i = 0; i < groups->count(); ++i)
            names << groups->itemText(i);
        QCOMPARE(names, (QStringList{"家人", "朋友", "同学", "同事", "已删除"}));
        QSignalSpy edits(&dw, &DataView::editChanged);
        groups->setCurrentIndex(1);
        emit groups->activated(1);
        QCOMPARE(dw.getItemString(1, QStringLiteral("zuhao0")), QStringLiteral("2"));

        const QList<QRadioButton *> sexes = dw.fieldEditor(QStringLiteral("xingb0"))->findChildren<QRadioButton *>();
        QCOMPARE(sexes.size(), 2);
        QCOMPARE(sexes.at(0)->text(), QStringLiteral("男"));
        QVERIFY(sexes.at(0)->isChecked());
        QTest::mouseClick(sexes.at(1), Qt::LeftButton);
        QCOMPARE(dw.getItemString(1, QStringLiteral("xingb0")), QStringLiteral("2"));
        QCOMPARE(dw.displayText(QStringLiteral("xingb0")), QStringLiteral("女"));
        QCOMPARE(dw.getItemStatus(1), DataStore::RowStatus::DataModified);

        // A value set by the page shows at once (Add sets the group of a new card).
        dw.reset();
        QCOMPARE(dw.insertRow(0), 1L);
        QVERIFY(groups->currentIndex() < 0);
        dw.setItem(1, QStringLiteral("zuhao0"), QStringLiteral("3"));
        QCOMPARE(groups->currentText(), QStringLiteral("同学"));
        QVERIFY(!sexes.at(0)->isChecked() && !sexes.at(1)->isChecked());
    }

    void oddTextIsStoredAndShownExactly()
    {
        fake::Platform platform;
        AppFolder folder;
        Page page(QStringLiteral("dw_telper"));
        QVERIFY(page.show());
        DataView &dw = *page.dw;
        dw.insertRow(0);
        dw.setItem(1, QStringLiteral("zuhao0"), QStringLiteral("1"));
        const QString name = QStringLiteral("O'Brien \"老王\" 100%");
        const QString remark = QStringLiteral("'); DELETE FROM t_telinfo; -- 😀 _%\\");
        page.type(page.editor<QLineEdit>("xingm0"), name);
        page.type(page.editor<QLineEdit>("beizhu"), remark);
        auto *memo = page.editor<QPlainTextEdit>("jwjl00");
        memo->setFocus();
        typeInto(memo, QStringLiteral("第一行\n第二行 ☃"));
        page.leave();
        QVERIFY(dw.update(true));
        QVERIFY(testDb().commit());

        Page again(QStringLiteral("dw_telper"));
        QCOMPARE(again.dw->retrieve({name}), 1L);
        QCOMPARE(again.editor<QLineEdit>("xingm0")->text(), name);
        QCOMPARE(again.editor<QLineEdit>("beizhu")->text(), remark);
        QCOMPARE(again.editor<QPlainTextEdit>("jwjl00")->toPlainText(), QStringLiteral("第一行\n第二行 ☃"));
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM t_telinfo")).toInt(), 1);
    }

    void aFailedSaveKeepsWhatWasTyped()
    {
        fake::Platform platform;
        AppFolder folder;
        run(QStringLiteral("INSERT INTO t_telinfo (zuhao0, xingm0) VALUES ('1', '张三'), ('1', '李四')"));
        testDb().commit();
        Page page(QStringLiteral("dw_telper"));
        QVERIFY(page.show());
        DataView &dw = *page.dw;
        int handled = 0;
        dw.setErrorHandler([&](const DbResult &, const QString &, long) { ++handled; });
        QCOMPARE(dw.retrieve({QStringLiteral("张三")}), 1L);
        QSignalSpy lost(&dw, &DataView::loseFocus);
        QSignalSpy edits(&dw, &DataView::editChanged);
        page.type(page.editor<QLineEdit>("xingm0"), QStringLiteral("李四"));
        page.type(page.editor<QLineEdit>("email0"), QStringLiteral("li@example.com"));
        QVERIFY(!edits.isEmpty());
        QCOMPARE(edits.last().at(0).toLongLong(), 1L);
        QCOMPARE(edits.last().at(1).toString(), QStringLiteral("email0"));
        QCOMPARE(edits.last().at(2).toString(), QStringLiteral("li@example.com"));
        page.leave();
        QCOMPARE(lost.size(), 1);
        const DbResult refused = dw.update();
        QVERIFY(!refused);
        QCOMPARE(handled, 1);
        QVERIFY(refused.reason.startsWith(QStringLiteral("“姓名”已存在相同的记录。")));
        QVERIFY(platform.boxes->shown.isEmpty());
        QVERIFY(testDb().rollback());
        QCOMPARE(page.editor<QLineEdit>("xingm0")->text(), QStringLiteral("李四"));
        QCOMPARE(page.editor<QLineEdit>("email0")->text(), QStringLiteral("li@example.com"));
        QCOMPARE(dw.getItemStatus(1, QStringLiteral("email0")), DataStore::RowStatus::DataModified);
        QVERIFY(platform.boxes->shown.isEmpty());

        // Corrected, it saves; a field left without a change does not count as one.
        page.type(page.editor<QLineEdit>("xingm0"), QStringLiteral("张三"));
        page.leave();
        QVERIFY(dw.update(true));
        QVERIFY(testDb().commit());
        QCOMPARE(scalar(QStringLiteral("SELECT email0 FROM t_telinfo WHERE xingm0 = '张三'")).toString(), QStringLiteral("li@example.com"));
        page.editor<QLineEdit>("nich00")->setFocus();
        page.leave();
        QCOMPARE(dw.getItemStatus(1), DataStore::RowStatus::NotModified);
    }

    void theAssetFormFollowsTheValueComputedWhileTyping()
    {
        fake::Platform platform;
        AppFolder folder;
        Page page(QStringLiteral("dw_ca_one"));
        QVERIFY(page.show());
        DataView &dw = *page.dw;
        // What the assets page does on an edit of the price: worth = typed price × num.
        QObject::connect(&dw, &DataView::editChanged, &dw, [&dw](long row, const QString &column, const QString &text) {
            if (column == QStringLiteral("buyprice"))
                dw.setItem(row, QStringLiteral("worth"), text.toDouble() * dw.getItemNumber(row, QStringLiteral("num")));
        });
        dw.insertRow(0);
        dw.setItem(1, QStringLiteral("num"), 3);
        auto *num = page.editor<QSpinBox>("num");
        QVERIFY(num);
        QCOMPARE(num->value(), 3);
        QCOMPARE(num->maximum(), 9999);
        page.type(page.editor<QLineEdit>("buyprice"), QStringLiteral("12.5a0"));
        QCOMPARE(page.editor<QLineEdit>("buyprice")->text(), QStringLiteral("12.50"));
        // A sum of money shows its cents.
        QCOMPARE(page.editor<QLineEdit>("worth")->text(), QStringLiteral("37.50"));
        QVERIFY(page.editor<QLineEdit>("id")->isReadOnly());
        page.type(page.editor<QLineEdit>("name"), QStringLiteral("台灯"));
        dw.setItem(1, QStringLiteral("gid"), QStringLiteral("1"));
        QCOMPARE(page.editor<QComboBox>("gid")->currentText(), QStringLiteral("电器"));
        page.leave();
        QVERIFY(dw.update(true));
        QVERIFY(testDb().commit());
        QCOMPARE(scalar(QStringLiteral("SELECT name || '/' || num || '/' || buyprice || '/' || worth FROM ca_info")).toString(),
                 QStringLiteral("台灯/3/12.5/37.5"));
        // The id the database gave shows on the form.
        QCOMPARE(page.editor<QLineEdit>("id")->text(), QStringLiteral("1"));
    }

    // Numbers: the money mask refuses exponent forms in the parser itself (no caller can store them),
    // and a number field without a mask shows every digit it stores, so saving it untouched or
    // saving another field leaves the stored value exactly as it was.
    void numbersAreParsedStrictlyAndShownExactly()
    {
        const Column money = build::number(QStringLiteral("buyprice"), QStringLiteral("购买单价")).mask(QStringLiteral("###,###.00"));
        for (const QString typed : {"1E31", "1e308", "-9e99", "1e2", "0x10", "inf", "1.5e1"}) {
            QVariant v;
            QString why;
            QVERIFY2(!parseEditText(money, typed, &v, &why), qPrintable(typed));
            QVERIFY(why.contains(QStringLiteral("购买单价")));
        }
        QVariant v;
        QVERIFY(parseEditText(money, QStringLiteral("123,456.78"), &v, nullptr));
        QCOMPARE(v.toDouble(), 123456.78);

        fake::Platform platform;
        AppFolder folder;
        const double stored = 1234567890.123456789;
        run(QStringLiteral("INSERT INTO ca_info (gid, name, num, worth) VALUES ('1', '古董', 1, ?)"), {stored});
        run(QStringLiteral("INSERT INTO ca_info (gid, name, num, worth) VALUES ('1', '零头', 1, 0.1 + 0.2)"));
        QVERIFY(testDb().commit());
        Page page(QStringLiteral("dw_ca_one"));
        QVERIFY(page.show());
        DataView &dw = *page.dw;
        QCOMPARE(dw.retrieve({1}), 1L);
        QCOMPARE(page.editor<QLineEdit>("worth")->text(), QStringLiteral("1234567890.1234567"));
        page.type(page.editor<QLineEdit>("name"), QStringLiteral("古董花瓶"));
        page.leave();
        QVERIFY(dw.update(true));
        QVERIFY(testDb().commit());
        QCOMPARE(scalar(QStringLiteral("SELECT worth FROM ca_info WHERE id = 1")).toDouble(), stored);
        QCOMPARE(dw.retrieve({2}), 1L);
        page.type(page.editor<QLineEdit>("brand"), QStringLiteral("某牌"));
        page.leave();
        QVERIFY(dw.update(true));
        QVERIFY(testDb().commit());
        QCOMPARE(scalar(QStringLiteral("SELECT worth = 0.1 + 0.2 FROM ca_info WHERE id = 2")).toInt(), 1);
    }
};

MIVO_TEST_MAIN(tst_card)
#include "tst_card.moc"
