#pragma once
// Text in the charsets contact files declare: UTF-8, the Chinese national ones (GB2312, GBK and
// GB18030 are all read as GB18030, which holds the other two, as the phones that declare GB2312
// often write GBK), BIG5 and whatever else the ICU library knows by that name. Bytes that are not
// text in the charset are refused, never replaced.

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

struct UConverter;

namespace exchange {

class CharsetDecoder
{
public:
    // An empty name means UTF-8.
    explicit CharsetDecoder(const QByteArray &charset = QByteArray());
    ~CharsetDecoder();
    CharsetDecoder(const CharsetDecoder &) = delete;
    CharsetDecoder &operator=(const CharsetDecoder &) = delete;

    bool isValid() const;               // false for a charset nobody knows
    QByteArray name() const { return m_name; }

    // The text, or nothing when the bytes are not text in the charset; then *badOffset (if given)
    // is the offset of the first byte that is not.
    std::optional<QString> decode(QByteArrayView bytes, qsizetype *badOffset = nullptr);

private:
    QByteArray m_name;
    bool m_utf8 = false;
    UConverter *m_converter = nullptr;
};

} // namespace exchange
