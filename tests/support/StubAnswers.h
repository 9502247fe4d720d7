#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

// The service's answers that many screen tests give, so each test names what it means ("refused
// with this message") instead of spelling the JSON out again.
namespace StubAnswers {

// {"result":1}: accepted, nothing more to say.
inline QByteArray ok() {
    return QByteArrayLiteral(R"({"result":1})");
}

// {"result":1} with the answer's own fields, e.g. {{"bookList", books}}.
inline QByteArray ok(QJsonObject fields) {
    fields.insert(QStringLiteral("result"), 1);
    return QJsonDocument(fields).toJson(QJsonDocument::Compact);
}

// {"result":0,"msg":...}: the service says no, with the message the client should show.
inline QByteArray refused(const QString &msg) {
    return R"({"result":0,"msg":")" + msg.toUtf8() + R"("})";
}

// A sign-in (or verification) that knows the teacher by `uid`.
inline QByteArray signedIn(int uid) {
    return R"({"result":1,"uid":)" + QByteArray::number(uid) + "}";
}

} // namespace StubAnswers
