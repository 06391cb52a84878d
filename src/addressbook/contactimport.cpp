#include "addressbook/contactimport.h"

#include "exchange/contactcsvreader.h"
#include "exchange/vcardreader.h"

#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace addressbook {

using exchange::Contact;
using exchange::ContactField;
using exchange::contactFields;
using exchange::nameKey;

namespace {

constexpr int kContactsPerStep = 200;

bool isDeletedGroup(const QString &code)
{
    return code.compare(QLatin1String("z"), Qt::CaseInsensitive) == 0;
}

QString columnList()
{
    QStringList names;
    for (const ContactField &f : contactFields())
        names.append(f.column);
    return names.join(QLatin1Char(','));
}

// An empty field is stored as the card leaves it: without a value.
QVariant stored(const QString &value)
{
    return value.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(value);
}

// Fills the empty fields of `into` from `from`; true when one was filled. The group and the name
// are the stored contact's own.
bool fillEmpty(Contact &into, const Contact &from)
{
    bool filled = false;
    for (const ContactField &f : contactFields()) {
        if (f.member == &Contact::groupCode || f.member == &Contact::name)
            continue;
        QString &mine = into.*f.member;
        const QString &theirs = from.*f.member;
        if (mine.trimmed().isEmpty() && !theirs.trimmed().isEmpty()) {
            mine = theirs;
            filled = true;
        }
    }
    return filled;
}

} // namespace

ContactImporter::ContactImporter(Connection &db)
    : m_db(db)
{
}

