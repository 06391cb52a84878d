#pragma once
// A disk that fills up under SQLite: its file layer lets a test stand in for the system call it
// writes with, and once `room` bytes are written every further write fails as on a full disk
// (a short write, then ENOSPC). The real call comes back when the object goes.

#include <QtGlobal>
#include <algorithm>
#include <cerrno>
#include <sqlite3.h>
#include <sys/types.h>

class SqliteDiskFull
{
public:
    explicit SqliteDiskFull(qint64 room)
    {
        s_room = room;
        s_pwrite = reinterpret_cast<Pwrite>(vfs()->xGetSystemCall(vfs(), "pwrite64"));
        vfs()->xSetSystemCall(vfs(), "pwrite64", reinterpret_cast<sqlite3_syscall_ptr>(&fullPwrite));
    }
    ~SqliteDiskFull()
    {
        vfs()->xSetSystemCall(vfs(), "pwrite64", nullptr);
    }
    SqliteDiskFull(const SqliteDiskFull &) = delete;
    SqliteDiskFull &operator=(const SqliteDiskFull &) = delete;

private:
    using Pwrite = ssize_t (*)(int, const void *, size_t, off_t);

    static sqlite3_vfs *vfs() { return sqlite3_vfs_find(nullptr); }
    // How much of `n` bytes still fits; -1 with ENOSPC when nothing does.
    static ssize_t fits(size_t n)
    {
        if (s_room <= 0) {
            errno = ENOSPC;
            return -1;
        }
        return ssize_t(std::min<qint64>(qint64(n), s_room));
    }
    static ssize_t fullPwrite(int fd, const void *data, size_t n, off_t at)
    {
        const ssize_t room = fits(n);
        const ssize_t done = room < 0 ? room : s_pwrite(fd, data, size_t(room), at);
        s_room -= done > 0 ? done : 0;
        return done;
    }

    static inline qint64 s_room = 0;
    static inline Pwrite s_pwrite = nullptr;
};
