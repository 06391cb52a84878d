#pragma once
// A small HTTP server of the test's own on 127.0.0.1: it passes requests on to a real server,
// except the sync-collection REPORT, which it refuses as a server without it does (so that the
// sync lists ETags instead); or, with no server behind it, it answers everything with a web page,
// as an address that is not CardDAV does. It counts what it was asked.

#include <QHash>
#include <QObject>
#include <QTcpServer>

class DavProxy : public QObject
{
    Q_OBJECT
public:
    // `target` 0: a plain web server.
    explicit DavProxy(int target);
    int port() const { return int(m_server.serverPort()); }
    QHash<QByteArray, int> methods;   // requests seen, by method
    int refused = 0;                  // sync-collection REPORTs refused

private:
    void serve(class QTcpSocket *client);
    QTcpServer m_server;
    int m_target;
};
