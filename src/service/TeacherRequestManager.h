#pragma once

#include "ParameterValue.h"
#include "ServiceTypes.h"
#include "records/AccountRecords.h"
#include "records/ContentRecords.h"

#include <QStringView>

#include <vector>

// What a call may have answered from the AnswerCache when the network brings nothing: a change
// never; a read its last accepted answer; the sign-in the last accepted one for the same name, so
// that the program started without a network still opens on the teacher's answers. Such a
// sign-in leaves the connection's sign-in unverified (ServiceConnection::signInUnverified):
// changes are then refused before they leave, until the service accepts a sign-in again.
enum class OfflineUse { None, Read, SignIn };

// One row of the catalogue: the operation's name (between request_ and _WithParams), its path
// under ServiceBaseURL, its record types (none for GetTestBookList) and its offline use.
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
// call fails the kept answer comes to the completion instead (AnswerCache::deliveringKeptFrom()
// tells the two apart); with nothing kept the failure comes as before. A sign-in's answer is kept
// after it was handed over, in the answers of the teacher it opened. Changes are never kept and
// never stood in for.
class TeacherRequestManager {
public:
    static const std::vector<ServiceOperation> &operations();
    static const ServiceOperation *operation(QStringView name);

    // Posts parameters for the named operation; an unknown name fails at once (on the next turn
    // of the event loop) with a text saying so.
    static void call(QStringView name, const ParameterDictionary &parameters,
                     ServiceCompletion completion, ServiceFailure failure);

    static void request_Login_WithParams(const LoginReq &params, ServiceCompletion completion,
                                         ServiceFailure failure);
    static void request_SendVerification_WithParams(const SendVerificationReq &params,
                                                    ServiceCompletion completion,
                                                    ServiceFailure failure);
    static void request_ChangeMobile_WithParams(const ChangeMobileReq &params,
                                                ServiceCompletion completion,
                                                ServiceFailure failure);
    static void request_ForgetVerification_WithParams(const GetPasswordForgetReq &params,
                                                      ServiceCompletion completion,
                                                      ServiceFailure failure);
    static void request_ConfirmVerification_WithParams(const ConfirmVerificationReq &params,
                                                       ServiceCompletion completion,
                                                       ServiceFailure failure);
    static void request_ChartList_WithParams(const GetTeacherReportReq &params,
                                             ServiceCompletion completion, ServiceFailure failure);
    static void request_ChartTermList_WithParams(const GetTermYearReq &params,
                                                 ServiceCompletion completion,
                                                 ServiceFailure failure);
    static void request_ChartCityList_WithParams(const GetCityListReq &params,
                                                 ServiceCompletion completion,
                                                 ServiceFailure failure);
    static void request_ChartAreaList_WithParams(const GetAreaListReq &params,
                                                 ServiceCompletion completion,
                                                 ServiceFailure failure);
    static void request_GetTeacherInfo_WithParams(const GetTeacherInfoReq &params,
                                                  ServiceCompletion completion,
                                                  ServiceFailure failure);
    static void request_ChangeClassForTeacher_WithParams(const ChangeClassForTeacherReq &params,
                                                         ServiceCompletion completion,
                                                         ServiceFailure failure);
    static void request_SelectClassForTeacher_WithParams(const SelectClassForTeacherReq &params,
                                                         ServiceCompletion completion,
                                                         ServiceFailure failure);
    static void request_GetTeacherCollections_WithParams(const GetTeacherCollectionsReq &params,
                                                         ServiceCompletion completion,
                                                         ServiceFailure failure);
    static void request_GetMyCollectionInfo_WithParams(const GetMyCollectionInfoReq &params,
                                                       ServiceCompletion completion,
                                                       ServiceFailure failure);
    static void request_GetBookSortTree_WithParams(const GetBookSortTreeReq &params,
                                                   ServiceCompletion completion,
                                                   ServiceFailure failure);
    static void request_GetBookList_WithParams(const GetBookListReq &params,
                                               ServiceCompletion completion,
                                               ServiceFailure failure);
    static void request_GetBookDetailShow_WithParams(const GetBookDetailShowReq &params,
                                                     ServiceCompletion completion,
                                                     ServiceFailure failure);
    static void request_GetCommentShow_WithParams(const GetCommentShowReq &params,
                                                  ServiceCompletion completion,
                                                  ServiceFailure failure);
    static void request_AddComment_WithParams(const AddCommentReq &params,
                                              ServiceCompletion completion, ServiceFailure failure);
    static void request_GetRecommendBookList_WithParams(const GetRecommendBookListReq &params,
                                                        ServiceCompletion completion,
                                                        ServiceFailure failure);
    static void
    request_GetStudentPersonHomeIndex_WithParams(const GetStudentPersonHomeIndexReq &params,
                                                 ServiceCompletion completion,
                                                 ServiceFailure failure);
    // The service offers it; the client defines no records for it, so it takes a dictionary.
    static void request_GetTestBookList_WithParams(const ParameterDictionary &params,
                                                   ServiceCompletion completion,
                                                   ServiceFailure failure);
    static void request_AddBookCollect_WithParams(const AddBookCollectReq &params,
                                                  ServiceCompletion completion,
                                                  ServiceFailure failure);
    static void request_DeleteBookCollect_WithParams(const DeleteBookCollectReq &params,
                                                     ServiceCompletion completion,
                                                     ServiceFailure failure);
    static void request_AddGood_WithParams(const AddGoodReq &params, ServiceCompletion completion,
                                           ServiceFailure failure);
    static void request_CancelGood_WithParams(const CancelGoodReq &params,
                                              ServiceCompletion completion, ServiceFailure failure);
    static void request_GetFeelList_WithParams(const GetFeelListReq &params,
                                               ServiceCompletion completion,
                                               ServiceFailure failure);
    static void request_UpdateFeel_WithParams(const UpdateFeelReq &params,
                                              ServiceCompletion completion, ServiceFailure failure);
    static void request_GetSingleFeel_WithParams(const GetSingleFeelReq &params,
                                                 ServiceCompletion completion,
                                                 ServiceFailure failure);
    static void request_GetMyClassDetail_WithParams(const GetMyClassDetailReq &params,
                                                    ServiceCompletion completion,
                                                    ServiceFailure failure);
    static void request_GetMyClassForTeacher_WithParams(const GetMyClassForTeacherReq &params,
                                                        ServiceCompletion completion,
                                                        ServiceFailure failure);
    static void request_SetNewPassword_WithParams(const SetNewPasswordReq &params,
                                                  ServiceCompletion completion,
                                                  ServiceFailure failure);
    static void request_PhotoUpdate_WithParams(const PhotoUpdateReq &params,
                                               ServiceCompletion completion,
                                               ServiceFailure failure);
    static void request_DeleteComment_WithParams(const DeleteCommentReq &params,
                                                 ServiceCompletion completion,
                                                 ServiceFailure failure);

private:
    static void send(const char *name, const ParameterDictionary &parameters,
                     ServiceCompletion completion, ServiceFailure failure);
};
