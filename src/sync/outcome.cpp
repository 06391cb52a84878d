#include "sync/outcome.h"

namespace contactsync {

QString failureText(Failure failure, const QString &detail)
{
    QString text;
    switch (failure) {
    case Failure::None: text = QStringLiteral("同步完成。"); break;
    case Failure::WrongPassword: text = QStringLiteral("用户名或密码不对,服务器拒绝登录。"); break;
    case Failure::Unreachable: text = QStringLiteral("连不上服务器,请检查服务器地址和网络。"); break;
    case Failure::CertificateRefused: text = QStringLiteral("服务器的证书不受信任,连接已拒绝。"); break;
    case Failure::NotAddressBook: text = QStringLiteral("这个地址不是 CardDAV 通讯簿。"); break;
    case Failure::ServerRefused: text = QStringLiteral("服务器拒绝了同步的请求。"); break;
    case Failure::Database: text = QStringLiteral("写入本机的数据库失败,下次同步会接着完成。"); break;
    case Failure::PasswordMissing: text = QStringLiteral("请输入同步服务器的密码。"); break;
    case Failure::Cancelled: text = QStringLiteral("同步已取消。"); break;
    }
    if (!detail.isEmpty())
        text += QLatin1Char('\n') + detail;
    return text;
}

} // namespace contactsync
