// Two machines and a phone keep one address book through a real CardDAV server: whatever each
// changes, in whatever order they sync, both databases and the server end up holding the same
// contacts outside "Z", and nothing typed on either side is lost.

#include "davproxy.h"
#include "fakes.h"
#include "syncworld.h"
#include "testmain.h"

#include "exchange/vcardreader.h"

#include <QSignalSpy>

using Act = std::function<void(SyncWorld &, Machine &a, Machine &b)>;
Q_DECLARE_METATYPE(Act)

namespace {

const QString kHistory = QStringLiteral("2008-01-01 吃饭,聊了工作;\n").repeated(200);

// The contacts both machines start from, with what trips up writers and servers.
void seed(Machine &a)
{
    a.add(QStringLiteral("张三"), QStringLiteral("2"), QStringLiteral("13800000001"));
    a.run(QStringLiteral("UPDATE t_telinfo SET beizhu = ?, jwjl00 = ?, dizhi0 = ? WHERE xingm0 = '张三'"),
          {QStringLiteral("逗号,分号;反斜杠\\ 😀\n第二行"), kHistory, QStringLiteral("北京市\n朝阳区")});
    a.add(QStringLiteral("李四"), QStringLiteral("4"), QStringLiteral("13800000002"));
    a.add(QStringLiteral("John Smith"), QStringLiteral("1"), QString());
}

void set(Machine &m, const QString &name, const QString &column, const QString &value)
{
    m.run(QStringLiteral("UPDATE t_telinfo SET %1 = ? WHERE xingm0 = ?").arg(column), {value, name});
}

// A phone's version of a card: its own layout, a photo and a web page this program has no place for.
QByteArray phoneCard(SyncWorld &w, const QString &name, const QByteArray &mobile)
{
    const QString uid = exchange::VCardReader::read(w.cardOf(name)).contacts.value(0).uid;
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//Phone//EN\r\nUID:" + uid.toUtf8() + "\r\nFN:" + name.toUtf8()
        + "\r\nN:" + name.left(1).toUtf8() + ';' + name.mid(1).toUtf8() + ";;;\r\nTEL;TYPE=CELL:" + mobile
        + "\r\nCATEGORIES:同事\r\nURL:http://example.org/li\r\nPHOTO;ENCODING=b;TYPE=JPEG:" + QByteArray(300, 'A')
        + "\r\nEND:VCARD\r\n";
}

void syncOk(SyncWorld &w, Machine &m)
{
    const contactsync::Outcome o = w.sync(m);
    QVERIFY2(o.ok(), qPrintable(o.message()));
}

void converged(SyncWorld &w, Machine &a, Machine &b)
{
    QCOMPARE(a.contacts(), b.contacts());
    QCOMPARE(w.serverContacts(), a.contacts());
}

} // namespace

class TestSync : public QObject
{
    Q_OBJECT
private slots:
    void bothSidesMeet_data();
    void bothSidesMeet();
    void thousandContacts();

private:
    fake::Platform m_platform;
};

