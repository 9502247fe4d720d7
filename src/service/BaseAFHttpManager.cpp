#include "BaseAFHttpManager.h"

#include "KeyValueMapping.h"
#include "ServiceConnection.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStringDecoder>
#include <QSysInfo>
#include <QThread>
#include <QUrl>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cctype>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

#include <zlib.h>

// Its debug lines carry forms and answers, pupils' data: off unless a run asks for them
// (--verbose, QT_LOGGING_RULES).
Q_LOGGING_CATEGORY(lcTransport, "teacher.service", QtInfoMsg)

namespace {

// What one call is waiting to hand back. Exactly one callback runs; both are released right
// after it, so whatever they captured is not kept alive by the transport.
struct PendingCall {
    ServiceCompletion completion;
    ServiceFailure failure;
    bool delivered = false;
    bool tooLarge = false;
    quint64 generation = ServiceConnection::instance().callGeneration();
    // Kept to send the same operation on once when the service moves it (307/308).
    QNetworkRequest request;
    QByteArray body;
    bool redirected = false;
    ParameterDictionary form;
    const RecordType *answerType = nullptr;
};

void send(const std::shared_ptr<PendingCall> &call);

QString tooLargeText() {
    return QStringLiteral("Request failed: answer larger than %1 bytes")
        .arg(BaseAFHttpManager::MaxAnswerBytes);
}

struct Outcome {
    bool failed = false;
    QString failureText;
    std::optional<QJsonValue> value;
    // The value mapped into the call's answer type, off the main thread like the parsing: a list
    // of many rows costs the main thread nothing to map.
    std::shared_ptr<void> record;
    QString logText; // made off the main thread: serialising a large answer is not free
};

// The record of the answer a completion is being called with (takeDeliveringRecord()).
struct Delivering {
    const RecordType *type = nullptr;
    const void *record = nullptr;
};
Delivering delivering;

void deliver(const std::shared_ptr<PendingCall> &call, const Outcome &outcome) {
    if (call->delivered)
        return;
    call->delivered = true;
    // Counted out after the callback, so a call started from inside it keeps the count above 0.
    // An abandoned call left the count when it was abandoned, and so did this one if its own
    // callback abandoned every call.
    const auto countOut = qScopeGuard(
        [generation = call->generation] { ServiceConnection::instance().callEnded(generation); });
    ServiceCompletion completion = std::move(call->completion);
    ServiceFailure failure = std::move(call->failure);
    call->completion = nullptr;
    call->failure = nullptr;
    if (!ServiceConnection::instance().isCurrent(call->generation)) {
        // Cut (a sign-out, the program quitting): whoever waits learns it, but later, so that
        // nothing runs inside the abort that cut it.
        QCoreApplication *app = QCoreApplication::instance();
        if (failure && app &&
            ServiceConnection::instance().cancellationIsDelivered(call->generation))
            QMetaObject::invokeMethod(
                app, [failure] { failure(BaseAFHttpManager::CancelledText); },
                Qt::QueuedConnection);
        return;
    }
    if (outcome.failed) {
        // Said in a normal run, without the answer: a service that sends too much is a fault
        // someone should look into, not a network that comes and goes.
        if (outcome.failureText == tooLargeText())
            qCWarning(lcTransport).noquote()
                << QStringLiteral("the answer of %1 is larger than %2 bytes; refused")
                       .arg(call->request.url().toString(QUrl::RemoveQuery | QUrl::RemoveUserInfo))
                       .arg(BaseAFHttpManager::MaxAnswerBytes);
        if (failure)
            failure(outcome.failureText);
        return;
    }
    qCDebug(lcTransport).noquote() << QStringLiteral("Response:%1").arg(outcome.logText);
    if (!completion)
        return;
    // Restored afterwards: a completion may itself finish another call's delivery.
    const Delivering outer = std::exchange(
        delivering, {outcome.record ? call->answerType : nullptr, outcome.record.get()});
    const auto restore = qScopeGuard([outer] { delivering = outer; });
    completion(outcome.value);
}

Outcome failureOutcome(const QString &text) {
    Outcome outcome;
    outcome.failed = true;
    outcome.failureText = text;
    return outcome;
}

// Unpacks a gzip or deflate body, never past the answer limit. The network stack would unpack
// it by itself, but it hands back an empty body, and no error, for data that does not unpack;
// here that is a failure the caller can tell from "no value".
std::optional<QByteArray> inflateBody(const QByteArray &packed, const QByteArray &encoding,
                                      QString *failure) {
    const bool gzip = encoding == "gzip" || encoding == "x-gzip";
    // "deflate" is meant to be zlib-wrapped, but some servers send it raw.
    const std::vector<int> windows = gzip ? std::vector<int>{15 + 16} : std::vector<int>{15, -15};
    for (const int windowBits : windows) {
        z_stream stream{};
        if (inflateInit2(&stream, windowBits) != Z_OK)
            break;
        QByteArray out;
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(packed.constData()));
        stream.avail_in = uInt(packed.size());
        int result = Z_OK;
        char chunk[64 * 1024];
        while (result == Z_OK) {
            stream.next_out = reinterpret_cast<Bytef *>(chunk);
            stream.avail_out = sizeof chunk;
            result = inflate(&stream, Z_NO_FLUSH);
            out.append(chunk, qsizetype(sizeof chunk - stream.avail_out));
            if (out.size() > BaseAFHttpManager::MaxAnswerBytes) {
                inflateEnd(&stream);
                *failure = tooLargeText();
                return std::nullopt;
            }
            // A gzip body may hold several members one after the other.
            if (result == Z_STREAM_END && gzip && stream.avail_in > 0)
                result = inflateReset(&stream);
            if (result == Z_BUF_ERROR && stream.avail_in > 0)
                result = Z_OK; // the output chunk was full
        }
        inflateEnd(&stream);
        if (result == Z_STREAM_END)
            return out;
    }
    *failure = QStringLiteral("Request failed: the answer's %1 body cannot be decompressed")
                   .arg(QString::fromLatin1(encoding));
    return std::nullopt;
}

