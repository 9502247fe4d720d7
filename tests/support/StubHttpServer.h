#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <optional>

class QHttpServer;
class QHttpServerRequest;
class QHttpServerResponder;
class QTcpServer;
class QTcpSocket;

// A scripted HTTP/1.1 server for tests on QHttpServer: answers by path from canned answers,
// records every request. Listens on 127.0.0.1 only, on a port the system picks. Answers that
// no HTTP library would send (a reason phrase of their own, a body ended by closing the
// connection) are written as raw bytes on the connection instead.
class StubHttpServer : public QObject {
    Q_OBJECT
public:
    struct Answer {
        int status = 200;
        QByteArray reason = {}; // empty: the standard phrase for status
        // nullopt: no Content-Type header at all
        std::optional<QByteArray> contentType = QByteArray("application/json; charset=utf-8");
        QByteArray body = {};
        int delayMs = 0;             // answer later (for in-flight tests)
        bool dropConnection = false; // close without answering (transport error)
        // No Content-Length: the body ends when the connection closes.
        bool closeDelimited = false;
        QList<std::pair<QByteArray, QByteArray>> headers = {}; // extra header lines, as given

        static Answer json(const QByteArray &body, int status = 200);
        // Reads tests/data/<name>; a missing file gives a 500 answer naming it, so the test fails
        // visibly instead of parsing nothing.
        static Answer jsonFile(const QString &nameInTestsData);
        static Answer dropped();
    };

    struct Recorded {
        QByteArray method;
        QString path; // decoded, without leading '/' and query, e.g. "Mobile/TeacherLogin"
        QHash<QByteArray, QByteArray> headers; // names lower-cased
        QByteArray body = {};

        // The application/x-www-form-urlencoded body decoded. A bare name (no '=') maps to a null
        // QString, "name=" to an empty one.
        QHash<QString, QString> form() const;
        // The same pairs in the order they were sent, repeated names kept.
        QList<std::pair<QString, QString>> formPairs() const;
    };

    explicit StubHttpServer(QObject *parent = nullptr);
    ~StubHttpServer() override;

    bool start(); // listen on 127.0.0.1:0
    quint16 port() const;
    QString baseUrl() const; // "http://127.0.0.1:<port>/"

    // path without leading '/'; answers every request to it
    void setAnswer(const QString &path, Answer answer);
    // one-shot answers, used before setAnswer ones, in order
    void queueAnswer(const QString &path, Answer answer);
    // default: 404 with a JSON body {"result":0,"msg":"no route"}
    void setDefaultAnswer(Answer answer);

    QList<Recorded> requests() const;
    QList<Recorded> requestsTo(const QString &path) const; // those to one path, in order
    Recorded lastRequest() const; // a default Recorded when nothing was received
    void clearRequests();

    static QByteArray standardReason(int status);

signals:
    void requestReceived(const StubHttpServer::Recorded &request);

private:
    void handle(const QHttpServerRequest &request, QHttpServerResponder &&responder);
    Answer answerFor(const QString &path);

    QHttpServer *m_http = nullptr;
    QTcpServer *m_tcp = nullptr;
    QHash<QString, Answer> m_answers;
    QHash<QString, QList<Answer>> m_queued;
    Answer m_defaultAnswer;
    QList<Recorded> m_requests;
};

Q_DECLARE_METATYPE(StubHttpServer::Answer)
Q_DECLARE_METATYPE(StubHttpServer::Recorded)
