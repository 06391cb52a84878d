#include "platform/keyring.h"

namespace platform {

void RunKeyring::read(const QString &key, ReadDone done)
{
    const auto it = m_secrets.constFind(key);
    if (it == m_secrets.cend())
        done(Status::NotFound, QString());
    else
        done(Status::Ok, *it);
}

void RunKeyring::write(const QString &key, const QString &secret, Done done)
{
    m_secrets.insert(key, secret);
    done(Status::Ok);
}

void RunKeyring::remove(const QString &key, Done done)
{
    m_secrets.remove(key);
    done(Status::Ok);
}

} // namespace platform
