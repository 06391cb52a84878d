#include "exchange/pendingfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <filesystem>
#include <system_error>

namespace exchange {

namespace {

// How a file of the program's begins: a database, an Excel 97-2003 workbook (whose header comes
// last, so zeros until then), an xlsx workbook, a CSV file.
bool beginsAsOurs(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = f.read(16);
    if (head.isEmpty())
        return true;
    for (const QByteArray &magic : {QByteArray("SQLite format 3\0", 16), QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"),
                                    QByteArray(8, '\0'), QByteArray("PK\x03\x04"), QByteArray("\xEF\xBB\xBF")})
        if (head.startsWith(magic) || (head.size() < magic.size() && magic.startsWith(head)))
            return true;
    return false;
}

// Removes the temporary files that writers killed mid-way left in `folder`: named as create() names
// them, beginning as the program's files do, and not locked by a writer still at work.
void removeLeftovers(const QString &folder)
{
    static const QRegularExpression form(QStringLiteral("^\\..+\\.[A-Za-z0-9]{6}$"));
    const QFileInfoList hidden = QDir(folder).entryInfoList({QStringLiteral(".*")}, QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo &f : hidden) {
        if (!form.match(f.fileName()).hasMatch() || !beginsAsOurs(f.filePath()))
            continue;
        platform::FileLock lock;
        if (lock.tryLock(f.filePath()) == platform::FileLock::Result::Locked)
            QFile::remove(f.filePath());
    }
}

} // namespace

PendingFile::PendingFile(const QString &target)
{
    if (target.isEmpty())
        return;
    const QFileInfo info(target);
    if (info.isSymLink())
        m_target = info.exists() ? info.canonicalFilePath() : info.symLinkTarget();
    else
        m_target = info.absoluteFilePath();
}

PendingFile::~PendingFile()
{
    discard();
}

bool PendingFile::create(QString *reason)
{
    if (m_target.isEmpty()) {
        *reason = QStringLiteral("没有指定目标文件。");
        return false;
    }
    const QFileInfo info(m_target);
    if (info.isDir()) {
        *reason = QStringLiteral("目标是一个文件夹: %1").arg(nativePath(m_target));
        return false;
    }
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir()) {
        *reason = QStringLiteral("目标文件夹不存在: %1").arg(nativePath(folder.filePath()));
        return false;
    }
    removeLeftovers(folder.filePath());
    // A name another writer's clearing took away before it was locked is given up for a new one.
    for (int attempt = 0; attempt < 8; ++attempt) {
        // Hidden, and never of the form of any file name the program itself looks for.
        QTemporaryFile temp(folder.filePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".XXXXXX"));
        temp.setAutoRemove(false);
        if (!temp.open()) {
            *reason = withSystemText(QStringLiteral("无法在目标文件夹中建立文件: %1").arg(nativePath(folder.filePath())),
                                     temp.errorString());
            return false;
        }
        const QString name = temp.fileName();
        temp.close();
        // Where the file system keeps no locks the file is written all the same, only unlocked.
        if (m_lock.tryLock(name) != platform::FileLock::Result::Busy) {
            m_temp = name;
            return true;
        }
    }
    *reason = QStringLiteral("无法在目标文件夹中建立文件: %1").arg(nativePath(folder.filePath()));
    return false;
}

bool PendingFile::commit(QString *reason)
{
    if (m_temp.isEmpty()) {
        *reason = QStringLiteral("没有可替换目标的文件。");
        return false;
    }
    if (QFileInfo::exists(m_target))
        QFile::setPermissions(m_temp, QFile::permissions(m_target));
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(m_temp.toStdU16String()),
                            std::filesystem::path(m_target.toStdU16String()), ec);
    if (ec) {
        *reason = withSystemText(QStringLiteral("无法替换目标文件: %1").arg(nativePath(m_target)),
                                 QString::fromLocal8Bit(ec.message()));
        return false;
    }
    m_committed = true;
    m_lock.release();
    return true;
}

void PendingFile::discard()
{
    if (!m_committed && !m_temp.isEmpty())
        QFile::remove(m_temp);
    m_temp.clear();
    m_lock.release();
}

} // namespace exchange
