#include "TeacherRequestManager.h"

#include "AnswerCache.h"
#include "BaseAFHttpManager.h"
#include "ServiceConnection.h"

#include <QTimer>

namespace {
const QString UnverifiedSignInText =
    QStringLiteral("登录尚未得到服务确认，暂时不能修改，请稍后再试");

template <class T> constexpr const RecordType *recordTypeOf() {
    if constexpr (requires { T::recordType(); })
        return &T::recordType();
    else
        return nullptr;
}
} // namespace

const std::vector<ServiceOperation> &TeacherRequestManager::operations() {
#define TEACHER_OPERATION_ROW(name, path, Req, Rsp, offline)                                       \
    {#name, path, recordTypeOf<Req>(), recordTypeOf<Rsp>(), OfflineUse::offline},
    static const std::vector<ServiceOperation> table = {
        TEACHER_SERVICE_OPERATIONS(TEACHER_OPERATION_ROW)};
#undef TEACHER_OPERATION_ROW
    return table;
}

const ServiceOperation &TeacherRequestManager::operation(Operation operation) {
    return operations()[size_t(operation)];
}

const ServiceOperation *TeacherRequestManager::operation(QStringView name) {
    for (const ServiceOperation &op : operations()) {
        if (name == QLatin1StringView(op.name))
            return &op;
    }
    return nullptr;
}

void TeacherRequestManager::call(QStringView name, const ParameterDictionary &parameters,
                                 ServiceCompletion completion, ServiceFailure failure) {
    const ServiceOperation *op = operation(name);
    if (!op) {
        const QString text = QStringLiteral("Unknown service operation: %1").arg(name);
        // Callers rely on callbacks never running inside the call itself.
        QTimer::singleShot(0, [failure = std::move(failure), text] { failure(text); });
        return;
    }
    call(Operation(op - operations().data()), parameters, std::move(completion),
         std::move(failure));
}

void TeacherRequestManager::call(Operation operation, const ParameterDictionary &parameters,
                                 ServiceCompletion completion, ServiceFailure failure) {
    const ServiceOperation *op = &TeacherRequestManager::operation(operation);
    ServiceConnection &connection = ServiceConnection::instance();
    const bool unverified = connection.signInUnverified();
    if (unverified && op->offline == OfflineUse::None) {
        // A password changed or revoked while the program was offline must not keep write access:
        // nothing is changed on a sign-in the service has not confirmed.
        BaseRsp refusal;
        refusal.msg = UnverifiedSignInText;
        QTimer::singleShot(
            0, [completion = std::move(completion),
                answer = KeyValueMapping::toJsonObject(refusal)] { completion(answer); });
        return;
    }
    AnswerCache &cache = AnswerCache::instance();
    const bool read = op->offline == OfflineUse::Read && cache.isOpen();
    // A sign-in opens the teacher's answers only once it is handed over, so it is kept then. One
    // that waits for the service's word is never answered from the kept one again.
    const bool signIn = op->offline == OfflineUse::SignIn && cache.isOn() && !unverified;
    if (read || signIn) {
        const QString name = QString::fromLatin1(op->name);
        // The sign-in is kept under the teacher's name alone: its form as the log writes it, with
        // the password masked, so neither the password nor anything made from it reaches the disk.
        // The kept sign-in can answer only while that teacher's answers are open, which the login
        // screen never sees: a sign-out empties them and a start-up that shows it opens none.
        const QByteArray form = signIn ? BaseAFHttpManager::loggableParameters(parameters).toUtf8()
                                       : BaseAFHttpManager::formEncode(parameters);
        // The kept answer goes to the caller's own completion: kept again, it would pass for new.
        ServiceCompletion deliver = std::move(completion);
        const quint64 generation = cache.generation();
        failure = [deliver, failure = std::move(failure), generation, name, form,
                   signIn](const QString &text) {
            AnswerCache &answers = AnswerCache::instance();
            // A cut call is not a lost network: nobody is there to read the kept answer.
            const bool cut = BaseAFHttpManager::isCancellation(text);
            const std::optional<AnswerCache::Kept> kept = !cut && answers.generation() == generation
                                                              ? answers.find(name, form)
                                                              : std::nullopt;
            if (!kept) {
                failure(text);
                return;
            }
            if (signIn)
                ServiceConnection::instance().setSignInUnverified(true);
            AnswerCache::deliverKept(kept->receivedAt, [&] { deliver(kept->answer); });
        };
        completion = [deliver, generation, name, form,
                      signIn](const std::optional<QJsonValue> &value) {
            AnswerCache &answers = AnswerCache::instance();
            if (value && !signIn)
                answers.store(generation, name, form, *value);
            deliver(value);
            if (value && signIn)
                answers.store(answers.generation(), name, form, *value);
        };
    }
    if (op->offline == OfflineUse::SignIn) {
        // Only the service's own answer confirms a sign-in; the kept one went to `deliver` above.
        completion = [inner = std::move(completion)](const std::optional<QJsonValue> &value) {
            if (value && KeyValueMapping::recordFromJson<BaseRsp>(*value).result == 1)
                ServiceConnection::instance().setSignInUnverified(false);
            inner(value);
        };
    } else if (unverified) {
        // The service answers again: the moment to have it confirm the sign-in.
        completion = [inner = std::move(completion)](const std::optional<QJsonValue> &value) {
            if (value)
                ServiceConnection::instance().serviceReached();
            inner(value);
        };
    }
    BaseAFHttpManager::postRequestOperationForHost(ServiceBaseURL(), QString::fromLatin1(op->path),
                                                   parameters, std::move(completion),
                                                   std::move(failure), op->responseType);
}