// Runs on a pool thread: unpacking, decoding, parsing and mapping can take a while for large
// answers.
Outcome decodeAnswer(QByteArray body, const QByteArray &encoding, const QByteArray &charset,
                     bool wantLog, const RecordType *answerType) {
    Outcome outcome;
    outcome.logText = QStringLiteral("(null)");
    if (!body.isEmpty() && !encoding.isEmpty() && encoding != "identity") {
        if (encoding != "gzip" && encoding != "x-gzip" && encoding != "deflate")
            return failureOutcome(QStringLiteral("Request failed: unsupported content-encoding: %1")
                                      .arg(QString::fromLatin1(encoding)));
        QString failure;
        std::optional<QByteArray> inflated = inflateBody(body, encoding, &failure);
        if (!inflated)
            return failureOutcome(failure);
        body = std::move(*inflated);
    }
    if (body.isEmpty())
        return outcome;

    QStringDecoder decoder;
    if (!charset.isEmpty())
        decoder = QStringDecoder(charset.constData());
    if (!decoder.isValid())
        decoder = QStringDecoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(body);
    // Text that does not decode, and the lone space some servers send for "nothing", carry no
    // value and are not an error either.
    if (decoder.hasError() || text == QLatin1String(" "))
        return outcome;

    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError)
        return failureOutcome(error.errorString());
    if (!document.isObject() && !document.isArray()) {
        QJsonParseError scalar;
        scalar.error = QJsonParseError::IllegalValue;
        return failureOutcome(scalar.errorString());
    }
    outcome.value =
        document.isObject() ? QJsonValue(document.object()) : QJsonValue(document.array());
    if (answerType) {
        outcome.record = std::shared_ptr<void>(answerType->create(), answerType->destroy);
        KeyValueMapping::fillFromJson(outcome.record.get(), *answerType, *outcome.value);
    }
    if (wantLog)
        outcome.logText = QString::fromUtf8(document.toJson(QJsonDocument::Compact));
    return outcome;
}

// "type/subtype; charset=x" → lower-cased type and charset, quotes stripped.
std::pair<QString, QByteArray> splitContentType(const QByteArray &raw) {
    const QList<QByteArray> parts = raw.split(';');
    const QString mime = QString::fromLatin1(parts.first().trimmed().toLower());
    QByteArray charset;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QByteArray part = parts[i].trimmed();
        const qsizetype eq = part.indexOf('=');
        if (eq < 0 || part.left(eq).trimmed().toLower() != "charset")
            continue;
        charset = part.mid(eq + 1).trimmed();
        if (charset.size() >= 2 && charset.startsWith('"') && charset.endsWith('"'))
            charset = charset.mid(1, charset.size() - 2);
        charset = charset.toLower();
    }
    return {mime, charset};
}

