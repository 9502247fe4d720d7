#include "BookModule.h"

#include "AccountModule.h"
#include "BookDemoData.h"
#include "DemoImages.h"
#include "KeyValueMapping.h"
#include "RequestReader.h"
#include "RowRecords.h"
#include "ServiceDatabase.h"
#include "ServiceHandlers.h"
#include "TeacherRequestManager.h"
#include "records/ContentRecords.h"

#include <QRegularExpression>
#include <QSqlQuery>
#include <QVariant>

#include <limits>

namespace {

constexpr int SchemaVersion = 1;

const QString ShownTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm");
const QString FullTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

// Times are stored as milliseconds since the epoch, like every other table of the service.
qint64 storedTime(const QDateTime &time) {
    return time.toMSecsSinceEpoch();
}

enum UserType { Teacher = 1, Pupil = 2 };

int requireUser(const QSqlDatabase &db, qint64 uid) {
    const std::optional<QVariant> type = ServiceDatabase::scalar(
        db, QStringLiteral("SELECT user_type FROM users WHERE id = ?"), {uid});
    if (!type)
        RequestReader::refuse(QStringLiteral("用户不存在"));
    return type->toInt();
}

void requireBook(const QSqlDatabase &db, qint64 bookId) {
    if (!ServiceDatabase::scalar(db, QStringLiteral("SELECT 1 FROM books WHERE id = ?"), {bookId}))
        RequestReader::refuse(QStringLiteral("该书不存在"));
}

qint64 count(const QSqlDatabase &db, const QString &sql, qint64 id) {
    return ServiceDatabase::scalar(db, sql, {id}).value_or(QVariant(0)).toLongLong();
}

qint64 likeCount(const QSqlDatabase &db, qint64 bookId) {
    return count(db, QStringLiteral("SELECT COUNT(*) FROM book_likes WHERE book_id = ?"), bookId);
}

qint64 commentCount(const QSqlDatabase &db, qint64 bookId) {
    return count(db, QStringLiteral("SELECT COUNT(*) FROM book_comments WHERE book_id = ?"),
                 bookId);
}

// Popularity is what readers visibly did with a book: its likes plus its comments, the two
// totals its detail page shows.
const QString PopularityExpression =
    QStringLiteral("((SELECT COUNT(*) FROM book_likes l WHERE l.book_id = b.id) + "
                   "(SELECT COUNT(*) FROM book_comments c WHERE c.book_id = b.id))");

// The orders of the book list. Odd codes ascend, even codes descend; ties are broken by id in
// the same direction, so each descending list is exactly its ascending list reversed and pages
// never overlap.
QString orderClause(qint64 orderType) {
    if (orderType < 1 || orderType > 8)
        RequestReader::refuse(QStringLiteral("参数错误：orderbytype 只能是 1 到 8"));
    QString key;
    switch ((orderType + 1) / 2) {
    case 1:
        key = PopularityExpression;
        break;
    case 2:
        // Code-point order: for Chinese titles that is the radical-and-stroke order of the
        // character tables; Latin letters compare without case.
        key = QStringLiteral("b.name COLLATE NOCASE");
        break;
    case 3:
        key = QStringLiteral("b.created_at");
        break;
    default: // 7 and 8
        key = QStringLiteral("b.flower_count");
        break;
    }
    const QString direction = orderType % 2 == 1 ? QStringLiteral(" ASC") : QStringLiteral(" DESC");
    return key + direction + QStringLiteral(", b.id") + direction;
}

BookListModel listModel(const ServiceContext &context, const QSqlQuery &row) {
    // Rows are selected as id, name, flower_count.
    BookListModel model;
    RowRecords::read(row, model.BookId, model.BookName, model.Flower);
    model.ImageUrl = BookModule::coverUrl(context, model.BookId);
    return model;
}

RecordArray<BookListModel> listModels(const ServiceContext &context, QSqlQuery &query) {
    return RowRecords::collect(query,
                               [&](const QSqlQuery &row) { return listModel(context, row); });
}

// ---- operations ----

ServiceAnswer getBookSortTree(ServiceContext &context, const FormFields &) {
    QSqlQuery query = ServiceDatabase::run(
        context.db, QStringLiteral("SELECT id, name FROM book_categories ORDER BY position, id"));
    GetBookSortTreeRsp answer;
    answer.sortList =
        RowRecords::all<BookSortModel>(query, &BookSortModel::SortId, &BookSortModel::SortName);
    return ServiceAnswer::ok(KeyValueMapping::toJsonObject(answer));
}

ServiceAnswer getBookList(ServiceContext &context, const FormFields &fields) {
    const RequestReader reader(fields);
    const qint64 gradeId = reader.integer(QStringLiteral("gradeId"));
    const qint64 sortId = reader.integer(QStringLiteral("sortId"));
    const qint64 orderType = reader.integer(QStringLiteral("orderbytype"));
    // The book list sends an empty name and a search sends the text as typed; either way the
    // text is matched as it stands.
    const QString name = reader.textOr(QStringLiteral("name"));
    const PageRequest page = reader.page();

    if (gradeId < 0 || gradeId > 6)
        RequestReader::refuse(QStringLiteral("参数错误：gradeId 只能是 0 到 6"));
    if (sortId != 0 &&
        !ServiceDatabase::scalar(
            context.db, QStringLiteral("SELECT 1 FROM book_categories WHERE id = ?"), {sortId}))
        RequestReader::refuse(QStringLiteral("该分类不存在"));
    if (name.size() > BookModule::MaximumSearchLength)
        RequestReader::refuse(
            QStringLiteral("搜索内容不能超过%1个字").arg(BookModule::MaximumSearchLength));
    const QString order = orderClause(orderType);

    // Only the filters in use take part, so an empty name never meets SQL's NULL rules. SQLite's
    // lower() folds only ASCII letters, which is what a title search needs: Latin letters match
    // in either case, Chinese characters exactly.
    QStringList conditions;
    QVariantList filter;
    if (gradeId != 0) {
        conditions << QStringLiteral("b.grade_id = ?");
        filter << gradeId;
    }
    if (sortId != 0) {
        conditions << QStringLiteral("b.sort_id = ?");
        filter << sortId;
    }
    if (!name.isEmpty()) {
        conditions << QStringLiteral("instr(lower(b.name), lower(?)) > 0");
        filter << name;
    }
    const QString where =
        conditions.isEmpty() ? QString()
                             : QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));

    GetBookListRsp answer;
    answer.totalCount =
        ServiceDatabase::scalar(context.db, QStringLiteral("SELECT COUNT(*) FROM books b") + where,
                                filter)
            .value_or(QVariant(0))
            .toLongLong();
    QVariantList values = filter;
    values << page.size << page.offset();
    QSqlQuery query = ServiceDatabase::run(
        context.db,
        QStringLiteral("SELECT b.id, b.name, b.flower_count FROM books b") + where +
            QStringLiteral(" ORDER BY ") + order + QStringLiteral(" LIMIT ? OFFSET ?"),
        values);
    answer.bookList = listModels(context, query);
    return ServiceAnswer::ok(KeyValueMapping::toJsonObject(answer));
}

