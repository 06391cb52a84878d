#pragma once
// The keys of client.ini's [setting] section, as this program spells a key the file does not hold
// yet (a key already in the file keeps the file's spelling; reading ignores case).

#include <QString>

namespace settingkeys {
inline const QString startMaximized = QStringLiteral("startMax");
inline const QString lockAtStart = QStringLiteral("Lockstart");
inline const QString lockMinutes = QStringLiteral("lockTime");
// Four characters: lock on, Ctrl, Shift as "1"/"0", then the key ("110K").
inline const QString lockHotkey = QStringLiteral("lockshortCut");
inline const QString backupFolder = QStringLiteral("bkpath");
inline const QString autoBackup = QStringLiteral("autobackup");
inline const QString autoBackupKeep = QStringLiteral("autobackupkeep");
inline const QString expensePeriod = QStringLiteral("listout");
inline const QString incomePeriod = QStringLiteral("listin");
} // namespace settingkeys
