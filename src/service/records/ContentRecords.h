#pragma once

// Records of reports, books, collections, comments and likes, reflections, classes and pupils.

#include "BaseRecords.h"

struct ChartListModel {
    qint64 UserCount = 0;
    qint64 FlowerCount = 0;
    std::optional<QString> AverageFlower;
    std::optional<QString> Name;
    qint64 imageWidth = 0;

    static const RecordType &recordType();
};

struct TermListModel {
    qint64 Id = 0;
    std::optional<QString> Year;
    std::optional<QString> TermName;

    static const RecordType &recordType();
};

struct CityListModel {
    std::optional<QString> CityName;
    qint64 CityId = 0;

    static const RecordType &recordType();
};

struct AreaListModel {
    std::optional<QString> AreaName;
    qint64 AreaId = 0;

    static const RecordType &recordType();
};

struct BookListModel {
    qint64 BookId = 0;
    std::optional<QString> BookName;
    std::optional<QString> ImageUrl;
    qint64 Flower = 0;

    static const RecordType &recordType();
};

struct BookSortModel {
    qint64 SortId = 0;
    std::optional<QString> SortName;
    qint64 gradeId = 0;
    qint64 orderbytype = 0;

    static const RecordType &recordType();
};

struct BookDetailModel {
    qint64 BookId = 0;
    std::optional<QString> BookName;
    qint64 CommentsCount = 0;
    qint64 FlowerCount = 0;
    qint64 GoodCount = 0;
    qint64 IsCollect = 0;
    qint64 IsGood = 0;
    std::optional<QString> ISBN;
    std::optional<QString> ImageUrl;
    std::optional<QString> Press;
    std::optional<QString> Introduce;

    static const RecordType &recordType();
};

struct BookCommentModel {
    qint64 CommentId = 0;
    std::optional<QString> Content;
    qint64 UserId = 0;
    std::optional<QString> CreateTimeStr;
    std::optional<QString> CreateTime;
    std::optional<QString> Photo;
    std::optional<QString> PhotoUrl;
    std::optional<QString> RealName;

    static const RecordType &recordType();
};

struct MyClassListModel {
    qint64 ClassId = 0;
    std::optional<QString> ClassName;
    qint64 GradeId = 0;
    std::optional<QString> GradeStr;
    qint64 StudentNum = 0;

    static const RecordType &recordType();
};

struct StudentListModel {
    qint64 UserId = 0;
    std::optional<QString> RealName;
    qint64 Sex = 0;
    std::optional<QString> MyTitle;
    std::optional<QString> Mobile;
    std::optional<QString> PhotoStr;
    qint64 TestPassNum = 0;
    qint64 FlowerNumber = 0;

    static const RecordType &recordType();
};

struct StudentUseInfo {
    qint64 BookCollectionNum = 0;
    std::optional<QString> AreaName;
    qint64 FlowerNumber = 0;
    qint64 Grade = 0;
    std::optional<QString> GradeStr;
    std::optional<QString> CityName;
    std::optional<QString> ClassName;
    std::optional<QString> Photo;
    std::optional<QString> PhotoStr;
    std::optional<QString> RealName;
    std::optional<QString> SchoolName;
    std::optional<QString> MyTitle;
    std::optional<QString> TeacherName;
    qint64 TestCount = 0;
    qint64 UserId = 0;

    static const RecordType &recordType();
};

struct StudentBookListModel {
    qint64 AdminUserId = 0;
    std::optional<QString> BookName;
    qint64 BookId = 0;
    qint64 FlowerCount = 0;
    std::optional<QString> ImageUrl;

    static const RecordType &recordType();
};

struct GradeListModel {
    qint64 UserId = 0;
    std::optional<QString> RealName;
    std::optional<QString> BookName;
    std::optional<QString> CreateTimeStr;
    std::optional<QString> FeelTypeStr;
    qint64 FeelId = 0;

    static const RecordType &recordType();
};

// A nested record despite its name: it does not extend BaseRsp.

struct FeelDetailRsp {
    qint64 BookId = 0;
    std::optional<QString> CheckTime;
    qint64 CheckUserId = 0;
    qint64 FeelId = 0;
    qint64 FeelType = 0;
    qint64 Status = 0;
    std::optional<QString> Content;
    std::optional<QString> CreateTime;
    std::optional<QString> FeelTypeStr;
    std::optional<QJsonArray> ImgageUrlList;

    static const RecordType &recordType();
};

struct GetTeacherReportReq : BaseReq {
    qint64 type = 0;
    qint64 schoolId = 0;
    qint64 grade = 0;
    qint64 term = 0;
    qint64 cityId = 0;
    qint64 areaId = 0;
    std::optional<QString> year;

    static const RecordType &recordType();
};

struct GetTeacherReportRsp : BaseRsp {
    std::optional<RecordArray<ChartListModel>> classList;
    std::optional<QString> averageCount;

    static const RecordType &recordType();
};

struct GetTermYearReq : BaseReq {
    static const RecordType &recordType();
};

struct GetTermYearRsp : BaseRsp {
    std::optional<RecordArray<TermListModel>> list;

    static const RecordType &recordType();
};

struct GetCityListReq : BaseReq {
    qint64 provinceId = 0;

    static const RecordType &recordType();
};

struct GetCityListRsp : BaseRsp {
    std::optional<RecordArray<CityListModel>> cityList;

    static const RecordType &recordType();
};

struct GetAreaListReq : BaseReq {
    qint64 cityId = 0;

    static const RecordType &recordType();
};

struct GetAreaListRsp : BaseRsp {
    std::optional<RecordArray<AreaListModel>> areaList;

    static const RecordType &recordType();
};

struct GetTeacherCollectionsReq : BaseReq {
    qint64 uid = 0;

