#include "StubHttpServer.h"

#include <QFile>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

namespace {
// Far above anything a test sends; a request beyond these is answered with an error, so a broken
// client cannot make the stub buffer without end.
constexpr qsizetype MaxHeadBytes = 64 * 1024;
constexpr qint64 MaxBodyBytes = 256LL * 1024 * 1024;

QString decodeFormComponent(QByteArray component) {
    // Servers read '+' as a space in form bodies; percent-decoding alone does not.
    component.replace('+', ' ');
    return QString::fromUtf8(QByteArray::fromPercentEncoding(component));
}
} // namespace

struct StubHttpServer::Connection {
    QByteArray buffer;
    bool haveHead = false;
    bool busy = false; // an answer is scheduled; later requests wait for it (no pipelining)
    qint64 contentLength = 0;
    bool closeAfter = false;
    Recorded pending;
};

StubHttpServer::Answer StubHttpServer::Answer::json(const QByteArray &body, int status) {
    Answer answer;
    answer.status = status;
    answer.body = body;
    return answer;
}

StubHttpServer::Answer StubHttpServer::Answer::jsonFile(const QString &nameInTestsData) {
    QFile file(QStringLiteral(TEACHER_TEST_DATA_DIR "/") + nameInTestsData);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("StubHttpServer: test data file %s cannot be read", qPrintable(file.fileName()));
        return json(R"({"result":0,"msg":"missing test data file"})", 500);
    }
    return json(file.readAll());
}

StubHttpServer::Answer StubHttpServer::Answer::dropped() {
    Answer answer;
    answer.dropConnection = true;
    return answer;
}

QHash<QString, QString> StubHttpServer::Recorded::form() const {
    QHash<QString, QString> result;
    for (const auto &pair : formPairs())
        result.insert(pair.first, pair.second);
    return result;
}

QList<std::pair<QString, QString>> StubHttpServer::Recorded::formPairs() const {
    QList<std::pair<QString, QString>> pairs;
    for (const QByteArray &piece : body.split('&')) {
        if (piece.isEmpty())
            continue;
        const qsizetype eq = piece.indexOf('=');
        if (eq < 0) {
            pairs.append({decodeFormComponent(piece), QString()});
        } else {
            QString value = decodeFormComponent(piece.mid(eq + 1));
            if (value.isNull())
                value = QLatin1String(""); // "name=" is an empty value, not an absent one
            pairs.append({decodeFormComponent(piece.left(eq)), value});
        }
    }
    return pairs;
}

StubHttpServer::StubHttpServer(QObject *parent)
    : QObject(parent)
    , m_server(new QTcpServer(this)) {
    m_defaultAnswer = Answer::json(R"({"result":0,"msg":"no route"})", 404);
    connect(m_server, &QTcpServer::newConnection, this, &StubHttpServer::onNewConnection);
}

StubHttpServer::~StubHttpServer() {
    qDeleteAll(m_connections);
}

bool StubHttpServer::start() {
    return m_server->isListening() || m_server->listen(QHostAddress::LocalHost, 0);
}

quint16 StubHttpServer::port() const {
    return m_server->serverPort();
}

QString StubHttpServer::baseUrl() const {
    return QStringLiteral("http://127.0.0.1:%1/").arg(port());
}

void StubHttpServer::setAnswer(const QString &path, Answer answer) {
    m_answers.insert(path, std::move(answer));
}

void StubHttpServer::queueAnswer(const QString &path, Answer answer) {
    m_queued[path].append(std::move(answer));
}

void StubHttpServer::setDefaultAnswer(Answer answer) {
    m_defaultAnswer = std::move(answer);
}

QList<StubHttpServer::Recorded> StubHttpServer::requests() const {
    return m_requests;
}

StubHttpServer::Recorded StubHttpServer::lastRequest() const {
    return m_requests.isEmpty() ? Recorded() : m_requests.last();
}

void StubHttpServer::clearRequests() {
    m_requests.clear();
}

StubHttpServer::Answer StubHttpServer::answerFor(const QString &path) {
    auto queued = m_queued.find(path);
    if (queued != m_queued.end() && !queued->isEmpty())
        return queued->takeFirst();
    auto fixed = m_answers.constFind(path);
    if (fixed != m_answers.constEnd())
        return *fixed;
    return m_defaultAnswer;
}

void StubHttpServer::onNewConnection() {
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        ++m_connectionCount;
        m_connections.insert(socket, new Connection);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { processBuffer(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            delete m_connections.take(socket);
            socket->deleteLater();
        });
    }
}

