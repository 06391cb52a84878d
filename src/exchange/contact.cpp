#include "exchange/contact.h"

#include <QDir>
#include <QFile>

namespace exchange {

const QList<ContactField> &contactFields()
{
    // The widths are those of the schema's checks; a test holds the two together.
    static const QList<ContactField> fields = {
        {QStringLiteral("zuhao0"), QStringLiteral("组别"), 1, &Contact::groupCode},
        {QStringLiteral("xingm0"), QStringLiteral("姓名"), 20, &Contact::name},
        {QStringLiteral("nich00"), QStringLiteral("昵称"), 20, &Contact::nickname},
        {QStringLiteral("xingb0"), QStringLiteral("性别"), 1, &Contact::sex},
        {QStringLiteral("shengr"), QStringLiteral("生日"), 8, &Contact::birthday},
        {QStringLiteral("shouji"), QStringLiteral("手机"), 12, &Contact::mobile},
        {QStringLiteral("xiaolt"), QStringLiteral("小灵通"), 12, &Contact::handyPhone},
        {QStringLiteral("dianh0"), QStringLiteral("家庭电话"), 20, &Contact::homePhone},
        {QStringLiteral("email0"), QStringLiteral("Email"), 30, &Contact::email},
        {QStringLiteral("qq0000"), QStringLiteral("QQ"), 10, &Contact::qq},
        {QStringLiteral("msn00"), QStringLiteral("MSN"), 30, &Contact::msn},
        {QStringLiteral("dizhi0"), QStringLiteral("家庭地址"), 50, &Contact::homeAddress},
        {QStringLiteral("youb00"), QStringLiteral("邮编"), 6, &Contact::postcode},
        {QStringLiteral("danwei"), QStringLiteral("单位"), 30, &Contact::employer},
        {QStringLiteral("yuanji"), QStringLiteral("原籍"), 20, &Contact::nativePlace},
        {QStringLiteral("beizhu"), QStringLiteral("备注"), 200, &Contact::remarks},
        {QStringLiteral("dianh0_dw"), QStringLiteral("办公电话"), 20, &Contact::officePhone},
        {QStringLiteral("zhiye0"), QStringLiteral("职业"), 20, &Contact::occupation},
        {QStringLiteral("dizhi0_dw"), QStringLiteral("单位地址"), 50, &Contact::officeAddress},
        {QStringLiteral("jwjl00"), QStringLiteral("交往记录"), 0, &Contact::history},
        {QStringLiteral("gxrq00"), QStringLiteral("更新日期"), 8, &Contact::updated},
    };
    return fields;
}

const ContactField *contactFieldOfColumn(QStringView column)
{
    for (const ContactField &f : contactFields())
        if (column.compare(f.column, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

qsizetype characterCount(QStringView text)
{
    qsizetype n = text.size();
    for (qsizetype i = 0; i + 1 < text.size(); ++i)
        if (text.at(i).isHighSurrogate() && text.at(i + 1).isLowSurrogate()) {
            --n;
            ++i;
        }
    return n;
}

QString leftCharacters(const QString &text, qsizetype count)
{
    qsizetype i = 0;
    for (qsizetype taken = 0; taken < count && i < text.size(); ++taken)
        i += text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
    return text.left(i);
}

QString nameKey(const QString &name)
{
    return name.toCaseFolded();
}

QString uniqueName(const QString &name, const std::function<bool(const QString &key)> &isTakenKey, int width)
{
    const QString whole = leftCharacters(name, width);
    if (!isTakenKey(nameKey(whole)))
        return whole;
    for (int n = 2;; ++n) {
        const QString suffix = QStringLiteral(" (%1)").arg(n);
        const QString candidate = leftCharacters(name, width - suffix.size()).trimmed() + suffix;
        if (!isTakenKey(nameKey(candidate)))
            return candidate;
    }
}

QString ImportNote::message() const
{
    if (line <= 0)
        return text;
    const QString where = contact.isEmpty() ? QStringLiteral("第 %1 行").arg(line)
                                            : QStringLiteral("第 %1 行(%2)").arg(line).arg(contact);
    return where + QStringLiteral(": ") + text;
}

ContactImport ContactImport::refused(int line, const QString &text)
{
    ContactImport result;
    result.error = {line, QString(), text};
    return result;
}

ContactImport ContactImport::ofFile(const QString &path, ContactImport (*read)(QByteArrayView bytes))
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(0, QStringLiteral("无法打开文件 %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    // Mapped rather than read: a file of large photos costs no copy of them.
    if (file.size() > 0)
        if (const uchar *mapped = file.map(0, file.size()))
            return read(QByteArrayView(mapped, file.size()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return refused(0, QStringLiteral("无法读取文件 %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    return read(bytes);
}

} // namespace exchange
