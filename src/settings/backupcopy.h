#pragma once
// Copies of the open database. The copy is made by the database itself, page by page, from the
// connection the program holds (so it is consistent even while the file is open), into a temporary
// file beside the target; it replaces the target only after the copy passed an integrity check.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

struct sqlite3;

namespace settings {

enum class CopyResult { Copied, Cancelled, Failed };

// Called after every step with the pages copied so far and the pages in all; false cancels.
using CopyProgress = std::function<bool(int done, int total)>;

// Copies the main database of `source` to `target`. On anything but Copied an existing target is
// left exactly as it was, no temporary file remains, and `reason` says why in Chinese.
CopyResult copyDatabase(sqlite3 *source, const QString &target, QString *reason,
                        const CopyProgress &progress = {}, int pagesPerStep = 1024);

// Whether two paths name one file: symbolic links and ".." resolved, and where both exist, the
// same device and file number (so hard links count too).
bool isSameFile(const QString &a, const QString &b);

// The file name of an automatic copy made at `when`: "mivo-auto-yyyymmdd-hhmmss.mdb".
QString autoBackupName(const QDateTime &when);
// The automatic copies in `folder` (file names only), oldest first.
QStringList autoBackups(const QString &folder);

// Writes an automatic copy into the subfolder "auto" of `backupFolder` (made when missing), named
// after `now`, then deletes the oldest automatic copies there beyond `keep`. No other file is ever
// touched, and nothing is deleted when the copy failed. `written` receives the new file's path.
bool autoBackup(sqlite3 *source, const QString &backupFolder, const QDateTime &now, QString *reason,
                int keep = 7, QString *written = nullptr);

} // namespace settings
