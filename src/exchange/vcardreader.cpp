#include "exchange/vcardreader.h"

#include "exchange/vcardmapper.h"
#include "exchange/vcardscanner.h"

#include <QStringDecoder>

namespace exchange {

ContactImport VCardReader::read(QByteArrayView bytes)
{
    // A UTF-16 file (some desktop programs write one) is made UTF-8 first; its charsets then no longer
    // apply.
    QByteArray utf8;
    bool fromUtf16 = false;
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                             QStringDecoder::Flag::Stateless);
        const QString text = utf16(bytes.sliced(2));
        if (utf16.hasError())
            return ContactImport::refused(1, QStringLiteral("文件以 UTF-16 的字节顺序标记开头,内容却不是有效的 UTF-16 文字。"));
        utf8 = text.toUtf8();
        bytes = utf8;
        fromUtf16 = true;
    } else if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes = bytes.sliced(3);
    }

    ContactImport result;
    VCardScanner scanner(bytes, &VCardMapper::classify);
    VCardMapper mapper(fromUtf16);
    VCardCard card;
    while (scanner.next(&card))
        if (!mapper.map(card, &result))
            return result;
    if (!scanner.error().text.isEmpty())
        return ContactImport::refused(scanner.error().line, scanner.error().text);
    if (!scanner.sawCard())
        return ContactImport::refused(1, QStringLiteral("这不是 vCard 文件: 文件中没有 BEGIN:VCARD。"));
    return result;
}

ContactImport VCardReader::readFile(const QString &path)
{
    return ContactImport::ofFile(path, &read);
}

} // namespace exchange
