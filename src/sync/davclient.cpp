#include "sync/davclient.h"

#include <QEventLoop>
#include <QHash>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QSet>
#include <QTimer>

namespace contactsync {

namespace {

// A server may think for long before its first byte (a multiget of thousands of cards); a
// connection silent for longer than this is given up.
constexpr int kSilenceMs = 180 * 1000;

} // namespace

DavRequest DavRequest::xml(const QByteArray &verb, const QUrl &url, const QByteArray &depth, const QByteArray &body)
{
    DavRequest r{verb, url, body, {{"Content-Type", "application/xml; charset=utf-8"}}};
    if (!depth.isEmpty())
        r.headers.append({"Depth", depth});
    return r;
}

Problem DavResponse::problem() const
{
    if (status == 401)
        return {Failure::WrongPassword, {}};
    if (status == 0) {
        if (certificateRefused)
            return {Failure::CertificateRefused, errorText};
        if (error == QNetworkReply::OperationCanceledError)
            return {Failure::Cancelled, {}};
        return {Failure::Unreachable, errorText};
    }
    if (success())
        return {};
    return {Failure::ServerRefused, QStringLiteral("HTTP %1").arg(status)};
}

DavClient::DavClient(const QString &user, const QString &password, const std::atomic_bool *cancel)
    : m_network(std::make_unique<QNetworkAccessManager>())
    , m_authorization("Basic " + (user + QLatin1Char(':') + password).toUtf8().toBase64())
    , m_cancel(cancel)
{
    m_network->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

DavClient::~DavClient() = default;

QNetworkReply *DavClient::start(const DavRequest &r)
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

DavResponse DavClient::finish(QNetworkReply *reply, bool certificateRefused)
{
    DavResponse r;
    r.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    r.error = reply->error();
    r.errorText = reply->errorString();
    r.certificateRefused = certificateRefused;
    r.body = reply->readAll();
    r.etag = reply->rawHeader("ETag");
    const QByteArray location = reply->rawHeader("Location");
    if (!location.isEmpty())
        r.location = reply->url().resolved(QUrl::fromEncoded(location));
    return r;
}

DavResponse DavClient::send(const DavRequest &request)
{
    return sendAll({request}, 1).constFirst();
}

QList<DavResponse> DavClient::sendAll(const QList<DavRequest> &requests, int parallel,
                                      const std::function<void(int answered)> &done)
{
    QList<DavResponse> out(requests.size());
    for (DavResponse &r : out) {
        r.error = QNetworkReply::OperationCanceledError;
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
                if (r.error == QNetworkReply::OperationCanceledError && !cancelled())
                    r.error = QNetworkReply::TimeoutError;
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

} // namespace contactsync
