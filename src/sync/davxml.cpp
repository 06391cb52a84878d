#include "sync/davxml.h"

#include <QXmlStreamReader>

namespace contactsync::davxml {

namespace {

const QString kDav = QStringLiteral("DAV:");
const QString kCard = QStringLiteral("urn:ietf:params:xml:ns:carddav");

int statusOf(const QString &line)
{
    // "HTTP/1.1 404 Not Found"
    const QStringList parts = line.simplified().split(QLatin1Char(' '));
    return parts.size() >= 2 ? parts.at(1).toInt() : 0;
}

QByteArray xmlText(const QString &text)
{
    return text.toHtmlEscaped().toUtf8();
}

} // namespace

QUrl urlOf(const QUrl &base, const QString &path)
{
    QUrl url = base;
    url.setPath(path, QUrl::DecodedMode);
    url.setQuery(QString());
    url.setFragment(QString());
    return url;
}

QString pathOf(const QUrl &base, const QString &href)
{
    return base.resolved(QUrl(href.trimmed(), QUrl::TolerantMode)).path(QUrl::FullyDecoded);
}

QByteArray plainEtag(QByteArray etag)
{
    etag = etag.trimmed();
    if (etag.startsWith("W/"))
        etag = etag.mid(2);
    if (etag.size() >= 2 && etag.startsWith('"') && etag.endsWith('"'))
        etag = etag.mid(1, etag.size() - 2);
    return etag;
}

QByteArray quotedEtag(const QByteArray &plain)
{
    return '"' + plain + '"';
}

Multistatus parse(const QByteArray &xml, const QUrl &base)
{
    Multistatus out;
    QXmlStreamReader r(xml);
    QStringList stack;      // "ns|name" of the open elements
    Resource response, found;
    int propstatStatus = 0;
    auto key = [](const QString &ns, QStringView name) { return ns + QLatin1Char('|') + name.toString(); };
    const QString kResponse = key(kDav, u"response"), kPropstat = key(kDav, u"propstat"),
                  kHref = key(kDav, u"href"), kStatus = key(kDav, u"status");
    auto parentIs = [&](const QString &ns, QStringView name) {
        return stack.size() >= 2 && stack.at(stack.size() - 2) == key(ns, name);
    };

    while (!r.atEnd()) {
        const QXmlStreamReader::TokenType token = r.readNext();
        if (token == QXmlStreamReader::EndElement) {
            const QString closing = stack.isEmpty() ? QString() : stack.takeLast();
            if (closing == kPropstat && propstatStatus >= 200 && propstatStatus < 300) {
                response.etag = found.etag.isEmpty() ? response.etag : found.etag;
                response.card = found.card.isEmpty() ? response.card : found.card;
                response.collection |= found.collection;
                response.addressBook |= found.addressBook;
                response.offersSync |= found.offersSync;
                for (auto member : {&Resource::displayName, &Resource::principal, &Resource::home})
                    if (!(found.*member).isEmpty())
                        response.*member = found.*member;
                if (response.status == 0)
                    response.status = propstatStatus;
            } else if (closing == kResponse) {
                if (response.status == 507)
                    out.truncated = true;
                else if (!response.path.isEmpty())
                    out.resources.append(response);
            }
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QString ns = r.namespaceUri().toString();
        const QString here = key(ns, r.name());
        stack.append(here);
        if (stack.size() == 1) {
            out.valid = here == key(kDav, u"multistatus");
            if (!out.valid)
                break;
        } else if (here == kResponse) {
            response = Resource();
        } else if (here == kPropstat) {
            found = Resource();
            propstatStatus = 0;
        } else if (here == kHref || here == kStatus || here == key(kDav, u"getetag") || here == key(kCard, u"address-data")
                   || here == key(kDav, u"displayname") || here == key(kDav, u"sync-token")) {
            const bool inResponse = parentIs(kDav, u"response");
            const bool inMultistatus = parentIs(kDav, u"multistatus");
            const bool inPrincipal = parentIs(kDav, u"current-user-principal");
            const bool inHome = parentIs(kCard, u"addressbook-home-set");
            const bool inPropstat = parentIs(kDav, u"propstat");
            const QString text = r.readElementText(QXmlStreamReader::IncludeChildElements);
            stack.removeLast();   // read to its end
            if (here == kHref && inResponse)
                response.path = pathOf(base, text);
            else if (here == kHref && inPrincipal)
                found.principal = pathOf(base, text);
            else if (here == kHref && inHome && found.home.isEmpty())
                found.home = pathOf(base, text);
            else if (here == kStatus && inResponse)
                response.status = statusOf(text);
            else if (here == kStatus && inPropstat)
                propstatStatus = statusOf(text);
            else if (here == key(kDav, u"getetag"))
                found.etag = plainEtag(text.toUtf8());
            else if (here == key(kCard, u"address-data"))
                found.card = text.toUtf8();
            else if (here == key(kDav, u"displayname"))
                found.displayName = text.trimmed();
            else if (here == key(kDav, u"sync-token") && inMultistatus)
                out.syncToken = text.trimmed();
        } else if (here == key(kDav, u"collection") && parentIs(kDav, u"resourcetype")) {
            found.collection = true;
        } else if (here == key(kCard, u"addressbook") && parentIs(kDav, u"resourcetype")) {
            found.addressBook = true;
        } else if (here == key(kDav, u"sync-collection") && parentIs(kDav, u"report")) {
            found.offersSync = true;
        }
    }
    if (r.hasError())
        out.valid = false;
    return out;
}

QByteArray discoveryProperties()
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
           "<d:propfind xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:carddav\"><d:prop>"
           "<d:current-user-principal/><c:addressbook-home-set/><d:resourcetype/><d:displayname/>"
           "<d:supported-report-set/></d:prop></d:propfind>";
}

QByteArray listingProperties()
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
           "<d:propfind xmlns:d=\"DAV:\"><d:prop><d:resourcetype/><d:getetag/></d:prop></d:propfind>";
}

QByteArray syncCollection(const QString &token)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
           "<d:sync-collection xmlns:d=\"DAV:\"><d:sync-token>" + xmlText(token) + "</d:sync-token>"
           "<d:sync-level>1</d:sync-level><d:prop><d:getetag/></d:prop></d:sync-collection>";
}

QByteArray multiget(const QUrl &base, const QStringList &paths)
{
    QByteArray out = "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                     "<c:addressbook-multiget xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:carddav\">"
                     "<d:prop><d:getetag/><c:address-data/></d:prop>";
    out.reserve(out.size() + paths.size() * 80);
    for (const QString &path : paths)
        out += "<d:href>" + xmlText(urlOf(base, path).path(QUrl::FullyEncoded)) + "</d:href>";
    out += "</c:addressbook-multiget>";
    return out;
}

} // namespace contactsync::davxml