void finishReply(QNetworkReply *reply, const std::shared_ptr<PendingCall> &call) {
    if (call->delivered)
        return;
    if (ServiceConnection::isAbandoned(reply) ||
        !ServiceConnection::instance().isCurrent(call->generation)) {
        deliver(call, failureOutcome(QStringLiteral("Request aborted")));
        return;
    }
    if (call->tooLarge) {
        deliver(call, failureOutcome(tooLargeText()));
        return;
    }
    // Any status outside 2xx is judged by the status rule, whichever error Qt files it under;
    // only a call without a status, or one whose 2xx answer broke off, is a transport failure.
    const QVariant statusAttribute = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const int status = statusAttribute.isValid() ? statusAttribute.toInt() : 0;
    // Only these two keep the method and the body; 301, 302 and 303 would turn the operation into
    // a GET, so they fail below like every other status outside 2xx.
    if ((status == 307 || status == 308) && !call->redirected) {
        if (const std::optional<QUrl> target = BaseAFHttpManager::redirectTarget(
                reply->url(), reply->rawHeader("Location"), call->form)) {
            qCDebug(lcTransport).noquote()
                << QStringLiteral("Redirected (%1) to %2").arg(status).arg(target->toString());
            call->redirected = true;
            call->request.setUrl(*target);
            send(call);
            return;
        }
    }
    if (statusAttribute.isValid() && (status < 200 || status > 299)) {
        deliver(call, failureOutcome(QStringLiteral("Request failed: %1 (%2)")
                                         .arg(BaseAFHttpManager::reasonPhrase(status))
                                         .arg(status)));
        return;
    }
    if (!statusAttribute.isValid() || reply->error() != QNetworkReply::NoError) {
        QString text = reply->errorString();
        if (text.isEmpty())
            text = QStringLiteral("Unknown error");
        deliver(call, failureOutcome(text));
        return;
    }

    const QByteArray body = reply->readAll();
    const auto [mime, charset] = splitContentType(reply->rawHeader("Content-Type"));
    const QByteArray encoding = reply->rawHeader("Content-Encoding").trimmed().toLower();
    static const QStringList acceptable = {QStringLiteral("application/json"),
                                           QStringLiteral("text/json"),
                                           QStringLiteral("text/javascript")};
    if (!body.isEmpty() && !acceptable.contains(mime)) {
        // An answer without any type is named the way the log writes an absent value.
        deliver(call, failureOutcome(QStringLiteral("Request failed: unacceptable content-type: %1")
                                         .arg(mime.isEmpty() ? QStringLiteral("(null)") : mime)));
        return;
    }

    const bool wantLog = lcTransport().isDebugEnabled();
    QtConcurrent::run(decodeAnswer, body, encoding, charset, wantLog, call->answerType)
        .then(ServiceConnection::instance().networkManager(),
              [call](const Outcome &outcome) { deliver(call, outcome); });
}

QByteArray percentEscape(const QString &text, const QByteArray &alsoKept) {
    return text.toUtf8().toPercentEncoding(alsoKept);
}

// Stands in for "Any-Latin; Latin-ASCII": accents come off through compatibility decomposition,
// a few Latin letters without a decomposition are spelled out, and whatever is still not
// printable ASCII is dropped (scripts without a Latin spelling included).
QString toAscii(const QString &text) {
    static const QHash<QChar, QString> spelled = {
        {QChar(0x00DF), QStringLiteral("ss")}, {QChar(0x00C6), QStringLiteral("AE")},
        {QChar(0x00E6), QStringLiteral("ae")}, {QChar(0x00D8), QStringLiteral("O")},
        {QChar(0x00F8), QStringLiteral("o")},  {QChar(0x0152), QStringLiteral("OE")},
        {QChar(0x0153), QStringLiteral("oe")}, {QChar(0x0110), QStringLiteral("D")},
        {QChar(0x0111), QStringLiteral("d")},  {QChar(0x0141), QStringLiteral("L")},
        {QChar(0x0142), QStringLiteral("l")},  {QChar(0x00D0), QStringLiteral("D")},
        {QChar(0x00F0), QStringLiteral("d")},  {QChar(0x00DE), QStringLiteral("Th")},
        {QChar(0x00FE), QStringLiteral("th")}};
    QString out;
    for (const QChar c : text.normalized(QString::NormalizationForm_KD)) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F)
            out += c;
        else if (const auto it = spelled.constFind(c); it != spelled.constEnd())
            out += *it;
    }
    return out;
}

