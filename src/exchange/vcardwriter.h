#pragma once
// Writes contacts as vCard: one card per contact, UTF-8, CRLF line ends, lines folded at 75 octets
// and never inside a character. Every non-empty field goes into its own property (a Chinese name's N
// family name first; the group names as CATEGORIES); what vCard has no property for, and any value
// its property cannot carry exactly, goes into an X-MIVO- property that VCardReader reads back, so
// that writing and reading again gives back every field as it was.

#include "exchange/contact.h"

#include <QByteArray>

class QIODevice;

namespace exchange {

enum class VCardVersion { V30, V40 };

class VCardWriter
{
public:
    explicit VCardWriter(VCardVersion version = VCardVersion::V30);

    // One card, from BEGIN:VCARD to END:VCARD and its line end.
    QByteArray card(const Contact &contact) const;

    // The card of `contact` written over `previous`, a card of the same contact that another program
    // may have written (3.0 or 4.0): what this program does not read of it (a photo, web pages,
    // fields of its own) is kept as it stands, so writing a contact back drops none of it.
    QByteArray cardOver(const Contact &contact, QByteArrayView previous) const;

    // Every card to `device`; false, with the reason in Chinese, when not all could be written.
    bool write(QIODevice *device, const QList<Contact> &contacts, QString *reason) const;

    // The whole file, written beside `path` and renamed over it only once complete, so that a
    // failure leaves an existing file as it was. `PendingFile` is the program's class for that: made
    // from the target's path, it has create(QString *reason), tempPath(), commit(QString *reason),
    // and its destructor removes an uncommitted temporary file.
    template <class PendingFile>
    bool writeFile(const QString &path, const QList<Contact> &contacts, QString *reason) const
    {
        PendingFile pending(path);
        return pending.create(reason) && writeToPath(pending.tempPath(), contacts, reason) && pending.commit(reason);
    }

    // The same, to `path` directly.
    bool writeToPath(const QString &path, const QList<Contact> &contacts, QString *reason) const;

private:
    VCardVersion m_version;
};

} // namespace exchange
