#pragma once
// A lock on a file that a writer holds while it writes: another FileLock, in this process or another,
// cannot take it, and the system drops it when the holder ends, however it ends. Reading, writing,
// renaming and removing the file are not hindered by it.

#include <QString>
#include <QtGlobal>

namespace platform {

class FileLock
{
public:
    enum class Result {
        Locked,
        Busy,     // another holds it, or the file went or was replaced before it could be held
        Failed,   // the file cannot be opened, or its file system keeps no locks
    };

    FileLock() = default;
    ~FileLock() { release(); }
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    // Takes the lock on the existing file `path` without waiting.
    Result tryLock(const QString &path);
    void release();
    bool isLocked() const { return m_handle != -1; }

private:
    qintptr m_handle = -1;
};

} // namespace platform
