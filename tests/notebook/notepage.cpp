#include "notepage.h"

#include "app/transaction.h"
#include "notebook/notetext.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

// The pictures the page names, as the build drew them.
void deliverPictures(const AppFolder &folder)
{
    QDir().mkpath(folder.file(QStringLiteral("resource")));
    const QStringList names{QStringLiteral("i004.ico"), QStringLiteral("i006.ico"), QStringLiteral("i007.ico"),
                            QStringLiteral("i008.ico"), QStringLiteral("i009.ico"), QStringLiteral("i010.ico"),
                            QStringLiteral("P002.gif"), QStringLiteral("P003.gif"), QStringLiteral("P004.gif"),
                            QStringLiteral("P005.gif"), QStringLiteral("P006.gif")};
    for (const QString &name : names)
        if (!QFile::copy(QStringLiteral(MIVO_BINARY_DIR "/bin/resource/") + name, folder.file(QStringLiteral("resource/") + name)))
            qFatal("cannot deliver %s", qPrintable(name));
}

} // namespace

NotePage::NotePage(const QList<Note> &notes, const std::optional<Groups> &groups)
    : PageOnDisk([&] {
          deliverPictures(folder);
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
    QLineEdit *sle = editor()->sle_1;
    click(sle);
    sle->selectAll();
    QTest::keyClick(sle, Qt::Key_Delete);
    drive::typeText(sle, text);
}

void NotePage::typeText(const QString &text)
{
    QPlainTextEdit *mle = editor()->mle_1;
    QTest::mouseClick(mle->viewport(), Qt::LeftButton);
    mle->selectAll();
    QTest::keyClick(mle, Qt::Key_Delete);
    drive::typeText(mle, text);
}

void NotePage::pasteText(const QString &text)
{
    QPlainTextEdit *mle = editor()->mle_1;
    QTest::mouseClick(mle->viewport(), Qt::LeftButton);
    mle->selectAll();
    mle->insertPlainText(text);
}

void NotePage::chooseEntry(int entry)
{
    QComboBox *combo = editor()->ddlb_1;
    combo->setFocus();
    while (combo->currentIndex() > entry)
        QTest::keyClick(combo, Qt::Key_Up);
    while (combo->currentIndex() < entry)
        QTest::keyClick(combo, Qt::Key_Down);
}

int NotePage::noteCount(const QString &where) const
{
    return scalar(QStringLiteral("SELECT count(*) FROM p_info WHERE ") + where).toInt();
}

qlonglong NotePage::idOf(const QString &gid, const QString &title) const
{
    return scalar(QStringLiteral("SELECT min(id) FROM p_info WHERE gid = ? AND title = ?"), {gid, title}).toLongLong();
}

QVariant NotePage::stored(qlonglong id, const QString &column) const
{
    return scalar(QStringLiteral("SELECT %1 FROM p_info WHERE id = ?").arg(column), {id});
}

QStringList NotePage::comboEntries(const QComboBox *combo) const
{
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i)
        entries << combo->itemText(i);
    return entries;
}

QString textOf(const QPlainTextEdit *field)
{
    return notetext::text(field);
}
