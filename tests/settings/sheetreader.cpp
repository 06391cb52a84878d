#include "sheetreader.h"

#include "fixture.h"
#include "views/definition.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlQuery>

QList<ReadSheet> readBack(const QString &kind, const QString &file, QString *error)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(MIVO_SOURCE_DIR "/tests/settings/readsheet.py"), kind, file});
    if (!python.waitForFinished(280000) || python.exitStatus() != QProcess::NormalExit || python.exitCode() != 0) {
        *error = QStringLiteral("reader failed: ") + QString::fromUtf8(python.readAllStandardError());
        return {};
    }
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(python.readAllStandardOutput(), &parse);
    if (parse.error != QJsonParseError::NoError) {
        *error = QStringLiteral("reader output: ") + parse.errorString();
        return {};
    }
    QList<ReadSheet> sheets;
    for (const QJsonValue &s : doc.array()) {
        ReadSheet sheet;
        sheet.name = s[QLatin1String("name")].toString();
        for (const QJsonValue &r : s[QLatin1String("rows")].toArray()) {
            QVariantList row;
            for (const QJsonValue &c : r.toArray()) {
                if (c.isDouble())
                    row << c.toDouble();
                else if (c.isObject())
                    row << c[QLatin1String("s")].toString();
                else
                    row << QVariant();
            }
            sheet.rows << row;
        }
        sheets << sheet;
    }
    return sheets;
}

QList<QVariantList> databaseRows(const QString &name)
{
    const views::Definition *d = views::definition(name);
    QList<QVariantList> rows;
    QVariantList headings;
    for (const views::Column &c : d->columns)
        headings << c.label;
    rows << headings;
    QSqlQuery q(testDb().sqlDatabase());
    q.setForwardOnly(true);
    if (!q.exec(d->select))
        qFatal("cannot read %s", qPrintable(name));
    while (q.next()) {
        QVariantList row;
        for (int i = 0; i < d->columns.size(); ++i)
            row << q.value(i);
        rows << row;
    }
    return rows;
}

namespace {

bool isEmptyCell(const QVariant &v)
{
    return v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isEmpty());
}

QList<QVariantList> trimmed(QList<QVariantList> rows)
{
    for (QVariantList &r : rows)
        while (!r.isEmpty() && isEmptyCell(r.last()))
            r.removeLast();
    while (!rows.isEmpty() && rows.last().isEmpty())
        rows.removeLast();
    return rows;
}

bool sameCell(const QVariant &expected, const QVariant &actual, Numbers numbers)
{
    if (isEmptyCell(expected) || isEmptyCell(actual))
        return isEmptyCell(expected) && isEmptyCell(actual);
    const bool number = expected.typeId() != QMetaType::QString;
    if (!number)
        return actual.typeId() == QMetaType::QString && actual.toString() == expected.toString();
    if (numbers == Numbers::AsText) {
        bool ok = false;
        const double read = actual.toString().toDouble(&ok);
        if (expected.typeId() == QMetaType::LongLong || expected.typeId() == QMetaType::Int)
            return actual.toString() == expected.toString();
        return ok && read == expected.toDouble();
    }
    if (actual.typeId() != QMetaType::Double)
        return false;
    const double e = expected.toDouble(), a = actual.toDouble();
    if (numbers == Numbers::SixteenDigits)
        return QString::number(e, 'g', 16) == QString::number(a, 'g', 16);
    return a == e;
}

QString show(const QVariant &v)
{
    const QString s = v.isNull() ? QStringLiteral("<empty>") : QStringLiteral("%1 (%2)").arg(v.toString(), QLatin1String(v.typeName()));
    return s.size() > 80 ? s.left(40) + QStringLiteral("…") + s.right(30) : s;
}

} // namespace

QString firstDifference(const QList<QVariantList> &expectedRows, const QList<QVariantList> &actualRows, Numbers numbers)
{
    const QList<QVariantList> expected = trimmed(expectedRows), actual = trimmed(actualRows);
    for (qsizetype r = 0; r < std::max(expected.size(), actual.size()); ++r) {
        const QVariantList e = expected.value(r), a = actual.value(r);
        for (qsizetype c = 0; c < std::max(e.size(), a.size()); ++c)
            if (!sameCell(e.value(c), a.value(c), numbers))
                return QStringLiteral("row %1, column %2: expected %3, read %4").arg(r).arg(c).arg(show(e.value(c)), show(a.value(c)));
    }
    return QString();
}
