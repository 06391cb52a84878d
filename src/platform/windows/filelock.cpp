#include "platform/filelock.h"

#include <QDir>
#include <windows.h>

namespace platform {

// One byte far beyond any content: the system's byte-range locks bar reading and writing the range
// they cover, so the file's own bytes stay free. The handle lets others read, write, rename and
// remove the file, as the writer itself does.
FileLock::Result FileLock::tryLock(const QString &path)
{
    release();
    const QString native = QDir::toNativeSeparators(path);
    HANDLE h = CreateFileW(reinterpret_cast<const wchar_t *>(native.utf16()), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION
                   ? Result::Busy
                   : Result::Failed;
    }
    OVERLAPPED at = {};
    at.Offset = 0;
    at.OffsetHigh = 0x7fffffff;
    if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        const DWORD error = GetLastError();
        CloseHandle(h);
        return error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING ? Result::Busy : Result::Failed;
    }
    m_handle = reinterpret_cast<qintptr>(h);
    return Result::Locked;
}

void FileLock::release()
{
    if (m_handle != -1)
        CloseHandle(reinterpret_cast<HANDLE>(m_handle));
    m_handle = -1;
}

} // namespace platform
