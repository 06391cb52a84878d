// An Office Open XML workbook through libxlsxwriter in its constant-memory mode: each row goes to
// a temporary file as soon as the next one starts, so memory does not grow with the rows.

#include "exchange/pendingfile.h"
#include "exchange/sheetwriters_p.h"

#include <QFile>
#include <QRegularExpression>
#include <cerrno>
#include <xlsxwriter.h>

namespace exchange::detail {

namespace {

QString libraryText(lxw_error error)
{
    QString text = QString::fromUtf8(lxw_strerror(error));
    if (errno != 0)
        text += QStringLiteral(" (") + qt_error_string(errno) + QLatin1Char(')');
    return text;
}

// The format writes characters XML cannot hold as "_xHHHH_", which the library does for control
// characters; text that already reads like such an escape keeps its underscore as "_x005F_".
QString escapeLiteralEscapes(const QString &text)
{
    static const QRegularExpression escapeLike(QStringLiteral("_(?=x[0-9A-Fa-f]{4}_)"));
    if (!text.contains(QLatin1String("_x")))
        return text;
    return QString(text).replace(escapeLike, QStringLiteral("_x005F_"));
}

lxw_error writeRows(lxw_workbook *book, const QList<QVariantList> &rows, const QString &sheetName, QString *reason)
{
    for (const SheetSpan &span : planSheets(rows.size(), LXW_ROW_MAX, sheetName)) {
        lxw_worksheet *sheet = workbook_add_worksheet(book, span.name.toUtf8().constData());
        if (!sheet) {
            *reason = QStringLiteral("无法建立工作表“%1”。").arg(span.name);
            return LXW_ERROR_MEMORY_MALLOC_FAILED;
        }
        lxw_row_t r = 0;
        lxw_error error = LXW_NO_ERROR;
        forEachRow(rows, span, [&](const QVariantList &row, qsizetype at) {
            if (error != LXW_NO_ERROR)
                return;
            if (row.size() > LXW_COL_MAX) {
                *reason = QStringLiteral("列数超过 %1,工作簿放不下;请改存为 CSV 文件。").arg(LXW_COL_MAX);
                error = LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE;
                return;
            }
            for (qsizetype c = 0; c < row.size() && error == LXW_NO_ERROR; ++c) {
                const QVariant &v = row.at(c);
                const auto column = lxw_col_t(c);
                switch (kindOf(v)) {
                case CellKind::Empty:
                    break;
                case CellKind::Number:
                    error = worksheet_write_number(sheet, r, column, v.toDouble(), nullptr);
                    break;
                case CellKind::Text: {
                    const QString text = v.toString();
                    if (text.size() > kMaxCellText) {
                        *reason = textTooLong(at, c);
                        error = LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED;
                        break;
                    }
                    error = worksheet_write_string(sheet, r, column, escapeLiteralEscapes(text).toUtf8().constData(), nullptr);
                    break;
                }
                }
            }
            ++r;
        });
        if (error != LXW_NO_ERROR) {
            if (reason->isEmpty())
                *reason = withSystemText(QStringLiteral("写入工作表失败"), libraryText(error));
            return error;
        }
    }
    return LXW_NO_ERROR;
}

} // namespace

bool writeXlsx(const QString &file, const QList<QVariantList> &rows, const QString &sheetName, QString *reason)
{
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    const QByteArray name = QFile::encodeName(file);
    lxw_workbook *book = workbook_new_opt(name.constData(), &options);
    if (!book) {
        *reason = QStringLiteral("无法建立工作簿。");
        return false;
    }
    reason->clear();
    errno = 0;
    const lxw_error writeError = writeRows(book, rows, sheetName, reason);
    // Closing writes the file, and frees the workbook in any case.
    errno = 0;
    const lxw_error closeError = workbook_close(book);
    if (writeError != LXW_NO_ERROR)
        return false;
    if (closeError != LXW_NO_ERROR) {
        *reason = withSystemText(QStringLiteral("写入 xlsx 文件失败"), libraryText(closeError));
        return false;
    }
    return true;
}

} // namespace exchange::detail
