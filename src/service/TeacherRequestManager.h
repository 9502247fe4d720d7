#pragma once

#include "KeyValueMapping.h"
#include "ParameterValue.h"
#include "ServiceOperations.h"
#include "ServiceTypes.h"

#include <QDateTime>
#include <QStringView>

#include <optional>

#include <vector>

// What a call may have answered from the AnswerCache when the network brings nothing: a change
// never; a read its last accepted answer; the sign-in the last accepted one for the same name, so
// that the program started without a network still opens on the teacher's answers. Such a
// sign-in leaves the connection's sign-in unverified (ServiceConnection::signInUnverified):
// changes are then refused before they leave, until the service accepts a sign-in again.
enum class OfflineUse { None, Read, SignIn };

// How a read is answered when an earlier answer to the same request is kept. A screen that opens
// asks KeptFirst, so what the teacher saw before is there at once; a reload the teacher asked for
// wants the service's word and asks Fresh.
enum class Fetch {
    Fresh,     // the service's answer; the kept one only in place of a failure
    KeptFirst, // the kept one at once (a second completion follows), then as Fresh
};

// An answer handed to a completion that the service did not send just now: when it came, and
// whether it comes ahead of the service's (KeptFirst) or in place of a failed call.
struct KeptDelivery {
    QDateTime receivedAt;
    bool ahead = false;
};

// One row of the catalogue's table, made from TEACHER_SERVICE_OPERATIONS: the operation's name,
// its path under ServiceBaseURL, its record types (none for an operation without records) and its
// offline use.
struct ServiceOperation {
    const char *name;
    const char *path;
    const RecordType *requestType;
    const RecordType *responseType;
    OfflineUse offline = OfflineUse::None;
};

// The one place that knows the service's operations. Each method turns the record into a
// parameter dictionary and posts it to ServiceBaseURL + the operation's path; it returns at once
// and one callback follows on the main thread with the answer unchanged. It holds no state.
//
// Reads go through the AnswerCache when one is open: an accepted answer is kept, and when the
// call fails the kept answer comes to the completion instead (deliveringKept() tells the two
// apart); with nothing kept the failure comes as before. A sign-in's answer is kept after it was
// handed over, in the answers of the teacher it opened. Changes are never kept and never stood in
// for. Asked KeptFirst, a read or a sign-in with a kept answer has it delivered on the next turn
// of the event loop, then its call goes on as ever: the completion runs a second time with the
// service's answer, or, when the call fails, with the kept answer again, now in place of it (a
// cut call still fails).
class TeacherRequestManager {
public:
    // The table, in the list's order (indexed by Operation).
    static const std::vector<ServiceOperation> &operations();
    static const ServiceOperation &operation(Operation operation);
    // By name, for what names operations at run time (teacher-call); nothing for an unknown name.
    static const ServiceOperation *operation(QStringView name);

    // Posts parameters for the operation; true when a kept answer is on its way ahead of the
    // service's (KeptFirst only).
    static bool call(Operation operation, const ParameterDictionary &parameters,
                     ServiceCompletion completion, ServiceFailure failure,
                     Fetch fetch = Fetch::Fresh);
    // The same by name; an unknown name fails at once (on the next turn of the event loop) with a
    // text saying so.
    static void call(QStringView name, const ParameterDictionary &parameters,
                     ServiceCompletion completion, ServiceFailure failure);

    // Sends a request record with the operation the catalogue lists it under.
    template <class Req>
    static bool request(const Req &params, ServiceCompletion completion, ServiceFailure failure,
                        Fetch fetch = Fetch::Fresh) {
        return call(CatalogueEntry<Req>::operation, parametersOf(params), std::move(completion),
                    std::move(failure), fetch);
    }

    // Inside a completion: the kept answer it is handed, if that is what it is handed.
    static std::optional<KeptDelivery> deliveringKept();
    // Calls whose kept answer was delivered ahead and whose service's answer has not come yet:
    // their screens show content while they refresh it.
    static int refreshesBehindKept();

    // request_Login_WithParams(const LoginReq &, ...) and one like it for every operation.
#define TEACHER_REQUEST_METHOD(name, path, Req, Rsp, offline)                                      \
    static void request_##name##_WithParams(const Req &params, ServiceCompletion completion,       \
                                            ServiceFailure failure) {                              \
        call(Operation::name, parametersOf(params), std::move(completion), std::move(failure));    \
    }
    TEACHER_SERVICE_OPERATIONS(TEACHER_REQUEST_METHOD)
#undef TEACHER_REQUEST_METHOD

private:
    // Runs `deliver` as the delivery of that kept answer (deliveringKept()).
    static void deliverKept(const KeptDelivery &kept, const std::function<void()> &deliver);
    // Delivers `kept` on the next turn unless the service answers first, and wraps the call's
    // callbacks so that they count it as refreshed.
    static void aheadOfService(const QJsonValue &answer, const QDateTime &receivedAt,
                               quint64 generation, bool signIn, const ServiceCompletion &deliver,
                               ServiceCompletion *completion, ServiceFailure *failure);

    template <class Req> static ParameterDictionary parametersOf(const Req &record) {
        return KeyValueMapping::keyValues(record);
    }
    static const ParameterDictionary &parametersOf(const ParameterDictionary &parameters) {
        return parameters;
    }
};
