#include "AlertView.h"
#include "AppWindow.h"
#include "BasicVC.h"
#include "CataloguePath.h"
#include "LoadMoreFooter.h"
#include "NavigationController.h"
#include "NotificationCenter.h"
#include "ProgressHud.h"
#include "ScreenTestFixture.h"
#include "Toast.h"
#include "books/BookCommentCell.h"
#include "books/BookCommentVC.h"
#include "books/BookDetailVC.h"
#include "books/CatZanButton.h"
#include "books/CommentTextView.h"
#include "books/REDetailCommentViewController.h"
#include "records/AccountRecords.h"

#include <QClipboard>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QtTest>

// A book's detail, its comments and the compose screen against the stub service, through the
// real transport.
class tst_BookDetailVC : public QObject {
    Q_OBJECT
    using Answer = StubHttpServer::Answer;
    ScreenTestFixture m_fixture;
    StubHttpServer &m_server = m_fixture.server();
    QPointer<NavigationController> m_stack;
    QPointer<BookDetailVC> m_detail;
    int m_collectPosts = 0;
    QObject m_observer;

    static QString path(Operation operation) { return TestCatalogue::pathOf(operation); }
    static Answer ok(QJsonObject fields = {}, int delayMs = 0) {
        return {.body = StubAnswers::ok(fields), .delayMs = delayMs};
    }
    static Answer refused() { return Answer::json(StubAnswers::refused("不行")); }
    static QJsonObject book(int isCollect, int isGood) {
        return {{"BookId", 12},       {"BookName", "纸是怎样造出来的"},
                {"FlowerCount", 44},  {"GoodCount", 10},
                {"CommentsCount", 2}, {"ISBN", "978-7"},
                {"Press", "少儿社"},  {"IsCollect", isCollect},
                {"IsGood", isGood},   {"Introduce", "简介"}};
    }
    // Comments with ids from `firstId`; the first is written by `firstWriter`, the others by 99.
    static Answer comments(int count, int firstId = 1, qint64 firstWriter = 99) {
        QJsonArray list;
        for (int i = 0; i < count; ++i)
            list.append(QJsonObject{{"CommentId", firstId + i},
                                    {"UserId", i == 0 ? firstWriter : 99},
                                    {"RealName", "王老师"},
                                    {"Content", "好书"}});
        return ok({{"commentList", list}});
    }

    QString label(const char *name) const { return m_detail->findChild<QLabel *>(name)->text(); }
    auto requestsTo(Operation operation) const { return m_server.requestsTo(path(operation)); }
    QString lastBody(Operation operation) const {
        return QString::fromUtf8(requestsTo(operation).value(0).body);
    }

    void openDetail(const Answer &detail) {
        m_server.setAnswer(path(Operation::GetBookDetailShow), detail);
        m_stack->pushViewController(m_detail = new BookDetailVC(12), false);
        QTRY_COMPARE(requestsTo(Operation::GetBookDetailShow).size(), 1);
        m_fixture.settle();
    }
    BookCommentVC *openComments(int isGood = 0) {
        openDetail(ok({{"book", book(0, isGood)}}));
        m_detail->findChild<QPushButton *>("commentButton")->click();
        m_fixture.settle();
        return m_detail->commentVC();
    }

private slots:
    void init() {
        QVERIFY(m_fixture.reset());
        LoginRsp::shareRsp().uid = 31;
        m_collectPosts = 0;
        NotificationCenter::addObserver(&m_observer, NOTIFICATION_UPDATE_MYCOLLECT,
                                        [this] { ++m_collectPosts; });
        m_server.setAnswer(path(Operation::GetCommentShow), comments(0));
        QVERIFY(m_stack = m_fixture.showStack());
    }
    void cleanup() { m_fixture.closeWindow(); }

    // No detail, nothing to collect.
    void detailAnswer_data() {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QString>("shown");
        QTest::newRow("collected") << ok({{"book", book(1, 0)}})
                                   << "纸是怎样造出来的|44|10|2|ISBN:978-7|出版:少儿社|已收藏";
        QTest::newRow("no book in a success") << ok() << "|0|0|0|||";
    }
    void detailAnswer() {
        QFETCH(Answer, answer);
        openDetail(answer);
        QCOMPARE(lastBody(Operation::GetBookDetailShow), "bookId=12&uid=31");
        QPushButton *collect = m_detail->rightButton();
        const QStringList parts{label("bookNameLabel"),
                                label("flowerCountLabel"),
                                label("zanCountLabel"),
                                label("commentCountLabel"),
                                label("isbnLabel"),
                                label("companyLabel"),
                                collect->isEnabled() ? collect->text() : QString()};
        QTEST(parts.join('|'), "shown");
        if (collect->isEnabled())
            QCOMPARE(m_detail->findChild<QLabel *>("bookNameLabel")->font().pixelSize(), 13);
    }

