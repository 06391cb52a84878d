#include "app/textcodec.h"

#include <QStringDecoder>

qsizetype gbkLength(QStringView text)
{
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() < 0x80) {
            n += 1;
        } else if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            n += 4;
            ++i;
        } else {
            n += 2;
        }
    }
    return n;
}

QString decodeLocalText(const QByteArray &bytes)
{
    QByteArray data = bytes;
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(data);
    if (!utf8.hasError())
        return text;
    QStringDecoder gbk("GBK");
    if (gbk.isValid()) {
        text = gbk(data);
        if (!gbk.hasError())
            return text;
    }
    // Neither: keep what can be read; broken bytes become replacement characters.
    return QString::fromUtf8(data);
}
