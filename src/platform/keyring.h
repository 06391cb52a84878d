#pragma once
// Secrets kept for the user, such as a sync server's password: in the desktop's keyring where it
// has one, else for this run only (the program then asks for them once per run). Answers come
// through the callbacks, on the calling thread, possibly before the call returns.

#include <QHash>
#include <QString>
#include <functional>

namespace platform {

class Keyring
{
public:
    enum class Status { Ok, NotFound, Failed };
    using ReadDone = std::function<void(Status status, const QString &secret)>;
    using Done = std::function<void(Status status)>;

    virtual ~Keyring() = default;
    // Whether what is written outlives the run.
    virtual bool persistent() const = 0;
    virtual void read(const QString &key, ReadDone done) = 0;
    virtual void write(const QString &key, const QString &secret, Done done) = 0;
    virtual void remove(const QString &key, Done done) = 0;
};

// Keeps the secrets in memory until the program ends: for a desktop without a keyring.
class RunKeyring : public Keyring
{
public:
    bool persistent() const override { return false; }
    void read(const QString &key, ReadDone done) override;
    void write(const QString &key, const QString &secret, Done done) override;
    void remove(const QString &key, Done done) override;

private:
    QHash<QString, QString> m_secrets;
};

} // namespace platform
