#include "platform/filelock.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

// flock, not fcntl: its lock belongs to this open file only, so the writer's own opening and
// closing of the file (and the database's byte-range locks on it) leave it in place.
FileLock::Result FileLock::tryLock(const QString &path)
{
    release();
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return errno == ENOENT ? Result::Busy : Result::Failed;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const Result result = errno == EWOULDBLOCK ? Result::Busy : Result::Failed;
        ::close(fd);
        return result;
    }
    // Whoever held it before may have removed the file, or put another in its place.
    struct stat held, named;
    if (::fstat(fd, &held) != 0 || ::lstat(name.constData(), &named) != 0 || held.st_dev != named.st_dev
        || held.st_ino != named.st_ino) {
        ::close(fd);
        return Result::Busy;
    }
    m_handle = fd;
    return Result::Locked;
}

void FileLock::release()
{
    if (m_handle != -1)
        ::close(int(m_handle));
    m_handle = -1;
}

} // namespace platform
