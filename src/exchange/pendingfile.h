#pragma once
// A file written in full beside its target and only then renamed over it: a failure at any point
// leaves an existing target exactly as it was and no temporary file behind. The temporary file is
// locked while it is written, so what a killed writer left can be told from what a running one is
// writing.

#include "platform/filelock.h"

#include <QString>

namespace exchange {

class PendingFile
{
public:
    explicit PendingFile(const QString &target);
    ~PendingFile();   // removes the temporary file unless it was committed
    PendingFile(const PendingFile &) = delete;
    PendingFile &operator=(const PendingFile &) = delete;

    // Checks the target (its folder exists, it is not itself a folder) and creates an empty temporary
    // file in the target's folder, so that the final rename never crosses file systems. Removes first
    // the temporary files that writers killed mid-way left in that folder.
    bool create(QString *reason);

    QString tempPath() const { return m_temp; }
    // The file that will be replaced: a symbolic link is followed, so the link itself survives.
    QString target() const { return m_target; }

    // Renames the temporary file over the target, giving it the permissions an existing target had.
    bool commit(QString *reason);
    void discard();

private:
    QString m_target;
    QString m_temp;
    platform::FileLock m_lock;
    bool m_committed = false;
};

// The text a failure box shows on its second line: the Chinese reason, then the system's own words.
QString withSystemText(const QString &reason, const QString &systemText);
QString nativePath(const QString &path);

} // namespace exchange
