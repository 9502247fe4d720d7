#include "ContentRecords.h"

// The field tables: one line a field, the service's key letter for letter.
// clang-format off

const RecordType &ChartListModel::recordType() {
    static const RecordType type = RecordTypeBuilder<ChartListModel>("ChartListModel")
        .field<&ChartListModel::UserCount>("UserCount")
        .field<&ChartListModel::FlowerCount>("FlowerCount")
        .field<&ChartListModel::AverageFlower>("AverageFlower")
        .field<&ChartListModel::Name>("Name")
        .field<&ChartListModel::imageWidth>("imageWidth")
        .build();
    return type;
}

const RecordType &TermListModel::recordType() {
    static const RecordType type = RecordTypeBuilder<TermListModel>("TermListModel")
        .field<&TermListModel::Id>("Id")
        .field<&TermListModel::Year>("Year")
        .field<&TermListModel::TermName>("TermName")
        .build();
    return type;
}

const RecordType &CityListModel::recordType() {
    static const RecordType type = RecordTypeBuilder<CityListModel>("CityListModel")
        .field<&CityListModel::CityName>("CityName")
        .field<&CityListModel::CityId>("CityId")
        .build();
    return type;
}

const RecordType &AreaListModel::recordType() {
    static const RecordType type = RecordTypeBuilder<AreaListModel>("AreaListModel")
        .field<&AreaListModel::AreaName>("AreaName")
        .field<&AreaListModel::AreaId>("AreaId")
        .build();
    return type;
}

const RecordType &BookListModel::recordType() {
    static const RecordType type = RecordTypeBuilder<BookListModel>("BookListModel")
        .field<&BookListModel::BookId>("BookId")
        .field<&BookListModel::BookName>("BookName")
        .field<&BookListModel::ImageUrl>("ImageUrl")
        .field<&BookListModel::Flower>("Flower")
        .build();
    return type;
}

const RecordType &BookSortModel::recordType() {
    static const RecordType type = RecordTypeBuilder<BookSortModel>("BookSortModel")
        .field<&BookSortModel::SortId>("SortId")
        .field<&BookSortModel::SortName>("SortName")
        .field<&BookSortModel::gradeId>("gradeId")
        .field<&BookSortModel::orderbytype>("orderbytype")
        .build();
    return type;
}

const RecordType &BookDetailModel::recordType() {
    static const RecordType type = RecordTypeBuilder<BookDetailModel>("BookDetailModel")
        .field<&BookDetailModel::BookId>("BookId")
        .field<&BookDetailModel::BookName>("BookName")
        .field<&BookDetailModel::CommentsCount>("CommentsCount")
        .field<&BookDetailModel::FlowerCount>("FlowerCount")
        .field<&BookDetailModel::GoodCount>("GoodCount")
        .field<&BookDetailModel::IsCollect>("IsCollect")
        .field<&BookDetailModel::IsGood>("IsGood")
        .field<&BookDetailModel::ISBN>("ISBN")
        .field<&BookDetailModel::ImageUrl>("ImageUrl")
        .field<&BookDetailModel::Press>("Press")
        .field<&BookDetailModel::Introduce>("Introduce")
        .build();
    return type;
}

const RecordType &BookCommentModel::recordType() {
    static const RecordType type = RecordTypeBuilder<BookCommentModel>("BookCommentModel")
        .field<&BookCommentModel::CommentId>("CommentId")
        .field<&BookCommentModel::Content>("Content")
        .field<&BookCommentModel::UserId>("UserId")
        .field<&BookCommentModel::CreateTimeStr>("CreateTimeStr")
        .field<&BookCommentModel::CreateTime>("CreateTime")
        .field<&BookCommentModel::Photo>("Photo")
        .field<&BookCommentModel::PhotoUrl>("PhotoUrl")
        .field<&BookCommentModel::RealName>("RealName")
        .build();
    return type;
}

const RecordType &MyClassListModel::recordType() {
    static const RecordType type = RecordTypeBuilder<MyClassListModel>("MyClassListModel")
        .field<&MyClassListModel::ClassId>("ClassId")
        .field<&MyClassListModel::ClassName>("ClassName")
        .field<&MyClassListModel::GradeId>("GradeId")
        .field<&MyClassListModel::GradeStr>("GradeStr")
        .field<&MyClassListModel::StudentNum>("StudentNum")
        .build();
    return type;
}

