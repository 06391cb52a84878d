#pragma once
// A fresh application folder for one test: a temporary directory holding a new database made from the
// schema, with gs_apppath pointing at it and a connection of its own open on the database. While it
// lives it is the test's folder: testDb() is its connection. Everything is put back afterwards.

#include "app/connection.h"

#include <QString>
#include <QTemporaryDir>

class AppFolder
{
public:
    enum Option { Connect, NoConnect, NoDatabase };
    // `subfolder` (may hold blanks and Chinese) is created inside the temporary directory.
    explicit AppFolder(Option option = Connect, const QString &subfolder = QString());
    ~AppFolder();
    AppFolder(const AppFolder &) = delete;
    AppFolder &operator=(const AppFolder &) = delete;

    // Open on database() unless made with NoConnect or NoDatabase.
    Connection &db() { return m_db; }

    QString path() const { return m_path; }
    QString file(const QString &name) const { return m_path + QLatin1Char('/') + name; }
    QString database() const { return file(QStringLiteral("mivo.mdb")); }
    // A pretend executable in the folder, for start-up that derives the folder from it.
    QString executable() const { return file(QStringLiteral("mivo")); }

    void writeFile(const QString &name, const QByteArray &bytes) const;
    QByteArray readFile(const QString &name) const;

private:
    QTemporaryDir m_dir;
    QString m_path;
    QString m_savedAppPath;
    Connection m_db;
    AppFolder *m_previous = nullptr;
};

// The connection of the folder made last and still alive (the test stops where there is none).
Connection &testDb();

// Runs one statement on the test's database and returns the first column of the first row.
QVariant scalar(const QString &sql, const QVariantList &values = {});
