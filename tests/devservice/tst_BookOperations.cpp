// The book operations of the development service, through HTTP on 127.0.0.1 against an
// in-process service on a fresh demo database.

#include "BookModule.h"
#include "KeyValueMapping.h"
#include "RequestReader.h"
#include "ServiceTestClient.h"
#include "TeacherRequestManager.h"
#include "records/ContentRecords.h"

#include <QImage>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QSet>
#include <QSqlQuery>
#include <QtTest>

#include <algorithm>
#include <functional>

namespace {

// The form exactly as the client would send the record.
template <class T> Form formOf(const T &record) {
    Form form;
    const ParameterDictionary parameters = KeyValueMapping::keyValues(record);
    for (const auto &[key, value] : parameters.entries())
        form.append({key, value.textForm()});
    return form;
}

// ASCII letters folded, then code-point order: how the service compares titles.
QList<uint> nameKey(const QString &name) {
    QString folded = name;
    for (QChar &c : folded) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    }
    return folded.toUcs4();
}

} // namespace

class tst_BookOperations : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ServiceTestClient> m_client;
    qint64 m_teacher = 0;
    qint64 m_otherTeacher = 0;
    QList<qint64> m_pupils;
    qint64 m_totalBooks = 0;
    QHash<qint64, qint64> m_popularity; // likes + comments by book id

    QJsonObject post(Operation operation, const Form &form) {
        return m_client->post(pathOf(operation), form);
    }

    template <class Rsp, class Req> Rsp call(Operation operation, const Req &request) {
        const QJsonObject answer = post(operation, formOf(request));
        if (answer.value(QStringLiteral("result")).toInteger() != 1)
            qWarning() << TeacherRequestManager::operation(operation).name << "refused:" << answer;
        return KeyValueMapping::recordFromJson<Rsp>(answer);
    }

    GetBookListRsp bookPage(qint64 order, qint64 pageIndex, qint64 pageSize, qint64 grade = 0,
                            qint64 sort = 0, const QString &name = QString()) {
        GetBookListReq request;
        request.gradeId = grade;
        request.sortId = sort;
        request.name = name;
        request.orderbytype = order;
        request.pageIndex = pageIndex;
        request.pageSize = pageSize;
        return call<GetBookListRsp>(Operation::GetBookList, request);
    }

    // Every book of a filter, page by page, with the total the first page announced.
    QList<BookListModel> allBooks(qint64 order, qint64 grade = 0, qint64 sort = 0,
                                  const QString &name = QString(), qint64 pageSize = 100,
                                  qint64 *total = nullptr) {
        QList<BookListModel> books;
        for (qint64 page = 1; page < 1000; ++page) {
            const GetBookListRsp answer = bookPage(order, page, pageSize, grade, sort, name);
            if (answer.result != 1)
                break;
            if (page == 1 && total)
                *total = answer.totalCount;
            const RecordArray<BookListModel> list =
                answer.bookList.value_or(RecordArray<BookListModel>());
            if (list.isEmpty())
                break;
            books += list;
        }
        return books;
    }

    BookDetailModel detail(qint64 uid, qint64 bookId) {
        GetBookDetailShowReq request;
        request.uid = uid;
        request.bookId = bookId;
        const GetBookDetailShowRsp answer =
            call<GetBookDetailShowRsp>(Operation::GetBookDetailShow, request);
        return answer.book.value_or(BookDetailModel());
    }

    QList<BookCommentModel> allComments(qint64 bookId) {
        QList<BookCommentModel> comments;
        for (qint64 page = 1; page < 1000; ++page) {
            GetCommentShowReq request;
            request.bookId = bookId;
            request.pageIndex = page;
            request.pageSize = 9;
            const GetCommentShowRsp answer =
                call<GetCommentShowRsp>(Operation::GetCommentShow, request);
            const auto list = answer.commentList.value_or(RecordArray<BookCommentModel>());
            if (answer.result != 1 || list.isEmpty())
                break;
            comments += list;
        }
        return comments;
    }

    qint64 likeOrCancel(Operation operation, qint64 uid, qint64 bookId) {
        AddGoodReq request;
        request.uid = uid;
        request.bookId = bookId;
        return call<AddGoodRsp>(operation, request).goodCount;
    }

    qint64 addComment(qint64 uid, qint64 bookId, const QString &text, qint64 *result = nullptr) {
        AddCommentReq request;
        request.uid = uid;
        request.bookId = bookId;
        request.comment = text;
        const AddCommentRsp answer = call<AddCommentRsp>(Operation::AddComment, request);
        if (result)
            *result = answer.result;
        return answer.commentCount;
    }

    QJsonObject deleteComment(qint64 uid, qint64 bookId, qint64 commentId) {
        DeleteCommentReq request;
        request.uid = uid;
        request.bookId = bookId;
        request.commentId = commentId;
        return post(Operation::DeleteComment, formOf(request));
    }

    QList<qint64> collection(Operation operation, const QString &key, qint64 uid) {
        const QJsonObject answer = post(operation, {{QStringLiteral("uid"), QString::number(uid)}});
        QList<qint64> ids;
        for (const QJsonValue &entry : answer.value(key).toArray())
            ids.append(entry.toObject().value(QStringLiteral("BookId")).toInteger());
        return ids;
    }

    bool collect(Operation operation, qint64 uid, qint64 bookId) {
        AddBookCollectReq request;
        request.uid = uid;
        request.bookId = bookId;
        return post(operation, formOf(request)).value(QStringLiteral("result")).toInteger() == 1;
    }

    QVariant sql(const QString &statement, const QVariantList &values = {}) {
        QSqlQuery query(m_client->service().context().db);
        query.prepare(statement);
        for (const QVariant &value : values)
            query.addBindValue(value);
        if (!query.exec() || !query.next())
            return {};
        return query.value(0);
    }

