#pragma once
// A print server of the test's own: cupsd on a socket in a temporary folder, with printers added
// through lpadmin. The program reaches it through CUPS_SERVER, which must be set before the first
// question about printers. A server that cannot start fails the test.

#include <QProcess>
#include <QTemporaryDir>

class CupsServer
{
public:
    CupsServer();
    ~CupsServer();
    CupsServer(const CupsServer &) = delete;
    CupsServer &operator=(const CupsServer &) = delete;

    // False (with the tool's words in `error`) when the server would not take it.
    bool addPdfPrinter(const QString &name, bool makeDefault, QString *error);
    bool removePrinter(const QString &name, QString *error);
    QString socket() const { return m_dir.path() + QStringLiteral("/cups.sock"); }

private:
    bool admin(const QStringList &arguments, QString *error);
    QTemporaryDir m_dir;
    QProcess m_cupsd;
};
