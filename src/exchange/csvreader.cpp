#include "exchange/csvreader.h"

#include "exchange/charsetdecoder.h"

namespace exchange {

namespace {

int lineOfOffset(QByteArrayView bytes, qsizetype offset)
{
    return int(bytes.first(qMin(offset, bytes.size())).count('\n')) + 1;
}

QString takeApostrophe(QString cell)
{
    if (cell.startsWith(QLatin1Char('\'')))
        cell.remove(0, 1);
    return cell;
}

} // namespace

CsvTable CsvReader::read(QByteArrayView bytes)
{
    CsvTable table;
    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    if (bom)
        bytes = bytes.sliced(3);
    CharsetDecoder utf8;
    qsizetype bad = 0;
    std::optional<QString> decoded = utf8.decode(bytes, &bad);
    if (!decoded && !bom) {
        CharsetDecoder gbk("GBK");
        decoded = gbk.decode(bytes);
    }
    if (!decoded) {
        table.error = {lineOfOffset(bytes, bad), QString(), QStringLiteral("文件的内容不是有效的 UTF-8 文字。")};
        return table;
    }
    const QString &text = *decoded;

    CsvRow row;
    QString cell;
    int line = 1;
    row.line = 1;
    bool quoted = false;     // inside a quoted field
    bool wasQuoted = false;  // the current field began with a quote
    auto endCell = [&] {
        row.cells.append(takeApostrophe(cell));
        cell.clear();
        wasQuoted = false;
    };
    auto endRow = [&] {
        endCell();
        // A blank line is no record.
        if (!(row.cells.size() == 1 && row.cells.first().isEmpty()))
            table.rows.append(row);
        row = CsvRow();
        row.line = line;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    cell += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == QLatin1Char('\n'))
                    ++line;
                cell += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && cell.isEmpty() && !wasQuoted) {
            quoted = wasQuoted = true;
        } else if (c == QLatin1Char(',')) {
            endCell();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            ++line;
            endRow();
        } else {
            cell += c;
        }
    }
    if (quoted) {
        table.error = {row.line, QString(), QStringLiteral("从这一行开始的引号到文件末尾都没有结束,文件可能不完整。")};
        table.rows.clear();
        return table;
    }
    if (!cell.isEmpty() || !row.cells.isEmpty() || wasQuoted)
        endRow();
    return table;
}

} // namespace exchange
