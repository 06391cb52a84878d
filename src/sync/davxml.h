#pragma once
// The XML of WebDAV and CardDAV: the bodies of the requests a sync sends, and what it reads from a
// multistatus answer. Paths are kept decoded, as a sync compares them; they are encoded again only
// where a request names them.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace contactsync::davxml {

struct Resource
{
    QString path;               // the href's path, decoded
    int status = 0;             // the response's own (a member that sync-collection reports removed: 404)
                                // or, where only properties came, that of the properties found (200)
    QByteArray etag;            // without W/ and quotes
    QByteArray card;            // address-data, UTF-8
    bool collection = false;
    bool addressBook = false;
    bool offersSync = false;    // sync-collection among its supported reports
    QString displayName;
    QString principal;          // current-user-principal, a path
    QString home;               // addressbook-home-set, a path
};

struct Multistatus
{
    bool valid = false;         // a multistatus was read
    QList<Resource> resources;
    QString syncToken;
    bool truncated = false;     // the server sent a part of the changes: ask again from the token
};

Multistatus parse(const QByteArray &xml, const QUrl &base);

// PROPFIND bodies: what discovery asks of any resource, and what a listing of cards asks.
QByteArray discoveryProperties();
QByteArray listingProperties();
QByteArray syncCollection(const QString &token);
QByteArray multiget(const QUrl &base, const QStringList &paths);

QUrl urlOf(const QUrl &base, const QString &path);
QString pathOf(const QUrl &base, const QString &href);
// An ETag as compared: W/ and quotes off; and as If-Match wants it.
QByteArray plainEtag(QByteArray etag);
QByteArray quotedEtag(const QByteArray &plain);

} // namespace contactsync::davxml
