// Adding, saving and deleting notes.

#include "notebook/notebookpage.h"

#include "app/textcodec.h"
#include "app/connection.h"
#include "notebook/noteeditor.h"
#include "notebook/notetext.h"
#include "pagekit/helpers.h"
#include "widgets/handletree.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSqlError>
#include <QSqlQuery>

using platform::Icon;
using widgets::TreeItem;
using widgets::TreeNavigation;

namespace {

const pagekit::Box kSaveFailed{QStringLiteral("N09"), QStringLiteral("保存失败!"), Icon::Stop};

// A write failed for a reason of the program's own: the failure box shows it.
DbResult refuse(const QString &reason)
{
    return DbResult::failure(DbResult::ProgramCode, reason);
}

// The group the note is to go into is still there (it may have been deleted on the settings page
// since the tree was built). Runs inside the save's transaction.
DbResult groupExists(Connection &db, const QString &code)
{
    if (DbResult begun = db.begin(); !begun)
        return begun;
    QSqlQuery q(db.sqlDatabase());
    q.prepare(QStringLiteral("SELECT groupid FROM p_group WHERE groupid = ?"));
    q.addBindValue(code);
    if (!q.exec())
        return db.failure(q.lastError());
    if (!q.next())
        return refuse(QStringLiteral("所选的组已不存在,请重新选择一个组。"));
    return {};
}

} // namespace

void NotebookPage::newNote()
{
    // The group of what is selected: a group item's own, or that of the note on display.
    int entry = 0;
    TreeItem item;
    if (groupTree->getItem(groupTree->findItem(TreeNavigation::Current), item)) {
        if (item.level == pagekit::GroupTreeBuilder::GroupLevel)
            entry = groupEntry(item.handle);
        else if (item.level == pagekit::GroupTreeBuilder::MemberLevel)
            entry = editor->groupList->currentIndex();
    }
    tabs->setCurrentWidget(editor);
    editor->groupList->setCurrentIndex(std::max(0, entry));
    editor->titleEdit->clear();
    editor->setText(NoteEditor::placeholder);
    noteId = 0;
}

void NotebookPage::save()
{
    const int entry = editor->groupList->currentIndex();
    const QString title = notetext::trimBlanks(editor->titleEdit->text());
    QString content = editor->text();
    // The untouched placeholder is never stored. An empty note is stored as an empty text, not as
    // NULL, so that every search finds it as it finds any other note.
    if (content.isEmpty() || notetext::trimBlanks(content) == NoteEditor::placeholder)
        content = QStringLiteral("");

    if (gbkLength(content) > notetext::kMaxBytes) {
        pagekit::showBox({QStringLiteral("N03"), QStringLiteral("数据超长,最大数据长度32767!"), Icon::Exclamation});
        return;
    }
    const QString groupCode = groupCodeAt(entry);
    if (groupCode.isEmpty()) {
        pagekit::showBox({QStringLiteral("N04"), QStringLiteral("必须选择一个组!"), Icon::Exclamation});
        tabs->setCurrentWidget(editor);
        editor->groupList->setFocus();
        return;
    }
    if (title.isEmpty()) {
        pagekit::showBox({QStringLiteral("N05"), QStringLiteral("必须输入标题!"), Icon::Exclamation});
        tabs->setCurrentWidget(editor);
        editor->titleEdit->setFocus();
        return;
    }

    // The group is the one at the chosen entry's place (names may repeat), so a note never goes
    // into a group by a name that matched another one, nor into no group at all.
    DbResult written = groupExists(db(), groupCode);
    if (written && noteId != 0) {
        written = db().execute(QStringLiteral("UPDATE p_info SET gid = ?, title = ?, content = ? WHERE id = ?"),
                               {groupCode, title, content, qlonglong(noteId)});
        // The note was deleted meanwhile: nothing was stored. The editor keeps the text, and the
        // next save stores it as a new note.
        if (written && written.rows == 0) {
            noteId = 0;
            written = refuse(QStringLiteral("这条笔记已被删除;再次保存将把它存为一条新笔记。"));
        }
    } else if (written) {
        written = db().execute(QStringLiteral("INSERT INTO p_info (gid, title, content) VALUES (?, ?, ?)"),
                               {groupCode, title, content});
    }
    if (!pagekit::commitOrReport(db(), written, kSaveFailed))
        return;
    pagekit::showBox({QStringLiteral("N07"), QStringLiteral("保存成功!"), Icon::Information});
    rebuild();
    locate(groupCode, title);
}

void NotebookPage::deleteNote()
{
    if (noteId == 0)
        return;
    if (!pagekit::confirm(QStringLiteral("N01"), QStringLiteral("确认删除<") + editor->titleEdit->text() + QStringLiteral(">?")))
        return;
    const QString groupCode = groupCodeAt(editor->groupList->currentIndex());
    // A failed delete (or its commit) is said as such; the tree and the editor keep the note.
    const DbResult written = db().execute(QStringLiteral("DELETE FROM p_info WHERE id = ?"), {qlonglong(noteId)});
    if (!pagekit::commitOrReport(db(), written, {QStringLiteral("N06"), QStringLiteral("删除失败!"), Icon::Stop}))
        return;
    pagekit::showBox({QStringLiteral("N02"), QStringLiteral("删除成功!"), Icon::Information});
    rebuild();
    newNote();
    locate(groupCode);
}