ServiceAnswer getBookDetailShow(ServiceContext &context, const FormFields &fields) {
    const RequestReader reader(fields);
    const qint64 uid = reader.integer(QStringLiteral("uid"));
    const qint64 bookId = reader.integer(QStringLiteral("bookId"));
    requireUser(context.db, uid);

    QSqlQuery query = ServiceDatabase::run(
        context.db,
        QStringLiteral("SELECT name, flower_count, isbn, press, introduce FROM books WHERE id = ?"),
        {bookId});
    if (!query.next())
        RequestReader::refuse(QStringLiteral("该书不存在"));

    BookDetailModel book;
    book.BookId = bookId;
    RowRecords::read(query, book.BookName, book.FlowerCount, book.ISBN, book.Press, book.Introduce);
    book.ImageUrl = BookModule::coverUrl(context, bookId);
    book.CommentsCount = commentCount(context.db, bookId);
    book.GoodCount = likeCount(context.db, bookId);
    book.IsCollect =
        ServiceDatabase::scalar(
            context.db,
            QStringLiteral("SELECT 1 FROM book_collections WHERE user_id = ? AND book_id = ?"),
            {uid, bookId})
            ? 1
            : 0;
    book.IsGood = ServiceDatabase::scalar(
                      context.db,
                      QStringLiteral("SELECT 1 FROM book_likes WHERE user_id = ? AND book_id = ?"),
                      {uid, bookId})
                      ? 1
                      : 0;

    GetBookDetailShowRsp answer;
    answer.book = book;
    return ServiceAnswer::ok(KeyValueMapping::toJsonObject(answer));
}

