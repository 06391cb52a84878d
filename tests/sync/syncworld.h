#pragma once
// The world a sync test sets up: a CardDAV server of its own, machines (each a database of its
// own, synced in turn through the program's one connection), and a phone that changes cards on
// the server directly with plain HTTP requests.

#include "fixture.h"
#include "radicaleserver.h"

#include "sync/controller.h"

#include <QMap>
#include <memory>

struct Machine
{
    AppFolder folder;
    QStringList busy;            // names a sync must leave alone (cards open for editing)
    contactsync::Outcome last;

    Connection &db();            // this machine's connection, opened again where a test closed it
    void run(const QString &sql, const QVariantList &values = {});
    QVariant value(const QString &sql, const QVariantList &values = {});
    void add(const QString &name, const QString &group, const QString &mobile);
    QString field(const QString &name, const QString &column);
    // Every contact outside "Z", as "name|group name|field=value|…", sorted.
    QStringList contacts();
};

class SyncWorld
{
public:
    explicit SyncWorld(bool tls = false);
    RadicaleServer server;
    // Syncs `m` with the server's address book, or `book` where given.
    contactsync::Outcome sync(Machine &m, const QUrl &book = QUrl());
    // The cards on the server as contacts outside "Z" (see Machine::contacts), read from its files.
    QStringList serverContacts() const;
    int serverCards() const;
    // A phone's changes: a card written or deleted with plain HTTP; returns the status.
    int phonePut(const QString &file, const QByteArray &card);
    int phoneDelete(const QString &file);
    // The card's file on the server that holds `name`, and its text.
    QString fileOf(const QString &name) const;
    QByteArray cardOf(const QString &name) const;
};
