// Comma-separated values as spreadsheets read them: UTF-8 with a byte-order mark (without it some
// take the bytes for the local code page), fields quoted where they hold a comma, a quote or a line
// break, quotes doubled, every record ending in CRLF, no text that a spreadsheet would run.

#include "exchange/pendingfile.h"
#include "exchange/sheetwriters_p.h"

#include <QFile>

namespace exchange::detail {

namespace {

constexpr qsizetype kFlushAt = 1 << 20;

void appendField(QByteArray &out, const QVariant &value)
{
    switch (kindOf(value)) {
    case CellKind::Empty:
        return;
    case CellKind::Number:
        out += numberText(value).toUtf8();
        return;
    case CellKind::Text:
        break;
    }
    QByteArray text = value.toString().toUtf8();
    // A spreadsheet evaluates a cell beginning with one of these as a formula (or drops the
    // apostrophe that marks a cell as text): one more apostrophe in front keeps the text as stored,
    // and a reader takes exactly one off.
    if (!text.isEmpty() && QByteArrayView("=+-@\t\r'").contains(text.front()))
        text.prepend('\'');
    if (!text.contains(',') && !text.contains('"') && !text.contains('\r') && !text.contains('\n')) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

// Writes on after a short write: the write that then fails is the one that tells why (a full disk
// first takes what still fits and reports nothing).
bool writeAll(QFile &out, const QByteArray &bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = out.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

} // namespace

bool writeCsv(const QString &file, const QList<QVariantList> &rows, QString *reason)
{
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        *reason = withSystemText(QStringLiteral("无法写入文件 %1").arg(nativePath(file)), out.errorString());
        return false;
    }
    QByteArray buffer("\xEF\xBB\xBF");
    buffer.reserve(kFlushAt + 64 * 1024);
    qint64 written = 0;
    auto flush = [&] {
        const bool ok = writeAll(out, buffer);
        written += buffer.size();
        buffer.truncate(0);
        return ok;
    };
    bool ok = true;
    for (qsizetype r = 0; r < rows.size() && ok; ++r) {
        const QVariantList &row = rows.at(r);
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (c > 0)
                buffer += ',';
            appendField(buffer, row.at(c));
        }
        buffer += "\r\n";
        if (buffer.size() >= kFlushAt)
            ok = flush();
    }
    ok = ok && flush();
    // A short write may go unreported until the size is looked at (a full disk, a size limit).
    ok = ok && out.size() == written;
    QString systemText = out.error() == QFileDevice::NoError ? QString() : out.errorString();
    out.close();
    ok = ok && out.error() == QFileDevice::NoError;
    if (systemText.isEmpty() && out.error() != QFileDevice::NoError)
        systemText = out.errorString();
    if (!ok) {
        *reason = withSystemText(QStringLiteral("写入 CSV 文件失败"), systemText);
        return false;
    }
    return true;
}

} // namespace exchange::detail
