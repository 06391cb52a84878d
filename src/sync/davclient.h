#pragma once
// HTTP for WebDAV and CardDAV, made for a worker thread: each call sends its requests (several at a
// time where given several), waits for every answer and returns them. The user name and password go
// with every request (Basic), so no request is sent twice for a challenge. A cancel flag set from
// another thread aborts what is under way.

#include "sync/outcome.h"

#include <QByteArray>
#include <QList>
#include <QNetworkReply>
#include <QUrl>
#include <atomic>
#include <functional>
#include <memory>

class QNetworkAccessManager;

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
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
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

class DavClient
{
public:
    DavClient(const QString &user, const QString &password, const std::atomic_bool *cancel);
    ~DavClient();

    DavResponse send(const DavRequest &request);
    // All of them, at most `parallel` under way at once; the answers in the requests' order.
    // `done` is told after each answer.
    QList<DavResponse> sendAll(const QList<DavRequest> &requests, int parallel,
                               const std::function<void(int answered)> &done = {});

    int requestCount() const { return m_requests; }
    bool cancelled() const { return m_cancel && m_cancel->load(); }

private:
    QNetworkReply *start(const DavRequest &request);
    static DavResponse finish(QNetworkReply *reply, bool certificateRefused);

    std::unique_ptr<QNetworkAccessManager> m_network;
    QByteArray m_authorization;
    const std::atomic_bool *m_cancel;
    int m_requests = 0;
};

} // namespace contactsync