bool isPrintableAscii(const QString &text) {
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7F; });
}

bool isMaskedKey(const QString &key) {
    static const QStringList keys = {QStringLiteral("password"), QStringLiteral("NEWPassword"),
                                     QStringLiteral("oldPassword")};
    return keys.contains(key, Qt::CaseInsensitive);
}

ParameterValue masked(const ParameterValue &value);

bool carriesPassword(const ParameterValue &value) {
    switch (value.type()) {
    case ParameterValue::Type::Dictionary: {
        const auto &entries = value.dictionary().entries();
        return std::any_of(entries.begin(), entries.end(), [](const auto &entry) {
            return isMaskedKey(entry.first) || carriesPassword(entry.second);
        });
    }
    case ParameterValue::Type::List:
    case ParameterValue::Type::Set:
        return std::any_of(value.items().begin(), value.items().end(),
                           [](const ParameterValue &item) { return carriesPassword(item); });
    default:
        return false;
    }
}

ParameterDictionary maskedDictionary(const ParameterDictionary &dictionary) {
    ParameterDictionary result;
    for (const auto &[key, value] : dictionary.entries())
        result.insert(key,
                      isMaskedKey(key) ? ParameterValue(QStringLiteral("***")) : masked(value));
    return result;
}

ParameterValue masked(const ParameterValue &value) {
    switch (value.type()) {
    case ParameterValue::Type::Dictionary:
        return ParameterValue(maskedDictionary(value.dictionary()));
    case ParameterValue::Type::List:
    case ParameterValue::Type::Set: {
        std::vector<ParameterValue> items;
        items.reserve(value.items().size());
        for (const ParameterValue &item : value.items())
            items.push_back(masked(item));
        return value.type() == ParameterValue::Type::List ? ParameterValue::list(std::move(items))
                                                          : ParameterValue::set(std::move(items));
    }
    default:
        return value;
    }
}

using Pairs = std::vector<std::pair<QString, const ParameterValue *>>;

void flatten(const QString &name, const ParameterValue &value, Pairs &pairs) {
    switch (value.type()) {
    case ParameterValue::Type::Dictionary: {
        const ParameterDictionary &dictionary = value.dictionary();
        for (const QString &key : dictionary.sortedKeys()) {
            const QString inner = name.isEmpty() ? key : QStringLiteral("%1[%2]").arg(name, key);
            flatten(inner, *dictionary.find(key), pairs);
        }
        break;
    }
    case ParameterValue::Type::List:
        for (const ParameterValue &item : value.items())
            flatten(name + QStringLiteral("[]"), item, pairs);
        break;
    case ParameterValue::Type::Set: {
        std::vector<const ParameterValue *> sorted;
        for (const ParameterValue &item : value.items())
            sorted.push_back(&item);
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const ParameterValue *a, const ParameterValue *b) {
                             return codePointLess(a->textForm(), b->textForm());
                         });
        for (const ParameterValue *item : sorted)
            flatten(name, *item, pairs);
        break;
    }
    default:
        pairs.emplace_back(name, &value);
    }
}

} // namespace

QString BaseAFHttpManager::p_getURLWithParameters(const std::optional<QString> &param,
                                                  const QString &host) {
    const QByteArray raw = (host + param.value_or(QString())).toUtf8();
    // What may stand in a URL as it is: unreserved and reserved ASCII characters, and '%' where
    // it already starts an escape (so a configured base URL is not escaped twice).
    static const QByteArray kept = "-._~:/?#[]@!$&'()*+,;=";
    QByteArray out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        const bool alnum =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        const bool startsEscape = c == '%' && i + 2 < raw.size() &&
                                  std::isxdigit(uchar(raw[i + 1])) &&
                                  std::isxdigit(uchar(raw[i + 2]));
        if (alnum || (c != '\0' && kept.contains(c)) || startsEscape) {
            out += c;
        } else {
            static const char hex[] = "0123456789ABCDEF";
            out += '%';
            out += hex[(uchar(c) >> 4) & 0xF];
            out += hex[uchar(c) & 0xF];
        }
    }
    return QString::fromLatin1(out);
}

