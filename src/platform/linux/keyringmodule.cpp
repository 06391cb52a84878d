// The module "keyring": the desktop's keyring through the Secret Service (QtKeychain, and the bus
// library under it), which only this module links. Where no keyring answers, the secrets are kept
// for the run instead, and persistent() says so from then on.

#include "platform/linux/secretkeyring.h"

#include <QtPlugin>
#include <qt6keychain/keychain.h>

namespace platform {

namespace {

class KeychainKeyring : public Keyring
{
public:
    explicit KeychainKeyring(const QString &service)
        : m_service(service)
    {
    }
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

// No keyring to talk to, as opposed to one that refused: the run's memory stands in for it.
bool noKeyring(QKeychain::Error error)
{
    return error == QKeychain::NoBackendAvailable || error == QKeychain::NotImplemented
        || error == QKeychain::OtherError;
}

void KeychainKeyring::read(const QString &key, ReadDone done)
{
    if (m_state->fellBack)
        return m_state->run.read(key, std::move(done));
    auto *job = new QKeychain::ReadPasswordJob(m_service);
    job->setKey(key);
    QObject::connect(job, &QKeychain::Job::finished, [state = m_state, key, done = std::move(done)](QKeychain::Job *j) {
        if (j->error() == QKeychain::NoError) {
            done(Status::Ok, static_cast<QKeychain::ReadPasswordJob *>(j)->textData());
        } else if (j->error() == QKeychain::EntryNotFound) {
            done(Status::NotFound, QString());
        } else if (noKeyring(j->error())) {
            state->fellBack = true;
            state->run.read(key, done);
        } else {
            done(Status::Failed, QString());
        }
    });
    job->start();
}

void KeychainKeyring::write(const QString &key, const QString &secret, Done done)
{
    if (m_state->fellBack)
        return m_state->run.write(key, secret, std::move(done));
    auto *job = new QKeychain::WritePasswordJob(m_service);
    job->setKey(key);
    job->setTextData(secret);
    QObject::connect(job, &QKeychain::Job::finished, [state = m_state, key, secret, done = std::move(done)](QKeychain::Job *j) {
        if (j->error() == QKeychain::NoError) {
            done(Status::Ok);
        } else if (noKeyring(j->error())) {
            state->fellBack = true;
            state->run.write(key, secret, done);
        } else {
            done(Status::Failed);
        }
    });
    job->start();
}

void KeychainKeyring::remove(const QString &key, Done done)
{
    m_state->run.remove(key, [](Status) {});
    if (m_state->fellBack)
        return done(Status::Ok);
    auto *job = new QKeychain::DeletePasswordJob(m_service);
    job->setKey(key);
    QObject::connect(job, &QKeychain::Job::finished, [done = std::move(done)](QKeychain::Job *j) {
        const bool gone = j->error() == QKeychain::NoError || j->error() == QKeychain::EntryNotFound || noKeyring(j->error());
        done(gone ? Status::Ok : Status::Failed);
    });
    job->start();
}

} // namespace

class KeyringModule : public QObject, public SecretService
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.mivo.SecretService/1")
    Q_INTERFACES(platform::SecretService)

public:
    std::unique_ptr<Keyring> keyring(const QString &service) override { return std::make_unique<KeychainKeyring>(service); }
};

} // namespace platform

#include "keyringmodule.moc"