    static const RecordType &recordType();
};

struct GetTeacherCollectionsRsp : BaseRsp {
    std::optional<RecordArray<BookListModel>> collectlist;

    static const RecordType &recordType();
};

struct GetMyCollectionInfoReq : BaseReq {
    qint64 uid = 0;

    static const RecordType &recordType();
};

struct GetMyCollectionInfoRsp : BaseRsp {
    std::optional<RecordArray<BookListModel>> collectionList;

    static const RecordType &recordType();
};

struct GetBookSortTreeReq : BaseReq {
    static const RecordType &recordType();
};

struct GetBookSortTreeRsp : BaseRsp {
    std::optional<RecordArray<BookSortModel>> sortList;

    static const RecordType &recordType();
};

struct GetBookListReq : BaseReq {
    qint64 gradeId = 0;
    qint64 sortId = 0;
    std::optional<QString> name;
    qint64 pageIndex = 0;
    qint64 pageSize = 0;
    qint64 orderbytype = 0;

    static const RecordType &recordType();
};

struct GetBookListRsp : BaseRsp {
    qint64 totalCount = 0;
    std::optional<RecordArray<BookListModel>> bookList;

    static const RecordType &recordType();
};

struct GetBookDetailShowReq : BaseReq {
    qint64 uid = 0;
    qint64 bookId = 0;

    static const RecordType &recordType();
};

struct GetBookDetailShowRsp : BaseRsp {
    std::optional<BookDetailModel> book;

    static const RecordType &recordType();
};

struct AddBookCollectReq : BaseReq {
    qint64 uid = 0;
    qint64 bookId = 0;

    static const RecordType &recordType();
};

struct DeleteBookCollectReq : BaseReq {
    qint64 uid = 0;
    qint64 bookId = 0;

    static const RecordType &recordType();
};

struct AddBookCollectRsp : BaseRsp {
    static const RecordType &recordType();
};

struct DeleteBookCollectRsp : BaseRsp {
    static const RecordType &recordType();
};

struct AddGoodReq : BaseReq {
    qint64 uid = 0;
    qint64 bookId = 0;

    static const RecordType &recordType();
};

struct CancelGoodReq : BaseReq {
    qint64 uid = 0;
    qint64 bookId = 0;

    static const RecordType &recordType();
};

struct AddGoodRsp : BaseRsp {
    qint64 goodCount = 0;

    static const RecordType &recordType();
};

struct CancelGoodRsp : BaseRsp {
    qint64 goodCount = 0;

    static const RecordType &recordType();
};

struct GetCommentShowReq : BaseReq {
    qint64 bookId = 0;
    qint64 pageIndex = 0;
    qint64 pageSize = 0;

    static const RecordType &recordType();
};

struct GetCommentShowRsp : BaseRsp {
    std::optional<RecordArray<BookCommentModel>> commentList;

    static const RecordType &recordType();
};

struct AddCommentReq : BaseReq {
    qint64 uid = 0;
    qint64 bookId = 0;
    std::optional<QString> comment;

    static const RecordType &recordType();
};

struct AddCommentRsp : BaseRsp {
    qint64 commentCount = 0;

    static const RecordType &recordType();
};

struct DeleteCommentReq : BaseReq {
    qint64 uid = 0;
    qint64 commentId = 0;
    qint64 bookId = 0;

    static const RecordType &recordType();
};

struct DeleteCommentRsp : BaseRsp {
    qint64 commentCount = 0;

    static const RecordType &recordType();
};

struct GetRecommendBookListReq : BaseReq {
    qint64 bookId = 0;
    qint64 top = 0;

    static const RecordType &recordType();
};

struct GetRecommendBookListRsp : BaseRsp {
    std::optional<RecordArray<BookListModel>> bookList;

    static const RecordType &recordType();
};

struct GetMyClassForTeacherReq : BaseReq {
    qint64 uid = 0;

    static const RecordType &recordType();
};

struct GetMyClassForTeacherRsp : BaseRsp {
    std::optional<RecordArray<MyClassListModel>> classList;

    static const RecordType &recordType();
};

struct GetMyClassDetailReq : BaseReq {
    qint64 type = 0;
    qint64 classId = 0;

    static const RecordType &recordType();
};

struct GetMyClassDetailRsp : BaseRsp {
    std::optional<RecordArray<StudentListModel>> list;

    static const RecordType &recordType();
};

struct GetStudentPersonHomeIndexReq : BaseReq {
    qint64 uid = 0;
    qint64 type = 0;
    qint64 pageSize = 0;
    qint64 pageIndex = 0;

    static const RecordType &recordType();
};

// The service's name for it carries a "t" after "Index".

struct GetStudentPersonHomeIndextRsp : BaseRsp {
    std::optional<StudentUseInfo> user;
    std::optional<RecordArray<StudentBookListModel>> testList;
    std::optional<RecordArray<StudentBookListModel>> bookList;

    static const RecordType &recordType();
};

struct GetFeelListReq : BaseReq {
    qint64 uid = 0;
    qint64 feelType = 0;

    static const RecordType &recordType();
};

struct GetFeelListRsp : BaseRsp {
    std::optional<RecordArray<GradeListModel>> feelList;

    static const RecordType &recordType();
};

struct GetSingleFeelReq : BaseReq {
    qint64 feelId = 0;

    static const RecordType &recordType();
};

struct GetSingleFeelRsp : BaseRsp {
    std::optional<FeelDetailRsp> feel;

    static const RecordType &recordType();
};

struct UpdateFeelReq : BaseReq {
    qint64 uid = 0;
    qint64 feelId = 0;
    qint64 feelType = 0;

    static const RecordType &recordType();
};

struct UpdateFeelRsp : BaseRsp {
    static const RecordType &recordType();
};