void TestSync::bothSidesMeet_data()
{
    QTest::addColumn<Act>("act");
    QTest::addColumn<QString>("order");
    QTest::addColumn<Act>("check");
    const QString zs = QStringLiteral("张三"), ls = QStringLiteral("李四");

    QTest::newRow("different fields on each side are merged") << Act([=](SyncWorld &, Machine &a, Machine &b) {
        set(a, zs, QStringLiteral("shouji"), QStringLiteral("13900000001"));
        set(b, zs, QStringLiteral("danwei"), QStringLiteral("新公司"));
    }) << "ABA" << Act([=](SyncWorld &, Machine &a, Machine &) {
        QCOMPARE(a.field(zs, QStringLiteral("danwei")), QStringLiteral("新公司"));
        QCOMPARE(a.field(zs, QStringLiteral("jwjl00")), kHistory);
    });
    QTest::newRow("one field on both sides: the server's stays, ours goes to 交往记录") << Act([=](SyncWorld &, Machine &a, Machine &b) {
        set(a, zs, QStringLiteral("shouji"), QStringLiteral("13900000001"));
        set(b, zs, QStringLiteral("shouji"), QStringLiteral("13900000009"));
        set(b, zs, QStringLiteral("jwjl00"), kHistory + QStringLiteral("2009-02-13 又见面"));
    }) << "ABA" << Act([=](SyncWorld &, Machine &a, Machine &b) {
        QCOMPARE(b.field(zs, QStringLiteral("shouji")), QStringLiteral("13900000001"));
        QCOMPARE(a.field(zs, QStringLiteral("jwjl00")), kHistory + QStringLiteral("2009-02-13 又见面\n[2009-02-14] "
            "同步时本机和服务器都改了以下内容,保留了服务器上的;本机原来的是:\n手机: 13900000009"));
        QVERIFY2(b.last.report.join(QLatin1Char('\n')).contains(zs), qPrintable(b.last.report.join(QLatin1Char('\n'))));
    });
    QTest::newRow("a phone's change comes down; its photo stays when ours goes up") << Act([=](SyncWorld &w, Machine &, Machine &) {
        QCOMPARE(w.phonePut(w.fileOf(ls), phoneCard(w, ls, "137 0000 0002")), 201);
    }) << "AB" << Act([=](SyncWorld &w, Machine &a, Machine &b) {
        QCOMPARE(b.field(ls, QStringLiteral("shouji")), QStringLiteral("13700000002"));
        set(a, ls, QStringLiteral("beizhu"), QStringLiteral("新备注"));
        syncOk(w, a);
        syncOk(w, b);
        const QByteArray card = w.cardOf(ls);
        QVERIFY2(card.contains("PHOTO") && card.contains("URL:http://example.org/li") && card.contains("NOTE:新备注"), card.constData());
    });
    QTest::newRow("rename here") << Act([=](SyncWorld &, Machine &a, Machine &) {
        set(a, zs, QStringLiteral("xingm0"), QStringLiteral("张三丰"));
    }) << "AB" << Act([](SyncWorld &, Machine &, Machine &b) {
        QCOMPARE(b.value(QStringLiteral("SELECT count(*) FROM t_telinfo")).toInt(), 3);
    });
    QTest::newRow("group moved here travels as CATEGORIES") << Act([=](SyncWorld &, Machine &a, Machine &) {
        set(a, zs, QStringLiteral("zuhao0"), QStringLiteral("3"));
    }) << "AB" << Act([=](SyncWorld &w, Machine &, Machine &b) {
        QCOMPARE(b.field(zs, QStringLiteral("zuhao0")), QStringLiteral("3"));
        QVERIFY(w.cardOf(zs).contains("CATEGORIES:同学"));
    });
    QTest::newRow("deleted on the server: moved to Z here, unlinked") << Act([=](SyncWorld &w, Machine &, Machine &) {
        QCOMPARE(w.phoneDelete(w.fileOf(ls)), 200);
    }) << "ABA" << Act([=](SyncWorld &w, Machine &a, Machine &b) {
        for (Machine *m : {&a, &b}) {
            QCOMPARE(m->field(ls, QStringLiteral("zuhao0")), QStringLiteral("Z"));
            QCOMPARE(m->value(QStringLiteral("SELECT count(*) FROM t_telsync WHERE telid = (SELECT id FROM t_telinfo WHERE xingm0 = ?)"), {ls}).toInt(), 0);
        }
        QVERIFY(w.fileOf(ls).isEmpty());
    });
    QTest::newRow("moved to Z here: deleted on the server, stays in Z") << Act([=](SyncWorld &, Machine &a, Machine &) {
        set(a, ls, QStringLiteral("zuhao0"), QStringLiteral("Z"));
    }) << "AB" << Act([=](SyncWorld &w, Machine &a, Machine &b) {
        QCOMPARE(a.field(ls, QStringLiteral("zuhao0")), QStringLiteral("Z"));
        QCOMPARE(b.field(ls, QStringLiteral("zuhao0")), QStringLiteral("Z"));
        QCOMPARE(w.serverCards(), 2);
    });
    QTest::newRow("deleted for good here; the phone changed it meanwhile: kept in Z") << Act([=](SyncWorld &w, Machine &a, Machine &) {
        set(a, ls, QStringLiteral("zuhao0"), QStringLiteral("Z"));
        a.run(QStringLiteral("DELETE FROM t_telinfo WHERE xingm0 = ?"), {ls});
        QCOMPARE(w.phonePut(w.fileOf(ls), phoneCard(w, ls, "13700000002")), 201);
    }) << "AB" << Act([=](SyncWorld &w, Machine &a, Machine &b) {
        QCOMPARE(a.field(ls, QStringLiteral("zuhao0")), QStringLiteral("Z"));
        QCOMPARE(a.field(ls, QStringLiteral("shouji")), QStringLiteral("13700000002"));
        QCOMPARE(b.field(ls, QStringLiteral("zuhao0")), QStringLiteral("Z"));
        QCOMPARE(w.serverCards(), 2);
    });
    QTest::newRow("the same name for two people: the newcomer is renamed everywhere") << Act([](SyncWorld &, Machine &a, Machine &b) {
        b.add(QStringLiteral("王五"), QStringLiteral("1"), QStringLiteral("13600000002"));
        a.add(QStringLiteral("王五"), QStringLiteral("1"), QStringLiteral("13600000001"));
    }) << "ABA" << Act([](SyncWorld &, Machine &a, Machine &b) {
        QCOMPARE(a.field(QStringLiteral("王五 (2)"), QStringLiteral("shouji")), QStringLiteral("13600000001"));
        QCOMPARE(a.field(QStringLiteral("王五"), QStringLiteral("shouji")), QStringLiteral("13600000002"));
        QVERIFY(b.last.report.join(QString()).contains(QStringLiteral("王五 (2)")));
    });
    QTest::newRow("a card open for editing is left for the next sync") << Act([=](SyncWorld &w, Machine &a, Machine &b) {
        set(a, zs, QStringLiteral("shouji"), QStringLiteral("13900000001"));
        syncOk(w, a);
        b.busy = QStringList{QStringLiteral("张三")};
        syncOk(w, b);
        QCOMPARE(b.field(zs, QStringLiteral("shouji")), QStringLiteral("13800000001"));
        QCOMPARE(b.last.left, 1);
        b.busy.clear();
    }) << "B" << Act([=](SyncWorld &, Machine &, Machine &b) {
        QCOMPARE(b.field(zs, QStringLiteral("shouji")), QStringLiteral("13900000001"));
    });
}