void StubHttpServer::processBuffer(QTcpSocket *socket) {
    if (Connection *conn = m_connections.value(socket))
        conn->buffer.append(socket->readAll());

    for (;;) {
        // Answering may close the socket and drop its state at once; look it up every round.
        Connection *conn = m_connections.value(socket);
        if (!conn || conn->busy || socket->state() != QAbstractSocket::ConnectedState)
            return;
        if (!conn->haveHead) {
            const qsizetype end = conn->buffer.indexOf("\r\n\r\n");
            if (end < 0) {
                if (conn->buffer.size() > MaxHeadBytes)
                    rejectMalformed(socket, 431);
                return;
            }
            const QList<QByteArray> lines = conn->buffer.left(end).split('\n');
            conn->buffer.remove(0, end + 4);

            const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
            if (requestLine.size() != 3 || requestLine[0].isEmpty() || requestLine[1].isEmpty() ||
                !requestLine[2].startsWith("HTTP/1.")) {
                rejectMalformed(socket, 400);
                return;
            }
            Recorded request;
            request.method = requestLine[0];
            request.target = requestLine[1];
            QUrl url = request.target.startsWith('/')
                           ? QUrl::fromEncoded("http://127.0.0.1" + request.target)
                           : QUrl::fromEncoded(request.target);
            request.path = url.path(QUrl::FullyDecoded).mid(1);

            bool malformed = false;
            for (qsizetype i = 1; i < lines.size(); ++i) {
                const QByteArray line = lines[i].trimmed();
                const qsizetype colon = line.indexOf(':');
                if (colon <= 0) {
                    malformed = true;
                    break;
                }
                request.headers.insert(line.left(colon).trimmed().toLower(),
                                       line.mid(colon + 1).trimmed());
            }
            bool lengthOk = true;
            const QByteArray lengthText = request.headers.value("content-length", "0");
            const qint64 length = lengthText.toLongLong(&lengthOk);
            if (malformed || !lengthOk || length < 0) {
                rejectMalformed(socket, 400);
                return;
            }
            if (request.headers.contains("transfer-encoding")) {
                // The clients under test always send a length; chunked uploads are not needed.
                rejectMalformed(socket, 501);
                return;
            }
            if (length > MaxBodyBytes) {
                rejectMalformed(socket, 413);
                return;
            }
            const QByteArray connection = request.headers.value("connection").toLower();
            conn->closeAfter = connection == "close" ||
                               (requestLine[2] == "HTTP/1.0" && connection != "keep-alive");
            conn->contentLength = length;
            conn->pending = request;
            conn->haveHead = true;
        }

        if (conn->buffer.size() < conn->contentLength)
            return;
        Recorded request = conn->pending;
        request.body = conn->buffer.left(conn->contentLength);
        conn->buffer.remove(0, conn->contentLength);
        conn->haveHead = false;
        conn->pending = Recorded();

        m_requests.append(request);
        emit requestReceived(request);
        const Answer answer = answerFor(request.path);
        const bool closeAfter = conn->closeAfter;
        if (answer.delayMs > 0) {
            conn->busy = true;
            QPointer<QTcpSocket> guard(socket);
            QTimer::singleShot(answer.delayMs, this, [this, guard, request, answer, closeAfter] {
                if (!guard)
                    return;
                Connection *c = m_connections.value(guard.data());
                if (!c)
                    return;
                c->busy = false;
                respond(guard.data(), request, answer, closeAfter);
                if (guard && guard->state() == QAbstractSocket::ConnectedState)
                    processBuffer(guard.data());
            });
            return;
        }
        respond(socket, request, answer, closeAfter);
    }
}

void StubHttpServer::respond(QTcpSocket *socket, const Recorded &, const Answer &answer,
                             bool closeAfter) {
    if (answer.dropConnection) {
        socket->disconnectFromHost();
        return;
    }
    const QByteArray reason =
        answer.reason.isEmpty() ? standardReason(answer.status) : answer.reason;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(answer.status) + ' ' + reason + "\r\n";
    if (answer.contentType)
        head += "Content-Type: " + *answer.contentType + "\r\n";
    for (const auto &[name, value] : answer.headers)
        head += name + ": " + value + "\r\n";
    if (!answer.closeDelimited)
        head += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
    const bool close = closeAfter || answer.closeDelimited;
    head += close ? "Connection: close\r\n" : "Connection: keep-alive\r\n";
    head += "\r\n";
    socket->write(head);
    socket->write(answer.body);
    if (close)
        socket->disconnectFromHost();
}

void StubHttpServer::rejectMalformed(QTcpSocket *socket, int status) {
    const QByteArray body = R"({"result":0,"msg":"malformed request"})";
    socket->write("HTTP/1.1 " + QByteArray::number(status) + ' ' + standardReason(status) +
                  "\r\nContent-Type: application/json\r\nContent-Length: " +
                  QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    socket->disconnectFromHost();
}

QByteArray StubHttpServer::standardReason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 201:
        return "Created";
    case 204:
        return "No Content";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 304:
        return "Not Modified";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 413:
        return "Content Too Large";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    case 501:
        return "Not Implemented";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}
