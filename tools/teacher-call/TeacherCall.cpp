#include "TeacherCall.h"

#include "BaseAFHttpManager.h"
#include "KeyValueMapping.h"
#include "ServiceTypes.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>

namespace {

void writeTo(std::FILE *stream, const QByteArray &bytes) {
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

void writeError(const QString &text) {
    writeTo(stderr, text.toUtf8() + '\n');
}

QString operationNames() {
    QStringList names;
    for (const ServiceOperation &op : TeacherRequestManager::operations())
        names << QLatin1StringView(op.name).toString();
    return names.join(u' ');
}

QString fieldNames(const RecordType &type) {
    QStringList names;
    for (const FieldInfo *field : type.allFields())
        names << field->name;
    return names.isEmpty() ? QStringLiteral("(none)") : names.join(u", ");
}

// A whole decimal number that fits in 64 bits; QString::toLongLong alone would also take
// surrounding blanks.
std::optional<qint64> decimalInteger(const QString &text) {
    qsizetype i = (text.startsWith(u'-') || text.startsWith(u'+')) ? 1 : 0;
    if (i == text.size())
        return std::nullopt;
    for (; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9')
            return std::nullopt;
    }
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, 10);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

std::optional<bool> flag(const QString &text) {
    if (text == u"1" || text.compare(u"true", Qt::CaseInsensitive) == 0)
        return true;
    if (text == u"0" || text.compare(u"false", Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}

void appendJson(QByteArray &out, const QJsonValue &value) {
    if (value.isObject()) {
        const QJsonObject object = value.toObject();
        QStringList keys = object.keys();
        std::sort(keys.begin(), keys.end(), codePointLess);
        out += '{';
        for (qsizetype i = 0; i < keys.size(); ++i) {
            if (i)
                out += ',';
            appendJson(out, QJsonValue(keys[i]));
            out += ':';
            appendJson(out, object.value(keys[i]));
        }
        out += '}';
    } else if (value.isArray()) {
        const QJsonArray array = value.toArray();
        out += '[';
        for (qsizetype i = 0; i < array.size(); ++i) {
            if (i)
                out += ',';
            appendJson(out, array.at(i));
        }
        out += ']';
    } else {
        // Scalars are written by Qt's own writer (escaping, exact integers), unwrapped again.
        const QByteArray wrapped = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
        out += wrapped.mid(1, wrapped.size() - 2);
    }
}

} // namespace

QString TeacherCall::usage() {
    return QStringLiteral(
               "Usage: teacher-call [--base URL] [--raw] [--verbose] OPERATION [FIELD=VALUE ...]\n"
               "\n"
               "Posts one operation to the reading-platform service and prints the answer.\n"
               "\n"
               "  OPERATION    the operation's name, e.g. Login, GetFeelList, ForgetVerification\n"
               "  FIELD=VALUE  sets a field of the operation's request record by its exact name:\n"
               "               whole numbers in decimal, flags as 1, 0, true or false, texts as\n"
               "               given (UTF-8)\n"
               "  --base URL   the service (default %1; set TEACHER_SERVICE_URL to change it)\n"
               "  --raw        print the answer as received instead of the mapped response record\n"
               "  --verbose    also write the transport's request and response log lines to "
               "stderr\n"
               "  --help       show this text\n"
               "  --version    show the version\n"
               "\n"
               "Prints one line of compact JSON, or null when the answer carried no value.\n"
               "Exit status: 0 answered, 1 the call failed (reason on stderr) or no answer within\n"
               "TEACHER_CALL_TIMEOUT seconds (default %3), 64 bad arguments (nothing sent).\n"
               "\n"
               "Operations: %2\n")
        .arg(ServiceBaseURL(), operationNames(), QString::number(DefaultTimeoutSeconds));
}

QByteArray TeacherCall::compactJson(const QJsonValue &value) {
    QByteArray out;
    appendJson(out, value);
    return out;
}

bool TeacherCall::fail(const QString &message, bool withUsage) {
    writeError(QStringLiteral("teacher-call: ") + message);
    if (withUsage)
        writeTo(stderr, usage().toUtf8());
    m_exitCode = BadArguments;
    return false;
}

bool TeacherCall::parse(const QStringList &arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption baseOption(QStringLiteral("base"), QString(), QStringLiteral("URL"));
    const QCommandLineOption rawOption(QStringLiteral("raw"));
    const QCommandLineOption verboseOption(QStringLiteral("verbose"));
    const QCommandLineOption helpOption(QStringList{QStringLiteral("help"), QStringLiteral("h")});
    const QCommandLineOption versionOption(QStringLiteral("version"));
    parser.addOptions({baseOption, rawOption, verboseOption, helpOption, versionOption});

    // QCommandLineParser wants the program name first.
    if (!parser.parse(QStringList{QStringLiteral("teacher-call")} + arguments))
        return fail(parser.errorText(), true);
    if (parser.isSet(helpOption)) {
        writeTo(stdout, usage().toUtf8());
        m_exitCode = Answered;
        return false;
    }
    if (parser.isSet(versionOption)) {
        writeTo(stdout, QByteArrayLiteral("teacher-call " TEACHER_CALL_VERSION "\n"));
        m_exitCode = Answered;
        return false;
    }
    m_raw = parser.isSet(rawOption);
    m_verbose = parser.isSet(verboseOption);

    m_base = parser.isSet(baseOption) ? parser.value(baseOption) : ServiceBaseURL();
    const QUrl baseUrl(m_base, QUrl::StrictMode);
    if (!baseUrl.isValid() || baseUrl.host().isEmpty() ||
        (baseUrl.scheme() != u"http" && baseUrl.scheme() != u"https"))
        return fail(QStringLiteral("--base needs an absolute http URL, not '%1'").arg(m_base));
    // Paths are appended directly, so the base has to end with its slash.
    if (!m_base.endsWith(u'/'))
        m_base += u'/';

    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return fail(QStringLiteral("no operation given"), true);
    m_operation = TeacherRequestManager::operation(positional.first());
    if (!m_operation) {
        return fail(QStringLiteral("unknown operation '%1'. Operations: %2")
                        .arg(positional.first(), operationNames()));
    }

    const RecordType *type = m_operation->requestType;
    std::unique_ptr<void, void (*)(void *)> record(nullptr, [](void *) {});
    if (type)
        record = {type->create(), type->destroy};

    for (qsizetype i = 1; i < positional.size(); ++i) {
        const QString &argument = positional[i];
        const qsizetype equals = argument.indexOf(u'=');
        if (equals <= 0)
            return fail(QStringLiteral("'%1' is not FIELD=VALUE").arg(argument));
        const QString name = argument.left(equals);
        const QString text = argument.mid(equals + 1);
        if (!type) {
            // No record describes this operation's request: every field goes as text.
            m_parameters.insert(name, text);
            continue;
        }
        if (!setField(record.get(), *type, name, text))
            return false;
    }
    if (type)
        m_parameters = KeyValueMapping::keyValues(record.get(), *type);
    return true;
}

bool TeacherCall::setField(void *record, const RecordType &type, const QString &name,
                           const QString &text) {
    const FieldInfo *target = nullptr;
    void *owner = nullptr;
    type.forEachField(record, [&](const FieldInfo &info, void *fieldOwner) {
        if (!target && info.name == name) {
            target = &info;
            owner = fieldOwner;
        }
    });
    const QString recordName = QLatin1StringView(type.name).toString();
    if (!target) {
        return fail(
            QStringLiteral("unknown field '%1' for %2 (%3); its fields: %4")
                .arg(name, QLatin1StringView(m_operation->name), recordName, fieldNames(type)));
    }

    QJsonValue value;
    switch (target->kind) {
    case FieldKind::Int64:
        if (const auto number = decimalInteger(text)) {
            value = QJsonValue(*number);
            break;
        }
        return fail(QStringLiteral("field '%1' of %2 takes a whole decimal number that fits in "
                                   "64 bits, not '%3'")
                        .arg(name, recordName, text));
    case FieldKind::Bool:
        if (const auto on = flag(text)) {
            value = QJsonValue(*on);
            break;
        }
        return fail(QStringLiteral("field '%1' of %2 takes 1, 0, true or false, not '%3'")
                        .arg(name, recordName, text));
    case FieldKind::String:
        value = QJsonValue(text);
        break;
    case FieldKind::Record:
    case FieldKind::RecordArray:
    case FieldKind::PlainArray: {
        // No request record holds these today; a JSON value keeps the tool usable if one does.
        const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8());
        const bool fits =
            target->kind == FieldKind::Record ? document.isObject() : document.isArray();
        if (!fits) {
            return fail(QStringLiteral("field '%1' of %2 takes a JSON %3, not '%4'")
                            .arg(name, recordName,
                                 target->kind == FieldKind::Record ? QStringLiteral("object")
                                                                   : QStringLiteral("array"),
                                 text));
        }
        value = document.isObject() ? QJsonValue(document.object()) : QJsonValue(document.array());
        break;
    }
    }
    target->assign(owner, value);
    return true;
}

QByteArray TeacherCall::renderAnswer(const std::optional<QJsonValue> &value) const {
    if (!value)
        return QByteArrayLiteral("null");
    const RecordType *type = m_operation->responseType;
    if (m_raw || !type)
        return compactJson(*value);
    std::unique_ptr<void, void (*)(void *)> record(type->create(), type->destroy);
    KeyValueMapping::fillFromJson(record.get(), *type, *value);
    return compactJson(KeyValueMapping::keyValues(record.get(), *type).toJson());
}

int TeacherCall::timeoutSeconds() {
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("TEACHER_CALL_TIMEOUT", &ok);
    return ok && seconds > 0 ? seconds : DefaultTimeoutSeconds;
}

void TeacherCall::run(std::function<void(int)> done) const {
    // The transport has no time-out of its own; a service that takes the connection and never
    // answers must not keep a script waiting for ever. Whichever comes first ends the run.
    auto finished = std::make_shared<bool>(false);
    auto finish = [finished, done](int code) {
        if (*finished)
            return false;
        *finished = true;
        done(code);
        return true;
    };
    const QString path = QLatin1StringView(m_operation->path).toString();
    const QString url = BaseAFHttpManager::p_getURLWithParameters(path, m_base);
    const int seconds = timeoutSeconds();
    QTimer::singleShot(std::chrono::seconds(seconds), [finished, finish, seconds, url] {
        if (*finished)
            return;
        writeError(QStringLiteral("teacher-call: %1: no answer after %2 s").arg(url).arg(seconds));
        // Exiting with the call in flight would leave the network stack's objects behind; the
        // network thread releases them a moment after the abort.
        BaseAFHttpManager::abortPendingCalls();
        QTimer::singleShot(100, [finish] { finish(CallFailed); });
    });

    // The callbacks outlive this call; they take what they need by value.
    const TeacherCall self = *this;
    BaseAFHttpManager::postRequestOperationForHost(
        m_base, path, m_parameters,
        [self, finished, finish](const std::optional<QJsonValue> &value) {
            if (*finished)
                return;
            writeTo(stdout, self.renderAnswer(value) + '\n');
            finish(Answered);
        },
        [finished, finish, url](const QString &text) {
            if (*finished)
                return;
            writeError(QStringLiteral("teacher-call: %1: %2").arg(url, text));
            finish(CallFailed);
        });
}