void TestSync::bothSidesMeet()
{
    QFETCH(Act, act);
    QFETCH(QString, order);
    QFETCH(Act, check);
    SyncWorld w;
    Machine a, b;
    seed(a);
    syncOk(w, a);
    syncOk(w, b);
    converged(w, a, b);
    act(w, a, b);
    if (QTest::currentTestFailed())
        return;
    for (QChar m : order)
        syncOk(w, m == QLatin1Char('A') ? a : b);
    converged(w, a, b);
    check(w, a, b);
}

// One machine talks to the server directly (changes by sync-collection), the other through a
// server that refuses that report (ETags listed): a thousand contacts each way, then a few changes.
void TestSync::thousandContacts()
{
    SyncWorld w;
    DavProxy proxy(w.server.port());
    QUrl listed = w.server.book();
    listed.setPort(proxy.port());
    Machine a, b;
    a.run(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
                         "INSERT INTO t_telinfo (zuhao0, xingm0, shouji, beizhu) SELECT '1', '联系人' || i, 13000000000 + i, '备注 ' || i FROM n"));
    contactsync::Outcome o = w.sync(a);
    QVERIFY2(o.ok(), qPrintable(o.message()));
    QCOMPARE(o.uploaded, 1000);
    o = w.sync(b, listed);
    QVERIFY2(o.ok(), qPrintable(o.message()));
    QCOMPARE(o.downloaded, 1000);
    QVERIFY2(o.requests <= 4, qPrintable(QString::number(o.requests)));   // never a request per card
    converged(w, a, b);

    set(a, QStringLiteral("联系人1"), QStringLiteral("shouji"), QStringLiteral("13999999999"));
    set(b, QStringLiteral("联系人2"), QStringLiteral("zuhao0"), QStringLiteral("Z"));
    for (Machine *m : {&a, &b, &a}) {
        o = w.sync(*m, m == &b ? listed : QUrl());
        QVERIFY2(o.ok() && o.requests <= 3, qPrintable(QString::number(o.requests)));
    }
    converged(w, a, b);
    QCOMPARE(w.serverCards(), 999);
    QCOMPARE(proxy.refused, 1);   // then it lists without asking again
}

MIVO_TEST_MAIN(TestSync)
#include "tst_sync.moc"
