#include "TeacherRequestManager.h"

#include "AnswerCache.h"
#include "BaseAFHttpManager.h"
#include "ServiceConnection.h"

#include <QTimer>

namespace {
const QString UnverifiedSignInText =
    QStringLiteral("登录尚未得到服务确认，暂时不能修改，请稍后再试");

template <class Req, class Rsp>
ServiceOperation row(const char *name, const char *path, OfflineUse offline = OfflineUse::None)
{
    return {name, path, &Req::recordType(), &Rsp::recordType(), offline};
}
} // namespace

const std::vector<ServiceOperation> &TeacherRequestManager::operations()
{
    static const std::vector<ServiceOperation> table = {
        row<LoginReq, LoginRsp>("Login", "Mobile/TeacherLogin", OfflineUse::SignIn),
        row<SendVerificationReq, SendVerificationRsp>("SendVerification", "Mobile/SendVerification"),
        row<ChangeMobileReq, ChangeMobileRsp>("ChangeMobile", "Mobile/ChangeMobile"),
        row<GetPasswordForgetReq, GetPasswordForgetRsp>("ForgetVerification", "Mobile/GetPasswordForget"),
        row<ConfirmVerificationReq, ConfirmVerificationRsp>("ConfirmVerification", "Mobile/ConfirmVerification"),
        row<GetTeacherReportReq, GetTeacherReportRsp>("ChartList", "Mobile/GetTeacherReport", OfflineUse::Read),
        row<GetTermYearReq, GetTermYearRsp>("ChartTermList", "Mobile/GetTermYear", OfflineUse::Read),
        row<GetCityListReq, GetCityListRsp>("ChartCityList", "Mobile/GetCityList", OfflineUse::Read),
        row<GetAreaListReq, GetAreaListRsp>("ChartAreaList", "Mobile/GetAreaList", OfflineUse::Read),
        row<GetTeacherInfoReq, GetTeacherInfoRsp>("GetTeacherInfo", "Mobile/GetTeacherInfo", OfflineUse::Read),
        row<ChangeClassForTeacherReq, ChangeClassForTeacherRsp>("ChangeClassForTeacher", "Mobile/ChangeClassForTeacher"),
        row<SelectClassForTeacherReq, SelectClassForTeacherRsp>("SelectClassForTeacher", "Mobile/SelectClassForTeacher", OfflineUse::Read),
        row<GetTeacherCollectionsReq, GetTeacherCollectionsRsp>("GetTeacherCollections", "Mobile/GetTeacherCollections", OfflineUse::Read),
        row<GetMyCollectionInfoReq, GetMyCollectionInfoRsp>("GetMyCollectionInfo", "Mobile/GetMyCollectionInfo", OfflineUse::Read),
        row<GetBookSortTreeReq, GetBookSortTreeRsp>("GetBookSortTree", "Mobile/GetBookSortTree", OfflineUse::Read),
        row<GetBookListReq, GetBookListRsp>("GetBookList", "Mobile/GetBookList", OfflineUse::Read),
        row<GetBookDetailShowReq, GetBookDetailShowRsp>("GetBookDetailShow", "Mobile/GetBookDetailShow", OfflineUse::Read),
        row<GetCommentShowReq, GetCommentShowRsp>("GetCommentShow", "Mobile/GetCommentShow", OfflineUse::Read),
        row<AddCommentReq, AddCommentRsp>("AddComment", "Mobile/AddComment"),
        row<GetRecommendBookListReq, GetRecommendBookListRsp>("GetRecommendBookList", "Mobile/GetRecommendBookList", OfflineUse::Read),
        row<GetStudentPersonHomeIndexReq, GetStudentPersonHomeIndextRsp>("GetStudentPersonHomeIndex", "Mobile/GetStudentPersonHomeIndex", OfflineUse::Read),
        {"GetTestBookList", "Mobile/GetMyTestInfo", nullptr, nullptr, OfflineUse::Read},
        row<AddBookCollectReq, AddBookCollectRsp>("AddBookCollect", "Mobile/AddBookCollect"),
        row<DeleteBookCollectReq, DeleteBookCollectRsp>("DeleteBookCollect", "Mobile/DeleteBookCollect"),
        row<AddGoodReq, AddGoodRsp>("AddGood", "Mobile/AddGood"),
        row<CancelGoodReq, CancelGoodRsp>("CancelGood", "Mobile/CancelGood"),
        row<GetFeelListReq, GetFeelListRsp>("GetFeelList", "Mobile/GetFeelList", OfflineUse::Read),
        row<UpdateFeelReq, UpdateFeelRsp>("UpdateFeel", "Mobile/UpdateFeel"),
        row<GetSingleFeelReq, GetSingleFeelRsp>("GetSingleFeel", "Mobile/GetSingleFeel", OfflineUse::Read),
        row<GetMyClassDetailReq, GetMyClassDetailRsp>("GetMyClassDetail", "Mobile/GetMyClassDetail", OfflineUse::Read),
        row<GetMyClassForTeacherReq, GetMyClassForTeacherRsp>("GetMyClassForTeacher", "Mobile/GetMyClassForTeacher", OfflineUse::Read),
        row<SetNewPasswordReq, SetNewPasswordRsp>("SetNewPassword", "Mobile/SetNewPassword"),
        row<PhotoUpdateReq, PhotoUpdateRsp>("PhotoUpdate", "Mobile/PhotoUpdate"),
        row<DeleteCommentReq, DeleteCommentRsp>("DeleteComment", "Mobile/DeleteComment"),
    };
    return table;
}

const ServiceOperation *TeacherRequestManager::operation(QStringView name)
{
    for (const ServiceOperation &op : operations()) {
        if (name == QLatin1StringView(op.name))
            return &op;
    }
    return nullptr;
}

