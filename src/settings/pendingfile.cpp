#include "settings/pendingfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <filesystem>
#include <system_error>

namespace settings {

QString withSystemText(const QString &reason, const QString &systemText)
{
    return systemText.isEmpty() ? reason : reason + QStringLiteral(": ") + systemText;
}

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

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
    // Hidden, and never of the form of any file name the program itself looks for.
    QTemporaryFile temp(folder.filePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".XXXXXX"));
    temp.setAutoRemove(false);
    if (!temp.open()) {
        *reason = withSystemText(QStringLiteral("无法在目标文件夹中建立文件: %1").arg(nativePath(folder.filePath())),
                                 temp.errorString());
        return false;
    }
    m_temp = temp.fileName();
    temp.close();
    return true;
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
    return true;
}

void PendingFile::discard()
{
    if (!m_committed && !m_temp.isEmpty())
        QFile::remove(m_temp);
    m_temp.clear();
}

} // namespace settings