private slots:
    void initTestCase() {
        m_client = std::make_unique<ServiceTestClient>();
        QVERIFY2(m_client->isReady(), qPrintable(m_client->startError()));
        m_teacher = m_client->login(QStringLiteral("13800000001"), QStringLiteral("123456"));
        QVERIFY(m_teacher > 0);
        m_otherTeacher = sql(QStringLiteral("SELECT id FROM users WHERE user_name = '13800000003'"))
                             .toLongLong();
        for (qint64 pupil = 10001; pupil <= 10010; ++pupil)
            m_pupils.append(pupil);
        m_totalBooks = bookPage(2, 1, 9).totalCount;
        QVERIFY2(m_totalBooks >= 300, "the demo catalogue holds at least 300 books");
    }

    void listFiltersAndPages() {
        // A book in two categories or none, a filter ignored, a page cap missing.
        const GetBookSortTreeRsp tree = KeyValueMapping::recordFromJson<GetBookSortTreeRsp>(
            post(Operation::GetBookSortTree, {}));
        QVERIFY(tree.sortList && tree.sortList->size() >= 5);
        qint64 sum = 0;
        for (const BookSortModel &sort : *tree.sortList)
            sum += bookPage(2, 1, 9, 0, sort.SortId).totalCount;
        QCOMPARE(sum, m_totalBooks);
        const GetBookListRsp far = bookPage(2, std::numeric_limits<qint64>::max(), 100);
        QVERIFY(far.result == 1 && far.bookList && far.bookList->isEmpty());
        QCOMPARE(qint64(bookPage(2, 1, 100000).bookList->size()), RequestReader::MaximumPageSize);
        // Search finds title substrings, letters without case, '%' literally.
        for (const auto &[text, some] :
             {std::pair{QStringLiteral("的"), true}, std::pair{QStringLiteral("ABC"), true},
              std::pair{QStringLiteral("%"), false}}) {
            QSet<qint64> expected, found;
            for (const BookListModel &book : allBooks(3)) {
                if (book.BookName->toLower().contains(text.toLower()))
                    expected.insert(book.BookId);
            }
            for (const BookListModel &book : allBooks(1, 0, 0, text, 9))
                found.insert(book.BookId);
            QCOMPARE(!expected.isEmpty(), some);
            QCOMPARE(found, expected);
        }
    }

    void eachOrderIsSorted_data() {
        QTest::addColumn<qint64>("order");
        for (qint64 order = 1; order <= 8; ++order)
            QTest::addRow("order %lld keyed or directed wrong", order) << order;
    }

    // Odd codes ascend, even codes descend, ties by id in the same direction.
    void eachOrderIsSorted() {
        QFETCH(qint64, order);
        const bool ascending = order % 2 == 1;
        const QList<BookListModel> books = allBooks(order);
        QCOMPARE(qint64(books.size()), m_totalBooks);
        const auto key = [&](const BookListModel &book) -> QVariant {
            switch ((order + 1) / 2) {
            case 1: // likes and comments, the totals the detail shows
                if (!m_popularity.contains(book.BookId)) {
                    const BookDetailModel d = detail(m_teacher, book.BookId);
                    m_popularity.insert(book.BookId, d.GoodCount + d.CommentsCount);
                }
                return m_popularity.value(book.BookId);
            case 2:
                return QVariant::fromValue(nameKey(book.BookName.value_or(QString())));
            case 3:
                return sql(QStringLiteral("SELECT created_at FROM books WHERE id = ?"),
                           {book.BookId});
            default:
                return book.Flower;
            }
        };
        const auto less = [&](const QVariant &a, const QVariant &b) {
            if (order == 3 || order == 4)
                return a.value<QList<uint>>() < b.value<QList<uint>>();
            return a.toLongLong() < b.toLongLong();
        };
        int changes = 0;
        for (qsizetype i = 1; i < books.size(); ++i) {
            QVariant before = key(books.at(i - 1)), after = key(books.at(i));
            if (!ascending)
                std::swap(before, after);
            const bool tie = !less(before, after) && !less(after, before);
            const bool idsInOrder = (books.at(i - 1).BookId < books.at(i).BookId) == ascending;
            QVERIFY2(less(before, after) || (tie && idsInOrder), qPrintable(QString::number(i)));
            changes += tie ? 0 : 1;
        }
        QVERIFY(changes > 5); // a key that never changes would pass on ids alone
    }

    void likesCountOncePerUser() {
        const qint64 book = 7;
        const qint64 pupil = m_pupils.at(0);
        likeOrCancel(Operation::CancelGood, m_teacher, book);
        likeOrCancel(Operation::CancelGood, pupil, book);
        const BookDetailModel before = detail(m_teacher, book);
        QCOMPARE(before.IsGood, qint64(0));

        QCOMPARE(likeOrCancel(Operation::AddGood, m_teacher, book), before.GoodCount + 1);
        QCOMPARE(likeOrCancel(Operation::AddGood, m_teacher, book), before.GoodCount + 1);
        QCOMPARE(detail(m_teacher, book).IsGood, 1);
        // Another reader's like is theirs: it counts, but does not mark the teacher's.
        QCOMPARE(likeOrCancel(Operation::AddGood, pupil, book), before.GoodCount + 2);
        QCOMPARE(detail(m_otherTeacher, book).IsGood, 0);

        QCOMPARE(likeOrCancel(Operation::CancelGood, m_teacher, book), before.GoodCount + 1);
        QCOMPARE(detail(m_teacher, book).IsGood, 0);
        QCOMPARE(likeOrCancel(Operation::CancelGood, pupil, book), before.GoodCount);
    }

    void collectingShowsInDetailAndBothLists() {
        const QList<qint64> initial =
            collection(Operation::GetTeacherCollections, QStringLiteral("collectlist"), m_teacher);
        QVERIFY2(!initial.isEmpty(), "the demo teacher starts with a few collected books");

        qint64 first = 0;
        qint64 second = 0;
        for (qint64 id = 1; id <= m_totalBooks && !second; ++id) {
            if (initial.contains(id))
                continue;
            (first ? second : first) = id;
        }
        QVERIFY(collect(Operation::AddBookCollect, m_teacher, first));
        QVERIFY(collect(Operation::AddBookCollect, m_teacher, second));
        QVERIFY(collect(Operation::AddBookCollect, m_teacher,
                        first)); // again: no duplicate, same place
        QCOMPARE(detail(m_teacher, first).IsCollect, 1);
        QCOMPARE(detail(m_otherTeacher, first).IsCollect, 0);
        const QList<qint64> after =
            collection(Operation::GetTeacherCollections, QStringLiteral("collectlist"), m_teacher);
        QCOMPARE(after, QList<qint64>({second, first}) + initial);
        QCOMPARE(
            collection(Operation::GetMyCollectionInfo, QStringLiteral("collectionList"), m_teacher),
            after);

        QVERIFY(collect(Operation::DeleteBookCollect, m_teacher, first));
        QCOMPARE(detail(m_teacher, first).IsCollect, 0);
        QCOMPARE(
            collection(Operation::GetTeacherCollections, QStringLiteral("collectlist"), m_teacher),
            QList<qint64>({second}) + initial);
    }

    void commentsAddShowAndDeleteOwnOnly() {
        const qint64 book = 12;
        const qint64 pupil = m_pupils.at(1);
        const qint64 before = detail(m_teacher, book).CommentsCount;
        QCOMPARE(qint64(allComments(book).size()), before);

        const QString mine = QStringLiteral("推荐同学们读一读，\n读完写写感受。");
        QCOMPARE(addComment(m_teacher, book, mine), before + 1);
        const QString theirs = QStringLiteral("我也喜欢👍");
        QCOMPARE(addComment(pupil, book, theirs), before + 2);
        QCOMPARE(detail(m_teacher, book).CommentsCount, before + 2);

        // Newest first, each with its author.
        const QList<BookCommentModel> shown = allComments(book);
        QCOMPARE(qint64(shown.size()), before + 2);
        const BookCommentModel pupilComment = shown.at(0);
        const BookCommentModel teacherComment = shown.at(1);
        QCOMPARE(pupilComment.Content, theirs);
        QCOMPARE(pupilComment.UserId, pupil);
        QCOMPARE(teacherComment.Content, mine);
        QCOMPARE(teacherComment.UserId, m_teacher);

        // Someone else's comment stays, whoever asks and under whichever book.
        const QJsonObject refused = deleteComment(m_teacher, book, pupilComment.CommentId);
        QCOMPARE(resultOf(refused), 0);
        QCOMPARE(msgOf(refused), QStringLiteral("只能删除自己的评论"));
        QCOMPARE(msgOf(deleteComment(m_teacher, book + 1, teacherComment.CommentId)),
                 QStringLiteral("评论不存在"));
        QCOMPARE(detail(m_teacher, book).CommentsCount, before + 2);

        const QJsonObject deleted = deleteComment(m_teacher, book, teacherComment.CommentId);
        QCOMPARE(resultOf(deleted), 1);
        QCOMPARE(integer(deleted, "commentCount"), before + 1);

        // Exactly 140 characters is accepted.
        qint64 result = 0;
        addComment(m_teacher, book, QString(140, u'读'), &result);
        QCOMPARE(result, 1);
    }

    void commentsPageNewestFirstWithoutRepeats() {
        const qint64 book = 20;
        for (int i = 0; i < 12; ++i)
            addComment(m_pupils.at(i % m_pupils.size()), book, QStringLiteral("第%1条").arg(i));
        const QList<BookCommentModel> comments = allComments(book);
        QCOMPARE(qint64(comments.size()), detail(m_teacher, book).CommentsCount);
        QVERIFY(comments.size() > 9); // more than one page
        QSet<qint64> ids;
        for (const BookCommentModel &comment : comments)
            ids.insert(comment.CommentId);
        QCOMPARE(ids.size(), comments.size()); // no comment on two pages
        // The twelve written just now lead, the last one first.
        for (int i = 0; i < 12; ++i)
            QCOMPARE(comments.at(i).Content, QStringLiteral("第%1条").arg(11 - i));
    }

    void recommendationsAreRelatedAndExcludeTheBook() {
        const qint64 book = 25;
        const auto sortOf = [this](qint64 id) {
            return sql(QStringLiteral("SELECT sort_id FROM books WHERE id = ?"), {id}).toLongLong();
        };
        GetRecommendBookListReq request;
        request.bookId = book;
        request.top = 6;
        const GetRecommendBookListRsp answer =
            call<GetRecommendBookListRsp>(Operation::GetRecommendBookList, request);
        QCOMPARE(answer.bookList.value_or(RecordArray<BookListModel>()).size(), 6);
        QSet<qint64> ids;
        for (const BookListModel &entry : *answer.bookList) {
            QVERIFY(entry.BookId != book);
            QCOMPARE(sortOf(entry.BookId), sortOf(book));
            ids.insert(entry.BookId);
        }
        QCOMPARE(ids.size(), 6);
    }
};

QTEST_MAIN(tst_BookOperations)
#include "tst_BookOperations.moc"
