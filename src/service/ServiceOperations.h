#pragma once

#include "ParameterValue.h"
#include "records/AccountRecords.h"
#include "records/ContentRecords.h"

#include <QJsonValue>

// The service's operations, written once. Everything that names an operation is made from this
// list: the catalogue's table and its request_<Name>_WithParams methods (TeacherRequestManager),
// the Operation values the code names operations by, the record pairs (CatalogueEntry), the
// development service's handlers (ServiceHandlers) and teacher-call's list. A name mistyped
// anywhere is a compile error, and an operation without a handler in the development service
// does not link.
//
// A row: the operation's name (between request_ and _WithParams), its path under ServiceBaseURL,
// its request and answer records, and what it may be answered with offline (OfflineUse). An
// operation the client has no records for takes a ParameterDictionary and answers a QJsonValue.
//
// To add an operation: its record pair in records/, one row here, its handler in the
// development service (a ServiceHandlers definition in the module it belongs to).

// clang-format off
#define TEACHER_SERVICE_OPERATIONS(X) \
    X(Login,                     "Mobile/TeacherLogin",               LoginReq,                     LoginRsp,                       SignIn) \
    X(SendVerification,          "Mobile/SendVerification",           SendVerificationReq,          SendVerificationRsp,            None)   \
    X(ChangeMobile,              "Mobile/ChangeMobile",               ChangeMobileReq,              ChangeMobileRsp,                None)   \
    X(ForgetVerification,        "Mobile/GetPasswordForget",          GetPasswordForgetReq,         GetPasswordForgetRsp,           None)   \
    X(ConfirmVerification,       "Mobile/ConfirmVerification",        ConfirmVerificationReq,       ConfirmVerificationRsp,         None)   \
    X(ChartList,                 "Mobile/GetTeacherReport",           GetTeacherReportReq,          GetTeacherReportRsp,            Read)   \
    X(ChartTermList,             "Mobile/GetTermYear",                GetTermYearReq,               GetTermYearRsp,                 Read)   \
    X(ChartCityList,             "Mobile/GetCityList",                GetCityListReq,               GetCityListRsp,                 Read)   \
    X(ChartAreaList,             "Mobile/GetAreaList",                GetAreaListReq,               GetAreaListRsp,                 Read)   \
    X(GetTeacherInfo,            "Mobile/GetTeacherInfo",             GetTeacherInfoReq,            GetTeacherInfoRsp,              Read)   \
    X(ChangeClassForTeacher,     "Mobile/ChangeClassForTeacher",      ChangeClassForTeacherReq,     ChangeClassForTeacherRsp,       None)   \
    X(SelectClassForTeacher,     "Mobile/SelectClassForTeacher",      SelectClassForTeacherReq,     SelectClassForTeacherRsp,       Read)   \
    X(GetTeacherCollections,     "Mobile/GetTeacherCollections",      GetTeacherCollectionsReq,     GetTeacherCollectionsRsp,       Read)   \
    X(GetMyCollectionInfo,       "Mobile/GetMyCollectionInfo",        GetMyCollectionInfoReq,       GetMyCollectionInfoRsp,         Read)   \
    X(GetBookSortTree,           "Mobile/GetBookSortTree",            GetBookSortTreeReq,           GetBookSortTreeRsp,             Read)   \
    X(GetBookList,               "Mobile/GetBookList",                GetBookListReq,               GetBookListRsp,                 Read)   \
    X(GetBookDetailShow,         "Mobile/GetBookDetailShow",          GetBookDetailShowReq,         GetBookDetailShowRsp,           Read)   \
    X(GetCommentShow,            "Mobile/GetCommentShow",             GetCommentShowReq,            GetCommentShowRsp,              Read)   \
    X(AddComment,                "Mobile/AddComment",                 AddCommentReq,                AddCommentRsp,                  None)   \
    X(GetRecommendBookList,      "Mobile/GetRecommendBookList",       GetRecommendBookListReq,      GetRecommendBookListRsp,        Read)   \
    X(GetStudentPersonHomeIndex, "Mobile/GetStudentPersonHomeIndex",  GetStudentPersonHomeIndexReq, GetStudentPersonHomeIndextRsp,  Read)   \
    X(GetTestBookList,           "Mobile/GetMyTestInfo",              ParameterDictionary,          QJsonValue,                     Read)   \
    X(AddBookCollect,            "Mobile/AddBookCollect",             AddBookCollectReq,            AddBookCollectRsp,              None)   \
    X(DeleteBookCollect,         "Mobile/DeleteBookCollect",          DeleteBookCollectReq,         DeleteBookCollectRsp,           None)   \
    X(AddGood,                   "Mobile/AddGood",                    AddGoodReq,                   AddGoodRsp,                     None)   \
    X(CancelGood,                "Mobile/CancelGood",                 CancelGoodReq,                CancelGoodRsp,                  None)   \
    X(GetFeelList,               "Mobile/GetFeelList",                GetFeelListReq,               GetFeelListRsp,                 Read)   \
    X(UpdateFeel,                "Mobile/UpdateFeel",                 UpdateFeelReq,                UpdateFeelRsp,                  None)   \
    X(GetSingleFeel,             "Mobile/GetSingleFeel",              GetSingleFeelReq,             GetSingleFeelRsp,               Read)   \
    X(GetMyClassDetail,          "Mobile/GetMyClassDetail",           GetMyClassDetailReq,          GetMyClassDetailRsp,            Read)   \
    X(GetMyClassForTeacher,      "Mobile/GetMyClassForTeacher",       GetMyClassForTeacherReq,      GetMyClassForTeacherRsp,        Read)   \
    X(SetNewPassword,            "Mobile/SetNewPassword",             SetNewPasswordReq,            SetNewPasswordRsp,              None)   \
    X(PhotoUpdate,               "Mobile/PhotoUpdate",                PhotoUpdateReq,               PhotoUpdateRsp,                 None)   \
    X(DeleteComment,             "Mobile/DeleteComment",              DeleteCommentReq,             DeleteCommentRsp,               None)
// clang-format on

// An operation by name: Operation::GetFeelList. The values follow the list, so they index the
// catalogue's table.
enum class Operation {
#define TEACHER_OPERATION_VALUE(name, path, Req, Rsp, offline) name,
    TEACHER_SERVICE_OPERATIONS(TEACHER_OPERATION_VALUE)
#undef TEACHER_OPERATION_VALUE
};

inline constexpr int OperationCount = 0
#define TEACHER_OPERATION_COUNT(name, path, Req, Rsp, offline) +1
    TEACHER_SERVICE_OPERATIONS(TEACHER_OPERATION_COUNT)
#undef TEACHER_OPERATION_COUNT
    ;

// The operation a request record is sent with, and the record its answer maps into. A record no
// row names has no entry, so sending it does not compile.
template <class Req> struct CatalogueEntry;
#define TEACHER_CATALOGUE_ENTRY(name, path, Req, Rsp, offline)                                     \
    template <> struct CatalogueEntry<Req> {                                                       \
        static constexpr Operation operation = Operation::name;                                    \
        using Answer = Rsp;                                                                        \
    };
TEACHER_SERVICE_OPERATIONS(TEACHER_CATALOGUE_ENTRY)
#undef TEACHER_CATALOGUE_ENTRY
