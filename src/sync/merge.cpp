#include "sync/merge.h"

namespace contactsync {

QString GroupTable::deletedCode() const
{
    for (const auto &[code, name] : groups)
        if (isDeleted(code))
            return code;
    return QStringLiteral("Z");
}

QString GroupTable::nameOf(const QString &code) const
{
    for (const auto &[c, name] : groups)
        if (c == code)
            return name;
    return QString();
}

QString GroupTable::codeOf(const QStringList &categories) const
{
    for (const QString &category : categories)
        for (const auto &[code, name] : groups)
            if (!isDeleted(code) && !name.isEmpty() && name == category)
                return code;
    return QString();
}

QString GroupTable::defaultCode() const
{
    for (const auto &[code, name] : groups)
        if (!isDeleted(code))
            return code;
    return QString();
}

QStringList GroupTable::categoriesFor(const QString &code, const QStringList &previous) const
{
    QStringList out;
    const QString name = isDeleted(code) ? QString() : nameOf(code);
    if (!name.isEmpty())
        out.append(name);
    for (const QString &category : previous)
        if (codeOf({category}).isEmpty() && !out.contains(category))
            out.append(category);
    return out;
}

QString withNote(const QString &history, const QDate &today, const QString &heading, const QStringList &lines)
{
    QString out = history;
    if (!out.isEmpty() && !out.endsWith(QLatin1Char('\n')))
        out += QLatin1Char('\n');
    out += QStringLiteral("[%1] %2\n").arg(today.toString(QStringLiteral("yyyy-MM-dd")), heading);
    out += lines.join(QLatin1Char('\n'));
    return out;
}

namespace {

// Both sides changed 交往记录. A record that only grew on one side of the other keeps the longer;
// else the server's stays, and what this side has beyond their common beginning follows it.
QString mergedHistory(const QString &local, const QString &server, const QDate &today, bool *conflict)
{
    *conflict = false;
    if (local.startsWith(server))
        return local;
    if (server.startsWith(local))
        return server;
    qsizetype common = 0;
    while (common < local.size() && common < server.size() && local.at(common) == server.at(common))
        ++common;
    // From the start of the line the two part in, so the note reads as whole lines.
    common = common > 0 ? local.lastIndexOf(QLatin1Char('\n'), common - 1) + 1 : 0;
    *conflict = true;
    return withNote(server, today, QStringLiteral("同步时本机和服务器都改了交往记录,这是本机另有的:"),
                    {local.mid(common)});
}

} // namespace

Merged merge(const Hashes &base, const Side &local, const Contact &server, const GroupTable &groups, const QDate &today)
{
    Merged out;
    out.side = local;
    Contact &m = out.side.contact;
    m.uid = local.contact.uid.isEmpty() ? server.uid : local.contact.uid;
    QStringList notes;
    bool historyConflict = false;
    for (int i = 0; i < kTextSlots; ++i) {
        QString Contact::*f = syncedTexts().at(i);
        const bool here = textHash(local.contact.*f) != base[size_t(i)];
        const bool there = textHash(server.*f) != base[size_t(i)];
        if (!there || local.contact.*f == server.*f)
            continue;   // this side's value stands
        if (!here) {
            m.*f = server.*f;
        } else if (f == &Contact::history) {
            m.history = mergedHistory(local.contact.history, server.history, today, &historyConflict);
            if (historyConflict)
                out.conflicts.append(labelOf(f));
        } else {
            m.*f = server.*f;
            out.conflicts.append(labelOf(f));
            notes.append(labelOf(f) + QStringLiteral(": ") + local.contact.*f);
        }
    }

    const QString serverGroup = groups.codeOf(server.categories);
    const bool groupHere = textHash(local.group) != base[kGroupSlot];
    const bool groupThere = categoriesHash(server.categories) != base[kCategoriesSlot];
    if (groupThere && !serverGroup.isEmpty() && serverGroup != local.group) {
        out.side.group = serverGroup;
        if (groupHere) {
            out.conflicts.append(QStringLiteral("组别"));
            notes.append(QStringLiteral("组别: ") + groups.nameOf(local.group));
        }
    }
    if (!notes.isEmpty())
        m.history = withNote(m.history, today, QStringLiteral("同步时本机和服务器都改了以下内容,保留了服务器上的;本机原来的是:"), notes);

    for (QString Contact::*f : syncedTexts())
        out.toServer |= m.*f != server.*f;
    out.toServer |= groupHere && out.side.group != serverGroup;
    return out;
}

} // namespace contactsync
