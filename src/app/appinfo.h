#pragma once
// What the program knows about itself for the whole run: its version and the folder it lives in.

#include <QString>

extern const QString appVersion;   // shown in the title and the banner
extern const QString appBuild;     // shown in the banner

// The folder of the program's own files, without a trailing separator (app/installation.h decides
// it at start; tests and benchmarks set it to a folder of their own).
QString appFolder();
void setAppFolder(const QString &folder);

// appFolder() + separator + name: the program's own files. The user's records: dataFile().
QString appFile(const QString &name);
