#pragma once
// HTTP for WebDAV and CardDAV, made for a worker thread: each call sends its requests (several at a
// time where given several), waits for every answer and returns them. The user name and password go
// with every request (Basic), so no request is sent twice for a challenge. A cancel flag set from
// another thread aborts what is under way. The sending is the module "network" (davnetwork.cpp),
// loaded by the first sync, so the toolkit's network library is not mapped before.

#include "sync/outcome.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QUrl>
#include <atomic>
#include <functional>
#include <memory>

namespace contactsync {

struct DavRequest
{
    QByteArray verb;                          // PROPFIND, REPORT, GET, PUT, DELETE
    QUrl url;
    QByteArray body;
    QList<std::pair<QByteArray, QByteArray>> headers;

    static DavRequest xml(const QByteArray &verb, const QUrl &url, const QByteArray &depth, const QByteArray &body);
};

struct DavResponse
{
    int status = 0;                           // the HTTP status; 0 when no answer came
    enum class Error { None, Cancelled, TimedOut, Other };
    Error error = Error::None;
    bool certificateRefused = false;
    QString errorText;
    QByteArray body;
    QByteArray etag;                          // as the server wrote it, quotes and all
    QUrl location;                            // of a redirection, resolved

    bool answered() const { return status > 0; }
    bool success() const { return status >= 200 && status < 300; }
    // What the request's failure means for the user: no answer, a refused login, a refused
    // certificate; any other status is ServerRefused with the status line.
    Problem problem() const;
};

using DavProgress = std::function<void(int answered)>;

// One client's connection, as the module makes it on the calling thread.
class DavSession
{
public:
    virtual ~DavSession() = default;
    virtual QList<DavResponse> sendAll(const QList<DavRequest> &requests, int parallel, const DavProgress &done) = 0;
    virtual int requestCount() const = 0;   // the requests started so far
};

// The module's offer: a session sending `authorization` with every request, aborted by `cancel`.
class DavNetwork
{
public:
    virtual ~DavNetwork() = default;
    virtual std::unique_ptr<DavSession> session(const QByteArray &authorization, const std::atomic_bool *cancel) = 0;
};

class DavClient
{
public:
    DavClient(const QString &user, const QString &password, const std::atomic_bool *cancel);
    ~DavClient();

    DavResponse send(const DavRequest &request);
    // All of them, at most `parallel` under way at once; the answers in the requests' order.
    // `done` is told after each answer. Without the network module every one is unanswered, with the
    // reason as its error text.
    QList<DavResponse> sendAll(const QList<DavRequest> &requests, int parallel, const DavProgress &done = {});

    int requestCount() const { return m_session ? m_session->requestCount() : 0; }

private:
    std::unique_ptr<DavSession> m_session;
    QString m_missing;   // why there is no session
};

} // namespace contactsync

Q_DECLARE_INTERFACE(contactsync::DavNetwork, "org.mivo.DavNetwork/1")
