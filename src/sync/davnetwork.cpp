// The module "network": a sync's HTTP through the toolkit's network library, which only this module
// links.

#include "sync/davclient.h"

#include <QEventLoop>
#include <QHash>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSet>
#include <QTimer>
#include <QtPlugin>

namespace contactsync {

namespace {

// A server may think for long before its first byte (a multiget of thousands of cards); a
// connection silent for longer than this is given up.
constexpr int kSilenceMs = 180 * 1000;

class NetworkSession : public DavSession
{
public:
    NetworkSession(const QByteArray &authorization, const std::atomic_bool *cancel);
    QList<DavResponse> sendAll(const QList<DavRequest> &requests, int parallel, const DavProgress &done) override;
    int requestCount() const override { return m_requests; }

private:
    bool cancelled() const { return m_cancel && m_cancel->load(); }
    QNetworkReply *start(const DavRequest &request);
    static DavResponse finish(QNetworkReply *reply, bool certificateRefused);

    std::unique_ptr<QNetworkAccessManager> m_network;
    QByteArray m_authorization;
    const std::atomic_bool *m_cancel;
    int m_requests = 0;
};

NetworkSession::NetworkSession(const QByteArray &authorization, const std::atomic_bool *cancel)
    : m_network(std::make_unique<QNetworkAccessManager>())
    , m_authorization(authorization)
    , m_cancel(cancel)
{
    m_network->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

QNetworkReply *NetworkSession::start(const DavRequest &r)
{
    QNetworkRequest request(r.url);
    request.setRawHeader("Authorization", m_authorization);
    request.setRawHeader("User-Agent", "Mivo");
    for (const auto &[name, value] : r.headers)
        request.setRawHeader(name, value);
    request.setTransferTimeout(kSilenceMs);
    ++m_requests;
    return m_network->sendCustomRequest(request, r.verb, r.body);
}

DavResponse NetworkSession::finish(QNetworkReply *reply, bool certificateRefused)
{
    DavResponse r;
    r.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    switch (reply->error()) {
    case QNetworkReply::NoError:
        r.error = DavResponse::Error::None;
        break;
    case QNetworkReply::OperationCanceledError:
        r.error = DavResponse::Error::Cancelled;
        break;
    case QNetworkReply::TimeoutError:
        r.error = DavResponse::Error::TimedOut;
        break;
    default:
        r.error = DavResponse::Error::Other;
        break;
    }
    r.errorText = reply->errorString();
    r.certificateRefused = certificateRefused;
    r.body = reply->readAll();
    r.etag = reply->rawHeader("ETag");
    const QByteArray location = reply->rawHeader("Location");
    if (!location.isEmpty())
        r.location = reply->url().resolved(QUrl::fromEncoded(location));
    return r;
}

QList<DavResponse> NetworkSession::sendAll(const QList<DavRequest> &requests, int parallel, const DavProgress &done)
{
    QList<DavResponse> out(requests.size());
    for (DavResponse &r : out) {
        r.error = DavResponse::Error::Cancelled;
        r.errorText = QStringLiteral("cancelled");
    }
    QHash<QNetworkReply *, qsizetype> running;
    QSet<QNetworkReply *> refused;
    qsizetype next = 0;
    int answered = 0;
    QEventLoop loop;

    std::function<void()> launch = [&] {
        while (running.size() < parallel && next < requests.size() && !cancelled()) {
            QNetworkReply *reply = start(requests.at(next));
            running.insert(reply, next++);
            QObject::connect(reply, &QNetworkReply::sslErrors, &loop, [&refused, reply] { refused.insert(reply); });
            QObject::connect(reply, &QNetworkReply::finished, &loop, [&, reply] {
                DavResponse &r = out[running.take(reply)];
                r = finish(reply, refused.contains(reply));
                // Aborted without a cancel: the connection fell silent for too long.
                if (r.error == DavResponse::Error::Cancelled && !cancelled())
                    r.error = DavResponse::Error::TimedOut;
                reply->deleteLater();
                ++answered;
                if (done)
                    done(answered);
                launch();
                if (running.isEmpty())
                    loop.quit();
            });
        }
    };
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
        if (cancelled())
            for (QNetworkReply *reply : running.keys())
                reply->abort();
    });
    watch.start(50);
    launch();
    if (!running.isEmpty())
        loop.exec();
    return out;
}

} // namespace

class NetworkModule : public QObject, public DavNetwork
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.mivo.DavNetwork/1")
    Q_INTERFACES(contactsync::DavNetwork)

public:
    std::unique_ptr<DavSession> session(const QByteArray &authorization, const std::atomic_bool *cancel) override
    {
        return std::make_unique<NetworkSession>(authorization, cancel);
    }
};

} // namespace contactsync

#include "davnetwork.moc"
