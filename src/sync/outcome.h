#pragma once
// What a sync or a search for address books came to: a failure said in words, and for a sync what
// it changed on each side and what the user should know about single contacts.

#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QStringList>

namespace contactsync {

enum class Failure {
    None,
    WrongPassword,       // the server refused the user name or the password
    Unreachable,         // no answer: wrong address, no network, the server is down
    CertificateRefused,  // the server's certificate is not trusted
    NotAddressBook,      // the address answers, but is not a CardDAV address book
    ServerRefused,       // the server refused a request for another reason
    Database,            // this program's database refused a write
    PasswordMissing,     // no password given and none kept in the keyring
    Cancelled,
};

// The failure in a Chinese sentence; `detail` (the server's or the database's words) on a second line.
QString failureText(Failure failure, const QString &detail = QString());

struct Outcome
{
    Failure failure = Failure::None;
    QString detail;
    QDateTime finishedAt;

    int downloaded = 0;      // contacts added or changed here from the server
    int uploaded = 0;        // cards added or changed on the server
    int movedToDeleted = 0;  // contacts moved to group "Z" because the server deleted their cards
    int deletedOnServer = 0;
    int left = 0;            // contacts left for the next sync: open for editing, or changed meanwhile
    QStringList report;      // one sentence per contact worth a word: merges, renames, moves
    int requests = 0;        // HTTP requests sent

    bool ok() const { return failure == Failure::None; }
    bool changedHere() const { return downloaded > 0 || movedToDeleted > 0; }
    QString message() const { return failureText(failure, detail); }
};

// A failure and its detail, as the parts of a sync pass them up.
struct Problem
{
    Failure failure = Failure::None;
    QString detail;
    explicit operator bool() const { return failure != Failure::None; }
};

} // namespace contactsync

Q_DECLARE_METATYPE(contactsync::Outcome)
