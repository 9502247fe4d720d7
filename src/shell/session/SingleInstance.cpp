#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QLoggingCategory>
#include <QTextStream>
#include <QTimer>
#include <QWidget>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

Q_LOGGING_CATEGORY(lcInstance, "teacher.instance")

namespace {
constexpr char Request[] = "raise\n";
constexpr char Acknowledged[] = "ok\n";
constexpr qint64 LongestLine = 64;
} // namespace

QString SingleInstance::serverNameFor(const QString &configFolder) {
    // The runtime folder is the user's alone; in the shared temporary folder the name still
    // differs by user.
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::tempPath();
    const QFileInfo config(configFolder);
    const QString canonical = config.canonicalFilePath();
    QByteArray who = QDir::homePath().toUtf8();
#ifdef Q_OS_UNIX
    who += '\0' + QByteArray::number(uint(::getuid()));
#endif
    who += '\0' + (canonical.isEmpty() ? config.absoluteFilePath() : canonical).toUtf8();
    const QByteArray hash =
        QCryptographicHash::hash(who, QCryptographicHash::Sha256).toHex().left(16);
    return QDir(folder).filePath(QStringLiteral("teacher-client-") + QString::fromLatin1(hash));
}

SingleInstance::SingleInstance(QString serverName, QObject *parent)
    : QObject(parent)
    , m_name(std::move(serverName)) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::isListening() const {
    return m_server && m_server->isListening();
}

std::optional<int> SingleInstance::claim() {
    // Two starts at the same moment: one knocks and listens while the other waits its turn, so
    // neither takes the other's fresh socket for a stale one.
    QLockFile turn(m_name + QStringLiteral(".lock"));
    if (!turn.tryLock(AnswerMs))
        qCWarning(lcInstance) << "another start holds" << turn.fileName() << "; going on";
    QTextStream err(stderr);
    switch (knock()) {
    case Knock::Answered:
        err << "teacher-client: already running with these settings; its window was brought "
               "to the front\n";
        return 0;
    case Knock::Unanswered:
        err << "teacher-client: another teacher-client is running with these settings but did "
               "not answer within "
            << AnswerMs / 1000 << " s; close it before starting a new one\n";
        return 1;
    case Knock::NobodyThere:
        break;
    }
    if (!listen())
        qCWarning(lcInstance) << "cannot listen on" << m_name
                              << "; a second start will not find this one";
    return std::nullopt;
}

SingleInstance::Knock SingleInstance::knock() const {
#ifdef Q_OS_UNIX
    // A socket someone else made in the shared temporary folder is not a client of this user's.
    if (const QFileInfo socket(m_name); socket.exists() && socket.ownerId() != ::getuid())
        return Knock::NobodyThere;
#endif
    QLocalSocket socket;
    socket.connectToServer(m_name);
    // Refused (a crashed run's socket) or nothing there.
    if (!socket.waitForConnected(AnswerMs))
        return Knock::NobodyThere;
    const QDeadlineTimer deadline(AnswerMs);
    socket.write(Request);
    while (!socket.canReadLine() && socket.state() == QLocalSocket::ConnectedState &&
           socket.waitForReadyRead(int(deadline.remainingTime()))) {
    }
    const bool answered = socket.canReadLine() && socket.readLine(LongestLine) == Acknowledged;
    return answered ? Knock::Answered : Knock::Unanswered;
}

bool SingleInstance::listen() {
    // No access option: with one Qt binds elsewhere and renames over the name, replacing even a
    // live client's socket. All a stranger could ask of this one is to raise the window.
    m_server = new QLocalServer(this);
    bool listening = m_server->listen(m_name);
    // Nobody answered on the name, so what holds it is a crashed run's socket.
    if (!listening && m_server->serverError() == QAbstractSocket::AddressInUseError) {
        QLocalServer::removeServer(m_name);
        listening = m_server->listen(m_name);
    }
    if (!listening) {
        qCWarning(lcInstance) << m_server->errorString();
        delete m_server;
        m_server = nullptr;
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *peer = m_server->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            // A peer that says nothing, or too much, is not kept.
            QTimer::singleShot(AnswerMs, peer, [peer] { peer->abort(); });
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                if (!peer->canReadLine()) {
                    if (peer->bytesAvailable() > LongestLine)
                        peer->abort();
                    return;
                }
                if (peer->readLine(LongestLine) == Request) {
                    emit raiseRequested();
                    peer->write(Acknowledged);
                }
                peer->disconnectFromServer();
            });
        }
    });
    return true;
}

void SingleInstance::raiseOnRequest(QWidget *window) {
    connect(this, &SingleInstance::raiseRequested, window, [window] {
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        window->show();
        window->raise();
        window->activateWindow();
    });
}
