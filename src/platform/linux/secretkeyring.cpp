#include "platform/linux/secretkeyring.h"

#include "platform/modules.h"

namespace platform {

SecretServiceKeyring::SecretServiceKeyring(const QString &service)
    : m_service(service)
{
}

SecretServiceKeyring::~SecretServiceKeyring() = default;

Keyring &SecretServiceKeyring::keyring() const
{
    // Without the module the program works as on a desktop without a keyring: it asks once a run.
    if (!m_keyring) {
        auto *module = platform::module<SecretService>(QStringLiteral("keyring"), nullptr);
        m_keyring = module ? module->keyring(m_service) : std::make_unique<RunKeyring>();
    }
    return *m_keyring;
}

bool SecretServiceKeyring::persistent() const
{
    return keyring().persistent();
}

void SecretServiceKeyring::read(const QString &key, ReadDone done)
{
    keyring().read(key, std::move(done));
}

void SecretServiceKeyring::write(const QString &key, const QString &secret, Done done)
{
    keyring().write(key, secret, std::move(done));
}

void SecretServiceKeyring::remove(const QString &key, Done done)
{
    keyring().remove(key, std::move(done));
}

} // namespace platform