    // The collection is told to reload only once the service made the change, also when the
    // teacher left the detail before the answer.
    void collect_data() {
        QTest::addColumn<int>("isCollect");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("made");
        QTest::addColumn<bool>("leave");
        QTest::newRow("add") << 0 << ok({}, 200) << true << false;
        QTest::newRow("delete") << 1 << ok({}, 200) << true << false;
        QTest::newRow("add refused") << 0 << refused() << false << false;
        QTest::newRow("delete, detail left first") << 1 << ok({}, 500) << true << true;
    }
    void collect() {
        QFETCH(int, isCollect);
        QFETCH(Answer, answer);
        QFETCH(bool, made);
        QFETCH(bool, leave);
        const Operation op = isCollect ? Operation::DeleteBookCollect : Operation::AddBookCollect;
        m_server.setAnswer(path(op), answer);
        openDetail(ok({{"book", book(isCollect, 0)}}));
        m_detail->rightButton()->click();
        QVERIFY(!m_detail->rightButton()->isEnabled());
        QCOMPARE(m_collectPosts, 0);
        if (leave)
            m_stack->popViewController(false);
        QTRY_COMPARE(requestsTo(op).size(), 1);
        m_fixture.settle();
        QCOMPARE(lastBody(op), "bookId=12&uid=31");
        QCOMPARE(m_collectPosts, int(made));
        if (leave)
            return;
        QCOMPARE(m_detail->rightButton()->text(), bool(isCollect) != made ? "已收藏" : "收藏");
        QVERIFY(m_detail->rightButton()->isEnabled());
    }

    // The header's total is the service's, never a local count; a like that did not happen
    // shows as it was.
    void like_data() {
        QTest::addColumn<int>("isGood");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QString>("countAfter"); // 10: unchanged
        QTest::newRow("like") << 0 << ok({{"goodCount", 7}}) << "7";
        QTest::newRow("unlike") << 1 << ok({{"goodCount", 3}}) << "3";
        QTest::newRow("like refused") << 0 << refused() << "10";
    }
    void like() {
        QFETCH(int, isGood);
        QFETCH(Answer, answer);
        QFETCH(QString, countAfter);
        const Operation op = isGood ? Operation::CancelGood : Operation::AddGood;
        m_server.setAnswer(path(op), answer);
        CatZanButton *zan = openComments(isGood)->zanButton();
        zan->click();
        QCOMPARE(zan->isZan(), !isGood);
        QTRY_COMPARE(requestsTo(op).size(), 1);
        m_fixture.settle();
        QCOMPARE(lastBody(op), "bookId=12&uid=31");
        QCOMPARE(zan->isZan(), bool(isGood) != (countAfter != "10"));
        QCOMPARE(label("zanCountLabel"), countAfter);
    }

