#include "exchange/charsetdecoder.h"

#include <unicode/ucnv.h>

namespace exchange {

namespace {

QByteArray icuName(const QByteArray &charset)
{
    const QByteArray upper = charset.trimmed().toUpper();
    if (upper == "GB2312" || upper == "GBK" || upper == "CP936" || upper == "EUC-CN" || upper == "X-GBK"
        || upper == "GB18030")
        return "GB18030";
    if (upper == "UTF8")
        return "UTF-8";
    return upper;
}

// A converter that stops at the first byte that is not text, instead of putting a substitute there.
UConverter *openStopping(const char *name)
{
    UErrorCode status = U_ZERO_ERROR;
    UConverter *converter = ucnv_open(name, &status);
    if (U_FAILURE(status))
        return nullptr;
    ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    return converter;
}

std::optional<QString> decodeWith(UConverter *converter, QByteArrayView bytes, qsizetype *badOffset)
{
    ucnv_resetToUnicode(converter);
    // Two UTF-16 units a byte at most, whatever the charset.
    QString text(2 * bytes.size() + 16, Qt::Uninitialized);
    UChar *target = reinterpret_cast<UChar *>(text.data());
    UChar *const targetStart = target;
    const char *source = bytes.data();
    UErrorCode status = U_ZERO_ERROR;
    ucnv_toUnicode(converter, &target, targetStart + text.size(), &source, source + bytes.size(), nullptr, true,
                   &status);
    if (U_FAILURE(status)) {
        if (badOffset) {
            // The source stops after the offending bytes; step back over them.
            char bad[32];
            int8_t length = sizeof bad;
            UErrorCode ignored = U_ZERO_ERROR;
            ucnv_getInvalidChars(converter, bad, &length, &ignored);
            *badOffset = qMax<qsizetype>(0, source - bytes.data() - length);
        }
        return std::nullopt;
    }
    text.truncate(target - targetStart);
    return text;
}

} // namespace

CharsetDecoder::CharsetDecoder(const QByteArray &charset)
    : m_name(charset.isEmpty() ? QByteArray("UTF-8") : charset.trimmed())
{
    const QByteArray icu = icuName(m_name);
    m_utf8 = icu == "UTF-8";
    if (!m_utf8)
        m_converter = openStopping(icu.constData());
}

CharsetDecoder::~CharsetDecoder()
{
    if (m_converter)
        ucnv_close(m_converter);
}

bool CharsetDecoder::isValid() const
{
    return m_utf8 || m_converter;
}

std::optional<QString> CharsetDecoder::decode(QByteArrayView bytes, qsizetype *badOffset)
{
    if (m_utf8) {
        // UTF-8 is by far the most common: checked and converted by Qt's fast paths.
        if (bytes.isValidUtf8())
            return QString::fromUtf8(bytes);
        if (badOffset) {
            // Rare, so the slower way tells where: ICU's converter stops at the bad byte.
            *badOffset = 0;
            UConverter *utf8 = openStopping("UTF-8");
            decodeWith(utf8, bytes, badOffset);
            ucnv_close(utf8);
        }
        return std::nullopt;
    }
    if (!m_converter)
        return std::nullopt;
    return decodeWith(m_converter, bytes, badOffset);
}

} // namespace exchange