ServiceAnswer getCommentShow(ServiceContext &context, const FormFields &fields) {
    const RequestReader reader(fields);
    const qint64 bookId = reader.integer(QStringLiteral("bookId"));
    const PageRequest page = reader.page();
    requireBook(context.db, bookId);

    // Newest first; comments of the same millisecond keep the order they were written in.
    QSqlQuery query = ServiceDatabase::run(
        context.db,
        QStringLiteral("SELECT c.id, c.content, c.user_id, c.created_at, u.real_name, u.user_type "
                       "FROM book_comments c LEFT JOIN users u ON u.id = c.user_id "
                       "WHERE c.book_id = ? ORDER BY c.created_at DESC, c.id DESC "
                       "LIMIT ? OFFSET ?"),
        {bookId, page.size, page.offset()});
    GetCommentShowRsp answer;
    answer.commentList.emplace();
    while (query.next()) {
        BookCommentModel comment;
        qint64 createdMs = 0;
        RowRecords::read(query, comment.CommentId, comment.Content, comment.UserId, createdMs);
        const QDateTime created = QDateTime::fromMSecsSinceEpoch(createdMs);
        comment.CreateTimeStr = created.toString(ShownTimeFormat);
        comment.CreateTime = created.toString(FullTimeFormat);
        const int type = query.value(5).toInt();
        if (type == Teacher)
            comment.PhotoUrl = AccountModule::teacherPhotoUrl(context, comment.UserId);
        else if (type == Pupil)
            comment.PhotoUrl = AccountModule::studentPhotoUrl(context, comment.UserId);
        comment.Photo = comment.PhotoUrl;
        // An author the users table no longer knows still leaves a readable comment.
        comment.RealName =
            query.value(4).isNull() ? QStringLiteral("已注销用户") : query.value(4).toString();
        answer.commentList->append(comment);
    }
    return ServiceAnswer::ok(KeyValueMapping::toJsonObject(answer));
}

ServiceAnswer addComment(ServiceContext &context, const FormFields &fields) {
    const RequestReader reader(fields);
    const qint64 uid = reader.integer(QStringLiteral("uid"));
    const qint64 bookId = reader.integer(QStringLiteral("bookId"));
    const QString text = reader.text(QStringLiteral("comment"));
    requireUser(context.db, uid);
    requireBook(context.db, bookId);
    if (text.trimmed().isEmpty())
        RequestReader::refuse(QStringLiteral("评论内容不能为空"));
    if (text.size() > BookModule::MaximumCommentLength)
        RequestReader::refuse(
            QStringLiteral("评论内容不能超过%1个字").arg(BookModule::MaximumCommentLength));

    // Stored exactly as sent: the client has already trimmed it, and what a reader wrote is
    // theirs.
    ServiceDatabase::run(context.db,
                         QStringLiteral("INSERT INTO book_comments(book_id, user_id, content, "
                                        "created_at) VALUES (?, ?, ?, ?)"),
                         {bookId, uid, text, storedTime(context.now())});
    AddCommentRsp answer;
    answer.commentCount = commentCount(context.db, bookId);
    return ServiceAnswer::ok(KeyValueMapping::toJsonObject(answer));
}

ServiceAnswer deleteComment(ServiceContext &context, const FormFields &fields) {
    const RequestReader reader(fields);
    const qint64 uid = reader.integer(QStringLiteral("uid"));
    const qint64 commentId = reader.integer(QStringLiteral("commentId"));
    const qint64 bookId = reader.integer(QStringLiteral("bookId"));
    requireUser(context.db, uid);

    QSqlQuery query = ServiceDatabase::run(
        context.db, QStringLiteral("SELECT book_id, user_id FROM book_comments WHERE id = ?"),
        {commentId});
    // A comment asked for under another book is treated as missing rather than deleted from
    // the wrong page.
    if (!query.next() || query.value(0).toLongLong() != bookId)
        RequestReader::refuse(QStringLiteral("评论不存在"));
    if (query.value(1).toLongLong() != uid)
        RequestReader::refuse(QStringLiteral("只能删除自己的评论"));

    ServiceDatabase::run(context.db, QStringLiteral("DELETE FROM book_comments WHERE id = ?"),
                         {commentId});
    DeleteCommentRsp answer;
    answer.commentCount = commentCount(context.db, bookId);
    return ServiceAnswer::ok(KeyValueMapping::toJsonObject(answer));
}

