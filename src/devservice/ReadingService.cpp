#include "ReadingService.h"

#include "AccountModule.h"
#include "BookModule.h"
#include "ClassroomModule.h"
#include "FormBody.h"
#include "RequestReader.h"
#include "ServiceDatabase.h"
#include "ServiceHandlers.h"
#include "ServiceLog.h"
#include "TeacherRequestManager.h"

#include <QAbstractHttpServer>
#include <QAtomicInteger>
#include <QElapsedTimer>
#include <QHostInfo>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonDocument>
#include <QSet>
#include <QSqlError>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <limits>
#include <memory>

namespace {

const QByteArray JsonType = QByteArrayLiteral("application/json; charset=utf-8");
const QString Unavailable = QStringLiteral("服务暂时不可用");

// The longest part of a request path written back in a refusal or a log line.
constexpr qsizetype MaximumEchoedPath = 80;

constexpr qint64 ConnectionByteLimit = 64 * 1024 * 1024;

QByteArray jsonBytes(const QJsonObject &object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

// Connections that the server holds, counted by a child of each socket so that the count
// stays right however the socket goes (the HTTP layer deletes it, or drops its signals).
struct ConnectionCount {
    int open = 0;
};

class CountedConnection : public QObject {
public:
    CountedConnection(QTcpSocket *socket, std::shared_ptr<ConnectionCount> count)
        : QObject(socket)
        , m_count(std::move(count)) {
        ++m_count->open;
    }
    ~CountedConnection() override { --m_count->open; }

private:
    std::shared_ptr<ConnectionCount> m_count;
};

// Hands connections to the HTTP layer with the limits that a server reachable by other
// programs needs: a connection that stays idle or half-sent is closed, a flood of connections
// is refused at once instead of queued, and running out of descriptors only pauses accepting.
class GuardedTcpServer : public QTcpServer {
public:
    GuardedTcpServer(int maxConnections, int idleTimeoutMs, QObject *parent)
        : QTcpServer(parent)
        , m_maxConnections(maxConnections)
        , m_idleTimeoutMs(idleTimeoutMs) {
        // Qt pauses accepting for good when accept() fails for want of descriptors; try again
        // a little later, by which time connections will have closed (the idle limit sees to
        // that), without spinning on the waiting connection meanwhile.
        connect(this, &QTcpServer::acceptError, this, [this](QAbstractSocket::SocketError error) {
            qCWarning(lcReadingService) << "cannot accept a connection:" << error << errorString()
                                        << "- trying again shortly";
            QTimer::singleShot(AcceptRetryMs, this, [this] { resumeAccepting(); });
        });
    }

    int openConnections() const { return m_count->open; }

protected:
    void incomingConnection(qintptr descriptor) override {
        auto *socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        if (m_count->open >= m_maxConnections) {
            refuse(socket);
            return;
        }
        new CountedConnection(socket, m_count);
        watchIdleTime(socket);
        watchBodySize(socket);
        addPendingConnection(socket);
    }

private:
    static constexpr int AcceptRetryMs = 250;

    static void refuse(QTcpSocket *socket) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        socket->write(QByteArrayLiteral("HTTP/1.1 503 Service Unavailable\r\n"
                                        "Content-Length: 0\r\nConnection: close\r\n\r\n"));
        socket->disconnectFromHost();
    }

    // The clock runs from the connection's start and from every answer sent, not from bytes
    // received: a client that trickles a request byte by byte is closed like an idle one.
    void watchIdleTime(QTcpSocket *socket) {
        auto *timer = new QTimer(socket);
        timer->setSingleShot(true);
        timer->setInterval(m_idleTimeoutMs);
        // The timer, not the socket, is the sender: the HTTP layer disconnects a socket's
        // signals when it cannot parse a request, and such a socket must still be closed.
        connect(timer, &QTimer::timeout, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        connect(socket, &QTcpSocket::bytesWritten, timer, qOverload<>(&QTimer::start));
        timer->start();
    }

    // Past this many bytes received on one connection without an answer going out, the
    // connection is dropped: the HTTP layer buffers whole bodies, and the 413 answer for
    // merely large bodies comes from the request handler once the body is complete.
    static void watchBodySize(QTcpSocket *socket) {
        // Connected before the HTTP layer connects its own reader, so this runs first.
        auto received = std::make_shared<qint64>(0);
        connect(socket, &QTcpSocket::readyRead, socket, [socket, received] {
            *received += socket->bytesAvailable();
            if (*received > ConnectionByteLimit) {
                qCWarning(lcReadingService) << "dropping a connection that sent more than"
                                            << ConnectionByteLimit << "bytes without an answer";
                socket->abort();
            }
        });
        connect(socket, &QTcpSocket::bytesWritten, socket, [received] { *received = 0; });
    }

    int m_maxConnections;
    int m_idleTimeoutMs;
    std::shared_ptr<ConnectionCount> m_count = std::make_shared<ConnectionCount>();
};

} // namespace

class ReadingService::HttpFront : public QAbstractHttpServer {
public:
    explicit HttpFront(ReadingService *owner)
        : m_owner(owner) {}

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override {
        // The HTTP layer keeps every connection open; a client that asked otherwise waits for
        // the close to know that the answer is complete.
        const bool close =
            request.value(QByteArrayLiteral("Connection")).toLower().contains("close");
        const Reply reply = m_owner->respond(request);
        const int delayMs = m_owner->m_options.answerDelayMs;
        if (delayMs <= 0) {
            QHttpServerResponder responder = makeResponder(request, socket);
            ReadingService::send(responder, reply);
            if (close)
                socket->disconnectFromHost();
            return true;
        }
        // The answer is made now, in the order requests came, and only sent later: a timer per
        // request, so a slow answer holds up no other. The socket is the timer's context, so
        // nothing is sent to a connection that is gone; one that closed before the timer fired
        // is left alone, as the HTTP layer forgets its request then.
        auto responder = std::make_shared<QHttpServerResponder>(makeResponder(request, socket));
        QTimer::singleShot(delayMs, Qt::PreciseTimer, socket, [responder, reply, socket, close] {
            if (socket->state() != QAbstractSocket::ConnectedState)
                return;
            ReadingService::send(*responder, reply);
            if (close)
                socket->disconnectFromHost();
        });
        return true;
    }
    void missingHandler(const QHttpServerRequest &, QTcpSocket *) override {
        // handleRequest answers every request.
    }

private:
    ReadingService *m_owner;
};

class ReadingService::Registry : public FileRegistry {
public:
    Registry() {
        // Every operation of the catalogue, answered by its handler.
#define TEACHER_REGISTER_HANDLER(name, path, Req, Rsp, offline)                                    \
    operations.insert(QStringLiteral(path), ServiceHandlers::name);
        TEACHER_SERVICE_OPERATIONS(TEACHER_REGISTER_HANDLER)
#undef TEACHER_REGISTER_HANDLER
    }
    void addFiles(const QString &prefix, FileHandler handler) override {
        files.append({prefix, std::move(handler)});
    }

