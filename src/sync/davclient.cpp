#include "sync/davclient.h"

#include "platform/modules.h"

namespace contactsync {

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
        if (error == DavResponse::Error::Cancelled)
            return {Failure::Cancelled, {}};
        return {Failure::Unreachable, errorText};
    }
    if (success())
        return {};
    return {Failure::ServerRefused, QStringLiteral("HTTP %1").arg(status)};
}

DavClient::DavClient(const QString &user, const QString &password, const std::atomic_bool *cancel)
{
    if (auto *network = platform::module<DavNetwork>(QStringLiteral("network"), &m_missing))
        m_session = network->session("Basic " + (user + QLatin1Char(':') + password).toUtf8().toBase64(), cancel);
}

DavClient::~DavClient() = default;

DavResponse DavClient::send(const DavRequest &request)
{
    return sendAll({request}, 1).constFirst();
}

QList<DavResponse> DavClient::sendAll(const QList<DavRequest> &requests, int parallel, const DavProgress &done)
{
    if (!m_session) {
        QList<DavResponse> out(requests.size());
        for (DavResponse &r : out) {
            r.error = DavResponse::Error::Other;
            r.errorText = m_missing;
        }
        return out;
    }
    return m_session->sendAll(requests, parallel, done);
}

} // namespace contactsync
