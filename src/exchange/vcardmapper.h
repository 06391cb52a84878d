#pragma once
// One card, as the scanner gathered it, made into a contact: values decoded (quoted-printable,
// BASE64, the declared charset), unescaped, and put where the address book keeps them.

#include "exchange/charsetdecoder.h"
#include "exchange/contact.h"
#include "exchange/vcardscanner.h"

#include <QHash>
#include <memory>

namespace exchange {

class VCardMapper
{
public:
    // With `ignoreCharsets`, the values are UTF-8 whatever they declare (the file was UTF-16, and has
    // been made UTF-8 before it was scanned).
    explicit VCardMapper(bool ignoreCharsets = false);
    ~VCardMapper();

    // The properties the mapping reads, each its own number; 0 for the others, which the scanner
    // steps over.
    static int classify(const QByteArray &upperName);

    // Adds the card's contact to `out`, or a note to its skipped cards or warnings; false, with
    // out->error set, when a value is not text in its charset.
    bool map(const VCardCard &card, ContactImport *out);

private:
    std::optional<QString> text(const VCardProperty &p, ContactImport *out);
    CharsetDecoder *decoder(const QByteArray &charset);

    bool m_ignoreCharsets;
    QHash<QByteArray, std::shared_ptr<CharsetDecoder>> m_decoders;
};

} // namespace exchange