// Likes and collections are sets: adding twice or removing what is not there changes nothing
// and still succeeds, so a repeated tap or a retried request cannot skew the totals.
struct UserAndBook {
    qint64 uid;
    qint64 bookId;
};

UserAndBook readUserAndBook(const ServiceContext &context, const FormFields &fields) {
    const RequestReader reader(fields);
    const UserAndBook ids{reader.integer(QStringLiteral("uid")),
                          reader.integer(QStringLiteral("bookId"))};
    requireUser(context.db, ids.uid);
    requireBook(context.db, ids.bookId);
    return ids;
}

ServiceAnswer addGood(ServiceContext &context, const FormFields &fields) {
    const UserAndBook ids = readUserAndBook(context, fields);
    ServiceDatabase::run(
        context.db,
        QStringLiteral(
            "INSERT OR IGNORE INTO book_likes(user_id, book_id, created_at) VALUES (?, ?, ?)"),
        {ids.uid, ids.bookId, storedTime(context.now())});
    AddGoodRsp answer;
    answer.goodCount = likeCount(context.db, ids.bookId);
    return ServiceAnswer::ok(KeyValueMapping::toJsonObject(answer));
}

ServiceAnswer cancelGood(ServiceContext &context, const FormFields &fields) {
    const UserAndBook ids = readUserAndBook(context, fields);
    ServiceDatabase::run(context.db,
                         QStringLiteral("DELETE FROM book_likes WHERE user_id = ? AND book_id = ?"),
                         {ids.uid, ids.bookId});
    CancelGoodRsp answer;
    answer.goodCount = likeCount(context.db, ids.bookId);
    return ServiceAnswer::ok(KeyValueMapping::toJsonObject(answer));
}

ServiceAnswer addBookCollect(ServiceContext &context, const FormFields &fields) {
    const UserAndBook ids = readUserAndBook(context, fields);
    // Collecting again keeps the first date, so the book keeps its place in the list.
    ServiceDatabase::run(context.db,
                         QStringLiteral("INSERT OR IGNORE INTO book_collections(user_id, book_id, "
                                        "created_at) VALUES (?, ?, ?)"),
                         {ids.uid, ids.bookId, storedTime(context.now())});
    return ServiceAnswer::ok(KeyValueMapping::toJsonObject(AddBookCollectRsp()));
}

ServiceAnswer deleteBookCollect(ServiceContext &context, const FormFields &fields) {
    const UserAndBook ids = readUserAndBook(context, fields);
    ServiceDatabase::run(
        context.db,
        QStringLiteral("DELETE FROM book_collections WHERE user_id = ? AND book_id = ?"),
        {ids.uid, ids.bookId});
    return ServiceAnswer::ok(KeyValueMapping::toJsonObject(DeleteBookCollectRsp()));
}

// The whole collection, newest first; books collected in the same millisecond keep the order in
// which they were collected (the row id grows with every insert).
RecordArray<BookListModel> collection(const ServiceContext &context, qint64 uid) {
    QSqlQuery query = ServiceDatabase::run(
        context.db,
        QStringLiteral("SELECT b.id, b.name, b.flower_count FROM book_collections k "
                       "JOIN books b ON b.id = k.book_id WHERE k.user_id = ? "
                       "ORDER BY k.created_at DESC, k.rowid DESC"),
        {uid});
    return listModels(context, query);
}

ServiceAnswer getTeacherCollections(ServiceContext &context, const FormFields &fields) {
    const qint64 uid = RequestReader(fields).integer(QStringLiteral("uid"));
    requireUser(context.db, uid);
    GetTeacherCollectionsRsp answer;
    answer.collectlist = collection(context, uid);
    return ServiceAnswer::ok(KeyValueMapping::toJsonObject(answer));
}

ServiceAnswer getMyCollectionInfo(ServiceContext &context, const FormFields &fields) {
    const qint64 uid = RequestReader(fields).integer(QStringLiteral("uid"));
    requireUser(context.db, uid);
    GetMyCollectionInfoRsp answer;
    answer.collectionList = collection(context, uid);
    return ServiceAnswer::ok(KeyValueMapping::toJsonObject(answer));
}