const RecordType &StudentListModel::recordType() {
    static const RecordType type = RecordTypeBuilder<StudentListModel>("StudentListModel")
        .field<&StudentListModel::UserId>("UserId")
        .field<&StudentListModel::RealName>("RealName")
        .field<&StudentListModel::Sex>("Sex")
        .field<&StudentListModel::MyTitle>("MyTitle")
        .field<&StudentListModel::Mobile>("Mobile")
        .field<&StudentListModel::PhotoStr>("PhotoStr")
        .field<&StudentListModel::TestPassNum>("TestPassNum")
        .field<&StudentListModel::FlowerNumber>("FlowerNumber")
        .build();
    return type;
}

const RecordType &StudentUseInfo::recordType() {
    static const RecordType type = RecordTypeBuilder<StudentUseInfo>("StudentUseInfo")
        .field<&StudentUseInfo::BookCollectionNum>("BookCollectionNum")
        .field<&StudentUseInfo::AreaName>("AreaName")
        .field<&StudentUseInfo::FlowerNumber>("FlowerNumber")
        .field<&StudentUseInfo::Grade>("Grade")
        .field<&StudentUseInfo::GradeStr>("GradeStr")
        .field<&StudentUseInfo::CityName>("CityName")
        .field<&StudentUseInfo::ClassName>("ClassName")
        .field<&StudentUseInfo::Photo>("Photo")
        .field<&StudentUseInfo::PhotoStr>("PhotoStr")
        .field<&StudentUseInfo::RealName>("RealName")
        .field<&StudentUseInfo::SchoolName>("SchoolName")
        .field<&StudentUseInfo::MyTitle>("MyTitle")
        .field<&StudentUseInfo::TeacherName>("TeacherName")
        .field<&StudentUseInfo::TestCount>("TestCount")
        .field<&StudentUseInfo::UserId>("UserId")
        .build();
    return type;
}

const RecordType &StudentBookListModel::recordType() {
    static const RecordType type = RecordTypeBuilder<StudentBookListModel>("StudentBookListModel")
        .field<&StudentBookListModel::AdminUserId>("AdminUserId")
        .field<&StudentBookListModel::BookName>("BookName")
        .field<&StudentBookListModel::BookId>("BookId")
        .field<&StudentBookListModel::FlowerCount>("FlowerCount")
        .field<&StudentBookListModel::ImageUrl>("ImageUrl")
        .build();
    return type;
}

const RecordType &GradeListModel::recordType() {
    static const RecordType type = RecordTypeBuilder<GradeListModel>("GradeListModel")
        .field<&GradeListModel::UserId>("UserId")
        .field<&GradeListModel::RealName>("RealName")
        .field<&GradeListModel::BookName>("BookName")
        .field<&GradeListModel::CreateTimeStr>("CreateTimeStr")
        .field<&GradeListModel::FeelTypeStr>("FeelTypeStr")
        .field<&GradeListModel::FeelId>("FeelId")
        .build();
    return type;
}

const RecordType &FeelDetailRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<FeelDetailRsp>("FeelDetailRsp")
        .field<&FeelDetailRsp::BookId>("BookId")
        .field<&FeelDetailRsp::CheckTime>("CheckTime")
        .field<&FeelDetailRsp::CheckUserId>("CheckUserId")
        .field<&FeelDetailRsp::FeelId>("FeelId")
        .field<&FeelDetailRsp::FeelType>("FeelType")
        .field<&FeelDetailRsp::Status>("Status")
        .field<&FeelDetailRsp::Content>("Content")
        .field<&FeelDetailRsp::CreateTime>("CreateTime")
        .field<&FeelDetailRsp::FeelTypeStr>("FeelTypeStr")
        .field<&FeelDetailRsp::ImgageUrlList>("ImgageUrlList")
        .build();
    return type;
}

const RecordType &GetTeacherReportReq::recordType() {
    static const RecordType type = RecordTypeBuilder<GetTeacherReportReq>("GetTeacherReportReq")
        .extends<BaseReq>()
        .field<&GetTeacherReportReq::type>("type")
        .field<&GetTeacherReportReq::schoolId>("schoolId")
        .field<&GetTeacherReportReq::grade>("grade")
        .field<&GetTeacherReportReq::term>("term")
        .field<&GetTeacherReportReq::cityId>("cityId")
        .field<&GetTeacherReportReq::areaId>("areaId")
        .field<&GetTeacherReportReq::year>("year")
        .build();
    return type;
}

