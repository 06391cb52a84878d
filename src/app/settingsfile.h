#pragma once
// The settings file client.ini beside the database (dataFolder()), section [setting]. Keys match
// without regard to case; every other line is kept as it stands. Nothing is cached: each call reads
// the file afresh. The program's keys are listed in app/settingkeys.h.

#include <QString>

QString readSetting(const QString &key);
// A failed write is not reported, but it never damages the existing file: the new text goes to a
// temporary file in the same folder that replaces the old one only when completely written.
void writeSetting(const QString &key, const QString &value);

// How often the settings file was read in this run (start-up must not read it after a failed connect).
int settingsReadCount();
