#pragma once

#include "ParameterValue.h"
#include "ServiceTypes.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

class RecordType;

// One HTTP POST per call, form-encoded, JSON answer. Stateless for its callers: it returns at
// once and later calls exactly one of the two callbacks, once, on the main thread; a call cut by
// abortPendingCalls() ends in its failure callback with CancelledText.
// An operation is never sent again as another method nor twice to one address: a 307 or 308
// answer is followed once with the same POST within the origin it was sent to, any other
// redirect is a failure.
class BaseAFHttpManager {
public:
    // An answer body beyond this (unpacked) ends in a failure instead of being read on. The
    // service's answers are kilobytes: a class of 60 is about 13 KB, a reflection row about 150
    // bytes, so a list as long as a list may show (PagedRowsBase::MaxRows) stays under 160 KB.
    // What an answer costs grows with its size: parsing holds several copies of it, and a text
    // drawn on screen takes about 0.1 ms a kilobyte; at this bound none stalls the window.
    static constexpr qint64 MaxAnswerBytes = 256LL * 1024;
    // Whether a failure text is the one of an answer beyond MaxAnswerBytes.
    static bool isTooLargeFailure(const QString &failureText);

    // The failure text of a call that was cut before its answer (sign-out, quitting).
    inline static const QString CancelledText = QStringLiteral("Request cancelled");
    static bool isCancellation(const QString &failure) { return failure == CancelledText; }
    // A failure in the teacher's words: "无网络连接" when no answer came, the service's trouble
    // with its HTTP status when one did ("服务出错（500）"), "请求已取消" for a cut call.
    static QString failureWords(const QString &failure);

    // With `answerType`, the answer is also mapped into a record of that type while it is
    // decoded, off the main thread; deliveringRecord() hands it to the completion.
    static void postRequestOperationForHost(const QString &host,
                                            const std::optional<QString> &param,
                                            const std::optional<ParameterDictionary> &parameters,
                                            ServiceCompletion completion, ServiceFailure failure,
                                            const RecordType *answerType = nullptr);
    // Inside a completion this transport runs: the answer already mapped into `type`, once (a
    // second caller gets nothing and maps the value itself); nothing anywhere else.
    static const void *takeDeliveringRecord(const RecordType &type);

    // Aborts every call in flight, including one whose answer is still being decoded; each ends
    // with a cancellation on a later turn of the event loop and none counts as in flight any more.
    // For a program that gives up waiting and exits, and for a sign-out that leaves every screen's
    // calls behind: an aborted call releases what the network stack holds for it.
    static void abortPendingCalls();
    // abortPendingCalls(), and the display scale back to 1: the transport as a new program has it.
    static void resetForTests();

    // Where a 307 or 308 answer to a call sent to `from` moves it (Location resolved against
    // `from`), or nothing when it may not follow: only to the same origin (scheme, host, port),
    // over HTTP(S), never back to `from` itself, and never for a form that carries a password (the
    // sign-in, a password change), which goes nowhere but where it was sent.
    static std::optional<QUrl> redirectTarget(const QUrl &from, const QByteArray &location,
                                              const ParameterDictionary &form);

    // host followed directly by the path, with characters that may not stand in a URL escaped.
    static QString p_getURLWithParameters(const std::optional<QString> &param, const QString &host);

    // The request body: pairs in key code-point order, escaped, joined with '&'.
    static QByteArray formEncode(const ParameterDictionary &parameters);
    // The parameters as the debug log writes them, password values masked.
    static QString loggableParameters(const ParameterDictionary &parameters);
    // The debug line written for every request (category "teacher.service").
    static QString requestLogLine(const QString &url,
                                  const std::optional<ParameterDictionary> &parameters);

    // Header values. The no-argument forms describe this program and this machine.
    static QByteArray acceptLanguage(const QStringList &preferredLanguages);
    static QByteArray acceptLanguage();
    static QByteArray userAgent(const QString &name, const QString &version, const QString &model,
                                const QString &osVersion, double scale);
    static QByteArray userAgent();
    // The transport links no GUI module; the application tells it the screen's scale at start-up.
    static void setDisplayScale(double scale);

    // Calls posted whose callback has not run yet (a scripted driver waits until there is none).
    static int callsInFlight();

    // The standard English reason phrase of an HTTP status code, by class for unlisted codes.
    static QString reasonPhrase(int status);
};
