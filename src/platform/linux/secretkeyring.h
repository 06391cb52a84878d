#pragma once
// The desktop's keyring through the Secret Service. The talking to it is the module "keyring"
// (keyringmodule.cpp), loaded by the first question, so its libraries are not mapped before. Where
// no keyring answers, or the module is missing, the secrets are kept for the run instead, and
// persistent() says so from then on.

#include "platform/keyring.h"

#include <QObject>
#include <memory>

namespace platform {

class SecretServiceKeyring : public Keyring
{
public:
    explicit SecretServiceKeyring(const QString &service = QStringLiteral("Mivo"));
    ~SecretServiceKeyring() override;
    bool persistent() const override;
    void read(const QString &key, ReadDone done) override;
    void write(const QString &key, const QString &secret, Done done) override;
    void remove(const QString &key, Done done) override;

private:
    Keyring &keyring() const;

    QString m_service;
    mutable std::unique_ptr<Keyring> m_keyring;
};

// What the module offers: the keyring of `service`.
class SecretService
{
public:
    virtual ~SecretService() = default;
    virtual std::unique_ptr<Keyring> keyring(const QString &service) = 0;
};

} // namespace platform

Q_DECLARE_INTERFACE(platform::SecretService, "org.mivo.SecretService/1")
