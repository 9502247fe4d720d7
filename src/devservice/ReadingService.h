#pragma once

// The development service: an HTTP server on one address that answers the catalogue's
// operations from an SQLite database, through the modules registered with it.

#include "ServiceModule.h"

#include <QByteArray>
#include <QHostAddress>
#include <QHttpServerResponder>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class QHttpServerRequest;
class QTcpServer;
class QTcpSocket;

struct ReadingServiceOptions {
    QString host = QStringLiteral("127.0.0.1");
    quint16 port = 8780; // 0 lets the system choose
    QString databasePath;
    bool reset = false; // drop the database file and seed afresh
    std::optional<QString> fixedCode;
    CodeLimits codeLimits;
    int idleTimeoutMs = 30 * 1000; // an idle or half-sent connection is closed after this
    int maxConnections = 256;      // connections beyond this are refused at once
    // Teachers' class requests are approved this many seconds after they were made, by the first
    // operation that comes then; nothing: they stay pending, as they would until a school acts.
    std::optional<int> approveAfterSeconds;
    // Every answer goes out this many milliseconds after its request came, as over a slow
    // network, so that what the client shows while it waits can be seen and timed. The other
    // requests are answered meanwhile.
    int answerDelayMs = 0;
    static constexpr int MaximumAnswerDelayMs = 10000;
};

class ReadingService : public QObject {
    Q_OBJECT
public:
    // Largest request body accepted; larger ones get 413.
    static constexpr qsizetype MaximumBodySize = 8 * 1024 * 1024;

    explicit ReadingService(ReadingServiceOptions options, QObject *parent = nullptr);
    ~ReadingService() override;

    // Opens (and when new, seeds) the database, then listens. On failure returns false and says
    // why in *error.
    bool start(QString *error = nullptr);
    bool isListening() const;
    quint16 port() const { return m_port; }
    // "http://127.0.0.1:<port>/"
    QString baseUrl() const;
    QString databasePath() const { return m_options.databasePath; }
    // True when start() created and seeded the database.
    bool seededOnStart() const { return m_seeded; }

    ServiceContext &context() { return m_context; }
    const std::vector<std::unique_ptr<ServiceModule>> &modules() const { return m_modules; }

    // Runs one operation as a request would (decoded fields, one transaction); what the HTTP
    // routes call, exposed for tools.
    ServiceAnswer perform(const QString &path, const FormFields &fields);

    // Opens (and when new, seeds) the database without listening, and approves every pending
    // class request in it. The number approved, or -1 with the reason in *error.
    int approvePendingClassRequests(QString *error = nullptr);

    // Connections held right now (for tests of the connection limits).
    int openConnections() const;

private:
    class Registry;
    class HttpFront;
    // An answer that is complete but may not be sent yet.
    struct Reply {
        QHttpServerResponder::StatusCode status = QHttpServerResponder::StatusCode::Ok;
        QByteArray contentType;
        QByteArray body;
        QByteArray allow; // for 405: the method that is allowed
    };
    bool prepareDatabase(QString *error);
    bool listen(QString *error);
    bool isOperationPath(const QString &path) const;
    // Whether the request comes from where this service trusts: see respond().
    bool isFromTrustedPlace(const QHttpServerRequest &request) const;
    Reply respond(const QHttpServerRequest &request);
    static void send(QHttpServerResponder &responder, const Reply &reply);

    ReadingServiceOptions m_options;
    ServiceContext m_context;
    std::vector<std::unique_ptr<ServiceModule>> m_modules;
    std::unique_ptr<Registry> m_registry;
    std::unique_ptr<HttpFront> m_http;
    QString m_connectionName;
    quint16 m_port = 0;
    QHostAddress m_listenAddress;
    QTcpServer *m_tcp = nullptr; // owned by m_http
    bool m_seeded = false;
};