const RecordType &GetTeacherReportRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<GetTeacherReportRsp>("GetTeacherReportRsp")
        .extends<BaseRsp>()
        .field<&GetTeacherReportRsp::classList>("classList")
        .field<&GetTeacherReportRsp::averageCount>("averageCount")
        .build();
    return type;
}

const RecordType &GetTermYearReq::recordType() {
    static const RecordType type = RecordTypeBuilder<GetTermYearReq>("GetTermYearReq")
        .extends<BaseReq>()
        .build();
    return type;
}

const RecordType &GetTermYearRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<GetTermYearRsp>("GetTermYearRsp")
        .extends<BaseRsp>()
        .field<&GetTermYearRsp::list>("list")
        .build();
    return type;
}

const RecordType &GetCityListReq::recordType() {
    static const RecordType type = RecordTypeBuilder<GetCityListReq>("GetCityListReq")
        .extends<BaseReq>()
        .field<&GetCityListReq::provinceId>("provinceId")
        .build();
    return type;
}

const RecordType &GetCityListRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<GetCityListRsp>("GetCityListRsp")
        .extends<BaseRsp>()
        .field<&GetCityListRsp::cityList>("cityList")
        .build();
    return type;
}

const RecordType &GetAreaListReq::recordType() {
    static const RecordType type = RecordTypeBuilder<GetAreaListReq>("GetAreaListReq")
        .extends<BaseReq>()
        .field<&GetAreaListReq::cityId>("cityId")
        .build();
    return type;
}

const RecordType &GetAreaListRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<GetAreaListRsp>("GetAreaListRsp")
        .extends<BaseRsp>()
        .field<&GetAreaListRsp::areaList>("areaList")
        .build();
    return type;
}

const RecordType &GetTeacherCollectionsReq::recordType() {
    static const RecordType type = RecordTypeBuilder<GetTeacherCollectionsReq>("GetTeacherCollectionsReq")
        .extends<BaseReq>()
        .field<&GetTeacherCollectionsReq::uid>("uid")
        .build();
    return type;
}

const RecordType &GetTeacherCollectionsRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<GetTeacherCollectionsRsp>("GetTeacherCollectionsRsp")
        .extends<BaseRsp>()
        .field<&GetTeacherCollectionsRsp::collectlist>("collectlist")
        .build();
    return type;
}

const RecordType &GetMyCollectionInfoReq::recordType() {
    static const RecordType type = RecordTypeBuilder<GetMyCollectionInfoReq>("GetMyCollectionInfoReq")
        .extends<BaseReq>()
        .field<&GetMyCollectionInfoReq::uid>("uid")
        .build();
    return type;
}

const RecordType &GetMyCollectionInfoRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<GetMyCollectionInfoRsp>("GetMyCollectionInfoRsp")
        .extends<BaseRsp>()
        .field<&GetMyCollectionInfoRsp::collectionList>("collectionList")
        .build();
    return type;
}

const RecordType &GetBookSortTreeReq::recordType() {
    static const RecordType type = RecordTypeBuilder<GetBookSortTreeReq>("GetBookSortTreeReq")
        .extends<BaseReq>()
        .build();
    return type;
}

const RecordType &GetBookSortTreeRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<GetBookSortTreeRsp>("GetBookSortTreeRsp")
        .extends<BaseRsp>()
        .field<&GetBookSortTreeRsp::sortList>("sortList")
        .build();
    return type;
}

const RecordType &GetBookListReq::recordType() {
    static const RecordType type = RecordTypeBuilder<GetBookListReq>("GetBookListReq")
        .extends<BaseReq>()
        .field<&GetBookListReq::gradeId>("gradeId")
        .field<&GetBookListReq::sortId>("sortId")
        .field<&GetBookListReq::name>("name")
        .field<&GetBookListReq::pageIndex>("pageIndex")
        .field<&GetBookListReq::pageSize>("pageSize")
        .field<&GetBookListReq::orderbytype>("orderbytype")
        .build();
    return type;
}

const RecordType &GetBookListRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<GetBookListRsp>("GetBookListRsp")
        .extends<BaseRsp>()
        .field<&GetBookListRsp::totalCount>("totalCount")
        .field<&GetBookListRsp::bookList>("bookList")
        .build();
    return type;
}

const RecordType &GetBookDetailShowReq::recordType() {
    static const RecordType type = RecordTypeBuilder<GetBookDetailShowReq>("GetBookDetailShowReq")
        .extends<BaseReq>()
        .field<&GetBookDetailShowReq::uid>("uid")
        .field<&GetBookDetailShowReq::bookId>("bookId")
        .build();
    return type;
}

