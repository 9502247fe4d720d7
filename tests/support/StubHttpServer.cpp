#include "StubHttpServer.h"

#include <QFile>
#include <QHostAddress>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QMetaEnum>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

namespace {

QString decodeFormComponent(QByteArray component) {
    // Servers read '+' as a space in form bodies; percent-decoding alone does not.
    component.replace('+', ' ');
    return QString::fromUtf8(QByteArray::fromPercentEncoding(component));
}

// What QHttpServerResponder cannot write goes straight to the socket: a reason phrase of the
// answer's own, a status QHttpServer has no name for, a body that ends when the connection
// closes, and late answers.
void writeRaw(QTcpSocket *socket, const StubHttpServer::Answer &answer) {
    const QByteArray reason =
        answer.reason.isEmpty() ? StubHttpServer::standardReason(answer.status) : answer.reason;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(answer.status) + ' ' + reason + "\r\n";
    if (answer.contentType)
        head += "Content-Type: " + *answer.contentType + "\r\n";
    for (const auto &[name, value] : answer.headers)
        head += name + ": " + value + "\r\n";
    if (!answer.closeDelimited)
        head += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
    socket->write(head + "Connection: close\r\n\r\n" + answer.body);
    socket->disconnectFromHost();
}

void send(QHttpServerResponder &responder, const StubHttpServer::Answer &answer) {
    QTcpSocket *socket = responder.socket();
    if (!socket || socket->state() != QAbstractSocket::ConnectedState)
        return;
    if (answer.dropConnection) {
        socket->disconnectFromHost();
        return;
    }
    const bool knownStatus =
        QMetaEnum::fromType<QHttpServerResponder::StatusCode>().valueToKey(answer.status);
    if (!answer.reason.isEmpty() || answer.closeDelimited || !knownStatus) {
        writeRaw(socket, answer);
        return;
    }
    responder.writeStatusLine(static_cast<QHttpServerResponder::StatusCode>(answer.status));
    if (answer.contentType)
        responder.writeHeader(QByteArrayLiteral("Content-Type"), *answer.contentType);
    for (const auto &[name, value] : answer.headers)
        responder.writeHeader(name, value);
    responder.writeHeader(QByteArrayLiteral("Content-Length"),
                          QByteArray::number(answer.body.size()));
    responder.writeBody(answer.body);
}

QByteArray methodName(const QHttpServerRequest &request) {
    const QMetaEnum methods = QMetaEnum::fromType<QHttpServerRequest::Method>();
    return QByteArray(methods.valueToKey(int(request.method()))).toUpper();
}

} // namespace

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
    , m_http(new QHttpServer(this))
    , m_tcp(new QTcpServer(m_http)) {
    m_defaultAnswer = Answer::json(R"({"result":0,"msg":"no route"})", 404);
    // No routes: every path is answered from the tables, so one handler takes all requests.
    m_http->setMissingHandler(
        [this](const QHttpServerRequest &request, QHttpServerResponder &&responder) {
            handle(request, std::move(responder));
        });
}

StubHttpServer::~StubHttpServer() = default;

bool StubHttpServer::start() {
    if (m_tcp->isListening())
        return true;
    if (!m_tcp->listen(QHostAddress::LocalHost, 0))
        return false;
    m_http->bind(m_tcp);
    return true;
}

quint16 StubHttpServer::port() const {
    return m_tcp->serverPort();
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

QList<StubHttpServer::Recorded> StubHttpServer::requestsTo(const QString &path) const {
    QList<Recorded> found;
    for (const Recorded &r : m_requests)
        if (r.path == path)
            found << r;
    return found;
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
    return m_answers.value(path, m_defaultAnswer);
}

void StubHttpServer::handle(const QHttpServerRequest &request, QHttpServerResponder &&responder) {
    Recorded recorded;
    recorded.method = methodName(request);
    recorded.path = request.url().path(QUrl::FullyDecoded).mid(1);
    for (const auto &[name, value] : request.headers())
        recorded.headers.insert(name.toLower(), value);
    recorded.body = request.body();
    m_requests.append(recorded);
    emit requestReceived(recorded);

    const Answer answer = answerFor(recorded.path);
    if (answer.delayMs <= 0) {
        send(responder, answer);
        return;
    }
    // A responder must not outlive the request it answers, so a late answer goes out raw on
    // the connection, which is closed after it.
    QPointer<QTcpSocket> socket = responder.socket();
    QTimer::singleShot(answer.delayMs, this, [socket, answer] {
        if (!socket || socket->state() != QAbstractSocket::ConnectedState)
            return;
        if (answer.dropConnection)
            socket->disconnectFromHost();
        else
            writeRaw(socket, answer);
    });
}

QByteArray StubHttpServer::standardReason(int status) {
    const QMetaEnum codes = QMetaEnum::fromType<QHttpServerResponder::StatusCode>();
    const char *key = codes.valueToKey(status);
    if (!key)
        return "Status";
    // "NotFound" -> "Not Found"
    QByteArray phrase;
    for (const char *c = key; *c; ++c) {
        if (c != key && *c >= 'A' && *c <= 'Z')
            phrase += ' ';
        phrase += *c;
    }
    return phrase;
}