void TeacherRequestManager::call(QStringView name, const ParameterDictionary &parameters,
                                 ServiceCompletion completion, ServiceFailure failure)
{
    const ServiceOperation *op = operation(name);
    if (!op) {
        const QString text = QStringLiteral("Unknown service operation: %1").arg(name);
        // Callers rely on callbacks never running inside the call itself.
        QTimer::singleShot(0, [failure = std::move(failure), text] { failure(text); });
        return;
    }
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
        const QString operation = QString::fromLatin1(op->name);
        // The sign-in is kept under the teacher's name alone: its form as the log writes it, with
        // the password masked, so neither the password nor anything made from it reaches the disk.
        // The kept sign-in can answer only while that teacher's answers are open, which the login
        // screen never sees: a sign-out empties them and a start-up that shows it opens none.
        const QByteArray form = signIn ? BaseAFHttpManager::loggableParameters(parameters).toUtf8()
                                       : BaseAFHttpManager::formEncode(parameters);
        // The kept answer goes to the caller's own completion: kept again, it would pass for new.
        ServiceCompletion deliver = std::move(completion);
        const quint64 generation = cache.generation();
        failure = [deliver, failure = std::move(failure), generation, operation, form,
                   signIn](const QString &text) {
            AnswerCache &cache = AnswerCache::instance();
            // A cut call is not a lost network: nobody is there to read the kept answer.
            const bool cut = BaseAFHttpManager::isCancellation(text);
            const std::optional<AnswerCache::Kept> kept = !cut && cache.generation() == generation
                                                              ? cache.find(operation, form)
                                                              : std::nullopt;
            if (!kept) {
                failure(text);
                return;
            }
            if (signIn)
                ServiceConnection::instance().setSignInUnverified(true);
            AnswerCache::deliverKept(kept->receivedAt, [&] { deliver(kept->answer); });
        };
        completion = [deliver, generation, operation, form,
                      signIn](const std::optional<QJsonValue> &value) {
            AnswerCache &cache = AnswerCache::instance();
            if (value && !signIn)
                cache.store(generation, operation, form, *value);
            deliver(value);
            if (value && signIn)
                cache.store(cache.generation(), operation, form, *value);
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

void TeacherRequestManager::send(const char *name, const ParameterDictionary &parameters,
                                 ServiceCompletion completion, ServiceFailure failure)
{
    call(QString::fromLatin1(name), parameters, std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_Login_WithParams(const LoginReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("Login", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_SendVerification_WithParams(const SendVerificationReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("SendVerification", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_ChangeMobile_WithParams(const ChangeMobileReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("ChangeMobile", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_ForgetVerification_WithParams(const GetPasswordForgetReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("ForgetVerification", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_ConfirmVerification_WithParams(const ConfirmVerificationReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("ConfirmVerification", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_ChartList_WithParams(const GetTeacherReportReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("ChartList", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_ChartTermList_WithParams(const GetTermYearReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("ChartTermList", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_ChartCityList_WithParams(const GetCityListReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("ChartCityList", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_ChartAreaList_WithParams(const GetAreaListReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("ChartAreaList", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_GetTeacherInfo_WithParams(const GetTeacherInfoReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("GetTeacherInfo", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_ChangeClassForTeacher_WithParams(const ChangeClassForTeacherReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("ChangeClassForTeacher", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_SelectClassForTeacher_WithParams(const SelectClassForTeacherReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("SelectClassForTeacher", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_GetTeacherCollections_WithParams(const GetTeacherCollectionsReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("GetTeacherCollections", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_GetMyCollectionInfo_WithParams(const GetMyCollectionInfoReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("GetMyCollectionInfo", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_GetBookSortTree_WithParams(const GetBookSortTreeReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("GetBookSortTree", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_GetBookList_WithParams(const GetBookListReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("GetBookList", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_GetBookDetailShow_WithParams(const GetBookDetailShowReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("GetBookDetailShow", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_GetCommentShow_WithParams(const GetCommentShowReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("GetCommentShow", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_AddComment_WithParams(const AddCommentReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("AddComment", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_GetRecommendBookList_WithParams(const GetRecommendBookListReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("GetRecommendBookList", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_GetStudentPersonHomeIndex_WithParams(const GetStudentPersonHomeIndexReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("GetStudentPersonHomeIndex", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_GetTestBookList_WithParams(const ParameterDictionary &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("GetTestBookList", params, std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_AddBookCollect_WithParams(const AddBookCollectReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("AddBookCollect", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_DeleteBookCollect_WithParams(const DeleteBookCollectReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("DeleteBookCollect", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_AddGood_WithParams(const AddGoodReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("AddGood", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_CancelGood_WithParams(const CancelGoodReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("CancelGood", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_GetFeelList_WithParams(const GetFeelListReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("GetFeelList", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_UpdateFeel_WithParams(const UpdateFeelReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("UpdateFeel", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_GetSingleFeel_WithParams(const GetSingleFeelReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("GetSingleFeel", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_GetMyClassDetail_WithParams(const GetMyClassDetailReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("GetMyClassDetail", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_GetMyClassForTeacher_WithParams(const GetMyClassForTeacherReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("GetMyClassForTeacher", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_SetNewPassword_WithParams(const SetNewPasswordReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("SetNewPassword", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_PhotoUpdate_WithParams(const PhotoUpdateReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("PhotoUpdate", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}

void TeacherRequestManager::request_DeleteComment_WithParams(const DeleteCommentReq &params,
                                                  ServiceCompletion completion, ServiceFailure failure)
{
    send("DeleteComment", KeyValueMapping::keyValues(params), std::move(completion), std::move(failure));
}
