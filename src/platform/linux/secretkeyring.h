#pragma once
// The desktop's keyring through the Secret Service (QtKeychain). Where no keyring answers, the
// secrets are kept for the run instead, and persistent() says so from then on.

#include "platform/keyring.h"

#include <memory>

namespace platform {

class SecretServiceKeyring : public Keyring
{
public:
    explicit SecretServiceKeyring(const QString &service = QStringLiteral("Mivo"));
    bool persistent() const override { return !m_state->fellBack; }
    void read(const QString &key, ReadDone done) override;
    void write(const QString &key, const QString &secret, Done done) override;
    void remove(const QString &key, Done done) override;

private:
    // Shared with the jobs under way, which may finish after the keyring is gone.
    struct State
    {
        bool fellBack = false;
        RunKeyring run;
    };
    QString m_service;
    std::shared_ptr<State> m_state = std::make_shared<State>();
};

} // namespace platform
