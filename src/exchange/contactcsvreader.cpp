#include "exchange/contactcsvreader.h"

#include "exchange/contactdraft.h"
#include "exchange/csvreader.h"


namespace exchange {

namespace {

const ContactField *fieldOfHeading(const QString &heading)
{
    const QString text = heading.trimmed();
    QString column = text.toLower();
    column.replace(QLatin1Char(' '), QLatin1Char('_'));
    if (const ContactField *f = contactFieldOfColumn(column))
        return f;
    for (const ContactField &f : contactFields())
        if (text.compare(f.label, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

} // namespace

ContactImport ContactCsvReader::read(QByteArrayView bytes)
{
    const CsvTable table = CsvReader::read(bytes);
    if (!table.error.text.isEmpty())
        return ContactImport::refused(table.error.line, table.error.text);
    if (table.rows.isEmpty())
        return ContactImport::refused(1, QStringLiteral("文件是空的,没有联系人。"));

    const CsvRow &headings = table.rows.first();
    QList<const ContactField *> fields;
    QStringList unknown;
    bool hasName = false;
    for (const QString &heading : headings.cells) {
        const ContactField *f = fieldOfHeading(heading);
        fields.append(f);
        hasName = hasName || (f && f->member == &Contact::name);
        // The identity is the database's own; a new one is given on import.
        if (!f && heading.trimmed().compare(QLatin1String("id"), Qt::CaseInsensitive) != 0 && !heading.trimmed().isEmpty())
            unknown.append(heading.trimmed());
    }
    if (!hasName)
        return ContactImport::refused(headings.line, QStringLiteral("这不是通讯录导出的 CSV 文件: 第一行没有“姓名”(Xingm0)一列。"));

    ContactImport result;
    if (!unknown.isEmpty())
        result.warnings.append({headings.line, QString(),
                                QStringLiteral("不认识这些列,它们的内容未导入: %1。").arg(unknown.join(QStringLiteral(", ")))});
    for (qsizetype r = 1; r < table.rows.size(); ++r) {
        const CsvRow &row = table.rows.at(r);
        ContactDraft draft;
        for (qsizetype i = 0; i < row.cells.size() && i < fields.size(); ++i)
            if (fields.at(i))
                draft.contact.*(fields.at(i)->member) = row.cells.at(i);
        if (draft.contact.name.trimmed().isEmpty()) {
            result.skipped.append({row.line, QString(), QStringLiteral("这一行没有姓名,未导入。")});
            continue;
        }
        result.contacts.append(draft.finish(row.line, &result.warnings));
    }
    return result;
}

ContactImport ContactCsvReader::readFile(const QString &path)
{
    return ContactImport::ofFile(path, &read);
}

} // namespace exchange
