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
// The address book's sync: where (the server as typed, the address book chosen there) and as whom;
// the password is kept by the keyring, never here.
inline const QString syncServer = QStringLiteral("syncserver");
inline const QString syncUser = QStringLiteral("syncuser");
inline const QString syncBook = QStringLiteral("syncbook");
// "1"/"0": every syncMinutes minutes, after the first frame at start, at exit.
inline const QString syncAuto = QStringLiteral("syncauto");
inline const QString syncMinutes = QStringLiteral("syncminutes");
inline const QString syncAtStart = QStringLiteral("syncstart");
inline const QString syncAtExit = QStringLiteral("syncexit");
// When the last sync ended ("yyyy-MM-dd HH:mm:ss") and how, in words: shown on the tab next run.
inline const QString syncLastTime = QStringLiteral("synclast");
inline const QString syncLastResult = QStringLiteral("synclastresult");
} // namespace settingkeys
