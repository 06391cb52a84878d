#pragma once
// Contacts as comparable text, for tests: one "column=value" line per non-empty field, line breaks
// shown as \r and \n, sorted, so that a failure shows what landed where.

#include "exchange/contact.h"

#include <QStringList>

inline QString visible(QString text)
{
    return text.replace(QLatin1Char('\r'), QLatin1String("\\r")).replace(QLatin1Char('\n'), QLatin1String("\\n"));
}

inline QString describe(const exchange::Contact &c)
{
    QStringList lines;
    for (const exchange::ContactField &f : exchange::contactFields())
        if (!(c.*f.member).isEmpty())
            lines << f.column + QLatin1Char('=') + visible(c.*f.member);
    if (!c.categories.isEmpty())
        lines << QStringLiteral("categories=") + c.categories.join(QLatin1Char('|'));
    if (!c.uid.isEmpty())
        lines << QStringLiteral("uid=") + c.uid;
    lines.sort();
    return lines.join(QLatin1Char('\n'));
}

inline QStringList describeAll(const QList<exchange::Contact> &contacts)
{
    QStringList out;
    for (const exchange::Contact &c : contacts)
        out << describe(c);
    return out;
}

// The same for a list of "column=value" (categories as "a|b"), as a test expects it.
inline QString describe(QStringList expected)
{
    for (QString &line : expected)
        line = visible(line);
    expected.sort();
    return expected.join(QLatin1Char('\n'));
}

inline QStringList messages(const QList<exchange::ImportNote> &notes)
{
    QStringList out;
    for (const exchange::ImportNote &n : notes)
        out << n.message();
    return out;
}

// Contacts whose every field holds what trips writers and readers up: separators of every level,
// backslashes, line breaks of every kind, blanks at the ends, characters beyond 16 bits, a 32 KB
// record, a birthday without a year, values the standard properties cannot hold.
inline QList<exchange::Contact> trickyContacts()
{
    exchange::Contact full;
    full.name = QStringLiteral("张三");
    full.nickname = QStringLiteral("小三,老三;\\x");
    full.sex = QStringLiteral("1");
    full.birthday = QStringLiteral("19800102");
    full.mobile = QStringLiteral("13800138000");
    full.handyPhone = QStringLiteral("010-555 1234");
    full.homePhone = QStringLiteral("(010) 6552-8888");
    full.email = QStringLiteral("a,b@x.cn");
    full.qq = QStringLiteral("12345");
    full.msn = QStringLiteral("zs@hotmail.com");
    full.homeAddress = QStringLiteral("北京市\r\n朝阳区\n建国路\r");
    full.postcode = QStringLiteral("100022");
    full.employer = QStringLiteral("某公司;研发部");
    full.nativePlace = QStringLiteral("湖南 长沙");
    full.remarks = QStringLiteral("第一行\n第二行, 逗号; 分号 \\n 不是换行 😀");
    full.officePhone = QStringLiteral("+86 10 1234-5678");
    full.occupation = QStringLiteral("工程师\t高级");
    full.officeAddress = QStringLiteral(" 两边空格 ");
    full.history = QStringLiteral("交往记录,😀;\n").repeated(3300).left(32766);
    full.updated = QStringLiteral("20240101");
    full.categories = {QStringLiteral("朋友")};
    full.uid = QStringLiteral("urn:uuid:3f1a,2b;c");

    exchange::Contact compound;
    compound.name = QStringLiteral("欧阳娜娜");
    compound.sex = QStringLiteral("2");
    compound.birthday = QStringLiteral("00000229");
    compound.postcode = QStringLiteral("200000");
    compound.officeAddress = QStringLiteral("上海市");

    exchange::Contact western;
    western.name = QStringLiteral("John Ronald Smith");
    western.sex = QStringLiteral("x");
    western.birthday = QStringLiteral("1980");
    western.remarks = QStringLiteral("\x01 control");
    western.categories = {QStringLiteral("同事"), QStringLiteral("a,b")};
    return {full, compound, western};
}
