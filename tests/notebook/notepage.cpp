#include "notepage.h"

#include <QDir>
#include <QFile>
#include <QTest>

NotePage::NotePage(const QList<Note> &notes, const std::optional<Groups> &groups)
    : PageDriver([&] {
          QDir().mkpath(folder.file(QStringLiteral("resource")));
          for (const char *name : {"i004.ico", "i006.ico", "i007.ico", "i008.ico", "i009.ico", "i010.ico", "P002.gif",
                                   "P003.gif", "P004.gif", "P005.gif", "P006.gif"})
              if (!QFile::copy(QStringLiteral(MIVO_BINARY_DIR "/bin/resource/") + QLatin1String(name),
                               folder.file(QStringLiteral("resource/") + QLatin1String(name))))
                  qFatal("cannot deliver %s", name);
          if (groups) {
              exec(QStringLiteral("DELETE FROM p_group"));
              for (const auto &g : *groups)
                  exec(QStringLiteral("INSERT INTO p_group (groupid, groupname) VALUES (?, ?)"), {g.first, g.second});
          }
          for (const Note &n : notes)
              exec(QStringLiteral("INSERT INTO p_info (gid, title, content) VALUES (?, ?, ?)"), {n.gid, n.title, n.content});
      })
{
}

void NotePage::typeTitle(const QString &text)
{
    click(editor()->sle_1);
    editor()->sle_1->selectAll();
    QTest::keyClick(editor()->sle_1, Qt::Key_Delete);
    drive::typeText(editor()->sle_1, text);
}

void NotePage::typeText(const QString &text)
{
    pasteText(QString());
    drive::typeText(editor()->mle_1, text);
}

void NotePage::pasteText(const QString &text)
{
    QTest::mouseClick(editor()->mle_1->viewport(), Qt::LeftButton);
    editor()->mle_1->selectAll();
    editor()->mle_1->insertPlainText(text);
}

void NotePage::chooseEntry(int entry)
{
    QComboBox *combo = editor()->ddlb_1;
    combo->setFocus();
    while (combo->currentIndex() != entry)
        QTest::keyClick(combo, combo->currentIndex() > entry ? Qt::Key_Up : Qt::Key_Down);
}

int NotePage::noteCount(const QString &where) const
{
    return scalar(QStringLiteral("SELECT count(*) FROM p_info WHERE ") + where).toInt();
}

qlonglong NotePage::idOf(const QString &gid, const QString &title) const
{
    return scalar(QStringLiteral("SELECT min(id) FROM p_info WHERE gid = ? AND title = ?"), {gid, title}).toLongLong();
}

QString NotePage::content(qlonglong id) const
{
    return scalar(QStringLiteral("SELECT content FROM p_info WHERE id = ?"), {id}).toString();
}

QStringList entries(const QComboBox *combo)
{
    QStringList list;
    for (int i = 0; i < combo->count(); ++i)
        list << combo->itemText(i);
    return list;
}