QByteArray BaseAFHttpManager::formEncode(const ParameterDictionary &parameters) {
    // The pairs point into this value; it must outlive them.
    const ParameterValue root(parameters);
    Pairs pairs;
    flatten(QString(), root, pairs);
    QByteArrayList texts;
    texts.reserve(qsizetype(pairs.size()));
    for (const auto &[name, value] : pairs) {
        if (value->isNull())
            texts.append(percentEscape(name, "/?"));
        else
            texts.append(percentEscape(name, "/?") + '=' + percentEscape(value->textForm(), "/?"));
    }
    return texts.join('&');
}

QString BaseAFHttpManager::loggableParameters(const ParameterDictionary &parameters) {
    return QString::fromUtf8(
        QJsonDocument(maskedDictionary(parameters).toJson()).toJson(QJsonDocument::Compact));
}

QString BaseAFHttpManager::requestLogLine(const QString &url,
                                          const std::optional<ParameterDictionary> &parameters) {
    return QStringLiteral("postRequestOperationForHost, toUrl %1, with parameters %2")
        .arg(url, parameters ? loggableParameters(*parameters) : QStringLiteral("(null)"));
}

QByteArray BaseAFHttpManager::acceptLanguage(const QStringList &preferredLanguages) {
    QStringList parts;
    for (qsizetype i = 0; i < preferredLanguages.size() && parts.size() < 6; ++i) {
        const double weight = 1.0 - 0.1 * double(parts.size());
        parts.append(QStringLiteral("%1;q=%2").arg(preferredLanguages[i],
                                                   QString::asprintf("%0.1g", weight)));
    }
    return parts.join(QStringLiteral(", ")).toUtf8();
}

QByteArray BaseAFHttpManager::acceptLanguage() {
    QStringList languages = QLocale::system().uiLanguages();
    // The "C" locale of a bare environment names no language at all.
    languages.removeAll(QStringLiteral("C"));
    if (languages.isEmpty())
        languages.append(QStringLiteral("en"));
    return acceptLanguage(languages);
}

QByteArray BaseAFHttpManager::userAgent(const QString &name, const QString &version,
                                        const QString &model, const QString &osVersion,
                                        double scale) {
    QString agent = QStringLiteral("%1/%2 (%3; iOS %4; Scale/%5)")
                        .arg(name, version, model, osVersion, QString::asprintf("%0.2f", scale));
    if (!isPrintableAscii(agent))
        agent = toAscii(agent);
    return agent.toLatin1();
}

QByteArray BaseAFHttpManager::userAgent() {
    QString name = QCoreApplication::applicationName();
    if (toAscii(name).isEmpty())
        name = QStringLiteral("TeacherClient"); // nothing would be left of it in the header
    QString version = QCoreApplication::applicationVersion();
    if (version.isEmpty())
        version = QStringLiteral("1.0");
    return userAgent(name, version, QSysInfo::currentCpuArchitecture(), QSysInfo::productVersion(),
                     ServiceConnection::instance().displayScale());
}

int BaseAFHttpManager::callsInFlight() {
    return ServiceConnection::instance().callsInFlight();
}

void BaseAFHttpManager::setDisplayScale(double scale) {
    ServiceConnection::instance().setDisplayScale(scale);
}

