#include "platform/linux/secretkeyring.h"

#include <qt6keychain/keychain.h>

namespace platform {

namespace {

// No keyring to talk to, as opposed to one that refused: the run's memory stands in for it.
bool noKeyring(QKeychain::Error error)
{
    return error == QKeychain::NoBackendAvailable || error == QKeychain::NotImplemented
        || error == QKeychain::OtherError;
}

} // namespace

SecretServiceKeyring::SecretServiceKeyring(const QString &service)
    : m_service(service)
{
}

void SecretServiceKeyring::read(const QString &key, ReadDone done)
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

void SecretServiceKeyring::write(const QString &key, const QString &secret, Done done)
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

void SecretServiceKeyring::remove(const QString &key, Done done)
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

} // namespace platform
