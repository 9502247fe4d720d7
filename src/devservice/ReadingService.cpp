#include "ReadingService.h"

#include "AccountModule.h"
#include "BookModule.h"
#include "ClassroomModule.h"
#include "FormBody.h"
#include "RequestReader.h"
#include "ServiceDatabase.h"
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
#include <QUrl>

namespace {

const QByteArray JsonType = QByteArrayLiteral("application/json; charset=utf-8");
const QString Unavailable = QStringLiteral("服务暂时不可用");

// Past this many bytes received on one connection without an answer going out, the
// connection is dropped: the HTTP layer buffers whole bodies, and the 413 answer for
// merely large bodies comes from the request handler once the body is complete.
constexpr qint64 ConnectionByteLimit = 64 * 1024 * 1024;

// Catalogue paths are answered even without a module (with a refusal), so they never look
// like unknown paths.
bool isCataloguePath(const QString &path) {
    static const QSet<QString> paths = [] {
        QSet<QString> set;
        for (const ServiceOperation &operation : TeacherRequestManager::operations())
            set.insert(QString::fromLatin1(operation.path));
        return set;
    }();
    return paths.contains(path);
}

QByteArray jsonBytes(const QJsonObject &object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

// Hands connections to the HTTP layer, with a guard against endless request bodies.
class GuardedTcpServer : public QTcpServer {
public:
    using QTcpServer::QTcpServer;

protected:
    void incomingConnection(qintptr descriptor) override {
        auto *socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
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
        addPendingConnection(socket);
    }
};

} // namespace

class ReadingService::HttpFront : public QAbstractHttpServer {
public:
    explicit HttpFront(ReadingService *owner)
        : m_owner(owner) {}

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override {
        m_owner->respond(request, makeResponder(request, socket));
        return true;
    }
    void missingHandler(const QHttpServerRequest &, QTcpSocket *) override {
        // handleRequest answers every request.
    }

private:
    ReadingService *m_owner;
};

class ReadingService::Registry : public OperationRegistry {
public:
    void addOperation(const QString &path, OperationHandler handler) override {
        if (operations.contains(path)) {
            qCWarning(lcReadingService) << "operation registered twice, keeping the first:" << path;
            return;
        }
        operations.insert(path, std::move(handler));
    }
    void addFiles(const QString &prefix, FileHandler handler) override {
        files.append({prefix, std::move(handler)});
    }

    QHash<QString, OperationHandler> operations;
    QList<QPair<QString, FileHandler>> files;
};

ReadingService::ReadingService(ReadingServiceOptions options, QObject *parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_registry(std::make_unique<Registry>()) {
    static QAtomicInteger<int> counter;
    m_connectionName = QStringLiteral("reading-service-%1").arg(counter.fetchAndAddRelaxed(1));
    m_context.fixedVerificationCode = m_options.fixedCode;
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
        module->registerOperations(*m_registry);
    for (const QString &path : unansweredOperations())
        qCWarning(lcReadingService) << "no module answers" << path << "- it will be refused";
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
        if (!db.transaction()) {
            if (error)
                *error = QStringLiteral("%1: cannot begin: %2").arg(what, db.lastError().text());
            return false;
        }
        try {
            step();
            if (!db.commit())
                throw SqlError(db.lastError().text());
            return true;
        } catch (const std::exception &e) {
            db.rollback();
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
    auto *tcp = new GuardedTcpServer(http.get());
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

bool ReadingService::isListening() const {
    return m_http != nullptr;
}

QString ReadingService::baseUrl() const {
    return m_context.publicBaseUrl;
}

QStringList ReadingService::unansweredOperations() const {
    QStringList missing;
    for (const ServiceOperation &operation : TeacherRequestManager::operations()) {
        const QString path = QString::fromLatin1(operation.path);
        if (!m_registry->operations.contains(path))
            missing.append(path);
    }
    return missing;
}

bool ReadingService::isOperationPath(const QString &path) const {
    return m_registry->operations.contains(path) || isCataloguePath(path);
}

ServiceAnswer ReadingService::perform(const QString &path, const FormFields &fields) {
    const auto handler = m_registry->operations.constFind(path);
    if (handler == m_registry->operations.constEnd())
        return ServiceAnswer::refuse(QStringLiteral("服务暂不支持该操作"));
    QSqlDatabase &db = m_context.db;
    if (!db.transaction()) {
        qCWarning(lcReadingService).noquote()
            << path << "cannot begin a transaction:" << db.lastError().text();
        return ServiceAnswer::refuse(Unavailable);
    }
    try {
        ServiceAnswer answer = (*handler)(m_context, fields);
        if (!db.commit())
            throw SqlError(QStringLiteral("commit failed: ") + db.lastError().text());
        return answer;
    } catch (const ServiceRefusal &refusal) {
        db.rollback();
        return ServiceAnswer::refuse(refusal.message());
    } catch (const std::exception &e) {
        db.rollback();
        qCWarning(lcReadingService).noquote() << path << "failed:" << e.what();
        return ServiceAnswer::refuse(Unavailable);
    } catch (...) {
        db.rollback();
        qCWarning(lcReadingService).noquote() << path << "failed with an unknown exception";
        return ServiceAnswer::refuse(Unavailable);
    }
}

void ReadingService::respond(const QHttpServerRequest &request, QHttpServerResponder &&responder) {
    using Status = QHttpServerResponder::StatusCode;
    QElapsedTimer timer;
    timer.start();
    QString path = request.url().path();
    if (path.startsWith(u'/'))
        path.remove(0, 1);

    auto answerJson = [&](const QJsonObject &body, Status status) {
        responder.write(jsonBytes(body), {{QByteArrayLiteral("Content-Type"), JsonType}}, status);
    };
    auto refuseWith = [&](const QString &message, Status status) {
        answerJson(ServiceAnswer::refuse(message).body, status);
    };

    if (request.body().size() > MaximumBodySize) {
        qCInfo(lcReadingService).noquote()
            << path << "refused: body of" << request.body().size() << "bytes";
        refuseWith(QStringLiteral("请求内容过大"), Status::PayloadTooLarge);
        return;
    }

    const auto method = request.method();
    if (method == QHttpServerRequest::Method::Post && isOperationPath(path)) {
        QString formError;
        const std::optional<FormFields> fields = FormBody::decode(request.body(), &formError);
        const ServiceAnswer answer =
            fields ? perform(path, *fields) : ServiceAnswer::refuse(formError);
        answerJson(answer.body, Status::Ok);
        qCDebug(lcReadingService).noquote()
            << "POST" << path << "result" << answer.body.value(QStringLiteral("result")).toInteger()
            << answer.body.value(QStringLiteral("msg")).toString() << timer.elapsed() << "ms";
        return;
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
                refuseWith(Unavailable, Status::InternalServerError);
                return;
            }
            if (!file)
                break;
            responder.write(file->bytes, {{QByteArrayLiteral("Content-Type"), file->mimeType}},
                            Status::Ok);
            return;
        }
    }

    refuseWith(QStringLiteral("未知的接口：%1").arg(path), Status::NotFound);
}
