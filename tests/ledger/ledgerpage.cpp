#include "ledgerpage.h"

#include "app/globals.h"
#include "app/connection.h"
#include "views/dataview.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <sqlite3.h>

void addEntries(const QList<Entry> &entries)
{
    for (const Entry &e : entries)
        if (const DbResult added = testDb().execute(QStringLiteral("INSERT INTO t_account (vtype, vdate, vname, vmoney) VALUES (?, ?, ?, ?)"),
                                                    {e.type, e.date.isNull() ? QVariant() : QVariant(e.date), e.name, e.money});
            !added)
            qFatal("cannot add an entry: %s", qPrintable(added.reason));
    if (const DbResult done = testDb().commit(); !done)
        qFatal("cannot commit the entries: %s", qPrintable(done.reason));
}

namespace {

int traceListReads(unsigned, void *counter, void *statement, void *)
{
    const char *sql = sqlite3_sql(static_cast<sqlite3_stmt *>(statement));
    if (sql && QByteArray(sql).startsWith("SELECT vdate, vname, vmoney"))
        ++*static_cast<int *>(counter);
    return 0;
}

} // namespace

LedgerPage::LedgerPage(const QDate &today, const QList<Entry> &entries, const QByteArray &settings, int *listReads)
    : PageOnDisk<u_account>([&] {
        static_cast<fake::Clock *>(platform::services().clock.get())->current = QDateTime(today, QTime(9, 0));
        if (!settings.isNull()) {
            QFile f(appFile(QStringLiteral("client.ini")));
            if (!f.open(QIODevice::WriteOnly) || f.write(settings) != settings.size())
                qFatal("cannot write the settings file");
        }
        addEntries(entries);
        if (listReads) {
            *listReads = 0;
            sqlite3_trace_v2(testDb().handle(), SQLITE_TRACE_STMT, traceListReads, listReads);
        }
    })
{
}

void LedgerPage::showTab(int index)
{
    QTabBar *bar = page->tab_1->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    QCoreApplication::processEvents();
}

void LedgerPage::typeCell(views::DataView *dw, const QString &column, long row, const QString &text)
{
    drive::clickObject(dw, column, row);
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    if (!editor || !dw->isAncestorOf(editor))
        qFatal("no editor opened in %s row %ld", qPrintable(column), row);
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Delete);
    drive::typeText(editor, text);
}

bool LedgerPage::hasSettingsFile() const
{
    return QFile::exists(folder.file(QStringLiteral("client.ini")));
}

int LedgerPage::entryCount(const QString &where) const
{
    return scalar(QStringLiteral("SELECT count(*) FROM t_account WHERE ") + where).toInt();
}
