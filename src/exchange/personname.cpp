#include "exchange/personname.h"

#include <QStringList>

namespace exchange {

namespace {

bool isHan(char32_t u)
{
    return (u >= 0x3400 && u <= 0x4DBF) || (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0xF900 && u <= 0xFAFF)
        || (u >= 0x20000 && u <= 0x3134F);
}

// The family names of two characters that are common enough to be met.
const QStringList &compoundFamilyNames()
{
    static const QStringList names = QStringLiteral(
        "欧阳 司马 上官 诸葛 东方 皇甫 令狐 慕容 夏侯 尉迟 公孙 长孙 宇文 司徒 司空 端木 独孤 南宫 西门 "
        "轩辕 呼延 申屠 太史 闻人 澹台 公冶 宗政 濮阳 淳于 单于 赫连 万俟 钟离 拓跋 百里 东郭 左丘 第五")
        .split(QLatin1Char(' '));
    return names;
}

} // namespace

bool hasHan(QStringView text)
{
    for (char32_t u : text.toUcs4())
        if (isHan(u))
            return true;
    return false;
}

NameParts splitName(const QString &name)
{
    const QString trimmed = name.trimmed();
    if (hasHan(trimmed)) {
        const qsizetype blank = trimmed.indexOf(QLatin1Char(' '));
        if (blank > 0)
            return {trimmed.left(blank), trimmed.mid(blank + 1).trimmed()};
        for (const QString &compound : compoundFamilyNames())
            if (trimmed.size() > compound.size() && trimmed.startsWith(compound))
                return {compound, trimmed.mid(compound.size())};
        const qsizetype first = trimmed.at(0).isHighSurrogate() && trimmed.size() > 1 ? 2 : 1;
        if (trimmed.size() == first)
            return {trimmed, QString()};
        return {trimmed.left(first), trimmed.mid(first)};
    }
    const qsizetype blank = trimmed.lastIndexOf(QLatin1Char(' '));
    if (blank < 0)
        return {QString(), trimmed};
    return {trimmed.mid(blank + 1), trimmed.left(blank).trimmed()};
}

} // namespace exchange
