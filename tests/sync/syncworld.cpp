#include "syncworld.h"

#include "exchange/vcardreader.h"

#include <QDir>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

namespace {

const QStringList kGroups = {QStringLiteral("1家人"), QStringLiteral("2朋友"), QStringLiteral("3同学"), QStringLiteral("4同事")};

QString groupName(const QString &categoryOrCode)
{
    for (const QString &g : kGroups)
        if (g.mid(1) == categoryOrCode || g.left(1) == categoryOrCode)
            return g.mid(1);
    return categoryOrCode;
}

QString line(const exchange::Contact &c, const QString &group)
{
    QStringList out{c.name, groupName(group)};
    for (const exchange::ContactField &f : exchange::contactFields())
        if (f.member != &exchange::Contact::groupCode && f.member != &exchange::Contact::name && !(c.*f.member).isEmpty())
            out << f.column + QLatin1Char('=') + c.*f.member;
    return out.join(QLatin1Char('|'));
}

} // namespace

Connection &Machine::db()
{
    if (!folder.db().isOpen())
        folder.db().open(folder.database());
    return folder.db();
}

void Machine::run(const QString &sql, const QVariantList &values)
{
    DbResult done = db().execute(sql, values);
    if (done)
        done = db().commit();
    QVERIFY2(done, qPrintable(done.reason));
}

QVariant Machine::value(const QString &sql, const QVariantList &values)
{
    QSqlQuery q(db().sqlDatabase());
    q.prepare(sql);
    for (const QVariant &v : values)
        q.addBindValue(v);
    q.exec();
    return q.next() ? q.value(0) : QVariant();
}

void Machine::add(const QString &name, const QString &group, const QString &mobile)
{
    run(QStringLiteral("INSERT INTO t_telinfo (zuhao0, xingm0, shouji) VALUES (?, ?, ?)"), {group, name, mobile});
}

QString Machine::field(const QString &name, const QString &column)
{
    return value(QStringLiteral("SELECT %1 FROM t_telinfo WHERE xingm0 = ?").arg(column), {name}).toString();
}

QStringList Machine::contacts()
{
    QSqlQuery q(db().sqlDatabase());
    QStringList columns;
    for (const exchange::ContactField &f : exchange::contactFields())
        columns << f.column;
    q.exec(QStringLiteral("SELECT %1 FROM t_telinfo WHERE lower(zuhao0) <> 'z'").arg(columns.join(QLatin1Char(','))));
    QStringList out;
    while (q.next()) {
        exchange::Contact c;
        for (int i = 0; i < columns.size(); ++i)
            c.*exchange::contactFields().at(i).member = q.value(i).toString();
        out << line(c, c.groupCode);
    }
    out.sort();
    return out;
}

SyncWorld::SyncWorld(bool tls)
    : server(tls)
{
    QString error;
    if (!server.start(&error))
        qFatal("%s", qPrintable(error));
}

contactsync::Outcome SyncWorld::sync(Machine &m, const QUrl &book)
{
    contactsync::SyncController controller(m.db());
    controller.setBusyNames([&m] { return m.busy; });
    QSignalSpy done(&controller, &contactsync::SyncController::finished);
    controller.start({server.root(), book.isEmpty() ? server.book() : book, server.user(), server.password()});
    if (!done.wait(240000))
        qFatal("the sync did not end");
    m.last = done.at(0).at(0).value<contactsync::Outcome>();
    return m.last;
}

QStringList SyncWorld::serverContacts() const
{
    QStringList out;
    const QDir dir(server.bookFolder());
    for (const QString &file : dir.entryList({QStringLiteral("*.vcf")}, QDir::Files)) {
        const exchange::ContactImport read = exchange::VCardReader::readFile(dir.filePath(file));
        for (const exchange::Contact &c : read.contacts)
            out << line(c, c.categories.value(0));
    }
    out.sort();
    return out;
}

int SyncWorld::serverCards() const
{
    return int(QDir(server.bookFolder()).entryList({QStringLiteral("*.vcf")}, QDir::Files).size());
}

QString SyncWorld::fileOf(const QString &name) const
{
    const QDir dir(server.bookFolder());
    for (const QString &file : dir.entryList({QStringLiteral("*.vcf")}, QDir::Files)) {
        const exchange::ContactImport read = exchange::VCardReader::readFile(dir.filePath(file));
        if (!read.contacts.isEmpty() && read.contacts.first().name == name)
            return file;
    }
    return QString();
}

QByteArray SyncWorld::cardOf(const QString &name) const
{
    QFile f(QDir(server.bookFolder()).filePath(fileOf(name)));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

namespace {

int request(const QUrl &url, const QByteArray &verb, const QByteArray &body, const QString &user, const QString &password)
{
    QNetworkAccessManager network;
    QNetworkRequest r(url);
    r.setRawHeader("Authorization", "Basic " + (user + QLatin1Char(':') + password).toUtf8().toBase64());
    r.setRawHeader("Content-Type", "text/vcard; charset=utf-8");
    QNetworkReply *reply = network.sendCustomRequest(r, verb, body);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    reply->deleteLater();
    return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

} // namespace

int SyncWorld::phonePut(const QString &file, const QByteArray &card)
{
    return request(server.book().resolved(QUrl(file)), "PUT", card, server.user(), server.password());
}

int SyncWorld::phoneDelete(const QString &file)
{
    return request(server.book().resolved(QUrl(file)), "DELETE", {}, server.user(), server.password());
}
