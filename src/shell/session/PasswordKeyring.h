#pragma once

#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

// The remembered password's place in the system keyring (the Secret Service, through QtKeychain):
// one entry per login name under the program's name. Every job answers on the main thread within
// TimeoutMs, as a failure when no keyring answered in time; the caller then keeps the password in
// the owner-only settings file. What this run read or stored is known without asking again.
class PasswordKeyring {
public:
    static constexpr int TimeoutMs = 2000;

    // What stands behind it: QtKeychain, or a test's stand-in. Each call answers `done` once,
    // later, on the main thread; ok false when the keyring could not be asked, `secret` nothing
    // when no entry is kept under the key.
    class Backend {
    public:
        using Done = std::function<void(bool ok, const std::optional<QString> &secret)>;
        virtual ~Backend() = default;
        virtual void read(const QString &key, Done done) = 0;
        virtual void write(const QString &key, const QString &secret, Done done) = 0;
        virtual void remove(const QString &key, Done done) = 0;
    };

    explicit PasswordKeyring(std::unique_ptr<Backend> backend);
    ~PasswordKeyring();

    // The system's keyring while the settings file is the user's own. Null when
    // TEACHER_CLIENT_CONFIG_DIR chose another folder (the tests, the tour, a relocated profile):
    // such settings keep their password beside them and never touch the user's keyring.
    static std::unique_ptr<PasswordKeyring> systemDefault();

    // The password kept for `key`: what this run already knows, else the keyring's answer,
    // waited for at most TimeoutMs without handling user input. Nothing when no entry is kept or
    // the keyring did not answer.
    std::optional<QString> passwordNow(const QString &key);
    // Keeps `password` under `key` (the empty password removes the entry); done(true) once the
    // keyring holds it, done(false) when it did not answer or refused. Nothing once this object
    // is gone.
    void store(const QString &key, const QString &password, std::function<void(bool)> done);

private:
    std::unique_ptr<Backend> m_backend;
    QHash<QString, QString> m_known; // by key; the empty text: none kept
    std::shared_ptr<char> m_alive = std::make_shared<char>();
};