    QHash<QString, ServiceHandler> operations;
    QList<QPair<QString, FileHandler>> files;
};

ReadingService::ReadingService(ReadingServiceOptions options, QObject *parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_registry(std::make_unique<Registry>()) {
    static QAtomicInteger<int> counter;
    m_connectionName = QStringLiteral("reading-service-%1").arg(counter.fetchAndAddRelaxed(1));
    m_context.fixedVerificationCode = m_options.fixedCode;
    m_context.codeLimits = m_options.codeLimits;
    if (m_options.approveAfterSeconds)
        m_context.approveClassRequestsAfterMs = qint64(*m_options.approveAfterSeconds) * 1000;
    m_modules.push_back(makeAccountModule());
    m_modules.push_back(makeBookModule());
    m_modules.push_back(makeClassroomModule());
}

ReadingService::~ReadingService() {
    m_http.reset();
    m_registry.reset();
    m_modules.clear();
    if (m_context.db.isOpen())
        m_context.db.close();
    m_context.db = QSqlDatabase();
    if (QSqlDatabase::contains(m_connectionName))
        QSqlDatabase::removeDatabase(m_connectionName);
}

bool ReadingService::start(QString *error) {
    if (m_http) {
        if (error)
            *error = QStringLiteral("already started");
        return false;
    }
    QElapsedTimer timer;
    timer.start();
    if (!prepareDatabase(error))
        return false;
    for (const auto &module : m_modules)
        module->registerFiles(*m_registry);
    if (!listen(error))
        return false;
    qCInfo(lcReadingService).noquote()
        << "listening on" << baseUrl() << "after" << timer.elapsed() << "ms";
    return true;
}

bool ReadingService::prepareDatabase(QString *error) {
    if (!ServiceDatabase::open(m_connectionName, m_options.databasePath, m_options.reset, error))
        return false;
    m_context.db = QSqlDatabase::database(m_connectionName);
    QSqlDatabase &db = m_context.db;

    // Each step runs in its own transaction; a failure leaves the database as it was before
    // that step, and a start that died while seeding seeds again on the next start.
    auto inTransaction = [&](const QString &what, const std::function<void()> &step) {
        try {
            ServiceDatabase::begin(db);
        } catch (const SqlError &e) {
            if (error)
                *error = QStringLiteral("%1: cannot begin: %2")
                             .arg(what, QString::fromStdString(e.what()));
            return false;
        }
        try {
            step();
            ServiceDatabase::commit(db);
            return true;
        } catch (const std::exception &e) {
            ServiceDatabase::rollback(db);
            if (error)
                *error = QStringLiteral("%1: %2").arg(what, QString::fromStdString(e.what()));
            return false;
        }
    };

    for (const auto &module : m_modules) {
        if (!inTransaction(QStringLiteral("migrating %1").arg(module->name()),
                           [&] { module->migrate(db); }))
            return false;
    }
    bool seeded = false;
    if (!inTransaction(QStringLiteral("checking the demo data"), [&] {
            ServiceDatabase::run(db, QStringLiteral("CREATE TABLE IF NOT EXISTS service_meta("
                                                    "key TEXT PRIMARY KEY, value TEXT)"));
            seeded = ServiceDatabase::scalar(db, QStringLiteral("SELECT value FROM service_meta "
                                                                "WHERE key = 'seeded_at'"))
                         .has_value();
        }))
        return false;
    if (!seeded) {
        QElapsedTimer timer;
        timer.start();
        if (!inTransaction(QStringLiteral("seeding demo data"), [&] {
                for (const auto &module : m_modules) {
                    QElapsedTimer moduleTimer;
                    moduleTimer.start();
                    module->seed(m_context);
                    qCDebug(lcReadingService)
                        << "seeded" << module->name() << "in" << moduleTimer.elapsed() << "ms";
                }
                ServiceDatabase::run(db,
                                     QStringLiteral("INSERT INTO service_meta(key, value) "
                                                    "VALUES('seeded_at', ?)"),
                                     {m_context.now().toString(Qt::ISODate)});
            }))
            return false;
        m_seeded = true;
        qCInfo(lcReadingService) << "demo data seeded in" << timer.elapsed() << "ms";
    }
    return true;
}

bool ReadingService::listen(QString *error) {
    QHostAddress address;
    if (m_options.host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0) {
        address = QHostAddress(QHostAddress::LocalHost);
    } else if (!address.setAddress(m_options.host)) {
        const QHostInfo info = QHostInfo::fromName(m_options.host);
        if (info.addresses().isEmpty()) {
            if (error)
                *error = QStringLiteral("cannot resolve the host %1").arg(m_options.host);
            return false;
        }
        address = info.addresses().constFirst();
    }

    auto http = std::make_unique<HttpFront>(this);
    auto *tcp = new GuardedTcpServer(m_options.maxConnections, m_options.idleTimeoutMs, http.get());
    if (!tcp->listen(address, m_options.port)) {
        if (error)
            *error = QStringLiteral("cannot listen on %1 port %2: %3")
                         .arg(address.toString())
                         .arg(m_options.port)
                         .arg(tcp->errorString());
        return false;
    }
    http->bind(tcp);
    m_port = tcp->serverPort();
    m_http = std::move(http);
    m_tcp = tcp;
    m_listenAddress = address;
    if (!address.isLoopback())
        qCWarning(lcReadingService).noquote()
            << "listening on" << address.toString()
            << "- every caller that reaches this address can act as any teacher: the protocol "
               "carries the uid in every request and has no token";

    // Image URLs must be reachable by the client: a wildcard address is not.
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    const bool wildcard = address == QHostAddress::Any || address == QHostAddress::AnyIPv4 ||
                          address == QHostAddress::AnyIPv6;
    url.setHost(wildcard ? QStringLiteral("127.0.0.1") : address.toString());
    url.setPort(m_port);
    url.setPath(QStringLiteral("/"));
    m_context.publicBaseUrl = url.toString();
    return true;
}

int ReadingService::approvePendingClassRequests(QString *error) {
    if (!m_context.db.isOpen() && !prepareDatabase(error))
        return -1;
    QSqlDatabase &db = m_context.db;
    try {
        ServiceDatabase::begin(db);
        const int approved =
            AccountModule::approveClassRequests(db, std::numeric_limits<qint64>::max());
        ServiceDatabase::commit(db);
        return approved;
    } catch (const std::exception &e) {
        ServiceDatabase::rollback(db);
        if (error)
            *error = QStringLiteral("approving class requests: %1")
                         .arg(QString::fromStdString(e.what()));
        return -1;
    }
}

int ReadingService::openConnections() const {
    return m_tcp ? static_cast<GuardedTcpServer *>(m_tcp)->openConnections() : 0;
}

bool ReadingService::isFromTrustedPlace(const QHttpServerRequest &request) const {
    // A browser sends Host with the name it resolved: a page whose own name resolves to this
    // machine (DNS rebinding) names itself, never a loopback name or this address.
    auto isOurHost = [this](const QString &host) {
        if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
            host.endsWith(QLatin1String(".localhost"), Qt::CaseInsensitive))
            return true;
        QString literal = host;
        if (literal.startsWith(u'[') && literal.endsWith(u']'))
            literal = literal.mid(1, literal.size() - 2);
        const QHostAddress address(literal);
        if (address.isNull())
            return false;
        const bool wildcard = m_listenAddress == QHostAddress::Any ||
                              m_listenAddress == QHostAddress::AnyIPv4 ||
                              m_listenAddress == QHostAddress::AnyIPv6;
        return address.isLoopback() || address.isEqual(m_listenAddress) || wildcard;
    };
    const QByteArray hostHeader = request.value(QByteArrayLiteral("Host"));
    if (!hostHeader.isEmpty()) {
        const QUrl url(QStringLiteral("http://") + QString::fromLatin1(hostHeader) + u'/');
        if (!url.isValid() || !isOurHost(url.host()))
            return false;
    }
    // The client sends no Origin; a browser sends one with every cross-site POST, and only
    // pages of this very service may call it.
    const QByteArray origin = request.value(QByteArrayLiteral("Origin"));
    if (!origin.isEmpty()) {
        const QUrl url(QString::fromLatin1(origin));
        if (!url.isValid() || url.scheme() != QLatin1String("http") || !isOurHost(url.host()) ||
            url.port(80) != m_port)
            return false;
    }
    return true;
}

bool ReadingService::isListening() const {
    return m_http != nullptr;
}

QString ReadingService::baseUrl() const {
    return m_context.publicBaseUrl;
}

bool ReadingService::isOperationPath(const QString &path) const {
    return m_registry->operations.contains(path);
}

ServiceAnswer ReadingService::perform(const QString &path, const FormFields &fields) {
    const auto handler = m_registry->operations.constFind(path);
    if (handler == m_registry->operations.constEnd())
        return ServiceAnswer::refuse(QStringLiteral("服务暂不支持该操作"));
    QSqlDatabase &db = m_context.db;
    try {
        ServiceDatabase::begin(db);
    } catch (const SqlError &e) {
        qCWarning(lcReadingService).noquote() << path << "cannot begin a transaction:" << e.what();
        return ServiceAnswer::refuse(Unavailable);
    }
    try {
        for (const auto &module : m_modules)
            module->beforeOperation(m_context);
        ServiceAnswer answer = (*handler)(m_context, fields);
        ServiceDatabase::commit(db);
        return answer;
    } catch (const ServiceRefusal &refusal) {
        ServiceDatabase::rollback(db);
        return ServiceAnswer::refuse(refusal.message());
    } catch (const std::exception &e) {
        ServiceDatabase::rollback(db);
        qCWarning(lcReadingService).noquote() << path << "failed:" << e.what();
        return ServiceAnswer::refuse(Unavailable);
    } catch (...) {
        ServiceDatabase::rollback(db);
        qCWarning(lcReadingService).noquote() << path << "failed with an unknown exception";
        return ServiceAnswer::refuse(Unavailable);
    }
}

void ReadingService::send(QHttpServerResponder &responder, const Reply &reply) {
    const QByteArray type = QByteArrayLiteral("Content-Type");
    if (reply.allow.isEmpty())
        responder.write(reply.body, {{type, reply.contentType}}, reply.status);
    else
        responder.write(reply.body,
                        {{type, reply.contentType}, {QByteArrayLiteral("Allow"), reply.allow}},
                        reply.status);
}

ReadingService::Reply ReadingService::respond(const QHttpServerRequest &request) {
    using Status = QHttpServerResponder::StatusCode;
    QElapsedTimer timer;
    timer.start();
    QString path = request.url().path();
    if (path.startsWith(u'/'))
        path.remove(0, 1);

    auto refuseWith = [](const QString &message, Status status) {
        return Reply{status, JsonType, jsonBytes(ServiceAnswer::refuse(message).body), {}};
    };

    if (!isFromTrustedPlace(request)) {
        qCInfo(lcReadingService).noquote()
            << path.left(MaximumEchoedPath) << "refused: Host"
            << request.value(QByteArrayLiteral("Host")).left(MaximumEchoedPath) << "Origin"
            << request.value(QByteArrayLiteral("Origin")).left(MaximumEchoedPath);
        return refuseWith(QStringLiteral("只接受本机客户端的请求"), Status::Forbidden);
    }

    if (request.body().size() > MaximumBodySize) {
        qCInfo(lcReadingService).noquote()
            << path << "refused: body of" << request.body().size() << "bytes";
        return refuseWith(QStringLiteral("请求内容过大"), Status::PayloadTooLarge);
    }

    const auto method = request.method();
    if (method == QHttpServerRequest::Method::Post && isOperationPath(path)) {
        QString formError;
        const std::optional<FormFields> fields = FormBody::decode(request.body(), &formError);
        const ServiceAnswer answer =
            fields ? perform(path, *fields) : ServiceAnswer::refuse(formError);
        qCDebug(lcReadingService).noquote()
            << "POST" << path << "result" << answer.body.value(QStringLiteral("result")).toInteger()
            << answer.body.value(QStringLiteral("msg")).toString() << timer.elapsed() << "ms";
        return Reply{Status::Ok, JsonType, jsonBytes(answer.body), {}};
    }

    if (method == QHttpServerRequest::Method::Get) {
        for (const auto &[prefix, handler] : std::as_const(m_registry->files)) {
            if (!path.startsWith(prefix))
                continue;
            std::optional<ServedFile> file;
            try {
                file = handler(m_context, path.mid(prefix.size()));
            } catch (const std::exception &e) {
                qCWarning(lcReadingService).noquote() << "GET" << path << "failed:" << e.what();
                return refuseWith(Unavailable, Status::InternalServerError);
            }
            if (!file)
                break;
            return Reply{Status::Ok, file->mimeType, file->bytes, {}};
        }
    }

    if (isOperationPath(path)) {
        return Reply{Status::MethodNotAllowed, JsonType,
                     jsonBytes(ServiceAnswer::refuse(QStringLiteral("请使用 POST")).body),
                     QByteArrayLiteral("POST")};
    }
    // Whatever a caller sends as a path is not worth sending back at length.
    QString shown = path.left(MaximumEchoedPath);
    if (shown.size() < path.size())
        shown += QStringLiteral("…");
    return refuseWith(QStringLiteral("未知的接口：%1").arg(shown), Status::NotFound);
}
