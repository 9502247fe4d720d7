#include "AccountRecords.h"

// The field tables: one line a field, the service's key letter for letter.
// clang-format off

const RecordType &UserInfo::recordType() {
    static const RecordType type = RecordTypeBuilder<UserInfo>("UserInfo")
        .field<&UserInfo::ProvinceId>("ProvinceId")
        .field<&UserInfo::ProvinceName>("ProvinceName")
        .field<&UserInfo::AreaId>("AreaId")
        .field<&UserInfo::AreaName>("AreaName")
        .field<&UserInfo::AtSchool>("AtSchool")
        .field<&UserInfo::CensusRegister>("CensusRegister")
        .field<&UserInfo::CityId>("CityId")
        .field<&UserInfo::CityName>("CityName")
        .field<&UserInfo::ClassId>("ClassId")
        .field<&UserInfo::ClassName>("ClassName")
        .field<&UserInfo::ClassNames>("ClassNames")
        .field<&UserInfo::Country>("Country")
        .field<&UserInfo::CreateTime>("CreateTime")
        .field<&UserInfo::CreateUser>("CreateUser")
        .field<&UserInfo::Deformity>("Deformity")
        .field<&UserInfo::Email>("Email")
        .field<&UserInfo::Photo>("Photo")
        .field<&UserInfo::EntityId>("EntityId")
        .field<&UserInfo::FlowerNumber>("FlowerNumber")
        .field<&UserInfo::Grade>("Grade")
        .field<&UserInfo::Mobile>("Mobile")
        .field<&UserInfo::Password>("Password")
        .field<&UserInfo::RealName>("RealName")
        .field<&UserInfo::SchoolId>("SchoolId")
        .field<&UserInfo::SchoolName>("SchoolName")
        .field<&UserInfo::Sex>("Sex")
        .field<&UserInfo::UserType>("UserType")
        .field<&UserInfo::UserName>("UserName")
        .field<&UserInfo::UserId>("UserId")
        .field<&UserInfo::Status>("Status")
        .build();
    return type;
}

const RecordType &UserDetailInfo::recordType() {
    static const RecordType type = RecordTypeBuilder<UserDetailInfo>("UserDetailInfo")
        .field<&UserDetailInfo::AreaName>("AreaName")
        .field<&UserDetailInfo::BookCollectionNum>("BookCollectionNum")
        .field<&UserDetailInfo::CityName>("CityName")
        .field<&UserDetailInfo::ClassName>("ClassName")
        .field<&UserDetailInfo::RealName>("RealName")
        .field<&UserDetailInfo::SchoolName>("SchoolName")
        .field<&UserDetailInfo::TeacherName>("TeacherName")
        .field<&UserDetailInfo::Photo>("Photo")
        .field<&UserDetailInfo::EntityId>("EntityId")
        .field<&UserDetailInfo::FlowerNumber>("FlowerNumber")
        .field<&UserDetailInfo::Grade>("Grade")
        .field<&UserDetailInfo::Sex>("Sex")
        .field<&UserDetailInfo::UserName>("UserName")
        .field<&UserDetailInfo::UserId>("UserId")
        .build();
    return type;
}

const RecordType &SelectClassModel::recordType() {
    static const RecordType type = RecordTypeBuilder<SelectClassModel>("SelectClassModel")
        .field<&SelectClassModel::ClassId>("ClassId")
        .field<&SelectClassModel::ClassName>("ClassName")
        .field<&SelectClassModel::GradeId>("GradeId")
        .field<&SelectClassModel::GradeName>("GradeName")
        .field<&SelectClassModel::gradeId>("gradeId")
        .field<&SelectClassModel::ApprovalExists>("ApprovalExists")
        .field<&SelectClassModel::TeacherIsExists>("TeacherIsExists")
        .build();
    return type;
}

const RecordType &LoginReq::recordType() {
    static const RecordType type = RecordTypeBuilder<LoginReq>("LoginReq")
        .extends<BaseReq>()
        .field<&LoginReq::userName>("userName")
        .field<&LoginReq::password>("password")
        .build();
    return type;
}

const RecordType &LoginRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<LoginRsp>("LoginRsp")
        .extends<BaseRsp>()
        .field<&LoginRsp::uid>("uid")
        .field<&LoginRsp::photo>("photo")
        .field<&LoginRsp::classList>("classList")
        .field<&LoginRsp::collectionNum>("collectionNum")
        .field<&LoginRsp::isLogin>("isLogin")
        .field<&LoginRsp::user>("user")
        .build();
    return type;
}

const RecordType &SendVerificationReq::recordType() {
    static const RecordType type = RecordTypeBuilder<SendVerificationReq>("SendVerificationReq")
        .extends<BaseReq>()
        .field<&SendVerificationReq::uid>("uid")
        .field<&SendVerificationReq::mobile>("mobile")
        .field<&SendVerificationReq::type>("type")
        .field<&SendVerificationReq::stuType>("stuType")
        .build();
    return type;
}

const RecordType &SendVerificationRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<SendVerificationRsp>("SendVerificationRsp")
        .extends<BaseRsp>()
        .build();
    return type;
}

