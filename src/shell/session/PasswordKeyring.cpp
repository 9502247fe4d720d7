#include "PasswordKeyring.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QTimer>

#include <qt6keychain/keychain.h>

Q_LOGGING_CATEGORY(lcKeyring, "teacher.keyring")

namespace {

const QString ServiceName = QStringLiteral("teacher-client");

// The Secret Service (or KWallet) over D-Bus. Without a session bus or a keyring daemon every job
// finishes with an error, which is the answer "no keyring".
class SystemBackend : public PasswordKeyring::Backend {
public:
    void read(const QString &key, Done done) override {
        auto *job = new QKeychain::ReadPasswordJob(ServiceName);
        run(job, key, [done](QKeychain::Job *finished) {
            if (finished->error() == QKeychain::NoError)
                done(true, static_cast<QKeychain::ReadPasswordJob *>(finished)->textData());
            else
                done(finished->error() == QKeychain::EntryNotFound, std::nullopt);
        });
    }
    void write(const QString &key, const QString &secret, Done done) override {
        auto *job = new QKeychain::WritePasswordJob(ServiceName);
        job->setTextData(secret);
        run(job, key, [done](QKeychain::Job *finished) {
            done(finished->error() == QKeychain::NoError, std::nullopt);
        });
    }
    void remove(const QString &key, Done done) override {
        auto *job = new QKeychain::DeletePasswordJob(ServiceName);
        run(job, key, [done](QKeychain::Job *finished) {
            const QKeychain::Error error = finished->error();
            done(error == QKeychain::NoError || error == QKeychain::EntryNotFound, std::nullopt);
        });
    }

private:
    static void run(QKeychain::Job *job, const QString &key,
                    std::function<void(QKeychain::Job *)> finished) {
        job->setAutoDelete(true);
        job->setKey(key);
        QObject::connect(job, &QKeychain::Job::finished, job, [finished](QKeychain::Job *done) {
            if (done->error() != QKeychain::NoError && done->error() != QKeychain::EntryNotFound)
                qCDebug(lcKeyring) << "keyring:" << done->errorString();
            finished(done);
        });
        job->start();
    }
};

// `done` once: with the backend's answer, or as a failure after TimeoutMs, whichever comes
// first. A late answer finds nobody waiting.
PasswordKeyring::Backend::Done bounded(PasswordKeyring::Backend::Done done) {
    auto waiting = std::make_shared<PasswordKeyring::Backend::Done>(std::move(done));
    const auto answer = [waiting](bool ok, const std::optional<QString> &secret) {
        if (!*waiting)
            return;
        const PasswordKeyring::Backend::Done callback = std::move(*waiting);
        *waiting = nullptr;
        callback(ok, secret);
    };
    QTimer::singleShot(PasswordKeyring::TimeoutMs, QCoreApplication::instance(), [answer] {
        qCDebug(lcKeyring) << "the keyring did not answer in time";
        answer(false, std::nullopt);
    });
    return answer;
}

} // namespace

PasswordKeyring::PasswordKeyring(std::unique_ptr<Backend> backend)
    : m_backend(std::move(backend)) {}

PasswordKeyring::~PasswordKeyring() = default;

std::unique_ptr<PasswordKeyring> PasswordKeyring::systemDefault() {
    if (!qEnvironmentVariableIsEmpty("TEACHER_CLIENT_CONFIG_DIR"))
        return nullptr;
    return std::make_unique<PasswordKeyring>(std::make_unique<SystemBackend>());
}

std::optional<QString> PasswordKeyring::passwordNow(const QString &key) {
    if (const auto known = m_known.constFind(key); known != m_known.cend())
        return known->isEmpty() ? std::nullopt : std::optional<QString>(*known);
    if (!m_backend || !QCoreApplication::instance())
        return std::nullopt;
    std::optional<std::optional<QString>> answer;
    QEventLoop loop;
    m_backend->read(key, bounded([&answer, &loop](bool ok, const std::optional<QString> &secret) {
                        answer = ok ? secret : std::optional<QString>();
                        loop.quit();
                    }));
    if (!answer)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    // A keyring that did not answer is not asked again this run: each question could cost the
    // whole wait.
    m_known.insert(key, answer->value_or(QString()));
    return *answer;
}

void PasswordKeyring::store(const QString &key, const QString &password,
                            std::function<void(bool)> done) {
    m_known.insert(key, password);
    if (!m_backend) {
        QTimer::singleShot(0, QCoreApplication::instance(), [done] { done(false); });
        return;
    }
    const Backend::Done answer = bounded(
        [done, alive = std::weak_ptr<char>(m_alive)](bool ok, const std::optional<QString> &) {
            if (!alive.expired())
                done(ok);
        });
    if (password.isEmpty())
        m_backend->remove(key, answer);
    else
        m_backend->write(key, password, answer);
}
