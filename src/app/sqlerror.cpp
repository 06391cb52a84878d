#include "app/sqlerror.h"

#include <QHash>
#include <QRegularExpression>
#include <sqlite3.h>

namespace {

QHash<QString, QString> &captions()
{
    static QHash<QString, QString> map;
    return map;
}

QString captionOrColumn(const QString &table, const QString &column)
{
    const QString caption = columnCaption(table, column);
    return caption.isEmpty() ? column : caption;
}

// "CHECK constraint failed: t_telinfo_xingm0_width" names the column whose text is too long; table
// names hold exactly one underscore (t_telinfo, ca_info).
QString explainCheck(const QString &text)
{
    static const QRegularExpression width(QStringLiteral("CHECK constraint failed: ([a-z]+_[a-z]+)_(\\w+)_width"));
    const auto m = width.match(text);
    if (!m.hasMatch())
        return QStringLiteral("输入的内容不符合要求。");
    const QString table = m.captured(1);
    const QString column = m.captured(2);
    return QStringLiteral("“%1”的内容太长。").arg(captionOrColumn(table, column));
}

// "UNIQUE constraint failed: t_telinfo.xingm0", "NOT NULL constraint failed: t_telinfo.xingm0"
QString explainNamedColumn(const QString &text, const QString &sentence)
{
    static const QRegularExpression col(QStringLiteral("failed: (\\w+)\\.(\\w+)"));
    const auto m = col.match(text);
    const QString field = m.hasMatch() ? captionOrColumn(m.captured(1), m.captured(2)) : QString();
    return sentence.arg(field.isEmpty() ? QStringLiteral("该项") : QStringLiteral("“%1”").arg(field));
}

} // namespace

void registerColumnCaption(const QString &table, const QString &column, const QString &caption)
{
    captions().insert(table.toLower() + QLatin1Char('.') + column.toLower(), caption);
}

QString columnCaption(const QString &table, const QString &column)
{
    return captions().value(table.toLower() + QLatin1Char('.') + column.toLower());
}

QString describeSqlError(int code, const QString &databaseText)
{
    QString reason;
    switch (code) {
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_PRIMARYKEY:
        reason = explainNamedColumn(databaseText, QStringLiteral("%1已存在相同的记录。"));
        break;
    case SQLITE_CONSTRAINT_CHECK:
        reason = explainCheck(databaseText);
        break;
    case SQLITE_CONSTRAINT_NOTNULL:
        reason = explainNamedColumn(databaseText, QStringLiteral("%1不能为空。"));
        break;
    default:
        switch (code & 0xff) {
        case SQLITE_READONLY:
            reason = QStringLiteral("数据库文件是只读的,无法写入。");
            break;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            reason = QStringLiteral("数据库文件正被其他程序占用。");
            break;
        case SQLITE_FULL:
            reason = QStringLiteral("磁盘已满,无法写入数据库。");
            break;
        case SQLITE_CANTOPEN:
            reason = QStringLiteral("无法打开数据库文件。");
            break;
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT:
            reason = QStringLiteral("数据库文件已损坏或不是数据库。");
            break;
        case SQLITE_IOERR:
            reason = QStringLiteral("读写数据库文件时出错。");
            break;
        default:
            break;
        }
    }
    if (reason.isEmpty())
        return databaseText;
    return databaseText.isEmpty() ? reason : reason + QLatin1Char(' ') + databaseText;
}