const RecordType &GetBookDetailShowRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<GetBookDetailShowRsp>("GetBookDetailShowRsp")
        .extends<BaseRsp>()
        .field<&GetBookDetailShowRsp::book>("book")
        .build();
    return type;
}

const RecordType &AddBookCollectReq::recordType() {
    static const RecordType type = RecordTypeBuilder<AddBookCollectReq>("AddBookCollectReq")
        .extends<BaseReq>()
        .field<&AddBookCollectReq::uid>("uid")
        .field<&AddBookCollectReq::bookId>("bookId")
        .build();
    return type;
}

const RecordType &DeleteBookCollectReq::recordType() {
    static const RecordType type = RecordTypeBuilder<DeleteBookCollectReq>("DeleteBookCollectReq")
        .extends<BaseReq>()
        .field<&DeleteBookCollectReq::uid>("uid")
        .field<&DeleteBookCollectReq::bookId>("bookId")
        .build();
    return type;
}

const RecordType &AddBookCollectRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<AddBookCollectRsp>("AddBookCollectRsp")
        .extends<BaseRsp>()
        .build();
    return type;
}

const RecordType &DeleteBookCollectRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<DeleteBookCollectRsp>("DeleteBookCollectRsp")
        .extends<BaseRsp>()
        .build();
    return type;
}

const RecordType &AddGoodReq::recordType() {
    static const RecordType type = RecordTypeBuilder<AddGoodReq>("AddGoodReq")
        .extends<BaseReq>()
        .field<&AddGoodReq::uid>("uid")
        .field<&AddGoodReq::bookId>("bookId")
        .build();
    return type;
}

const RecordType &CancelGoodReq::recordType() {
    static const RecordType type = RecordTypeBuilder<CancelGoodReq>("CancelGoodReq")
        .extends<BaseReq>()
        .field<&CancelGoodReq::uid>("uid")
        .field<&CancelGoodReq::bookId>("bookId")
        .build();
    return type;
}

const RecordType &AddGoodRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<AddGoodRsp>("AddGoodRsp")
        .extends<BaseRsp>()
        .field<&AddGoodRsp::goodCount>("goodCount")
        .build();
    return type;
}

const RecordType &CancelGoodRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<CancelGoodRsp>("CancelGoodRsp")
        .extends<BaseRsp>()
        .field<&CancelGoodRsp::goodCount>("goodCount")
        .build();
    return type;
}

const RecordType &GetCommentShowReq::recordType() {
    static const RecordType type = RecordTypeBuilder<GetCommentShowReq>("GetCommentShowReq")
        .extends<BaseReq>()
        .field<&GetCommentShowReq::bookId>("bookId")
        .field<&GetCommentShowReq::pageIndex>("pageIndex")
        .field<&GetCommentShowReq::pageSize>("pageSize")
        .build();
    return type;
}

const RecordType &GetCommentShowRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<GetCommentShowRsp>("GetCommentShowRsp")
        .extends<BaseRsp>()
        .field<&GetCommentShowRsp::commentList>("commentList")
        .build();
    return type;
}

const RecordType &AddCommentReq::recordType() {
    static const RecordType type = RecordTypeBuilder<AddCommentReq>("AddCommentReq")
        .extends<BaseReq>()
        .field<&AddCommentReq::uid>("uid")
        .field<&AddCommentReq::bookId>("bookId")
        .field<&AddCommentReq::comment>("comment")
        .build();
    return type;
}

const RecordType &AddCommentRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<AddCommentRsp>("AddCommentRsp")
        .extends<BaseRsp>()
        .field<&AddCommentRsp::commentCount>("commentCount")
        .build();
    return type;
}

const RecordType &DeleteCommentReq::recordType() {
    static const RecordType type = RecordTypeBuilder<DeleteCommentReq>("DeleteCommentReq")
        .extends<BaseReq>()
        .field<&DeleteCommentReq::uid>("uid")
        .field<&DeleteCommentReq::commentId>("commentId")
        .field<&DeleteCommentReq::bookId>("bookId")
        .build();
    return type;
}

const RecordType &DeleteCommentRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<DeleteCommentRsp>("DeleteCommentRsp")
        .extends<BaseRsp>()
        .field<&DeleteCommentRsp::commentCount>("commentCount")
        .build();
    return type;
}

