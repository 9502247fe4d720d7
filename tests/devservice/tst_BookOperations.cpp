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

QString pathOf(const char *operationName) {
    const ServiceOperation *operation =
        TeacherRequestManager::operation(QString::fromLatin1(operationName));
    return operation ? QString::fromLatin1(operation->path) : QString();
}

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

bool validIsbn13(const QString &isbn) {
    QString digits;
    for (const QChar c : isbn) {
        if (c.isDigit())
            digits.append(c);
        else if (c != u'-')
            return false;
    }
    if (digits.size() != 13)
        return false;
    int sum = 0;
    for (int i = 0; i < 13; ++i)
        sum += digits.at(i).digitValue() * (i % 2 == 0 ? 1 : 3);
    return sum % 10 == 0;
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

    QJsonObject post(const char *operation, const Form &form) {
        return m_client->post(pathOf(operation), form);
    }

    template <class Rsp, class Req> Rsp call(const char *operation, const Req &request) {
        const QJsonObject answer = post(operation, formOf(request));
        if (answer.value(QStringLiteral("result")).toInteger() != 1)
            qWarning() << operation << "refused:" << answer;
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
        return call<GetBookListRsp>("GetBookList", request);
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
            call<GetBookDetailShowRsp>("GetBookDetailShow", request);
        return answer.book.value_or(BookDetailModel());
    }

    QList<BookCommentModel> allComments(qint64 bookId) {
        QList<BookCommentModel> comments;
        for (qint64 page = 1; page < 1000; ++page) {
            GetCommentShowReq request;
            request.bookId = bookId;
            request.pageIndex = page;
            request.pageSize = 9;
            const GetCommentShowRsp answer = call<GetCommentShowRsp>("GetCommentShow", request);
            const auto list = answer.commentList.value_or(RecordArray<BookCommentModel>());
            if (answer.result != 1 || list.isEmpty())
                break;
            comments += list;
        }
        return comments;
    }

    qint64 likeOrCancel(const char *operation, qint64 uid, qint64 bookId) {
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
        const AddCommentRsp answer = call<AddCommentRsp>("AddComment", request);
        if (result)
            *result = answer.result;
        return answer.commentCount;
    }

    QJsonObject deleteComment(qint64 uid, qint64 bookId, qint64 commentId) {
        DeleteCommentReq request;
        request.uid = uid;
        request.bookId = bookId;
        request.commentId = commentId;
        return post("DeleteComment", formOf(request));
    }

    QList<qint64> collection(const char *operation, const QString &key, qint64 uid) {
        const QJsonObject answer = post(operation, {{QStringLiteral("uid"), QString::number(uid)}});
        QList<qint64> ids;
        for (const QJsonValue &entry : answer.value(key).toArray())
            ids.append(entry.toObject().value(QStringLiteral("BookId")).toInteger());
        return ids;
    }

    bool collect(const char *operation, qint64 uid, qint64 bookId) {
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
        QVERIFY(m_otherTeacher > 0);
        QSqlQuery pupils(m_client->service().context().db);
        QVERIFY(pupils.exec(
            QStringLiteral("SELECT id FROM users WHERE user_type = 2 ORDER BY id LIMIT 10")));
        while (pupils.next())
            m_pupils.append(pupils.value(0).toLongLong());
        QCOMPARE(m_pupils.size(), 10);
        m_totalBooks = bookPage(2, 1, 9).totalCount;
        QVERIFY2(m_totalBooks >= 300, "the demo catalogue holds at least 300 books");
    }

    void categoriesPartitionTheCatalogue() {
        const GetBookSortTreeRsp tree =
            KeyValueMapping::recordFromJson<GetBookSortTreeRsp>(post("GetBookSortTree", {}));
        QCOMPARE(tree.result, 1);
        QVERIFY(tree.sortList && tree.sortList->size() >= 5);
        QSet<qint64> ids;
        qint64 sum = 0;
        for (const BookSortModel &sort : *tree.sortList) {
            QVERIFY(sort.SortId > 0);
            QVERIFY(!ids.contains(sort.SortId));
            ids.insert(sort.SortId);
            QVERIFY(!sort.SortName.value_or(QString()).trimmed().isEmpty());
            const qint64 inSort = bookPage(2, 1, 9, 0, sort.SortId).totalCount;
            QVERIFY2(inSort >= 10, qPrintable(*sort.SortName));
            sum += inSort;
        }
        QCOMPARE(sum, m_totalBooks);
        qint64 byGrade = 0;
        for (int grade = 1; grade <= 6; ++grade) {
            const qint64 inGrade = bookPage(2, 1, 9, grade).totalCount;
            QVERIFY2(inGrade > 0, qPrintable(QString::number(grade)));
            byGrade += inGrade;
        }
        QCOMPARE(byGrade, m_totalBooks);
    }

    void pagingWalksEveryFilterWithoutGapsOrRepeats_data() {
        QTest::addColumn<qint64>("grade");
        QTest::addColumn<qint64>("sort");
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("order");
        QTest::newRow("whole catalogue") << qint64(0) << qint64(0) << QString() << qint64(2);
        QTest::newRow("grade 3") << qint64(3) << qint64(0) << QString() << qint64(5);
        QTest::newRow("one category") << qint64(0) << qint64(4) << QString() << qint64(8);
        QTest::newRow("grade and category") << qint64(2) << qint64(1) << QString() << qint64(3);
        QTest::newRow("search") << qint64(0) << qint64(0) << QStringLiteral("的") << qint64(1);
    }

    // Pages of 9, as the client asks, must add up to exactly the filtered catalogue.
    void pagingWalksEveryFilterWithoutGapsOrRepeats() {
        QFETCH(qint64, grade);
        QFETCH(qint64, sort);
        QFETCH(QString, name);
        QFETCH(qint64, order);
        qint64 total = -1;
        const QList<BookListModel> books = allBooks(order, grade, sort, name, 9, &total);
        QVERIFY(total > 9);
        QCOMPARE(qint64(books.size()), total);
        QSet<qint64> ids;
        for (const BookListModel &book : books)
            ids.insert(book.BookId);
        QCOMPARE(qint64(ids.size()), total);
        // The same set in one big page, in the same order.
        const QList<BookListModel> big = allBooks(order, grade, sort, name, 100);
        QCOMPARE(big.size(), books.size());
        for (qsizetype i = 0; i < big.size(); ++i)
            QCOMPARE(big.at(i).BookId, books.at(i).BookId);
        // The last page is partial or full, and the page after it is empty but not refused.
        const qint64 lastPage = (total + 8) / 9;
        const GetBookListRsp last = bookPage(order, lastPage, 9, grade, sort, name);
        QCOMPARE(qint64(last.bookList->size()), total - (lastPage - 1) * 9);
        const GetBookListRsp beyond = bookPage(order, lastPage + 1, 9, grade, sort, name);
        QCOMPARE(beyond.result, 1);
        QVERIFY(beyond.bookList && beyond.bookList->isEmpty());
        QCOMPARE(beyond.totalCount, total);
    }

    void pagesFarOutAreEmptyAndBigPagesAreCut() {
        const GetBookListRsp far = bookPage(2, std::numeric_limits<qint64>::max(), 100);
        QCOMPARE(far.result, 1);
        QVERIFY(far.bookList && far.bookList->isEmpty());
        const GetBookListRsp big = bookPage(2, 1, 100000);
        QCOMPARE(big.result, 1);
        QCOMPARE(qint64(big.bookList->size()), RequestReader::MaximumPageSize);
    }

    void eachOrderIsSorted_data() {
        QTest::addColumn<qint64>("order");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("ascending");
        QTest::newRow("热门↑") << qint64(1) << QStringLiteral("popularity") << true;
        QTest::newRow("热门↓") << qint64(2) << QStringLiteral("popularity") << false;
        QTest::newRow("名称↑") << qint64(3) << QStringLiteral("name") << true;
        QTest::newRow("名称↓") << qint64(4) << QStringLiteral("name") << false;
        QTest::newRow("时间↑") << qint64(5) << QStringLiteral("time") << true;
        QTest::newRow("时间↓") << qint64(6) << QStringLiteral("time") << false;
        QTest::newRow("小花↑") << qint64(7) << QStringLiteral("flowers") << true;
        QTest::newRow("小花↓") << qint64(8) << QStringLiteral("flowers") << false;
    }

    // Each order sorts by its key with ties broken by id in the same direction, and its
    // opposite code gives exactly the reversed list.
    void eachOrderIsSorted() {
        QFETCH(qint64, order);
        QFETCH(QString, key);
        QFETCH(bool, ascending);
        const QList<BookListModel> books = allBooks(order);
        QCOMPARE(qint64(books.size()), m_totalBooks);

        using Key = std::function<QVariant(const BookListModel &)>;
        Key keyOf;
        if (key == QLatin1String("popularity")) {
            // Both popularity rows run before anything likes or comments, so one sweep of the
            // details serves them.
            if (m_popularity.isEmpty()) {
                for (const BookListModel &book : books) {
                    const BookDetailModel d = detail(m_teacher, book.BookId);
                    m_popularity.insert(book.BookId, d.GoodCount + d.CommentsCount);
                }
            }
            keyOf = [&](const BookListModel &book) {
                return QVariant(m_popularity.value(book.BookId, -1));
            };
        } else if (key == QLatin1String("name")) {
            keyOf = [](const BookListModel &book) {
                return QVariant::fromValue(nameKey(book.BookName.value_or(QString())));
            };
        } else if (key == QLatin1String("time")) {
            keyOf = [&](const BookListModel &book) {
                return sql(QStringLiteral("SELECT created_at FROM books WHERE id = ?"),
                           {book.BookId});
            };
        } else {
            keyOf = [](const BookListModel &book) { return QVariant(book.Flower); };
        }
        const auto less = [&](const QVariant &a, const QVariant &b) {
            if (key == QLatin1String("name"))
                return a.value<QList<uint>>() < b.value<QList<uint>>();
            return a.toLongLong() < b.toLongLong();
        };

        QVariant previous = keyOf(books.first());
        int distinctKeys = 1;
        for (qsizetype i = 1; i < books.size(); ++i) {
            const QVariant current = keyOf(books.at(i));
            const bool before = ascending ? less(previous, current) : less(current, previous);
            const bool tie = !less(previous, current) && !less(current, previous);
            const bool idsInOrder = ascending ? books.at(i - 1).BookId < books.at(i).BookId
                                              : books.at(i - 1).BookId > books.at(i).BookId;
            QVERIFY2(before || (tie && idsInOrder),
                     qPrintable(QStringLiteral("position %1: book %2 after %3")
                                    .arg(i)
                                    .arg(books.at(i).BookId)
                                    .arg(books.at(i - 1).BookId)));
            distinctKeys += tie ? 0 : 1;
            previous = current;
        }
        // An order whose key never changes would pass the loop by ids alone.
        QVERIFY(distinctKeys > 5);

        const qint64 opposite = order % 2 == 1 ? order + 1 : order - 1;
        QList<BookListModel> reversed = allBooks(opposite);
        std::reverse(reversed.begin(), reversed.end());
        QCOMPARE(reversed.size(), books.size());
        for (qsizetype i = 0; i < books.size(); ++i)
            QCOMPARE(reversed.at(i).BookId, books.at(i).BookId);
    }

    void searchMatchesTitleSubstrings_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expectSome");
        QTest::newRow("one character") << QStringLiteral("的") << true;
        QTest::newRow("whole title") << QStringLiteral("小王子") << true;
        QTest::newRow("series") << QStringLiteral("十万个为什么") << true;
        QTest::newRow("latin, other case") << QStringLiteral("abc") << true;
        QTest::newRow("latin, mixed case") << QStringLiteral("Dna") << true;
        QTest::newRow("full-width brackets") << QStringLiteral("（青少版）") << true;
        QTest::newRow("percent is literal") << QStringLiteral("%") << false;
        QTest::newRow("underscore is literal") << QStringLiteral("_") << false;
        QTest::newRow("quote trick") << QStringLiteral("' OR '1'='1") << false;
        QTest::newRow("only a space") << QStringLiteral(" ") << false;
        QTest::newRow("no such title") << QStringLiteral("量子计算机原理") << false;
    }

    void searchMatchesTitleSubstrings() {
        QFETCH(QString, text);
        QFETCH(bool, expectSome);
        QSet<qint64> expected;
        for (const BookListModel &book : allBooks(3)) {
            if (book.BookName->toLower().contains(text.toLower()))
                expected.insert(book.BookId);
        }
        QCOMPARE(!expected.isEmpty(), expectSome);
        qint64 total = -1;
        QSet<qint64> found;
        for (const BookListModel &book : allBooks(1, 0, 0, text, 9, &total))
            found.insert(book.BookId);
        QCOMPARE(total, qint64(expected.size()));
        QCOMPARE(found, expected);
    }

    void refusals_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<Form>("form");
        QTest::addColumn<QString>("message");
        // "$T" stands for the demo teacher's uid.
        const auto list = [](const QString &grade, const QString &sort, const QString &order,
                             const QString &page, const QString &size) {
            Form form = {{QStringLiteral("name"), QString()}};
            if (!grade.isNull())
                form.append({QStringLiteral("gradeId"), grade});
            if (!sort.isNull())
                form.append({QStringLiteral("sortId"), sort});
            if (!order.isNull())
                form.append({QStringLiteral("orderbytype"), order});
            if (!page.isNull())
                form.append({QStringLiteral("pageIndex"), page});
            if (!size.isNull())
                form.append({QStringLiteral("pageSize"), size});
            return form;
        };
        const QString one = QStringLiteral("1");
        const QString zero = QStringLiteral("0");
        const QString nine = QStringLiteral("9");
        const QString none;
        QTest::newRow("list without pageIndex")
            << QStringLiteral("GetBookList") << list(zero, zero, one, none, nine)
            << QStringLiteral("缺少参数：pageIndex");
        QTest::newRow("list with a wordy page")
            << QStringLiteral("GetBookList") << list(zero, zero, one, QStringLiteral("two"), nine)
            << QStringLiteral("参数格式错误：pageIndex");
        QTest::newRow("list page 0")
            << QStringLiteral("GetBookList") << list(zero, zero, one, zero, nine)
            << QStringLiteral("参数错误：pageIndex 从 1 开始");
        QTest::newRow("list page size 0")
            << QStringLiteral("GetBookList") << list(zero, zero, one, one, zero)
            << QStringLiteral("参数错误：pageSize 至少为 1");
        QTest::newRow("list without order")
            << QStringLiteral("GetBookList") << list(zero, zero, none, one, nine)
            << QStringLiteral("缺少参数：orderbytype");
        QTest::newRow("order 0") << QStringLiteral("GetBookList")
                                 << list(zero, zero, zero, one, nine)
                                 << QStringLiteral("参数错误：orderbytype 只能是 1 到 8");
        QTest::newRow("order 9") << QStringLiteral("GetBookList")
                                 << list(zero, zero, nine, one, nine)
                                 << QStringLiteral("参数错误：orderbytype 只能是 1 到 8");
        QTest::newRow("order at the integer limit")
            << QStringLiteral("GetBookList")
            << list(zero, zero, QStringLiteral("9223372036854775807"), one, nine)
            << QStringLiteral("参数错误：orderbytype 只能是 1 到 8");
        QTest::newRow("grade 7") << QStringLiteral("GetBookList")
                                 << list(QStringLiteral("7"), zero, one, one, nine)
                                 << QStringLiteral("参数错误：gradeId 只能是 0 到 6");
        QTest::newRow("unknown category")
            << QStringLiteral("GetBookList") << list(zero, QStringLiteral("999"), one, one, nine)
            << QStringLiteral("该分类不存在");
        Form longSearch = list(zero, zero, one, one, nine);
        longSearch.first().second = QString(BookModule::MaximumSearchLength + 1, u'书');
        QTest::newRow("search text too long") << QStringLiteral("GetBookList") << longSearch
                                              << QStringLiteral("搜索内容不能超过50个字");

        const auto pair = [](const QString &uid, const QString &book) {
            Form form;
            if (!uid.isNull())
                form.append({QStringLiteral("uid"), uid});
            if (!book.isNull())
                form.append({QStringLiteral("bookId"), book});
            return form;
        };
        const QString teacher = QStringLiteral("$T");
        const QString noBook = QStringLiteral("987654");
        QTest::newRow("detail of an unknown book")
            << QStringLiteral("GetBookDetailShow") << pair(teacher, noBook)
            << QStringLiteral("该书不存在");
        QTest::newRow("detail for an unknown user")
            << QStringLiteral("GetBookDetailShow") << pair(QStringLiteral("987654"), one)
            << QStringLiteral("用户不存在");
        QTest::newRow("detail without uid") << QStringLiteral("GetBookDetailShow")
                                            << pair(none, one) << QStringLiteral("缺少参数：uid");
        QTest::newRow("detail with a full-width id")
            << QStringLiteral("GetBookDetailShow") << pair(teacher, QStringLiteral("１"))
            << QStringLiteral("参数格式错误：bookId");
        for (const char *operation :
             {"AddGood", "CancelGood", "AddBookCollect", "DeleteBookCollect"}) {
            QTest::addRow("%s on an unknown book", operation)
                << QString::fromLatin1(operation) << pair(teacher, noBook)
                << QStringLiteral("该书不存在");
            QTest::addRow("%s by an unknown user", operation)
                << QString::fromLatin1(operation) << pair(QStringLiteral("-5"), one)
                << QStringLiteral("用户不存在");
            QTest::addRow("%s without bookId", operation)
                << QString::fromLatin1(operation) << pair(teacher, none)
                << QStringLiteral("缺少参数：bookId");
        }
        QTest::newRow("collections of an unknown user")
            << QStringLiteral("GetTeacherCollections") << pair(noBook, none)
            << QStringLiteral("用户不存在");
        QTest::newRow("collection info without uid")
            << QStringLiteral("GetMyCollectionInfo") << pair(none, none)
            << QStringLiteral("缺少参数：uid");
        QTest::newRow("comments of an unknown book") << QStringLiteral("GetCommentShow")
                                                     << Form{{QStringLiteral("bookId"), noBook},
                                                             {QStringLiteral("pageIndex"), one},
                                                             {QStringLiteral("pageSize"), nine}}
                                                     << QStringLiteral("该书不存在");

        const auto comment = [&](const QString &text) {
            Form form = pair(teacher, one);
            form.append({QStringLiteral("comment"), text});
            return form;
        };
        QTest::newRow("empty comment")
            << QStringLiteral("AddComment") << comment(QStringLiteral(""))
            << QStringLiteral("评论内容不能为空");
        QTest::newRow("blank comment")
            << QStringLiteral("AddComment") << comment(QStringLiteral(" \n\t\r "))
            << QStringLiteral("评论内容不能为空");
        QTest::newRow("ideographic spaces")
            << QStringLiteral("AddComment") << comment(QStringLiteral("　　"))
            << QStringLiteral("评论内容不能为空");
        QTest::newRow("comment of 141")
            << QStringLiteral("AddComment") << comment(QString(141, u'好'))
            << QStringLiteral("评论内容不能超过140个字");
        QTest::newRow("comment missing") << QStringLiteral("AddComment") << pair(teacher, one)
                                         << QStringLiteral("缺少参数：comment");
        QTest::newRow("comment on an unknown book")
            << QStringLiteral("AddComment")
            << Form{{QStringLiteral("uid"), teacher},
                    {QStringLiteral("bookId"), noBook},
                    {QStringLiteral("comment"), QStringLiteral("好书")}}
            << QStringLiteral("该书不存在");
        QTest::newRow("delete an unknown comment")
            << QStringLiteral("DeleteComment")
            << Form{{QStringLiteral("uid"), teacher},
                    {QStringLiteral("bookId"), one},
                    {QStringLiteral("commentId"), QStringLiteral("99999999")}}
            << QStringLiteral("评论不存在");
        QTest::newRow("recommend none")
            << QStringLiteral("GetRecommendBookList")
            << Form{{QStringLiteral("bookId"), one}, {QStringLiteral("top"), zero}}
            << QStringLiteral("参数错误：top 至少为 1");
        QTest::newRow("recommend for an unknown book")
            << QStringLiteral("GetRecommendBookList")
            << Form{{QStringLiteral("bookId"), noBook},
                    {QStringLiteral("top"), QStringLiteral("6")}}
            << QStringLiteral("该书不存在");
        QTest::newRow("tests of an unknown user")
            << QStringLiteral("GetTestBookList") << pair(noBook, none)
            << QStringLiteral("用户不存在");
    }

    // Every refusal is result 0 with a message the teacher can act on, and changes nothing.
    void refusals() {
        QFETCH(QString, operation);
        QFETCH(Form, form);
        QFETCH(QString, message);
        for (auto &[key, value] : form) {
            if (value == QLatin1String("$T"))
                value = QString::number(m_teacher);
        }
        const qint64 likesBefore = detail(m_teacher, 1).GoodCount;
        const qint64 commentsBefore = detail(m_teacher, 1).CommentsCount;
        int status = 0;
        const QJsonObject answer =
            m_client->post(pathOf(operation.toLatin1().constData()), form, &status);
        QCOMPARE(status, 200);
        QCOMPARE(answer.value(QStringLiteral("result")).toInteger(-1), 0);
        QCOMPARE(answer.value(QStringLiteral("msg")).toString(), message);
        QCOMPARE(detail(m_teacher, 1).GoodCount, likesBefore);
        QCOMPARE(detail(m_teacher, 1).CommentsCount, commentsBefore);
    }

    void detailCarriesTheBookFacts() {
        const QList<BookListModel> books = allBooks(3);
        const QRegularExpression coverPath(QStringLiteral("^images/cover/(\\d+)\\.png$"));
        for (const BookListModel &book : books) {
            const BookDetailModel d = detail(m_teacher, book.BookId);
            QCOMPARE(d.BookId, book.BookId);
            QCOMPARE(d.BookName, book.BookName);
            QCOMPARE(d.FlowerCount, book.Flower);
            QCOMPARE(d.ImageUrl, book.ImageUrl);
            QVERIFY2(validIsbn13(d.ISBN.value_or(QString())), qPrintable(*d.ISBN));
            QVERIFY(!d.Press.value_or(QString()).isEmpty());
            QVERIFY(d.Introduce.value_or(QString()).size() > 30);
            // Placeholders left in a text would show as "%1" on the detail page.
            QVERIFY2(!d.Introduce->contains(u'%'), qPrintable(*d.Introduce));
            QVERIFY(book.ImageUrl->startsWith(m_client->baseUrl()));
            const QRegularExpressionMatch match =
                coverPath.match(book.ImageUrl->mid(m_client->baseUrl().size()));
            QVERIFY(match.hasMatch());
            QCOMPARE(match.captured(1).toLongLong(), book.BookId);
        }
    }

    void likesCountOncePerUser() {
        const qint64 book = 7;
        const qint64 pupil = m_pupils.at(0);
        likeOrCancel("CancelGood", m_teacher, book);
        likeOrCancel("CancelGood", pupil, book);
        const BookDetailModel before = detail(m_teacher, book);
        const qint64 neighbourBefore = detail(m_teacher, book + 1).GoodCount;
        QCOMPARE(before.IsGood, qint64(0));

        QCOMPARE(likeOrCancel("AddGood", m_teacher, book), before.GoodCount + 1);
        QCOMPARE(likeOrCancel("AddGood", m_teacher, book), before.GoodCount + 1);
        QCOMPARE(detail(m_teacher, book).IsGood, 1);
        // Another reader's like is theirs: it counts, but does not mark the teacher's.
        QCOMPARE(likeOrCancel("AddGood", pupil, book), before.GoodCount + 2);
        QCOMPARE(detail(m_otherTeacher, book).IsGood, 0);
        QCOMPARE(detail(m_otherTeacher, book).GoodCount, before.GoodCount + 2);

        QCOMPARE(likeOrCancel("CancelGood", m_teacher, book), before.GoodCount + 1);
        QCOMPARE(likeOrCancel("CancelGood", m_teacher, book), before.GoodCount + 1);
        QCOMPARE(detail(m_teacher, book).IsGood, 0);
        QCOMPARE(likeOrCancel("CancelGood", pupil, book), before.GoodCount);
        // Likes of one book leave the others alone.
        QCOMPARE(detail(m_teacher, book + 1).GoodCount, neighbourBefore);
    }

    void collectingShowsInDetailAndBothLists() {
        const QList<qint64> initial =
            collection("GetTeacherCollections", QStringLiteral("collectlist"), m_teacher);
        QVERIFY2(!initial.isEmpty(), "the demo teacher starts with a few collected books");
        QCOMPARE(collection("GetMyCollectionInfo", QStringLiteral("collectionList"), m_teacher),
                 initial);
        // The teacher without classes has a list of their own.
        QVERIFY(collection("GetTeacherCollections", QStringLiteral("collectlist"),
                           m_otherTeacher) != initial);

        qint64 first = 0;
        qint64 second = 0;
        for (qint64 id = 1; id <= m_totalBooks && !second; ++id) {
            if (initial.contains(id))
                continue;
            (first ? second : first) = id;
        }
        QVERIFY(collect("AddBookCollect", m_teacher, first));
        QVERIFY(collect("AddBookCollect", m_teacher, second));
        QVERIFY(collect("AddBookCollect", m_teacher, first)); // again: no duplicate, same place
        QCOMPARE(detail(m_teacher, first).IsCollect, 1);
        QCOMPARE(detail(m_otherTeacher, first).IsCollect, 0);
        const QList<qint64> after =
            collection("GetTeacherCollections", QStringLiteral("collectlist"), m_teacher);
        QCOMPARE(after, QList<qint64>({second, first}) + initial);
        QCOMPARE(collection("GetMyCollectionInfo", QStringLiteral("collectionList"), m_teacher),
                 after);

        QVERIFY(collect("DeleteBookCollect", m_teacher, first));
        QVERIFY(collect("DeleteBookCollect", m_teacher, first));
        QCOMPARE(detail(m_teacher, first).IsCollect, 0);
        QCOMPARE(collection("GetTeacherCollections", QStringLiteral("collectlist"), m_teacher),
                 QList<qint64>({second}) + initial);
        QVERIFY(collect("DeleteBookCollect", m_teacher, second));
        QCOMPARE(collection("GetTeacherCollections", QStringLiteral("collectlist"), m_teacher),
                 initial);
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
        QCOMPARE(teacherComment.RealName,
                 sql(QStringLiteral("SELECT real_name FROM users WHERE id = ?"), {m_teacher})
                     .toString());
        QVERIFY(teacherComment.PhotoUrl->startsWith(m_client->baseUrl() +
                                                    QStringLiteral("images/teacher/")));
        QVERIFY(pupilComment.PhotoUrl->startsWith(m_client->baseUrl() +
                                                  QStringLiteral("images/student/")));
        QVERIFY(teacherComment.CommentId != pupilComment.CommentId);

        // Someone else's comment stays, whoever asks and under whichever book.
        QJsonObject refused = deleteComment(m_teacher, book, pupilComment.CommentId);
        QCOMPARE(refused.value(QStringLiteral("result")).toInteger(), 0);
        QCOMPARE(refused.value(QStringLiteral("msg")).toString(),
                 QStringLiteral("只能删除自己的评论"));
        refused = deleteComment(m_teacher, book + 1, teacherComment.CommentId);
        QCOMPARE(refused.value(QStringLiteral("msg")).toString(), QStringLiteral("评论不存在"));
        QCOMPARE(detail(m_teacher, book).CommentsCount, before + 2);

        const QJsonObject deleted = deleteComment(m_teacher, book, teacherComment.CommentId);
        QCOMPARE(deleted.value(QStringLiteral("result")).toInteger(), 1);
        QCOMPARE(deleted.value(QStringLiteral("commentCount")).toInteger(), before + 1);
        const QJsonObject again = deleteComment(m_teacher, book, teacherComment.CommentId);
        QCOMPARE(again.value(QStringLiteral("msg")).toString(), QStringLiteral("评论不存在"));
        for (const BookCommentModel &comment : allComments(book))
            QVERIFY(comment.CommentId != teacherComment.CommentId);

        // The pupil may delete their own.
        QCOMPARE(deleteComment(pupil, book, pupilComment.CommentId)
                     .value(QStringLiteral("commentCount"))
                     .toInteger(),
                 before);

        // Exactly 140 characters is accepted; an emoji counts as two, as the client counts.
        qint64 result = 0;
        addComment(m_teacher, book, QString(140, u'读'), &result);
        QCOMPARE(result, 1);
        QString emojis;
        for (int i = 0; i < 70; ++i)
            emojis += QStringLiteral("📚");
        addComment(m_teacher, book, emojis, &result);
        QCOMPARE(result, 1);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("refused")));
        addComment(m_teacher, book, emojis + QStringLiteral("!"), &result);
        QCOMPARE(result, 0);
    }

    void commentsPageNewestFirstWithoutRepeats() {
        const qint64 book = 20;
        for (int i = 0; i < 12; ++i)
            addComment(m_pupils.at(i % m_pupils.size()), book, QStringLiteral("第%1条").arg(i));
        const QList<BookCommentModel> comments = allComments(book);
        QCOMPARE(qint64(comments.size()), detail(m_teacher, book).CommentsCount);
        QVERIFY(comments.size() > 9); // more than one page
        QSet<qint64> ids;
        for (qsizetype i = 0; i < comments.size(); ++i) {
            ids.insert(comments.at(i).CommentId);
            if (i > 0)
                QVERIFY(comments.at(i - 1).CreateTime.value_or(QString()) >=
                        comments.at(i).CreateTime.value_or(QString()));
        }
        QCOMPARE(ids.size(), comments.size());
        // The twelve written just now lead, the last one first.
        for (int i = 0; i < 12; ++i)
            QCOMPARE(comments.at(i).Content, QStringLiteral("第%1条").arg(11 - i));
    }

    void commentTimeIsShownToTheMinute() {
        ServiceContext &context = m_client->service().context();
        const auto realNow = context.now;
        context.now = [] { return QDateTime(QDate(2036, 12, 1), QTime(9, 30, 41)); };
        addComment(m_teacher, 30, QStringLiteral("定时评论"));
        context.now = realNow;
        const BookCommentModel newest = allComments(30).first();
        QCOMPARE(newest.Content, QStringLiteral("定时评论"));
        QCOMPARE(newest.CreateTimeStr, QStringLiteral("2036-12-01 09:30"));
        QCOMPARE(newest.CreateTime, QStringLiteral("2036-12-01 09:30:41"));
    }

    void sqlLookingTextIsStoredVerbatim_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("drop table") << QStringLiteral("Robert'); DROP TABLE books;--");
        QTest::newRow("quotes and wildcards") << QStringLiteral("\"%\" _ '' \\ ; -- /* */");
        QTest::newRow("control characters") << QStringLiteral("a\u0001b\u007fc\u0000d");
        QTest::newRow("html") << QStringLiteral("<script>alert(1)</script>");
    }

    void sqlLookingTextIsStoredVerbatim() {
        QFETCH(QString, text);
        const qint64 book = 40;
        qint64 result = 0;
        addComment(m_teacher, book, text, &result);
        QCOMPARE(result, 1);
        QCOMPARE(allComments(book).first().Content, text);
        QCOMPARE(bookPage(2, 1, 9).totalCount, m_totalBooks);
    }

    void recommendationsAreRelatedAndExcludeTheBook() {
        const qint64 book = 25;
        const qint64 sort =
            sql(QStringLiteral("SELECT sort_id FROM books WHERE id = ?"), {book}).toLongLong();
        QSet<qint64> sameCategory;
        for (const BookListModel &entry : allBooks(2, 0, sort))
            sameCategory.insert(entry.BookId);

        GetRecommendBookListReq request;
        request.bookId = book;
        request.top = 6;
        const GetRecommendBookListRsp answer =
            call<GetRecommendBookListRsp>("GetRecommendBookList", request);
        QCOMPARE(answer.result, 1);
        QCOMPARE(answer.bookList->size(), 6);
        QSet<qint64> ids;
        for (const BookListModel &entry : *answer.bookList) {
            QVERIFY(entry.BookId != book);
            QVERIFY2(sameCategory.contains(entry.BookId), "a category holds more than six books");
            QVERIFY(entry.ImageUrl->endsWith(QStringLiteral("/%1.png").arg(entry.BookId)));
            ids.insert(entry.BookId);
        }
        QCOMPARE(ids.size(), 6);

        request.top = 100000;
        const GetRecommendBookListRsp many =
            call<GetRecommendBookListRsp>("GetRecommendBookList", request);
        QCOMPARE(qint64(many.bookList->size()), BookModule::MaximumRecommendations);
    }

    void testedBooksOfPupilsAndTeachers() {
        // A pupil's list holds exactly the books of their tests.
        const qint64 pupil =
            sql(QStringLiteral("SELECT user_id FROM pupil_tests GROUP BY user_id "
                               "ORDER BY COUNT(DISTINCT book_id) DESC, user_id LIMIT 1"))
                .toLongLong();
        QVERIFY(pupil > 0);
        const qint64 distinctBooks =
            sql(QStringLiteral("SELECT COUNT(DISTINCT book_id) FROM pupil_tests WHERE user_id = ?"),
                {pupil})
                .toLongLong();
        const QJsonObject answer =
            post("GetTestBookList", {{QStringLiteral("uid"), QString::number(pupil)}});
        QCOMPARE(answer.value(QStringLiteral("result")).toInteger(), 1);
        const auto list =
            KeyValueMapping::recordFromJson<GetStudentPersonHomeIndextRsp>(answer).testList;
        QVERIFY(list);
        QCOMPARE(qint64(list->size()), distinctBooks);
        QSet<qint64> ids;
        qint64 flowers = 0;
        for (const StudentBookListModel &entry : *list) {
            ids.insert(entry.BookId);
            flowers += entry.FlowerCount;
            QCOMPARE(entry.AdminUserId, pupil);
        }
        QCOMPARE(qint64(ids.size()), distinctBooks);
        QCOMPARE(
            flowers,
            sql(QStringLiteral("SELECT SUM(flowers) FROM pupil_tests WHERE user_id = ?"), {pupil})
                .toLongLong());

        // A teacher's list gathers the books of the pupils in their classes; a teacher without
        // classes has none.
        const auto teacherList = [&](qint64 uid) {
            QSet<qint64> books;
            const QJsonArray entries =
                post("GetTestBookList", {{QStringLiteral("uid"), QString::number(uid)}})
                    .value(QStringLiteral("testList"))
                    .toArray();
            for (const QJsonValue &entry : entries)
                books.insert(entry.toObject().value(QStringLiteral("BookId")).toInteger());
            return books;
        };
        const QString classPupils = QStringLiteral(
            "SELECT u.id FROM users u JOIN teacher_classes tc ON tc.class_id = u.class_id "
            "WHERE tc.teacher_id = ? AND tc.approved = 1 AND u.user_type = 2");
        const qint64 ownPupil =
            sql(QStringLiteral("SELECT user_id FROM pupil_tests WHERE user_id IN (") + classPupils +
                    QStringLiteral(") LIMIT 1"),
                {m_teacher})
                .toLongLong();
        QVERIFY(ownPupil > 0);
        const QSet<qint64> ofTeacher = teacherList(m_teacher);
        QCOMPARE(qint64(ofTeacher.size()),
                 sql(QStringLiteral("SELECT COUNT(DISTINCT book_id) FROM pupil_tests WHERE "
                                    "user_id IN (") +
                         classPupils + u')',
                     {m_teacher})
                     .toLongLong());
        QVERIFY(teacherList(ownPupil).size() > 0);
        QVERIFY(ofTeacher.contains(teacherList(ownPupil)));
        QVERIFY(teacherList(m_otherTeacher).isEmpty());
    }

    void coverImagesAreServed() {
        const BookListModel book = bookPage(2, 1, 9).bookList->first();
        const QString path = book.ImageUrl->mid(m_client->baseUrl().size());
        int status = 0;
        QByteArray type;
        const QByteArray png = m_client->get(path, &status, &type);
        QCOMPARE(status, 200);
        QVERIFY(type.startsWith("image/png"));
        const QImage image = QImage::fromData(png, "PNG");
        QVERIFY(!image.isNull());
        QCOMPARE(image.size(), QSize(300, 400));
        QCOMPARE(m_client->get(path), png);
        const QString other = QStringLiteral("images/cover/%1.png").arg(book.BookId == 1 ? 2 : 1);
        QVERIFY(m_client->get(other) != png);
    }

    void unknownCoversAre404_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("unknown id") << QStringLiteral("images/cover/987654.png");
        QTest::newRow("zero") << QStringLiteral("images/cover/0.png");
        QTest::newRow("negative") << QStringLiteral("images/cover/-1.png");
        QTest::newRow("leading zero") << QStringLiteral("images/cover/01.png");
        QTest::newRow("other type") << QStringLiteral("images/cover/1.jpg");
        QTest::newRow("no number") << QStringLiteral("images/cover/abc.png");
        QTest::newRow("double suffix") << QStringLiteral("images/cover/1.png.png");
        QTest::newRow("huge number") << QStringLiteral("images/cover/99999999999999999999999.png");
        QTest::newRow("nothing") << QStringLiteral("images/cover/");
    }

    void unknownCoversAre404() {
        QFETCH(QString, path);
        int status = 0;
        m_client->get(path, &status);
        QCOMPARE(status, 404);
    }

    // Several clients like and comment on one book at once; the totals come out exact and
    // every answer reports a distinct step of the count.
    void concurrentLikesAndCommentsCountExactly() {
        const qint64 book = 50;
        const QList<qint64> likers = m_pupils.mid(0, 6);
        const QList<qint64> cancellers = m_pupils.mid(6, 4);
        for (qint64 uid : likers)
            likeOrCancel("CancelGood", uid, book);
        for (qint64 uid : cancellers)
            likeOrCancel("AddGood", uid, book);
        const BookDetailModel before = detail(m_teacher, book);

        struct Sent {
            QString operation;
            Form form;
        };
        QList<Sent> requests;
        const int commentsEach = 3;
        for (qint64 uid : likers) {
            const Form ids = {{QStringLiteral("uid"), QString::number(uid)},
                              {QStringLiteral("bookId"), QString::number(book)}};
            requests.append({pathOf("AddGood"), ids});
            requests.append({pathOf("AddGood"), ids});
            for (int c = 0; c < commentsEach; ++c)
                requests.append({pathOf("AddComment"),
                                 ids + Form{{QStringLiteral("comment"),
                                             QStringLiteral("同时评论%1-%2").arg(uid).arg(c)}}});
        }
        for (qint64 uid : cancellers) {
            const Form ids = {{QStringLiteral("uid"), QString::number(uid)},
                              {QStringLiteral("bookId"), QString::number(book)}};
            requests.append({pathOf("CancelGood"), ids});
            requests.append({pathOf("CancelGood"), ids});
        }

        std::vector<std::unique_ptr<QNetworkAccessManager>> clients;
        for (int i = 0; i < 5; ++i)
            clients.push_back(std::make_unique<QNetworkAccessManager>());
        QList<QJsonObject> commentAnswers;
        int finished = 0;
        int failures = 0;
        for (qsizetype i = 0; i < requests.size(); ++i) {
            QNetworkRequest request(QUrl(m_client->baseUrl() + requests.at(i).operation));
            request.setHeader(QNetworkRequest::ContentTypeHeader,
                              QByteArrayLiteral("application/x-www-form-urlencoded"));
            QNetworkReply *reply =
                clients.at(i % clients.size())
                    ->post(request, ServiceTestClient::formBody(requests.at(i).form));
            const bool isComment = requests.at(i).operation == pathOf("AddComment");
            connect(reply, &QNetworkReply::finished, this, [&, reply, isComment] {
                const QJsonObject answer = QJsonDocument::fromJson(reply->readAll()).object();
                if (answer.value(QStringLiteral("result")).toInteger() != 1)
                    ++failures;
                if (isComment)
                    commentAnswers.append(answer);
                reply->deleteLater();
                ++finished;
            });
        }
        QTRY_COMPARE_WITH_TIMEOUT(finished, int(requests.size()), 30000);
        QCOMPARE(failures, 0);

        const BookDetailModel after = detail(m_teacher, book);
        QCOMPARE(after.GoodCount, before.GoodCount + likers.size() - cancellers.size());
        const qint64 added = likers.size() * commentsEach;
        QCOMPARE(after.CommentsCount, before.CommentsCount + added);
        QSet<qint64> steps;
        for (const QJsonObject &answer : commentAnswers)
            steps.insert(answer.value(QStringLiteral("commentCount")).toInteger());
        QCOMPARE(qint64(steps.size()), added);
        QCOMPARE(*std::min_element(steps.begin(), steps.end()), before.CommentsCount + 1);
        QCOMPARE(*std::max_element(steps.begin(), steps.end()), before.CommentsCount + added);
    }

    // Last: a restart on the same database keeps what was written.
    void restartKeepsLikesCommentsAndCollections() {
        const qint64 book = 60;
        likeOrCancel("AddGood", m_teacher, book);
        addComment(m_teacher, book, QStringLiteral("重启前的评论"));
        QVERIFY(collect("AddBookCollect", m_teacher, book));
        const BookDetailModel before = detail(m_teacher, book);
        const qint64 total = m_totalBooks;

        QVERIFY2(m_client->restart(), qPrintable(m_client->startError()));
        QVERIFY(!m_client->service().seededOnStart());
        const BookDetailModel after = detail(m_teacher, book);
        QCOMPARE(after.GoodCount, before.GoodCount);
        QCOMPARE(after.CommentsCount, before.CommentsCount);
        QCOMPARE(after.IsGood, 1);
        QCOMPARE(after.IsCollect, 1);
        QCOMPARE(allComments(book).first().Content, QStringLiteral("重启前的评论"));
        QCOMPARE(bookPage(2, 1, 9).totalCount, total);
    }
};

QTEST_MAIN(tst_BookOperations)
#include "tst_BookOperations.moc"