QString BaseAFHttpManager::reasonPhrase(int status) {
    static const QHash<int, QString> phrases = {
        {100, QStringLiteral("Continue")},
        {101, QStringLiteral("Switching Protocols")},
        {200, QStringLiteral("OK")},
        {201, QStringLiteral("Created")},
        {202, QStringLiteral("Accepted")},
        {203, QStringLiteral("Non-Authoritative Information")},
        {204, QStringLiteral("No Content")},
        {205, QStringLiteral("Reset Content")},
        {206, QStringLiteral("Partial Content")},
        {300, QStringLiteral("Multiple Choices")},
        {301, QStringLiteral("Moved Permanently")},
        {302, QStringLiteral("Found")},
        {303, QStringLiteral("See Other")},
        {304, QStringLiteral("Not Modified")},
        {305, QStringLiteral("Use Proxy")},
        {307, QStringLiteral("Temporary Redirect")},
        {308, QStringLiteral("Permanent Redirect")},
        {400, QStringLiteral("Bad Request")},
        {401, QStringLiteral("Unauthorized")},
        {402, QStringLiteral("Payment Required")},
        {403, QStringLiteral("Forbidden")},
        {404, QStringLiteral("Not Found")},
        {405, QStringLiteral("Method Not Allowed")},
        {406, QStringLiteral("Not Acceptable")},
        {407, QStringLiteral("Proxy Authentication Required")},
        {408, QStringLiteral("Request Timeout")},
        {409, QStringLiteral("Conflict")},
        {410, QStringLiteral("Gone")},
        {411, QStringLiteral("Length Required")},
        {412, QStringLiteral("Precondition Failed")},
        {413, QStringLiteral("Content Too Large")},
        {414, QStringLiteral("URI Too Long")},
        {415, QStringLiteral("Unsupported Media Type")},
        {416, QStringLiteral("Range Not Satisfiable")},
        {417, QStringLiteral("Expectation Failed")},
        {421, QStringLiteral("Misdirected Request")},
        {422, QStringLiteral("Unprocessable Content")},
        {426, QStringLiteral("Upgrade Required")},
        {428, QStringLiteral("Precondition Required")},
        {429, QStringLiteral("Too Many Requests")},
        {431, QStringLiteral("Request Header Fields Too Large")},
        {451, QStringLiteral("Unavailable For Legal Reasons")},
        {500, QStringLiteral("Internal Server Error")},
        {501, QStringLiteral("Not Implemented")},
        {502, QStringLiteral("Bad Gateway")},
        {503, QStringLiteral("Service Unavailable")},
        {504, QStringLiteral("Gateway Timeout")},
        {505, QStringLiteral("HTTP Version Not Supported")},
        {511, QStringLiteral("Network Authentication Required")},
    };
    if (const auto it = phrases.constFind(status); it != phrases.constEnd())
        return *it;
    switch (status / 100) {
    case 1:
        return QStringLiteral("Informational");
    case 2:
        return QStringLiteral("Success");
    case 3:
        return QStringLiteral("Redirection");
    case 4:
        return QStringLiteral("Client Error");
    case 5:
        return QStringLiteral("Server Error");
    default:
        return QStringLiteral("Unknown Status");
    }
}

QString BaseAFHttpManager::failureWords(const QString &failure) {
    if (isCancellation(failure))
        return QCoreApplication::translate("BaseAFHttpManager", "请求已取消");
    static const QRegularExpression status(QStringLiteral("^Request failed: .* \\(([0-9]{3})\\)$"));
    if (const QRegularExpressionMatch match = status.match(failure); match.hasMatch())
        //: %1 is the HTTP status code.
        return QCoreApplication::translate("BaseAFHttpManager", "服务出错（%1）")
            .arg(match.captured(1));
    // The service answered, but with nothing this program can read: a size, type or encoding it
    // refuses ("Request failed: …"), or text that is not JSON (the parser's own words, in the
    // language of the moment: not kept, as the language can change).
    const QStringList jsonErrors = [] {
        QStringList texts;
        for (int error = QJsonParseError::UnterminatedObject;
             error <= QJsonParseError::GarbageAtEnd; ++error) {
            QJsonParseError parse;
            parse.error = QJsonParseError::ParseError(error);
            texts.append(parse.errorString());
        }
        return texts;
    }();
    if (failure.startsWith(QLatin1String("Request failed:")) || jsonErrors.contains(failure))
        return QCoreApplication::translate("BaseAFHttpManager", "服务的回答无法读取");
    return QCoreApplication::translate("BaseAFHttpManager", "无网络连接");
}