    void deleteOwnCommentAfterConfirming() {
        m_server.setAnswer(path(Operation::GetCommentShow), comments(2, 5, 31));
        m_server.setAnswer(path(Operation::DeleteComment), ok({{"commentCount", 4}}));
        BookCommentVC *page = openComments();
        QListView *list = page->tableView();
        // Another teacher's comment has no button to press.
        list->setCurrentIndex(page->rows()->index(1));
        QTest::keyClick(list, Qt::Key_Delete);
        QVERIFY(!AlertView::current());

        const QRect row = list->visualRect(page->rows()->index(0));
        const QPoint button = BookCommentCell::deleteRect(row, "好书").center();
        for (int choice : {0, 1}) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, button);
            QTRY_VERIFY(AlertView::current());
            AlertView::current()->clickButton(choice);
        }
        QTRY_COMPARE(requestsTo(Operation::DeleteComment).size(), 1);
        m_fixture.settle();
        QCOMPARE(lastBody(Operation::DeleteComment), "bookId=12&commentId=5&uid=31");
        QCOMPARE(page->commentArray().first().CommentId, 6);
        QCOMPARE(label("commentCountLabel"), "4");
        // On the service the later comments moved up a place: the pull asks page 1 again and
        // adds only the comment not shown yet.
        m_server.queueAnswer(path(Operation::GetCommentShow), comments(2, 6));
        page->rows()->footer()->beginRefreshing();
        QTRY_COMPARE(page->rows()->rowOfComment(7), 1);
        QCOMPARE(requestsTo(Operation::GetCommentShow).last().form().value("pageIndex"), "1");
    }

    // The inline field drops what it cannot take.
    void inlineCommentField() {
        QLineEdit *field = openComments()->commentTextField();
        field->setFocus();
        field->setText("书");
        field->setCursorPosition(0);
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, "好😀", {});
        QCOMPARE(field->text(), "好书");
        QCOMPARE(field->cursorPosition(), 1);
    }

    // Nine a page on a pull-up; a page that fails is asked for again by the next pull.
    void commentPaging() {
        m_server.queueAnswer(path(Operation::GetCommentShow), comments(9, 1));
        m_server.queueAnswer(path(Operation::GetCommentShow), comments(9, 10));
        m_server.queueAnswer(path(Operation::GetCommentShow), Answer::json("{}", 500));
        m_server.queueAnswer(path(Operation::GetCommentShow), comments(2, 19));
        BookCommentVC *page = openComments();
        for (int pull = 1; pull <= 3; ++pull) {
            page->rows()->footer()->beginRefreshing();
            QTRY_COMPARE(requestsTo(Operation::GetCommentShow).size(), pull + 1);
            QTRY_VERIFY(!page->rows()->isLoading());
        }
        QStringList asked;
        for (const auto &request : requestsTo(Operation::GetCommentShow))
            asked << request.form().value("pageIndex") + "/" + request.form().value("pageSize");
        QCOMPARE(asked, QStringList({"1/9", "2/9", "3/9", "3/9"}));
        QCOMPARE(page->rows()->count(), 20);
    }

    // The composer's rules, all through the screen: what a paste or a key press inserts, the
    // counter, and what Ctrl+Enter sends.
    void composer_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("counted"); // of 140
        QTest::addColumn<QString>("sent");
        const QString c120(120, u'字'), c139(139, u'字'), c140(140, u'字');
        QTest::newRow("paste 50 into 120")
            << c120 << QString(50, u'书') << QString() << 140 << QString(20, u'书') + c120;
        QTest::newRow("typing at the limit") << c140 << QString() << "x" << 140 << c140;
        QTest::newRow("half an emoji is not pasted") << c139 << "😀" << QString() << 139 << c139;
        QTest::newRow("spaces removed, tabs and line breaks kept")
            << " \t好书\n " << QString() << QString() << 6 << "\t好书\n";
    }
    void composer() {
        QFETCH(QString, start);
        QFETCH(QString, pasted);
        QFETCH(QString, typed);
        QFETCH(QString, sent);
        m_server.setAnswer(path(Operation::AddComment), ok());
        auto *composer = new REDetailCommentViewController;
        composer->setBookId(12);
        m_stack->pushViewController(composer, false);
        CommentTextView *text = composer->commonText();
        composer->setCommentText(start);
        // At the start, so what gets past the limit is not simply what the cut removes.
        text->moveCursor(QTextCursor::Start);
        QGuiApplication::clipboard()->setText(pasted);
        if (!pasted.isEmpty())
            text->paste();
        QTest::keyClicks(text, typed);
        QFETCH(int, counted);
        QCOMPARE(composer->numberLabel()->text(), QStringLiteral("%1/140").arg(counted));
        QTest::keyClick(text, Qt::Key_Return, Qt::ControlModifier);
        QTRY_COMPARE(requestsTo(Operation::AddComment).size(), 1);
        QCOMPARE(requestsTo(Operation::AddComment).first().form().value("comment"), sent);
        QTRY_VERIFY(m_stack->topViewController() != composer); // success closes it
    }

    // A comment posted from the inline field: the comments reload under a readable "评论成功",
    // the header takes the new total and the field empties; the same when the teacher left the
    // composer before the answer. Switching tabs reloads nothing.
    void composerFromTheCommentsPage_data() {
        QTest::addColumn<bool>("leave");
        QTest::newRow("answered on the composer") << false;
        QTest::newRow("composer left first") << true;
    }
    void composerFromTheCommentsPage() {
        QFETCH(bool, leave);
        m_server.setAnswer(path(Operation::AddComment), ok({{"commentCount", 3}}, leave ? 500 : 0));
        BookCommentVC *page = openComments();
        for (const char *tab : {"introduceButton", "commentButton"})
            m_detail->findChild<QPushButton *>(tab)->click();
        QCOMPARE(requestsTo(Operation::GetCommentShow).size(), 1);
        page->commentTextField()->setText("好书");
        QTest::keyClick(page->commentTextField(), Qt::Key_Return);
        auto *composer =
            qobject_cast<REDetailCommentViewController *>(m_stack->topViewController());
        QVERIFY(composer);
        composer->submitButton()->click();
        if (leave)
            m_stack->popViewController(false);
        QTRY_COMPARE(label("commentCountLabel"), "3");
        QTRY_COMPARE(requestsTo(Operation::GetCommentShow).size(), leave ? 3 : 2);
        QCOMPARE(requestsTo(Operation::GetCommentShow).last().form().value("pageIndex"), "1");
        QCOMPARE(page->commentTextField()->text(), QString());
        QCOMPARE(ProgressHud::isSuccess(), !leave);
    }
};

QTEST_MAIN(tst_BookDetailVC)
#include "tst_BookDetailVC.moc"