exchange::ContactImport ContactImporter::readFile(const QString &path)
{
    if (path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        return exchange::ContactCsvReader::readFile(path);
    return exchange::VCardReader::readFile(path);
}

DbResult ContactImporter::load()
{
    m_groups.clear();
    m_stored.clear();
    QSqlQuery q(m_db.sqlDatabase());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT zuhao0, zuming FROM t_group ORDER BY zuhao0")))
        return m_db.failure(q.lastError());
    while (q.next())
        m_groups.append({q.value(0).toString(), q.value(1).toString()});
    if (!q.exec(QStringLiteral("SELECT id, xingm0 FROM t_telinfo")))
        return m_db.failure(q.lastError());
    while (q.next())
        m_stored.insert(nameKey(q.value(1).toString()), q.value(0).toLongLong());
    return {};
}

int ContactImporter::clashes(const exchange::ContactImport &file) const
{
    QSet<QString> seen;
    int n = 0;
    for (const Contact &c : file.contacts) {
        const QString key = nameKey(c.name);
        if (m_stored.contains(key) || seen.contains(key))
            ++n;
        seen.insert(key);
    }
    return n;
}

QString ContactImporter::firstClash(const exchange::ContactImport &file) const
{
    QSet<QString> seen;
    for (const Contact &c : file.contacts) {
        const QString key = nameKey(c.name);
        if (m_stored.contains(key) || seen.contains(key))
            return c.name;
        seen.insert(key);
    }
    return QString();
}

QString ContactImporter::groupOf(const Contact &c, const QString &menuGroup) const
{
    // The CSV's 組别 holds a code, as the export writes it; a group's name is taken too.
    const QString named = c.groupCode.trimmed();
    if (!named.isEmpty()) {
        for (const auto &g : m_groups)
            if (g.first == named)
                return g.first;
        for (const auto &g : m_groups)
            if (g.second.compare(named, Qt::CaseInsensitive) == 0)
                return g.first;
    }
    if (menuGroup != QLatin1String("%"))
        return menuGroup;
    for (const QString &category : c.categories)
        for (const auto &g : m_groups)
            if (g.second.compare(category.trimmed(), Qt::CaseInsensitive) == 0)
                return g.first;
    for (const auto &g : m_groups)
        if (!isDeletedGroup(g.first))
            return g.first;
    return QString();
}

DbResult ContactImporter::storedContact(qint64 id, Contact *out) const
{
    QSqlQuery q(m_db.sqlDatabase());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT ") + columnList() + QStringLiteral(" FROM t_telinfo WHERE id = ?"));
    q.addBindValue(id);
    if (!q.exec())
        return m_db.failure(q.lastError());
    if (!q.next())
        return DbResult::failure(DbResult::ProgramCode, QStringLiteral("要补全的联系人已不在数据库中。"));
    for (int i = 0; i < contactFields().size(); ++i)
        (*out).*contactFields().at(i).member = q.value(i).toString();
    return {};
}

DbResult ContactImporter::plan(const exchange::ContactImport &file, const QString &menuGroup, NameClash clash,
                               ImportPlan *out) const
{
    *out = ImportPlan();
    out->notes = file.warnings;
    out->notes += file.skipped;
    out->skipped = int(file.skipped.size());

    // Names taken: by stored contacts, and by the file's own cards as they are planned.
    QHash<QString, qint64> stored = m_stored;
    QHash<QString, qsizetype> planned;   // nameKey -> index in out->writes
    const auto taken = [&](const QString &key) { return stored.contains(key) || planned.contains(key); };

    for (qsizetype i = 0; i < file.contacts.size(); ++i) {
        Contact c = file.contacts.at(i);
        // The line of the card is known only to the reader's notes; the contact's name says which.
        const auto note = [&](const QString &text) { out->notes.append({0, c.name, text}); };
        const QString key = nameKey(c.name);
        if (taken(key)) {
            if (clash == NameClash::Skip) {
                note(QStringLiteral("%1: 与已有的联系人同名,未导入。").arg(c.name));
                ++out->skipped;
                continue;
            }
            if (clash == NameClash::FillEmpty) {
                bool filled = false;
                if (planned.contains(key)) {
                    filled = fillEmpty(out->writes[planned.value(key)].contact, c);
                } else {
                    PlannedContact fill{PlannedContact::Fill, Contact(), stored.value(key)};
                    if (DbResult read = storedContact(fill.id, &fill.contact); !read)
                        return read;
                    // A stored contact that nothing is filled into is not written at all.
                    if ((filled = fillEmpty(fill.contact, c))) {
                        planned.insert(key, out->writes.size());
                        out->writes.append(fill);
                    }
                }
                if (filled) {
                    ++out->merged;
                } else {
                    note(QStringLiteral("%1: 与已有的联系人同名,已有的没有可补的空白栏目,未导入。").arg(c.name));
                    ++out->skipped;
                }
                continue;
            }
            const QString renamed = exchange::uniqueName(c.name, taken);
            note(QStringLiteral("%1: 与已有的联系人同名,改名为“%2”导入。").arg(c.name, renamed));
            c.name = renamed;
        }
        c.groupCode = groupOf(c, menuGroup);
        if (c.groupCode.isEmpty())
            return DbResult::failure(DbResult::ProgramCode,
                                     QStringLiteral("通讯录中没有可以放入联系人的组(“已删除”之外),请先在设置中添加一个组。"));
        planned.insert(nameKey(c.name), out->writes.size());
        out->writes.append({PlannedContact::Add, c, 0});
        ++out->added;
    }
    return {};
}

ContactImporter::Outcome ContactImporter::write(const ImportPlan &plan, const Progress &progress, DbResult *failure)
{
    *failure = DbResult();
    if (m_db.inTransaction()) {
        *failure = DbResult::failure(DbResult::ProgramCode, QStringLiteral("另一项修改尚未结束,请先保存或放弃它,再导入。"));
        return Outcome::Failed;
    }
    const auto undo = [&](Outcome outcome, const DbResult &why) {
        m_db.rollback();
        *failure = why;
        return outcome;
    };
    if (DbResult opened = m_db.begin(); !opened)
        return undo(Outcome::Failed, opened);

    QStringList marks(contactFields().size(), QStringLiteral("?"));
    QStringList sets;
    for (const ContactField &f : contactFields())
        sets.append(f.column + QStringLiteral(" = ?"));
    QSqlQuery insert(m_db.sqlDatabase()), update(m_db.sqlDatabase());
    if (!insert.prepare(QStringLiteral("INSERT INTO t_telinfo (") + columnList() + QStringLiteral(") VALUES (")
                        + marks.join(QLatin1Char(',')) + QLatin1Char(')')))
        return undo(Outcome::Failed, m_db.failure(insert.lastError()));
    if (!update.prepare(QStringLiteral("UPDATE t_telinfo SET ") + sets.join(QLatin1Char(',')) + QStringLiteral(" WHERE id = ?")))
        return undo(Outcome::Failed, m_db.failure(update.lastError()));

    const qint64 total = plan.writes.size();
    if (progress && !progress(0, total))
        return undo(Outcome::Cancelled, {});
    for (qint64 i = 0; i < total; ++i) {
        const PlannedContact &w = plan.writes.at(i);
        QSqlQuery &q = w.kind == PlannedContact::Add ? insert : update;
        int at = 0;
        for (const ContactField &f : contactFields())
            q.bindValue(at++, stored(w.contact.*f.member));
        if (w.kind == PlannedContact::Fill)
            q.bindValue(at, w.id);
        if (!q.exec())
            return undo(Outcome::Failed, m_db.failure(q.lastError()));
        if (progress && ((i + 1) % kContactsPerStep == 0 || i + 1 == total) && !progress(i + 1, total))
            return undo(Outcome::Cancelled, {});
    }
    if (DbResult committed = m_db.commit(); !committed)
        return undo(Outcome::Failed, committed);
    load();
    return Outcome::Stored;
}

} // namespace addressbook
