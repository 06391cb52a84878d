#include "settings/backupcopy.h"

#include "app/writepause.h"
#include "exchange/pendingfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <filesystem>
#include <sqlite3.h>

namespace settings {

using exchange::nativePath;
using exchange::PendingFile;
using exchange::withSystemText;

namespace {

namespace fs = std::filesystem;

// How long a copy waits for a database another program holds locked, in steps of 50 ms.
constexpr int kBusyRetries = 100;

fs::path fsPath(const QString &path)
{
    return fs::path(path.toStdU16String());
}

// The path with links and ".." resolved; for a missing file, its folder's resolved path and its name.
QString resolvedPath(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return QDir::cleanPath((folder.isEmpty() ? info.absolutePath() : folder) + QLatin1Char('/') + info.fileName());
}

QString sqliteText(sqlite3 *db, int rc)
{
    QString text = QString::fromUtf8(sqlite3_errstr(rc));
    // The connection's message tells of its own last call only: a failed copy step leaves it at
    // "not an error".
    if (db && sqlite3_errcode(db) != SQLITE_OK) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db));
        if (!message.isEmpty() && message != text)
            text += QStringLiteral(" (") + message + QLatin1Char(')');
    }
    return text;
}

// What failed, with the disk named when it is full, then the database's own words.
QString failure(const QString &what, sqlite3 *db, int rc)
{
    const QString said = (rc & 0xff) == SQLITE_FULL ? what + QStringLiteral(",磁盘已满") : what;
    return withSystemText(said, sqliteText(db, rc));
}

// The lines PRAGMA quick_check answers; exactly "ok" for a sound database.
QStringList quickCheck(sqlite3 *db)
{
    QStringList lines;
    sqlite3_stmt *s = nullptr;
    int rc = sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &s, nullptr);
    while (rc == SQLITE_OK && (rc = sqlite3_step(s)) == SQLITE_ROW) {
        lines << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, 0)));
        rc = SQLITE_OK;
    }
    if (rc != SQLITE_DONE)
        lines << sqliteText(db, rc);
    sqlite3_finalize(s);
    return lines;
}

// Runs the page-by-page copy from `source` into the open, empty `copy`.
CopyResult copyPages(sqlite3 *source, sqlite3 *copy, const CopyProgress &progress, int pagesPerStep, QString *reason)
{
    // A write from another connection (the search index's build) would make the copy start over.
    const app::WritePause pause;
    sqlite3_backup *backup = sqlite3_backup_init(copy, "main", source, "main");
    if (!backup) {
        *reason = failure(QStringLiteral("无法开始复制数据库"), copy, sqlite3_errcode(copy));
        return CopyResult::Failed;
    }
    CopyResult result = CopyResult::Copied;
    int busy = 0;
    for (;;) {
        const int rc = sqlite3_backup_step(backup, pagesPerStep);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            if (++busy > kBusyRetries) {
                *reason = withSystemText(QStringLiteral("数据库正忙,请稍后再备份"), sqliteText(source, rc));
                result = CopyResult::Failed;
                break;
            }
            sqlite3_sleep(50);
            continue;
        }
        if (rc != SQLITE_OK && rc != SQLITE_DONE) {
            *reason = failure(QStringLiteral("复制数据库失败"), copy, rc);
            result = CopyResult::Failed;
            break;
        }
        busy = 0;
        const int total = sqlite3_backup_pagecount(backup);
        if (progress && !progress(total - sqlite3_backup_remaining(backup), total)) {
            *reason = QStringLiteral("备份已取消。");
            result = CopyResult::Cancelled;
            break;
        }
        if (rc == SQLITE_DONE)
            break;
    }
    const int finished = sqlite3_backup_finish(backup);
    if (result == CopyResult::Copied && finished != SQLITE_OK) {
        *reason = failure(QStringLiteral("复制数据库失败"), copy, finished);
        result = CopyResult::Failed;
    }
    return result;
}

} // namespace

bool isSameFile(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    std::error_code ea, eb;
    if (fs::exists(fsPath(a), ea) && fs::exists(fsPath(b), eb)) {
        std::error_code ec;
        const bool same = fs::equivalent(fsPath(a), fsPath(b), ec);
        if (!ec)
            return same;
    }
    return resolvedPath(a) == resolvedPath(b);
}

