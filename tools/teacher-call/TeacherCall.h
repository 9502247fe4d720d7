#pragma once

#include "ParameterValue.h"
#include "TeacherRequestManager.h"

#include <QByteArray>
#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// One service call from the command line: reads the arguments into the operation's request
// record, posts it through the real transport and prints the answer.
class TeacherCall {
public:
    enum ExitCode { Answered = 0, CallFailed = 1, BadArguments = 64 };
    // How long to wait for an answer: TEACHER_CALL_TIMEOUT seconds when set, else this.
    static constexpr int DefaultTimeoutSeconds = 120;
    static int timeoutSeconds();

    // Reads the arguments (without the program name). Returns false when the program is to end
    // at once with exitCode(); any message has then been written already.
    bool parse(const QStringList &arguments);
    int exitCode() const { return m_exitCode; }
    bool verbose() const { return m_verbose; }

    // Posts the call; done receives the exit code once, after the answer (or the failure, or
    // the time-out) has been written out.
    void run(std::function<void(int)> done) const;

    static QString usage();
    // Compact JSON with object keys in code-point order (QJsonDocument orders them by UTF-16
    // units), nulls kept.
    static QByteArray compactJson(const QJsonValue &value);

private:
    bool fail(const QString &message, bool withUsage = false);
    bool setField(void *record, const RecordType &type, const QString &name, const QString &text);
    QByteArray renderAnswer(const std::optional<QJsonValue> &value) const;

    int m_exitCode = Answered;
    bool m_raw = false;
    bool m_verbose = false;
    QString m_base;
    const ServiceOperation *m_operation = nullptr;
    ParameterDictionary m_parameters;
};