std::optional<QUrl> BaseAFHttpManager::redirectTarget(const QUrl &from, const QByteArray &location,
                                                      const ParameterDictionary &form) {
    const QByteArray trimmed = location.trimmed();
    if (trimmed.isEmpty() || carriesPassword(ParameterValue(form)))
        return std::nullopt;
    const QUrl target = from.resolved(QUrl::fromEncoded(trimmed, QUrl::TolerantMode))
                            .adjusted(QUrl::RemoveFragment);
    // An origin spelled with its default port is the same origin as one that leaves it out.
    const auto origin = [](const QUrl &url) {
        const QString scheme = url.scheme().toLower();
        const int defaultPort = scheme == QLatin1String("https")  ? 443
                                : scheme == QLatin1String("http") ? 80
                                                                  : -1;
        return std::make_tuple(scheme, url.host().toLower(), url.port(defaultPort));
    };
    const QString scheme = target.scheme().toLower();
    if (!target.isValid() || target.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
        origin(target) != origin(from) || target == from.adjusted(QUrl::RemoveFragment))
        return std::nullopt;
    return target;
}

bool BaseAFHttpManager::isTooLargeFailure(const QString &failureText) {
    return failureText == tooLargeText();
}

const void *BaseAFHttpManager::takeDeliveringRecord(const RecordType &type) {
    if (delivering.type != &type)
        return nullptr;
    return std::exchange(delivering, {}).record;
}

void BaseAFHttpManager::abortPendingCalls() {
    ServiceConnection::instance().abortPendingCalls();
}

void BaseAFHttpManager::resetForTests() {
    ServiceConnection::instance().reset();
}

void BaseAFHttpManager::postRequestOperationForHost(
    const QString &host, const std::optional<QString> &param,
    const std::optional<ParameterDictionary> &parameters, ServiceCompletion completion,
    ServiceFailure failure, const RecordType *answerType) {
    QCoreApplication *app = QCoreApplication::instance();
    if (!app) {
        // Without an event loop no answer could ever be delivered later.
        qCWarning(lcTransport) << "postRequestOperationForHost called without an application";
        if (failure)
            failure(QStringLiteral("Request failed: no application event loop"));
        return;
    }
    if (QThread::currentThread() != app->thread()) {
        // The manager and every callback belong to the main thread; hop there first.
        QMetaObject::invokeMethod(
            app,
            [host, param, parameters, completion = std::move(completion),
             failure = std::move(failure), answerType]() mutable {
                postRequestOperationForHost(host, param, parameters, std::move(completion),
                                            std::move(failure), answerType);
            },
            Qt::QueuedConnection);
        return;
    }

    const QString url = p_getURLWithParameters(param, host);
    qCDebug(lcTransport).noquote() << requestLogLine(url, parameters);

    QNetworkRequest request(QUrl::fromEncoded(url.toLatin1(), QUrl::StrictMode));
    request.setRawHeader("Content-Type", "application/x-www-form-urlencoded");
    request.setRawHeader("Accept-Language", acceptLanguage());
    request.setRawHeader("User-Agent", userAgent());
    // Named here so that the network stack leaves compressed bodies to decodeAnswer.
    request.setRawHeader("Accept-Encoding", "gzip, deflate");

    auto call = std::make_shared<PendingCall>();
    call->completion = std::move(completion);
    call->failure = std::move(failure);
    call->request = request;
    call->form = parameters.value_or(ParameterDictionary());
    call->body = formEncode(call->form);
    call->answerType = answerType;
    ServiceConnection::instance().callStarted();
    send(call);
}

namespace {

void send(const std::shared_ptr<PendingCall> &call) {
    QNetworkReply *reply =
        ServiceConnection::instance().networkManager()->post(call->request, call->body);
    constexpr qint64 MaxAnswerBytes = BaseAFHttpManager::MaxAnswerBytes;

    auto guardSize = [reply, call](qint64 size) {
        if (size > MaxAnswerBytes && !call->tooLarge) {
            call->tooLarge = true;
            reply->abort();
        }
    };
    // A declared length says it early; the received and buffered counts catch answers without
    // one, and compressed answers that grow when unpacked.
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, guardSize] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid())
            guardSize(length.toLongLong());
    });
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [guardSize](qint64 received, qint64) { guardSize(received); });
    QObject::connect(reply, &QNetworkReply::readyRead, reply,
                     [reply, guardSize] { guardSize(reply->bytesAvailable()); });
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, call] {
        reply->deleteLater();
        finishReply(reply, call);
    });
}

} // namespace
