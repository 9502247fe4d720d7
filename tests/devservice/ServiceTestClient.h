#pragma once

// Runs the development service in-process on 127.0.0.1, port 0, on a database in a temporary
// folder with every verification code fixed to "123456", and talks to it over real HTTP. Each
// client starts on its own copy of freshly seeded demo data (seeded once per test program).

#include "CataloguePath.h"
#include "ReadingService.h"

#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPair>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <memory>

using TestCatalogue::pathOf;

// A form body as the client sends it: name/value pairs in order.
using Form = QList<QPair<QString, QString>>;

// Readers of an answer's envelope and fields; a missing result reads as -1 so that it never
// passes for a refusal (0) or a success (1).
inline qint64 resultOf(const QJsonObject &answer) {
    return answer.value(QStringLiteral("result")).toInteger(-1);
}
inline QString msgOf(const QJsonObject &answer) {
    return answer.value(QStringLiteral("msg")).toString();
}
inline qint64 integer(const QJsonValue &object, const char *key) {
    return object.toObject().value(QLatin1String(key)).toInteger();
}
inline QString text(const QJsonValue &object, const char *key) {
    return object.toObject().value(QLatin1String(key)).toString();
}

class ServiceTestClient {
public:
    static inline const QString FixedCode = QStringLiteral("123456");

    // `answerDelayMs`: the service holds every answer back this long.
    explicit ServiceTestClient(int answerDelayMs = 0)
        : m_answerDelayMs(answerDelayMs) {
        start(true);
    }

    // Stops the service and starts a new one on the same database file (no reseeding).
    bool restart() {
        m_service.reset();
        return start(false);
    }

    bool isReady() const { return m_service && m_service->isListening(); }
    QString startError() const { return m_error; }
    ReadingService &service() { return *m_service; }
    QString baseUrl() const { return m_service->baseUrl(); }
    QString databasePath() const { return m_dir.filePath(QStringLiteral("service.sqlite")); }

    // The percent-encoded form body of the pairs, as the client sends it.
    static QByteArray formBody(const QList<QPair<QString, QString>> &form) {
        QByteArray body;
        for (const auto &[key, value] : form) {
            if (!body.isEmpty())
                body += '&';
            body += QUrl::toPercentEncoding(key) + '=' + QUrl::toPercentEncoding(value);
        }
        return body;
    }

    // POSTs the form to path ("Mobile/GetBookList"); the answer's JSON object (empty when the body
    // is not a JSON object).
    QJsonObject post(const QString &path, const QList<QPair<QString, QString>> &form,
                     int *status = nullptr) {
        return QJsonDocument::fromJson(postRaw(path, formBody(form), status)).object();
    }

    // POSTs the form to the catalogue path of the operation named as the client names it
    // (Operation::Login).
    QJsonObject call(Operation operation, const Form &form, int *status = nullptr) {
        return post(pathOf(operation), form, status);
    }

    // POSTs raw bytes as a form body; the answer's bytes.
    QByteArray postRaw(const QString &path, const QByteArray &body, int *status = nullptr,
                       QByteArray *contentType = nullptr) {
        QNetworkRequest request(QUrl(baseUrl() + path));
        request.setHeader(QNetworkRequest::ContentTypeHeader,
                          QByteArrayLiteral("application/x-www-form-urlencoded"));
        return wait(m_network.post(request, body), status, contentType);
    }

    QByteArray get(const QString &path, int *status = nullptr, QByteArray *contentType = nullptr) {
        return wait(m_network.get(QNetworkRequest(QUrl(baseUrl() + path))), status, contentType);
    }

    // Signs in; the uid, or 0 when the service refused.
    qint64 login(const QString &user, const QString &password) {
        const QJsonObject answer = call(Operation::Login, {{QStringLiteral("password"), password},
                                                           {QStringLiteral("userName"), user}});
        if (answer.value(QStringLiteral("result")).toInteger() != 1)
            return 0;
        return answer.value(QStringLiteral("uid")).toInteger();
    }

private:
    static ReadingServiceOptions optionsFor(const QString &path, bool reset) {
        ReadingServiceOptions options;
        options.host = QStringLiteral("127.0.0.1");
        options.port = 0;
        options.databasePath = path;
        options.reset = reset;
        options.fixedCode = FixedCode;
        // Tests send codes back to back; the issuing limits are tested on their own.
        options.codeLimits = {0, 1000, 1000};
        return options;
    }

    // Seeding takes a while in sanitizer builds, so a test program seeds once and every test
    // starts on a fresh copy of that database.
    static QString seededTemplate(QString *error) {
        static QTemporaryDir folder;
        static QString path;
        if (path.isEmpty()) {
            const QString candidate = folder.filePath(QStringLiteral("template.sqlite"));
            ReadingService seeder(optionsFor(candidate, true));
            if (!seeder.start(error))
                return {};
            path = candidate;
        }
        return path;
    }

    bool start(bool reset) {
        m_error.clear();
        if (reset) {
            const QString source = seededTemplate(&m_error);
            if (source.isEmpty())
                return false;
            for (const QString &suffix :
                 {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
                QFile::remove(databasePath() + suffix);
                if (QFile::exists(source + suffix) &&
                    !QFile::copy(source + suffix, databasePath() + suffix)) {
                    m_error = QStringLiteral("cannot copy the seeded database");
                    return false;
                }
            }
        }
        ReadingServiceOptions options = optionsFor(databasePath(), false);
        options.answerDelayMs = m_answerDelayMs;
        m_service = std::make_unique<ReadingService>(options);
        return m_service->start(&m_error);
    }

    // Waits for the reply (at most 20 s, so a stuck service fails the test instead of hanging).
    static QByteArray wait(QNetworkReply *reply, int *status, QByteArray *contentType) {
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        if (!reply->isFinished())
            loop.exec();
        if (!reply->isFinished())
            reply->abort();
        if (status)
            *status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (contentType)
            *contentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
        const QByteArray bytes = reply->readAll();
        reply->deleteLater();
        return bytes;
    }

    int m_answerDelayMs = 0;
    QTemporaryDir m_dir;
    QNetworkAccessManager m_network;
    std::unique_ptr<ReadingService> m_service;
    QString m_error;
};