ServiceAnswer getRecommendBookList(ServiceContext &context, const FormFields &fields) {
    const RequestReader reader(fields);
    const qint64 bookId = reader.integer(QStringLiteral("bookId"));
    qint64 top = reader.integer(QStringLiteral("top"));
    if (top < 1)
        RequestReader::refuse(QStringLiteral("参数错误：top 至少为 1"));
    // Longer lists are cut rather than refused, like pages.
    top = qMin(top, BookModule::MaximumRecommendations);

    QSqlQuery book = ServiceDatabase::run(
        context.db, QStringLiteral("SELECT grade_id, sort_id FROM books WHERE id = ?"), {bookId});
    if (!book.next())
        RequestReader::refuse(QStringLiteral("该书不存在"));
    const qint64 grade = book.value(0).toLongLong();
    const qint64 sort = book.value(1).toLongLong();

    // Closest first: the same category and grade, then the same category at the nearest
    // grades, then other categories at the nearest grades; the popular ones first within each.
    QSqlQuery query = ServiceDatabase::run(
        context.db,
        QStringLiteral("SELECT b.id, b.name, b.flower_count FROM books b WHERE b.id <> ? "
                       "ORDER BY (b.sort_id = ?) DESC, abs(b.grade_id - ?) ASC, ") +
            PopularityExpression + QStringLiteral(" DESC, b.id ASC LIMIT ?"),
        {bookId, sort, grade, top});
    GetRecommendBookListRsp answer;
    answer.bookList = listModels(context, query);
    return ServiceAnswer::ok(KeyValueMapping::toJsonObject(answer));
}

// The books someone was tested on, as one plain list (no client screen asks for it, so it is
// shaped for tools): uid, a pupil or a teacher. A pupil gets the books of their own tests; a
// teacher those of the pupils in their approved classes. One entry per book in testList, the
// most recently tested first: BookId, BookName, ImageUrl, FlowerCount (the flowers those tests
// earned together) and AdminUserId (the uid asked about).
ServiceAnswer getMyTestInfo(ServiceContext &context, const FormFields &fields) {
    const qint64 uid = RequestReader(fields).integer(QStringLiteral("uid"));
    const int type = requireUser(context.db, uid);
    const QString testers =
        type == Teacher ? QStringLiteral("SELECT u.id FROM users u JOIN teacher_classes tc ON "
                                         "tc.class_id = u.class_id WHERE tc.teacher_id = ? AND "
                                         "tc.approved = 1 AND u.user_type = 2")
                        : QStringLiteral("SELECT ?");
    QSqlQuery query = ServiceDatabase::run(
        context.db,
        QStringLiteral("SELECT t.book_id, b.name, SUM(t.flowers), MAX(t.tested_at) AS last "
                       "FROM pupil_tests t JOIN books b ON b.id = t.book_id "
                       "WHERE t.user_id IN (") +
            testers +
            QStringLiteral(") GROUP BY t.book_id, b.name ORDER BY last DESC, t.book_id DESC"),
        {uid});
    RecordArray<StudentBookListModel> list = BookModule::pupilBooks(context, query);
    for (StudentBookListModel &model : list)
        model.AdminUserId = uid;
    // No record of the catalogue names this answer; the student home's list record gives the
    // entries their keys.
    GetStudentPersonHomeIndextRsp answer;
    answer.testList = list;
    return ServiceAnswer::ok(KeyValueMapping::toJsonObject(answer));
}

// Named <book id>.png.
std::optional<QByteArray> cover(ServiceContext &context, const QRegularExpressionMatch &name) {
    const qint64 bookId = name.captured(1).toLongLong();
    const std::optional<QVariant> title = ServiceDatabase::scalar(
        context.db, QStringLiteral("SELECT name FROM books WHERE id = ?"), {bookId});
    if (!title)
        return std::nullopt;
    return DemoImages::bookCoverPng(title->toString(), int(bookId));
}

} // namespace

