#include "notebookdriver.h"

#include <QDir>
#include <QFile>
#include <QTest>

NotebookDriver::NotebookDriver(const QList<Note> &notes, const std::optional<Groups> &groups)
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

void NotebookDriver::typeTitle(const QString &text)
{
    click(editor()->titleEdit);
    editor()->titleEdit->selectAll();
    QTest::keyClick(editor()->titleEdit, Qt::Key_Delete);
    drive::typeText(editor()->titleEdit, text);
}

void NotebookDriver::typeText(const QString &text)
{
    pasteText(QString());
    drive::typeText(editor()->textEdit, text);
}

void NotebookDriver::pasteText(const QString &text)
{
    QTest::mouseClick(editor()->textEdit->viewport(), Qt::LeftButton);
    editor()->textEdit->selectAll();
    editor()->textEdit->insertPlainText(text);
}

void NotebookDriver::chooseEntry(int entry)
{
    QComboBox *combo = editor()->groupList;
    combo->setFocus();
    while (combo->currentIndex() != entry)
        QTest::keyClick(combo, combo->currentIndex() > entry ? Qt::Key_Up : Qt::Key_Down);
}

int NotebookDriver::noteCount(const QString &where) const
{
    return scalar(QStringLiteral("SELECT count(*) FROM p_info WHERE ") + where).toInt();
}

qlonglong NotebookDriver::idOf(const QString &gid, const QString &title) const
{
    return scalar(QStringLiteral("SELECT min(id) FROM p_info WHERE gid = ? AND title = ?"), {gid, title}).toLongLong();
}

QString NotebookDriver::content(qlonglong id) const
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
