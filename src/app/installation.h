#pragma once
// Where the program's files lie, decided by where the program lies.
//
// Installed: a package put the program's read-only files (help page, pictures, an empty database) in
// ../share/mivo beside the executable's folder, which users cannot write. The user's records,
// mivo.mdb and client.ini, then live in the user's own data folder, $XDG_DATA_HOME/mivo, so one folder
// holds what a user backs up, untouched by upgrades and removal.
// Portable: anything else. Everything lies next to the executable, as the build leaves it.

#include <QString>
#include <optional>

struct Installation
{
    QString executable;   // the program as the start entry starts it
    QString files;        // the read-only files
    QString data;         // the user's records
};

// The installation an executable in `executableFolder` belongs to; none when it runs portable.
// `dataHome` is the folder the user's data folder goes into (userDataHome()).
std::optional<Installation> findInstallation(const QString &executableFolder, const QString &dataHome);
// $XDG_DATA_HOME when it names an absolute folder, else ~/.local/share.
QString userDataHome();

// Start-up: settles the folders for the executable at `executablePath` (the folder of appFile(), of
// the user's records and of the modules: ../lib/mivo/modules installed, "modules" beside it
// portable). The first start of an installed program makes the user's data folder with the empty
// database shipped; an existing folder is never touched, so a lost database is reported by the
// connection, not replaced. False with the reason when the folder cannot be made.
bool settleFolders(const QString &executablePath, QString *reason);
// What settleFolders() decided; tests set it directly.
void setInstallation(const std::optional<Installation> &installation);
bool runsInstalled();

// The folder of the user's records (mivo.mdb, client.ini, the backups when no folder was chosen):
// the data folder when installed, else the program's own folder.
QString dataFolder();
QString dataFile(const QString &name);
// The executable, as the start entry names it.
QString programFile();
// A database failure's reason as box "001" shows it: an installed program names the file it expected
// where the reason does not, since the user cannot see where it looked.
QString namingDatabase(const QString &reason);
