#include "sync/fields.h"

#include <QtEndian>

namespace contactsync {

namespace {

constexpr char kFormat = 1;

// FNV-1a over UTF-16 code units: the same number on every machine and in every version, which a
// hash kept in the database needs (the toolkit's own hashes are seeded per run).
quint64 fnv(QStringView text, quint64 h = 0xcbf29ce484222325ULL)
{
    for (QChar c : text) {
        h = (h ^ (c.unicode() & 0xff)) * 0x100000001b3ULL;
        h = (h ^ (c.unicode() >> 8)) * 0x100000001b3ULL;
    }
    return h;
}

} // namespace

const QList<QString Contact::*> &syncedTexts()
{
    static const QList<QString Contact::*> texts = {
        &Contact::name, &Contact::nickname, &Contact::sex, &Contact::birthday, &Contact::mobile,
        &Contact::handyPhone, &Contact::homePhone, &Contact::email, &Contact::qq, &Contact::msn,
        &Contact::homeAddress, &Contact::postcode, &Contact::employer, &Contact::nativePlace,
        &Contact::remarks, &Contact::officePhone, &Contact::occupation, &Contact::officeAddress,
        &Contact::history, &Contact::updated,
    };
    Q_ASSERT(texts.size() == kTextSlots);
    return texts;
}

quint64 textHash(QStringView text)
{
    // Its length first, so that no two lists of texts run into one another.
    return fnv(text, fnv(QString::number(text.size())));
}

quint64 categoriesHash(const QStringList &categories)
{
    quint64 h = textHash(QString::number(categories.size()));
    for (const QString &c : categories)
        h = fnv(c, h ^ textHash(c));
    return h;
}

Hashes hashesOf(const Contact &contact, const QString &group, const QStringList &categories)
{
    Hashes h{};
    for (int i = 0; i < kTextSlots; ++i)
        h[size_t(i)] = textHash(contact.*syncedTexts().at(i));
    h[kGroupSlot] = textHash(group);
    h[kCategoriesSlot] = categoriesHash(categories);
    return h;
}

QByteArray encodeHashes(const Hashes &hashes)
{
    QByteArray out(1 + 8 * kSlots, Qt::Uninitialized);
    out[0] = kFormat;
    for (int i = 0; i < kSlots; ++i)
        qToLittleEndian<quint64>(hashes[size_t(i)], out.data() + 1 + 8 * i);
    return out;
}

std::optional<Hashes> decodeHashes(const QByteArray &stored)
{
    if (stored.size() != 1 + 8 * kSlots || stored.at(0) != kFormat)
        return std::nullopt;
    Hashes h{};
    for (int i = 0; i < kSlots; ++i)
        h[size_t(i)] = qFromLittleEndian<quint64>(stored.constData() + 1 + 8 * i);
    return h;
}

quint64 fingerprint(const Contact &contact, const QString &group)
{
    quint64 h = textHash(group);
    for (QString Contact::*member : syncedTexts())
        h = fnv(contact.*member, h ^ textHash(contact.*member));
    return h;
}

QString labelOf(QString Contact::*member)
{
    for (const exchange::ContactField &f : exchange::contactFields())
        if (f.member == member)
            return f.label;
    return QString();
}

} // namespace contactsync
