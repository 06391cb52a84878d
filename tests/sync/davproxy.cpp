#include "davproxy.h"

#include <QTcpSocket>

DavProxy::DavProxy(int target)
    : m_target(target)
{
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *client = m_server.nextPendingConnection())
            serve(client);
    });
}

void DavProxy::serve(QTcpSocket *client)
{
    connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
    // One request a connection: its head, then as many bytes as it says.
    auto *buffer = new QByteArray;
    connect(client, &QObject::destroyed, [buffer] { delete buffer; });
    connect(client, &QTcpSocket::readyRead, this, [this, client, buffer] {
        *buffer += client->readAll();
        const qsizetype headEnd = buffer->indexOf("\r\n\r\n");
        if (headEnd < 0)
            return;
        const QByteArray head = buffer->left(headEnd);
        qsizetype length = 0;
        for (const QByteArray &line : head.split('\n'))
            if (line.toLower().startsWith("content-length:"))
                length = line.mid(15).trimmed().toLongLong();
        if (buffer->size() < headEnd + 4 + length)
            return;
        const QByteArray method = head.left(head.indexOf(' '));
        const QByteArray body = buffer->mid(headEnd + 4, length);
        ++methods[method];
        auto answer = [client](const QByteArray &response) {
            client->write(response);
            client->disconnectFromHost();
        };
        if (m_target == 0) {
            const QByteArray page = "<html><body>Welcome</body></html>";
            answer("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: "
                   + QByteArray::number(page.size()) + "\r\n\r\n" + page);
            return;
        }
        if (method == "REPORT" && body.contains("sync-collection")) {
            ++refused;
            answer("HTTP/1.1 501 Not Implemented\r\nConnection: close\r\nContent-Length: 0\r\n\r\n");
            return;
        }
        // On to the server, told to close after its answer, which then comes back whole.
        QByteArray forwarded = *buffer;
        forwarded.replace("Connection: Keep-Alive", "Connection: close");
        buffer->clear();
        auto *upstream = new QTcpSocket(client);
        connect(upstream, &QTcpSocket::connected, upstream, [upstream, forwarded] { upstream->write(forwarded); });
        connect(upstream, &QTcpSocket::readyRead, client, [client, upstream] { client->write(upstream->readAll()); });
        connect(upstream, &QTcpSocket::disconnected, client, [client, upstream] {
            client->write(upstream->readAll());
            client->disconnectFromHost();
        });
        upstream->connectToHost(QHostAddress::LocalHost, quint16(m_target));
    });
}
