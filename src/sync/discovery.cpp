#include "sync/discovery.h"

#include "sync/davclient.h"
#include "sync/davxml.h"

namespace contactsync {

namespace {

constexpr int kRedirections = 5;

struct Answer
{
    DavResponse response;
    QUrl url;                   // where it came from, after redirections
    davxml::Multistatus status;
};

Answer ask(DavClient &client, QUrl url, const QByteArray &depth)
{
    for (int i = 0;; ++i) {
        const DavResponse r = client.send(DavRequest::xml("PROPFIND", url, depth, davxml::discoveryProperties()));
        const bool redirected = r.status == 301 || r.status == 302 || r.status == 303 || r.status == 307 || r.status == 308;
        if (redirected && r.location.isValid() && i < kRedirections) {
            url = r.location;
            continue;
        }
        return {r, url, r.status == 207 ? davxml::parse(r.body, url) : davxml::Multistatus()};
    }
}

// A failure that says more than "this is not an address book": no answer, a refused login or certificate.
Problem hard(const DavResponse &r)
{
    const Problem p = r.problem();
    return p.failure == Failure::ServerRefused ? Problem() : p;
}

QString lastPart(const QString &path)
{
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return parts.isEmpty() ? path : parts.constLast();
}

} // namespace

Discovery discoverAddressBooks(const QUrl &server, const QString &user, const QString &password,
                               const std::atomic_bool &cancel)
{
    DavClient client(user, password, &cancel);
    Discovery out;
    auto finish = [&](Problem p) {
        out.problem = cancel.load() ? Problem{Failure::Cancelled, {}} : p;
        return out;
    };

    QUrl context = server;
    if (context.path().isEmpty() || context.path() == QLatin1String("/")) {
        QUrl known = server;
        known.setPath(QStringLiteral("/.well-known/carddav"));
        const Answer a = ask(client, known, "0");
        if (const Problem p = hard(a.response))
            return finish(p);
        if (a.status.valid)
            context = a.url;
    }
    const Answer here = ask(client, context, "0");
    if (const Problem p = hard(here.response))
        return finish(p);
    if (!here.status.valid || here.status.resources.isEmpty())
        return finish({Failure::NotAddressBook, here.response.status ? QStringLiteral("HTTP %1").arg(here.response.status) : QString()});

    auto add = [&](const davxml::Resource &r, const QUrl &base) {
        const AddressBook book{davxml::urlOf(base, r.path), r.displayName.isEmpty() ? lastPart(r.path) : r.displayName};
        if (std::none_of(out.books.cbegin(), out.books.cend(), [&](const AddressBook &b) { return b.url == book.url; }))
            out.books.append(book);
    };
    const davxml::Resource &first = here.status.resources.constFirst();
    if (first.addressBook)
        add(first, here.url);
    QString home = first.home;
    if (home.isEmpty() && !first.principal.isEmpty()) {
        const Answer principal = ask(client, davxml::urlOf(here.url, first.principal), "0");
        if (const Problem p = hard(principal.response))
            return finish(p);
        for (const davxml::Resource &r : principal.status.resources)
            if (!r.home.isEmpty())
                home = r.home;
    }
    if (!home.isEmpty()) {
        const Answer books = ask(client, davxml::urlOf(here.url, home), "1");
        if (const Problem p = hard(books.response))
            return finish(p);
        for (const davxml::Resource &r : books.status.resources)
            if (r.addressBook)
                add(r, books.url);
    }
    if (out.books.isEmpty())
        return finish({Failure::NotAddressBook, {}});
    return finish({});
}

} // namespace contactsync