const RecordType &GetRecommendBookListReq::recordType() {
    static const RecordType type = RecordTypeBuilder<GetRecommendBookListReq>("GetRecommendBookListReq")
        .extends<BaseReq>()
        .field<&GetRecommendBookListReq::bookId>("bookId")
        .field<&GetRecommendBookListReq::top>("top")
        .build();
    return type;
}

const RecordType &GetRecommendBookListRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<GetRecommendBookListRsp>("GetRecommendBookListRsp")
        .extends<BaseRsp>()
        .field<&GetRecommendBookListRsp::bookList>("bookList")
        .build();
    return type;
}

const RecordType &GetMyClassForTeacherReq::recordType() {
    static const RecordType type = RecordTypeBuilder<GetMyClassForTeacherReq>("GetMyClassForTeacherReq")
        .extends<BaseReq>()
        .field<&GetMyClassForTeacherReq::uid>("uid")
        .build();
    return type;
}

const RecordType &GetMyClassForTeacherRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<GetMyClassForTeacherRsp>("GetMyClassForTeacherRsp")
        .extends<BaseRsp>()
        .field<&GetMyClassForTeacherRsp::classList>("classList")
        .build();
    return type;
}

const RecordType &GetMyClassDetailReq::recordType() {
    static const RecordType type = RecordTypeBuilder<GetMyClassDetailReq>("GetMyClassDetailReq")
        .extends<BaseReq>()
        .field<&GetMyClassDetailReq::type>("type")
        .field<&GetMyClassDetailReq::classId>("classId")
        .build();
    return type;
}

const RecordType &GetMyClassDetailRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<GetMyClassDetailRsp>("GetMyClassDetailRsp")
        .extends<BaseRsp>()
        .field<&GetMyClassDetailRsp::list>("list")
        .build();
    return type;
}

const RecordType &GetStudentPersonHomeIndexReq::recordType() {
    static const RecordType type = RecordTypeBuilder<GetStudentPersonHomeIndexReq>("GetStudentPersonHomeIndexReq")
        .extends<BaseReq>()
        .field<&GetStudentPersonHomeIndexReq::uid>("uid")
        .field<&GetStudentPersonHomeIndexReq::type>("type")
        .field<&GetStudentPersonHomeIndexReq::pageSize>("pageSize")
        .field<&GetStudentPersonHomeIndexReq::pageIndex>("pageIndex")
        .build();
    return type;
}

const RecordType &GetStudentPersonHomeIndextRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<GetStudentPersonHomeIndextRsp>("GetStudentPersonHomeIndextRsp")
        .extends<BaseRsp>()
        .field<&GetStudentPersonHomeIndextRsp::user>("user")
        .field<&GetStudentPersonHomeIndextRsp::testList>("testList")
        .field<&GetStudentPersonHomeIndextRsp::bookList>("bookList")
        .build();
    return type;
}

const RecordType &GetFeelListReq::recordType() {
    static const RecordType type = RecordTypeBuilder<GetFeelListReq>("GetFeelListReq")
        .extends<BaseReq>()
        .field<&GetFeelListReq::uid>("uid")
        .field<&GetFeelListReq::feelType>("feelType")
        .build();
    return type;
}

const RecordType &GetFeelListRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<GetFeelListRsp>("GetFeelListRsp")
        .extends<BaseRsp>()
        .field<&GetFeelListRsp::feelList>("feelList")
        .build();
    return type;
}

const RecordType &GetSingleFeelReq::recordType() {
    static const RecordType type = RecordTypeBuilder<GetSingleFeelReq>("GetSingleFeelReq")
        .extends<BaseReq>()
        .field<&GetSingleFeelReq::feelId>("feelId")
        .build();
    return type;
}

const RecordType &GetSingleFeelRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<GetSingleFeelRsp>("GetSingleFeelRsp")
        .extends<BaseRsp>()
        .field<&GetSingleFeelRsp::feel>("feel")
        .build();
    return type;
}

const RecordType &UpdateFeelReq::recordType() {
    static const RecordType type = RecordTypeBuilder<UpdateFeelReq>("UpdateFeelReq")
        .extends<BaseReq>()
        .field<&UpdateFeelReq::uid>("uid")
        .field<&UpdateFeelReq::feelId>("feelId")
        .field<&UpdateFeelReq::feelType>("feelType")
        .build();
    return type;
}

const RecordType &UpdateFeelRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<UpdateFeelRsp>("UpdateFeelRsp")
        .extends<BaseRsp>()
        .build();
    return type;
}
// clang-format on