const RecordType &ChangeMobileReq::recordType() {
    static const RecordType type = RecordTypeBuilder<ChangeMobileReq>("ChangeMobileReq")
        .extends<BaseReq>()
        .field<&ChangeMobileReq::uid>("uid")
        .field<&ChangeMobileReq::code>("code")
        .field<&ChangeMobileReq::mobile>("mobile")
        .field<&ChangeMobileReq::stuType>("stuType")
        .build();
    return type;
}

const RecordType &ChangeMobileRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<ChangeMobileRsp>("ChangeMobileRsp")
        .extends<BaseRsp>()
        .field<&ChangeMobileRsp::code>("code")
        .field<&ChangeMobileRsp::mobile>("mobile")
        .build();
    return type;
}

const RecordType &ConfirmVerificationReq::recordType() {
    static const RecordType type = RecordTypeBuilder<ConfirmVerificationReq>("ConfirmVerificationReq")
        .extends<BaseReq>()
        .field<&ConfirmVerificationReq::uid>("uid")
        .field<&ConfirmVerificationReq::code>("code")
        .field<&ConfirmVerificationReq::mobile>("mobile")
        .field<&ConfirmVerificationReq::type>("type")
        .field<&ConfirmVerificationReq::stuType>("stuType")
        .build();
    return type;
}

const RecordType &ConfirmVerificationRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<ConfirmVerificationRsp>("ConfirmVerificationRsp")
        .extends<BaseRsp>()
        .build();
    return type;
}

const RecordType &GetPasswordForgetReq::recordType() {
    static const RecordType type = RecordTypeBuilder<GetPasswordForgetReq>("GetPasswordForgetReq")
        .extends<BaseReq>()
        .field<&GetPasswordForgetReq::mobile>("mobile")
        .field<&GetPasswordForgetReq::type>("type")
        .build();
    return type;
}

const RecordType &GetPasswordForgetRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<GetPasswordForgetRsp>("GetPasswordForgetRsp")
        .extends<BaseRsp>()
        .field<&GetPasswordForgetRsp::uid>("uid")
        .build();
    return type;
}

const RecordType &SetNewPasswordReq::recordType() {
    static const RecordType type = RecordTypeBuilder<SetNewPasswordReq>("SetNewPasswordReq")
        .extends<BaseReq>()
        .field<&SetNewPasswordReq::uid>("uid")
        .field<&SetNewPasswordReq::type>("type")
        .field<&SetNewPasswordReq::NEWPassword>("NEWPassword")
        .field<&SetNewPasswordReq::oldPassword>("oldPassword")
        .build();
    return type;
}

const RecordType &SetNewPasswordRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<SetNewPasswordRsp>("SetNewPasswordRsp")
        .extends<BaseRsp>()
        .build();
    return type;
}

const RecordType &GetTeacherInfoReq::recordType() {
    static const RecordType type = RecordTypeBuilder<GetTeacherInfoReq>("GetTeacherInfoReq")
        .extends<BaseReq>()
        .field<&GetTeacherInfoReq::uid>("uid")
        .build();
    return type;
}

const RecordType &GetTeacherInfoRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<GetTeacherInfoRsp>("GetTeacherInfoRsp")
        .extends<BaseRsp>()
        .field<&GetTeacherInfoRsp::photo>("photo")
        .field<&GetTeacherInfoRsp::location>("location")
        .field<&GetTeacherInfoRsp::classList>("classList")
        .field<&GetTeacherInfoRsp::user>("user")
        .build();
    return type;
}

const RecordType &ChangeClassForTeacherReq::recordType() {
    static const RecordType type = RecordTypeBuilder<ChangeClassForTeacherReq>("ChangeClassForTeacherReq")
        .extends<BaseReq>()
        .field<&ChangeClassForTeacherReq::uid>("uid")
        .field<&ChangeClassForTeacherReq::type>("type")
        .field<&ChangeClassForTeacherReq::newClassId>("newClassId")
        .field<&ChangeClassForTeacherReq::classId>("classId")
        .build();
    return type;
}

const RecordType &ChangeClassForTeacherRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<ChangeClassForTeacherRsp>("ChangeClassForTeacherRsp")
        .extends<BaseRsp>()
        .build();
    return type;
}

const RecordType &SelectClassForTeacherReq::recordType() {
    static const RecordType type = RecordTypeBuilder<SelectClassForTeacherReq>("SelectClassForTeacherReq")
        .extends<BaseReq>()
        .field<&SelectClassForTeacherReq::schoolId>("schoolId")
        .field<&SelectClassForTeacherReq::grade>("grade")
        .build();
    return type;
}

const RecordType &SelectClassForTeacherRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<SelectClassForTeacherRsp>("SelectClassForTeacherRsp")
        .extends<BaseRsp>()
        .field<&SelectClassForTeacherRsp::classList>("classList")
        .build();
    return type;
}

const RecordType &PhotoUpdateReq::recordType() {
    static const RecordType type = RecordTypeBuilder<PhotoUpdateReq>("PhotoUpdateReq")
        .extends<BaseReq>()
        .field<&PhotoUpdateReq::uid>("uid")
        .field<&PhotoUpdateReq::imagedata>("imagedata")
        .build();
    return type;
}

const RecordType &PhotoUpdateRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<PhotoUpdateRsp>("PhotoUpdateRsp")
        .extends<BaseRsp>()
        .field<&PhotoUpdateRsp::photo>("photo")
        .build();
    return type;
}
// clang-format on
