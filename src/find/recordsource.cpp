#include "find/recordsource.h"

namespace finder {

QList<Field> RecordSource::fields() const
{
    QList<Field> out;
    for (const SourceColumn &c : columns)
        out << Field{c.caption, c.kind};
    return out;
}

QString RecordSource::select(const QString &condition) const
{
    QStringList names{QStringLiteral("id")};
    for (const SourceColumn &c : columns)
        names << c.column;
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(names.join(QStringLiteral(", ")), table);
    if (!condition.isEmpty())
        sql += QStringLiteral(" WHERE ") + condition;
    return sql;
}

const RecordSource &contactSource()
{
    static const RecordSource source{
        QStringLiteral("t_telinfo"), QStringLiteral("zuhao0"),
        QStringLiteral("t_group"), QStringLiteral("zuhao0"), QStringLiteral("zuming"),
        {
            {QStringLiteral("xingm0"), QStringLiteral("姓名"), FieldKind::Pinyin},
            {QStringLiteral("nich00"), QStringLiteral("昵称"), FieldKind::Pinyin},
            {QStringLiteral("shouji"), QStringLiteral("手机"), FieldKind::Phone},
            {QStringLiteral("xiaolt"), QStringLiteral("小灵通"), FieldKind::Phone},
            {QStringLiteral("dianh0"), QStringLiteral("家庭电话"), FieldKind::Phone},
            {QStringLiteral("dianh0_dw"), QStringLiteral("办公电话"), FieldKind::Phone},
            {QStringLiteral("email0"), QStringLiteral("Email"), FieldKind::Text},
            {QStringLiteral("qq0000"), QStringLiteral("QQ"), FieldKind::Text},
            {QStringLiteral("danwei"), QStringLiteral("单位"), FieldKind::Text},
            {QStringLiteral("beizhu"), QStringLiteral("备注"), FieldKind::Text},
        }};
    return source;
}

const RecordSource &assetItemSource()
{
    // A brand is often Chinese and known by its pinyin ("hw" for 华为), like a name.
    static const RecordSource source{
        QStringLiteral("ca_info"), QStringLiteral("gid"),
        QStringLiteral("ca_group"), QStringLiteral("groupid"), QStringLiteral("groupname"),
        {
            {QStringLiteral("name"), QStringLiteral("名称"), FieldKind::Pinyin},
            {QStringLiteral("brand"), QStringLiteral("品牌型号"), FieldKind::Pinyin},
            {QStringLiteral("descb"), QStringLiteral("描述"), FieldKind::Text},
            {QStringLiteral("buyplace"), QStringLiteral("购买地点"), FieldKind::Text},
        }};
    return source;
}

} // namespace finder