const ServiceHandler ServiceHandlers::GetBookSortTree = getBookSortTree;
const ServiceHandler ServiceHandlers::GetBookList = getBookList;
const ServiceHandler ServiceHandlers::GetBookDetailShow = getBookDetailShow;
const ServiceHandler ServiceHandlers::GetCommentShow = getCommentShow;
const ServiceHandler ServiceHandlers::AddComment = addComment;
const ServiceHandler ServiceHandlers::DeleteComment = deleteComment;
const ServiceHandler ServiceHandlers::AddGood = addGood;
const ServiceHandler ServiceHandlers::CancelGood = cancelGood;
const ServiceHandler ServiceHandlers::AddBookCollect = addBookCollect;
const ServiceHandler ServiceHandlers::DeleteBookCollect = deleteBookCollect;
const ServiceHandler ServiceHandlers::GetTeacherCollections = getTeacherCollections;
const ServiceHandler ServiceHandlers::GetMyCollectionInfo = getMyCollectionInfo;
const ServiceHandler ServiceHandlers::GetRecommendBookList = getRecommendBookList;
const ServiceHandler ServiceHandlers::GetTestBookList = getMyTestInfo;

QString BookModule::name() const {
    return QStringLiteral("books");
}

QString BookModule::coverUrl(const ServiceContext &context, qint64 bookId) {
    return context.publicBaseUrl + QStringLiteral("images/cover/%1.png").arg(bookId);
}

RecordArray<StudentBookListModel> BookModule::pupilBooks(const ServiceContext &context,
                                                         QSqlQuery &rows) {
    return RowRecords::collect(rows, [&](const QSqlQuery &row) {
        StudentBookListModel model;
        RowRecords::read(row, model.BookId, model.BookName, model.FlowerCount);
        model.ImageUrl = coverUrl(context, model.BookId);
        return model;
    });
}

void BookModule::migrate(QSqlDatabase &db) {
    const int version = ServiceDatabase::schemaVersion(db, name());
    if (version > SchemaVersion)
        throw SqlError(QStringLiteral("the book tables are at version %1, newer than this "
                                      "service knows (%2)")
                           .arg(version)
                           .arg(SchemaVersion));
    if (version < 1) {
        // Comment ids are never reused (AUTOINCREMENT), so a client still showing a deleted
        // comment cannot delete a newer one by its old id.
        ServiceDatabase::script(db, QStringLiteral(R"(
            CREATE TABLE book_categories(
                id INTEGER PRIMARY KEY,
                name TEXT NOT NULL,
                position INTEGER NOT NULL DEFAULT 0);
            CREATE TABLE books(
                id INTEGER PRIMARY KEY,
                name TEXT NOT NULL UNIQUE,
                grade_id INTEGER NOT NULL,
                sort_id INTEGER NOT NULL REFERENCES book_categories(id),
                flower_count INTEGER NOT NULL DEFAULT 0,
                press TEXT NOT NULL DEFAULT '',
                isbn TEXT NOT NULL DEFAULT '',
                introduce TEXT NOT NULL DEFAULT '',
                created_at INTEGER NOT NULL);
            CREATE INDEX books_by_grade_and_sort ON books(grade_id, sort_id);
            CREATE TABLE book_collections(
                user_id INTEGER NOT NULL,
                book_id INTEGER NOT NULL REFERENCES books(id) ON DELETE CASCADE,
                created_at INTEGER NOT NULL,
                PRIMARY KEY(user_id, book_id));
            CREATE INDEX book_collections_by_book ON book_collections(book_id);
            CREATE TABLE book_likes(
                user_id INTEGER NOT NULL,
                book_id INTEGER NOT NULL REFERENCES books(id) ON DELETE CASCADE,
                created_at INTEGER NOT NULL,
                PRIMARY KEY(user_id, book_id));
            CREATE INDEX book_likes_by_book ON book_likes(book_id);
            CREATE TABLE book_comments(
                id INTEGER PRIMARY KEY AUTOINCREMENT,
                book_id INTEGER NOT NULL REFERENCES books(id) ON DELETE CASCADE,
                user_id INTEGER NOT NULL,
                content TEXT NOT NULL,
                created_at INTEGER NOT NULL);
            CREATE INDEX book_comments_by_book ON book_comments(book_id, created_at, id)
        )"));
    }
    ServiceDatabase::setSchemaVersion(db, name(), SchemaVersion);
}

void BookModule::seed(ServiceContext &context) {
    BookDemoData::seed(context.db, context.now());
}

void BookModule::registerFiles(FileRegistry &registry) {
    registry.addFiles(QStringLiteral("images/cover/"),
                      pictures(QStringLiteral("([1-9][0-9]{0,17})\\.png"), "image/png", cover));
}

std::unique_ptr<ServiceModule> makeBookModule() {
    return std::make_unique<BookModule>();
}