CopyResult copyDatabase(sqlite3 *source, const QString &target, QString *reason, const CopyProgress &progress,
                        int pagesPerStep)
{
    QString why;
    auto finish = [&](CopyResult result) {
        if (reason)
            *reason = why;
        return result;
    };
    if (!source) {
        why = QStringLiteral("数据库没有打开。");
        return finish(CopyResult::Failed);
    }
    const char *sourceFile = sqlite3_db_filename(source, "main");
    if (sourceFile && *sourceFile && isSameFile(QString::fromUtf8(sourceFile), target)) {
        why = QStringLiteral("目标文件就是当前使用的数据库: %1").arg(nativePath(target));
        return finish(CopyResult::Failed);
    }
    PendingFile pending(target);
    if (!pending.create(&why))
        return finish(CopyResult::Failed);

    sqlite3 *copy = nullptr;
    int rc = sqlite3_open_v2(pending.tempPath().toUtf8().constData(), &copy, SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_extended_result_codes(copy, 1);
        // The copy is thrown away whole on failure, so it needs no rollback journal: no side file.
        rc = sqlite3_exec(copy, "PRAGMA journal_mode = OFF", nullptr, nullptr, nullptr);
    }
    CopyResult result = CopyResult::Failed;
    if (rc != SQLITE_OK) {
        why = failure(QStringLiteral("无法建立备份文件 %1").arg(nativePath(pending.tempPath())), copy, rc);
    } else {
        result = copyPages(source, copy, progress, std::max(1, pagesPerStep), &why);
        if (result == CopyResult::Copied) {
            const QStringList check = quickCheck(copy);
            if (check != QStringList{QStringLiteral("ok")}) {
                why = withSystemText(QStringLiteral("备份副本未通过完整性检查"), check.mid(0, 3).join(QStringLiteral("; ")));
                result = CopyResult::Failed;
            }
        }
    }
    rc = sqlite3_close(copy);
    if (result == CopyResult::Copied && rc != SQLITE_OK) {
        why = failure(QStringLiteral("写入备份文件失败"), nullptr, rc);
        result = CopyResult::Failed;
    }
    if (result == CopyResult::Copied && !pending.commit(&why))
        result = CopyResult::Failed;
    if (result != CopyResult::Copied) {
        QFile::remove(pending.tempPath() + QStringLiteral("-journal"));
        pending.discard();
    }
    return finish(result);
}

QString autoBackupName(const QDateTime &when)
{
    return QStringLiteral("mivo-auto-") + when.toString(QStringLiteral("yyyyMMdd-HHmmss")) + QStringLiteral(".mdb");
}

QStringList autoBackups(const QString &folder)
{
    static const QRegularExpression name(QStringLiteral("^mivo-auto-\\d{8}-\\d{6}\\.mdb$"));
    QStringList found;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo &f : entries)
        if (name.match(f.fileName()).hasMatch())
            found << f.fileName();
    return found;
}

bool autoBackup(sqlite3 *source, const QString &backupFolder, const QDateTime &now, QString *reason, int keep,
                QString *written)
{
    QString why;
    auto fail = [&] {
        if (reason)
            *reason = why;
        return false;
    };
    if (!now.isValid()) {
        why = QStringLiteral("没有有效的时间,无法为自动备份命名。");
        return fail();
    }
    if (!QFileInfo(backupFolder).isDir()) {
        why = QStringLiteral("备份文件夹不存在: %1").arg(nativePath(backupFolder));
        return fail();
    }
    const QString folder = QDir(backupFolder).filePath(QStringLiteral("auto"));
    if (!QDir().mkpath(folder)) {
        why = QStringLiteral("无法建立文件夹: %1").arg(nativePath(folder));
        return fail();
    }
    const QString name = autoBackupName(now);
    const QString path = QDir(folder).filePath(name);
    if (copyDatabase(source, path, &why) != CopyResult::Copied)
        return fail();
    if (written)
        *written = path;

    // Oldest first; the copy just made stays even when a clock set back made it sort first.
    QStringList old = autoBackups(folder);
    old.removeAll(name);
    const qsizetype excess = old.size() + 1 - std::max(1, keep);
    for (qsizetype i = 0; i < excess; ++i)
        QFile::remove(QDir(folder).filePath(old.at(i)));
    if (reason)
        reason->clear();
    return true;
}

} // namespace settings
