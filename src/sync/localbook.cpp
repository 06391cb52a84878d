#include "sync/localbook.h"

#include "app/schema.h"
#include "app/connection.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace contactsync {

namespace {

using exchange::contactFields;
using exchange::ContactField;

const QString kBookUid = QString(QLatin1String(""));

// The contact's columns, as exchange lists them, less the group code which the side keeps apart.
QList<const ContactField *> textColumns()
{
    QList<const ContactField *> out;
    for (const ContactField &f : contactFields())
        if (f.member != &Contact::groupCode)
            out.append(&f);
    return out;
}

QString columnList()
{
    QStringList names;
    for (const ContactField *f : textColumns())
        names.append(f->column);
    return names.join(QLatin1Char(','));
}

QVariant text(const QString &value)
{
    return value.isNull() ? QVariant(QString(QLatin1String(""))) : QVariant(value);
}

Side sideOf(const QSqlQuery &q, int first)
{
    Side s;
    s.group = q.value(first).toString();
    int i = first + 1;
    for (const ContactField *f : textColumns())
        s.contact.*f->member = q.value(i++).toString();
    return s;
}

class Writer
{
public:
    Writer(Connection &db, const QStringList &busyNames)
        : m_db(db)
    {
        for (const QString &n : busyNames)
            m_busy.insert(exchange::nameKey(n));
    }

    // The first failure, where run() said false.
    DbResult result;

    bool run(QList<LocalWrite> &writes)
    {
        if (result = m_db.begin(); !result)
            return false;
        for (LocalWrite &w : writes)
            if (!one(w))
                return false;
        return true;
    }

private:
    bool failed(const QSqlQuery &q)
    {
        result = m_db.failure(q.lastError());
        return false;
    }

    bool exec(QSqlQuery &q, const QString &sql, const QVariantList &values)
    {
        if (q.lastQuery() != sql && !q.prepare(sql))
            return failed(q);
        for (int i = 0; i < values.size(); ++i)
            q.bindValue(i, values.at(i));
        return q.exec() || failed(q);
    }

    bool loadNames()
    {
        if (m_namesLoaded)
            return true;
        QSqlQuery q(m_db.sqlDatabase());
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("SELECT xingm0 FROM t_telinfo")))
            return failed(q);
        while (q.next())
            m_names.insert(exchange::nameKey(q.value(0).toString()));
        m_namesLoaded = true;
        return true;
    }

    bool taken(const QString &key) const { return m_names.contains(key) || m_busy.contains(key); }

    // The contact as it is now: its name and its fingerprint; false where it is gone.
    bool current(qint64 id, QString *name, quint64 *print)
    {
        if (!exec(m_find, QStringLiteral("SELECT zuhao0,") + columnList() + QStringLiteral(" FROM t_telinfo WHERE id = ?"), {id}))
            return false;
        if (!m_find.next()) {
            *name = QString();
            return true;
        }
        const Side s = sideOf(m_find, 0);
        m_find.finish();
        *name = s.contact.name;
        *print = fingerprint(s.contact, s.group);
        return true;
    }

    // Whether `w` may act on its contact, whose name it gives; sets its result where it may not.
    bool mayTouch(LocalWrite &w, bool *ok, QString *nameOut = nullptr)
    {
        QString name;
        quint64 print = 0;
        *ok = current(w.telid, &name, &print);
        if (!*ok)
            return false;
        if (nameOut)
            *nameOut = name;
        if (name.isNull() || (w.check && print != w.expected))
            w.result = LocalWrite::Changed;
        else if (m_busy.contains(exchange::nameKey(name)))
            w.result = LocalWrite::Busy;
        else
            return true;
        return false;
    }

    QVariantList values(const Side &s, const QString &name)
    {
        QVariantList v{text(s.group)};
        for (const ContactField *f : textColumns())
            v.append(text(f->member == &Contact::name ? name : s.contact.*f->member));
        return v;
    }

    bool setLink(const Link &l)
    {
        return exec(m_link, QStringLiteral("INSERT OR REPLACE INTO t_telsync (uid, telid, href, etag, synced) VALUES (?, ?, ?, ?, ?)"),
                    {l.uid, l.telid ? QVariant(l.telid) : QVariant(), l.path,
                     l.confirmed ? QVariant(QString::fromUtf8(l.etag)) : QVariant(), l.base});
    }

    bool one(LocalWrite &w)
    {
        bool ok = true;
        switch (w.kind) {
        case LocalWrite::Insert: {
            if (!loadNames())
                return false;
            w.storedName = exchange::uniqueName(w.side.contact.name, [this](const QString &k) { return taken(k); });
            QStringList marks(textColumns().size() + 1, QStringLiteral("?"));
            if (!exec(m_insert, QStringLiteral("INSERT INTO t_telinfo (zuhao0,") + columnList() + QStringLiteral(") VALUES (")
                                    + marks.join(QLatin1Char(',')) + QLatin1Char(')'),
                      values(w.side, w.storedName)))
                return false;
            m_names.insert(exchange::nameKey(w.storedName));
            w.telid = m_insert.lastInsertId().toLongLong();
            w.link.telid = w.telid;
            if (!setLink(w.link))
                return false;
            break;
        }
        case LocalWrite::Update: {
            QString old;
            if (!loadNames())
                return false;
            if (!mayTouch(w, &ok, &old))
                return ok;
            m_names.remove(exchange::nameKey(old));
            w.storedName = exchange::nameKey(w.side.contact.name) == exchange::nameKey(old)
                ? w.side.contact.name
                : exchange::uniqueName(w.side.contact.name, [this](const QString &k) { return taken(k); });
            QStringList sets{QStringLiteral("zuhao0 = ?")};
            for (const ContactField *f : textColumns())
                sets.append(f->column + QStringLiteral(" = ?"));
            QVariantList v = values(w.side, w.storedName);
            v.append(w.telid);
            if (!exec(m_update, QStringLiteral("UPDATE t_telinfo SET ") + sets.join(QLatin1Char(',')) + QStringLiteral(" WHERE id = ?"), v))
                return false;
            m_names.insert(exchange::nameKey(w.storedName));
            if (w.withLink && !setLink(w.link))
                return false;
            break;
        }
        case LocalWrite::MoveToDeleted:
            if (!mayTouch(w, &ok))
                return ok;
            if (!exec(m_move, QStringLiteral("UPDATE t_telinfo SET zuhao0 = ? WHERE id = ?"), {w.side.group, w.telid})
                || !exec(m_drop, QStringLiteral("DELETE FROM t_telsync WHERE uid = ?"), {w.link.uid}))
                return false;
            break;
        case LocalWrite::SetLink:
            if (w.check && !mayTouch(w, &ok))
                return ok;
            if (!setLink(w.link))
                return false;
            break;
        case LocalWrite::DropLink:
            if (!exec(m_drop, QStringLiteral("DELETE FROM t_telsync WHERE uid = ?"), {w.link.uid}))
                return false;
            break;
        case LocalWrite::SetBook:
            if (!setLink({kBookUid, 0, w.bookPath, w.syncToken.toUtf8(), true, w.listingOnly ? QByteArray("listing") : QByteArray()}))
                return false;
            break;
        case LocalWrite::DropAllLinks: {
            QSqlQuery q(m_db.sqlDatabase());
            if (!q.exec(QStringLiteral("DELETE FROM t_telsync")))
                return failed(q);
            break;
        }
        }
        w.result = LocalWrite::Done;
        return true;
    }

    Connection &m_db;
    QSet<QString> m_busy, m_names;
    bool m_namesLoaded = false;
    QSqlQuery m_find{m_db.sqlDatabase()}, m_insert{m_db.sqlDatabase()}, m_update{m_db.sqlDatabase()},
        m_move{m_db.sqlDatabase()}, m_drop{m_db.sqlDatabase()}, m_link{m_db.sqlDatabase()};
};

