// The notebook page against SQLite itself:
//   expanding a group of 5,000 notes of 8 KB each, from the expansion to the painted tree, against
//   stepping the same query of the group's notes with SQLite (target: at most 2);
//   opening a note of 32 KB, from the selection to the painted editor, against reading that row
//   with SQLite and setting its text into a bare text field of the same size (target: at most 2).
// CPU time of this thread, median of several rounds.

#include "app/appinfo.h"
#include "app/application.h"
#include "app/schema.h"
#include "app/connection.h"
#include "notebook/noteeditor.h"
#include "notebook/notebookpage.h"
#include "timing.h"
#include "widgets/handletree.h"

#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>
#include <vector>

using bench::cpuMs;
using bench::median;

namespace {

constexpr int kGroupNotes = 5000;
constexpr int kNoteBytes = 8 * 1024;
constexpr int kRounds = 15;

// About `bytes` bytes (GBK) of Chinese and ASCII, different for every `seed`.
QString noteText(int bytes, int seed)
{
    const QString words[] = {QStringLiteral("今天"), QStringLiteral("会议"), QStringLiteral("project "),
                             QStringLiteral("计划"), QStringLiteral("deadline "), QStringLiteral("。\n"),
                             QStringLiteral("学习笔记"), QStringLiteral("42 ")};
    QString text;
    int size = 0;
    for (unsigned i = unsigned(seed); size < bytes; i = i * 1103515245u + 12345u) {
        const QString &w = words[(i >> 16) % std::size(words)];
        text += w;
        for (QChar c : w)
            size += c.unicode() < 0x80 ? 1 : 2;
    }
    return text;
}

bool fill(sqlite3 *db)
{
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO p_info (gid, title, content) VALUES (?, ?, ?)", -1, &st, nullptr);
    auto add = [st](const char *gid, const QString &title, const QString &content) {
        const QByteArray t = title.toUtf8(), c = content.toUtf8();
        sqlite3_bind_text(st, 1, gid, -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 2, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 3, c.constData(), int(c.size()), SQLITE_TRANSIENT);
        const bool ok = sqlite3_step(st) == SQLITE_DONE;
        sqlite3_reset(st);
        return ok;
    };
    bool ok = true;
    for (int i = 0; i < kGroupNotes && ok; ++i)
        ok = add("1", QStringLiteral("笔记 %1").arg((i * 7919) % kGroupNotes, 5, 10, QLatin1Char('0')), noteText(kNoteBytes, i));
    // The notes opened: one of 32 KB and a short one to switch away to between rounds.
    ok = ok && add("2", QStringLiteral("长笔记"), noteText(32760, 7)) && add("2", QStringLiteral("短笔记"), QStringLiteral("短"));
    sqlite3_finalize(st);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    return ok;
}

// Steps the group's query as the tree reads it, touching every value as text.
double rawGroupMs(sqlite3 *db)
{
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT p_info.id, p_info.gid, p_info.title, p_info.content FROM p_info "
                       "WHERE p_info.gid = ? ORDER BY p_info.title ASC",
                       -1, &st, nullptr);
    const double start = cpuMs();
    sqlite3_bind_text(st, 1, "1", -1, SQLITE_STATIC);
    qint64 bytes = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        bytes += sqlite3_column_int64(st, 0);
        for (int c = 1; c < 4; ++c) {
            sqlite3_column_text16(st, c);
            bytes += sqlite3_column_bytes16(st, c);
        }
    }
    const double ms = cpuMs() - start;
    sqlite3_finalize(st);
    if (bytes == 0)
        std::fprintf(stderr, "the group is empty\n");
    return ms;
}

// Reads the note's row and shows its text in a bare field.
double rawOpenMs(sqlite3 *db, qlonglong id, QPlainTextEdit &bare)
{
    bare.setPlainText(QString());
    bare.repaint();
    const double start = cpuMs();
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "SELECT gid, title, content FROM p_info WHERE id = ?", -1, &st, nullptr);
    sqlite3_bind_int64(st, 1, id);
    QString content;
    if (sqlite3_step(st) == SQLITE_ROW)
        content = QString::fromUtf16(static_cast<const char16_t *>(sqlite3_column_text16(st, 2)),
                                     sqlite3_column_bytes16(st, 2) / 2);
    sqlite3_finalize(st);
    bare.setPlainText(content);
    bare.repaint();
    return cpuMs() - start;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    QTemporaryDir dir;
    setAppFolder(dir.path());
    const QString path = appFile(QStringLiteral("mivo.mdb"));
    QString error;
    if (!createDatabase(path, &error)) {
        std::fprintf(stderr, "database: %s\n", qPrintable(error));
        return 1;
    }
    Connection connection;
    if (const DbResult opened = connection.open(path); !opened) {
        std::fprintf(stderr, "connect: %s\n", qPrintable(opened.reason));
        return 1;
    }
    sqlite3 *db = connection.handle();
    if (!fill(db)) {
        std::fprintf(stderr, "filling the notes: %s\n", sqlite3_errmsg(db));
        return 1;
    }

    NotebookPage page(connection);
    page.resize(1000, 700);
    page.show();

    std::vector<double> raw, expand;
    for (int round = 0; round < kRounds; ++round) {
        raw.push_back(rawGroupMs(db));
        // A fresh tree each round: the group has never been expanded.
        page.rebuild();
        QCoreApplication::processEvents();
        const long group = page.groupTree->findChildByData(page.groupTree->findItem(widgets::TreeNavigation::Root), QStringLiteral("1"));
        const double start = cpuMs();
        page.groupTree->expandItem(group);
        page.groupTree->viewport()->repaint();
        expand.push_back(cpuMs() - start);
        if (page.groupTree->childCount(group) != kGroupNotes) {
            std::fprintf(stderr, "expanded %ld notes, expected %d\n", page.groupTree->childCount(group), kGroupNotes);
            return 1;
        }
    }
    std::printf("expanding a group of %d notes of %d KB: %.2f ms; SQLite stepping its query: %.2f ms; ratio %.2f (target <= 2.00)\n",
                kGroupNotes, kNoteBytes / 1024, median(expand), median(raw), median(expand) / median(raw));

    const long group = page.groupTree->findChildByData(page.groupTree->findItem(widgets::TreeNavigation::Root), QStringLiteral("2"));
    page.groupTree->expandItem(group);
    const long longNote = page.groupTree->findChildByLabel(group, QStringLiteral("长笔记"));
    const long shortNote = page.groupTree->findChildByLabel(group, QStringLiteral("短笔记"));
    QPlainTextEdit bare;
    bare.setFont(page.editor->textEdit->font());
    bare.resize(page.editor->textEdit->size());
    bare.show();
    QCoreApplication::processEvents();
    std::vector<double> rawOpen, open;
    qlonglong id = 0;
    for (int round = 0; round < kRounds; ++round) {
        page.groupTree->selectItem(shortNote);
        page.editor->textEdit->repaint();
        const double start = cpuMs();
        page.groupTree->selectItem(longNote);
        page.editor->textEdit->repaint();
        open.push_back(cpuMs() - start);
        id = page.noteId;
        rawOpen.push_back(rawOpenMs(db, id, bare));
    }
    if (page.editor->text() != bare.toPlainText() || page.editor->text().size() < 10000) {
        std::fprintf(stderr, "the editor does not show the note\n");
        return 1;
    }
    std::printf("opening a note of 32 KB: %.2f ms; SQLite reading it into a bare text field: %.2f ms; ratio %.2f (target <= 2.00)\n",
                median(open), median(rawOpen), median(open) / median(rawOpen));
    connection.close();
    return 0;
}
