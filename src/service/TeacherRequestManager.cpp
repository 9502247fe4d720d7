#include "TeacherRequestManager.h"

#include "AnswerCache.h"
#include "BaseAFHttpManager.h"
#include "ServiceConnection.h"

#include <QCoreApplication>
#include <QTimer>

#include <memory>
#include <utility>

namespace {
std::optional<KeptDelivery> s_delivering;
int s_behindKept = 0;

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

std::optional<KeptDelivery> TeacherRequestManager::deliveringKept() {
    return s_delivering;
}

int TeacherRequestManager::refreshesBehindKept() {
    return s_behindKept;
}

bool TeacherRequestManager::call(Operation operation, const ParameterDictionary &parameters,
                                 ServiceCompletion completion, ServiceFailure failure,
                                 Fetch fetch) {
    const ServiceOperation *op = &TeacherRequestManager::operation(operation);
    ServiceConnection &connection = ServiceConnection::instance();
    const bool unverified = connection.signInUnverified();
    if (unverified && op->offline == OfflineUse::None) {
        // A password changed or revoked while the program was offline must not keep write access:
        // nothing is changed on a sign-in the service has not confirmed.
        BaseRsp refusal;
        // The program's own refusal, shown as the service's msg would be: in the teacher's
        // language.
        refusal.msg = QCoreApplication::translate("TeacherRequestManager",
                                                  "登录尚未得到服务确认，暂时不能修改，请稍后再试");
        QTimer::singleShot(
            0, [completion = std::move(completion),
                answer = KeyValueMapping::toJsonObject(refusal)] { completion(answer); });
        return false;
    }
    AnswerCache &cache = AnswerCache::instance();
    const bool read = op->offline == OfflineUse::Read && cache.isOpen();
    // A sign-in opens the teacher's answers only once it is handed over, so it is kept then. One
    // that waits for the service's word is never answered from the kept one again.
    const bool signIn = op->offline == OfflineUse::SignIn && cache.isOn() && !unverified;
    bool keptAhead = false;
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
            deliverKept({kept->receivedAt, false}, [&] { deliver(kept->answer); });
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
        // A sign-in is answered ahead only where it could be answered in place of a failure: for
        // the teacher whose answers are open (the start-up's automatic sign-in).
        const bool canGoAhead = fetch == Fetch::KeptFirst && (read || cache.isOpen());
        if (std::optional<AnswerCache::Kept> kept =
                canGoAhead ? cache.find(name, form) : std::nullopt) {
            keptAhead = true;
            aheadOfService(kept->answer, kept->receivedAt, generation, signIn, deliver, &completion,
                           &failure);
        }
    }
    if (op->offline == OfflineUse::SignIn) {
        // Only the service's own answer confirms a sign-in; a kept one went to `deliver` above.
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
    return keptAhead;
}

void TeacherRequestManager::deliverKept(const KeptDelivery &kept,
                                        const std::function<void()> &deliver) {
    const std::optional<KeptDelivery> outer = s_delivering;
    s_delivering = kept;
    deliver();
    s_delivering = outer;
}

void TeacherRequestManager::aheadOfService(const QJsonValue &answer, const QDateTime &receivedAt,
                                           quint64 generation, bool signIn,
                                           const ServiceCompletion &deliver,
                                           ServiceCompletion *completion, ServiceFailure *failure) {
    struct Ahead {
        bool serviceDone = false; // the service's answer (or failure) came first
        bool counted = false;     // delivered, and counted in s_behindKept until the service's
        void settle() {
            serviceDone = true;
            if (std::exchange(counted, false))
                --s_behindKept;
        }
    };
    auto ahead = std::make_shared<Ahead>();
    QTimer::singleShot(0, [ahead, answer, receivedAt, generation, signIn, deliver] {
        // Nothing once the service has spoken, nor for a teacher who left meanwhile.
        if (ahead->serviceDone || AnswerCache::instance().generation() != generation)
            return;
        // Unconfirmed until the service's own answer: nothing may be changed on it before.
        if (signIn)
            ServiceConnection::instance().setSignInUnverified(true);
        ahead->counted = true;
        ++s_behindKept;
        deliverKept({receivedAt, true}, [&] { deliver(answer); });
    });
    *completion = [ahead, inner = std::move(*completion)](const std::optional<QJsonValue> &value) {
        ahead->settle();
        inner(value);
    };
    *failure = [ahead, inner = std::move(*failure)](const QString &text) {
        ahead->settle();
        inner(text);
    };
}