Problem databaseProblem(const DbResult &r)
{
    return {Failure::Database, r.reason};
}

} // namespace

LocalBook::LocalBook(Connection &db)
    : m_db(db)
{
}

bool LocalBook::idle() const
{
    return m_db.isOpen() && !m_db.inTransaction();
}

Problem LocalBook::prepare()
{
    QSqlQuery q(m_db.sqlDatabase());
    if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND lower(name) = 't_telsync'")) || !q.next())
        return databaseProblem(m_db.failure(q.lastError()));
    if (q.value(0).toInt() > 0)
        return {};
    q.finish();
    // The table as the schema makes it for a new database, between its marks.
    const QString schema = schemaSql();
    const qsizetype from = schema.indexOf(QStringLiteral("-- contact sync: begin"));
    const qsizetype to = schema.indexOf(QStringLiteral("-- contact sync: end"));
    DbResult made = m_db.execute(schema.mid(from, to - from));
    if (made)
        made = m_db.commit();
    if (!made)
        m_db.rollback();
    return made ? Problem() : databaseProblem(made);
}

Problem LocalBook::read(LocalSnapshot *out, const QStringList &busyNames)
{
    *out = LocalSnapshot();
    for (const QString &n : busyNames)
        out->busyKeys.insert(exchange::nameKey(n));
    QSqlQuery q(m_db.sqlDatabase());
    q.setForwardOnly(true);
    auto fail = [&] { return databaseProblem(m_db.failure(q.lastError())); };
    if (!q.exec(QStringLiteral("SELECT zuhao0, zuming FROM t_group ORDER BY zuhao0")))
        return fail();
    while (q.next())
        out->groups.groups.append({q.value(0).toString(), q.value(1).toString()});
    if (!q.exec(QStringLiteral("SELECT id, zuhao0,") + columnList() + QStringLiteral(" FROM t_telinfo")))
        return fail();
    while (q.next()) {
        LocalContact c{q.value(0).toLongLong(), sideOf(q, 1), 0};
        c.print = fingerprint(c.side.contact, c.side.group);
        out->contacts.append(std::move(c));
    }
    if (!q.exec(QStringLiteral("SELECT uid, telid, href, etag, synced FROM t_telsync")))
        return fail();
    while (q.next()) {
        Link l{q.value(0).toString(), q.value(1).toLongLong(), q.value(2).toString(), q.value(3).toString().toUtf8(),
               !q.value(3).isNull(), q.value(4).toByteArray()};
        if (!l.uid.isEmpty()) {
            out->links.append(std::move(l));
        } else {
            out->bookPath = l.path;
            out->syncToken = QString::fromUtf8(l.etag);
            out->listingOnly = l.base == "listing";
        }
    }
    return {};
}

Problem LocalBook::write(QList<LocalWrite> &writes, const QStringList &busyNames)
{
    DbResult result;
    {
        Writer writer(m_db, busyNames);
        result = writer.run(writes) ? DbResult() : writer.result;
    }
    if (result)
        result = m_db.commit();
    if (result)
        return {};
    m_db.rollback();
    for (LocalWrite &w : writes)
        w.result = LocalWrite::Pending;
    return databaseProblem(result);
}

} // namespace contactsync
