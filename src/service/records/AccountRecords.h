#pragma once

// Records of the account operations, the teacher's profile and class assignment, the photo upload.

#include "BaseRecords.h"

struct UserInfo {
    qint64 ProvinceId = 0;
    std::optional<QString> ProvinceName;
    qint64 AreaId = 0;
    std::optional<QString> AreaName;
    qint64 AtSchool = 0;
    std::optional<QString> CensusRegister;
    qint64 CityId = 0;
    std::optional<QString> CityName;
    qint64 ClassId = 0;
    std::optional<QString> ClassName;
    std::optional<QString> ClassNames;
    std::optional<QString> Country;
    std::optional<QString> CreateTime;
    qint64 CreateUser = 0;
    qint64 Deformity = 0;
    std::optional<QString> Email;
    std::optional<QString> Photo;
    qint64 EntityId = 0;
    qint64 FlowerNumber = 0;
    qint64 Grade = 0;
    qint64 Mobile = 0;
    qint64 Password = 0;
    std::optional<QString> RealName;
    qint64 SchoolId = 0;
    std::optional<QString> SchoolName;
    qint64 Sex = 0;
    qint64 UserType = 0;
    std::optional<QString> UserName;
    qint64 UserId = 0;
    qint64 Status = 0;

    static const RecordType &recordType();
};

struct UserDetailInfo {
    std::optional<QString> AreaName;
    qint64 BookCollectionNum = 0;
    std::optional<QString> CityName;
    std::optional<QString> ClassName;
    std::optional<QString> RealName;
    std::optional<QString> SchoolName;
    std::optional<QString> TeacherName;
    std::optional<QString> Photo;
    qint64 EntityId = 0;
    qint64 FlowerNumber = 0;
    qint64 Grade = 0;
    qint64 Sex = 0;
    qint64 UserName = 0;
    qint64 UserId = 0;

    static const RecordType &recordType();
};

struct SelectClassModel {
    qint64 ClassId = 0;
    std::optional<QString> ClassName;
    qint64 GradeId = 0;
    std::optional<QString> GradeName;
    qint64 gradeId = 0;
    qint64 ApprovalExists = 0;
    qint64 TeacherIsExists = 0;

    static const RecordType &recordType();
};

struct LoginReq : BaseReq {
    std::optional<QString> userName;
    std::optional<QString> password;

    static const RecordType &recordType();
};

struct LoginRsp : BaseRsp {
    qint64 uid = 0;
    std::optional<QString> photo;
    std::optional<QJsonArray> classList;
    qint64 collectionNum = 0;
    bool isLogin = false;
    std::optional<UserInfo> user;

    static const RecordType &recordType();
    // The current login: one instance for the whole run, written field by field by the login
    // flows. Defined by the shell, which owns login state.
    static LoginRsp &shareRsp();
};

struct SendVerificationReq : BaseReq {
    qint64 uid = 0;
    std::optional<QString> mobile;
    qint64 type = 0;
    qint64 stuType = 0;

    static const RecordType &recordType();
};

struct SendVerificationRsp : BaseRsp {
    static const RecordType &recordType();
};

struct ChangeMobileReq : BaseReq {
    qint64 uid = 0;
    std::optional<QString> code;
    std::optional<QString> mobile;
    qint64 stuType = 0;

    static const RecordType &recordType();
};

struct ChangeMobileRsp : BaseRsp {
    std::optional<QString> code;
    std::optional<QString> mobile;

    static const RecordType &recordType();
};

struct ConfirmVerificationReq : BaseReq {
    qint64 uid = 0;
    std::optional<QString> code;
    std::optional<QString> mobile;
    qint64 type = 0;
    qint64 stuType = 0;

    static const RecordType &recordType();
};

struct ConfirmVerificationRsp : BaseRsp {
    static const RecordType &recordType();
};

struct GetPasswordForgetReq : BaseReq {
    std::optional<QString> mobile;
    qint64 type = 0;

    static const RecordType &recordType();
};

struct GetPasswordForgetRsp : BaseRsp {
    qint64 uid = 0;

    static const RecordType &recordType();
};

struct SetNewPasswordReq : BaseReq {
    qint64 uid = 0;
    qint64 type = 0;
    std::optional<QString> NEWPassword;
    std::optional<QString> oldPassword;

    static const RecordType &recordType();
};

struct SetNewPasswordRsp : BaseRsp {
    static const RecordType &recordType();
};

struct GetTeacherInfoReq : BaseReq {
    qint64 uid = 0;

    static const RecordType &recordType();
};

struct GetTeacherInfoRsp : BaseRsp {
    std::optional<QString> photo;
    std::optional<QString> location;
    std::optional<RecordArray<SelectClassModel>> classList;
    std::optional<UserDetailInfo> user;

    static const RecordType &recordType();
};

struct ChangeClassForTeacherReq : BaseReq {
    qint64 uid = 0;
    qint64 type = 0;
    qint64 newClassId = 0;
    qint64 classId = 0;

    static const RecordType &recordType();
};

struct ChangeClassForTeacherRsp : BaseRsp {
    static const RecordType &recordType();
};

struct SelectClassForTeacherReq : BaseReq {
    qint64 schoolId = 0;
    qint64 grade = 0;

    static const RecordType &recordType();
};

struct SelectClassForTeacherRsp : BaseRsp {
    std::optional<RecordArray<SelectClassModel>> classList;

    static const RecordType &recordType();
};

struct PhotoUpdateReq : BaseReq {
    qint64 uid = 0;
    std::optional<QString> imagedata;

    static const RecordType &recordType();
};

struct PhotoUpdateRsp : BaseRsp {
    std::optional<QString> photo;

    static const RecordType &recordType();
};
