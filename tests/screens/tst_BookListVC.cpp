#include "AppWindow.h"
#include "CataloguePath.h"
#include "NavigationBar.h"
#include "NavigationController.h"
#include "OfflineBar.h"
#include "ScreenRegistration.h"
#include "ScreenTestFixture.h"
#include "Toast.h"
#include "books/BookListVC.h"
#include "books/BookSearchVC.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QListView>
#include <QtTest>

// The book store tab and the book search against the stub service, through the real transport:
// what each action sends, the paging, the category answer and the search box on the bar.
class tst_BookListVC : public QObject {
    Q_OBJECT
    using Answer = StubHttpServer::Answer;
    // With the tabs registered the list is a tab root, as in the program: no back keys.
    ScreenTestFixture m_fixture{ScreenRegistration::registerAll};
    StubHttpServer &m_server = m_fixture.server();
    const QString List = TestCatalogue::pathOf(Operation::GetBookList);
    const QString Tree = TestCatalogue::pathOf(Operation::GetBookSortTree);
    NavigationController *m_stack = nullptr;
    BookListVC *m_list = nullptr;

    static Answer books(int count, int firstId = 1) {
        QJsonArray list;
        for (int id = firstId; id < firstId + count; ++id)
            list.append(QJsonObject{{"BookId", id}, {"BookName", "书"}, {"Flower", id % 7}});
        return Answer::json(StubAnswers::ok({{"bookList", list}}));
    }
    auto sent() const { return m_server.requestsTo(List); }
    // Waits for the n-th book list request and its answer.
    void settle(qsizetype n, BookGridRows *rows) {
        QTRY_COMPARE(sent().size(), n);
        QTRY_VERIFY(!rows->isLoading());
    }
    // The list on a stack of its own, its first page answered unless `settled` is false.
    void open(bool settled = true) {
        QVERIFY(m_fixture.show(m_stack = new NavigationController(m_list = new BookListVC)));
        m_fixture.window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_fixture.window()));
        if (settled)
            settle(1, m_list->rows());
    }
    QHash<QString, QString> formWith(const QString &changes) const {
        QHash<QString, QString> form{{"gradeId", "0"},   {"sortId", "0"},   {"name", ""},
                                     {"pageIndex", "1"}, {"pageSize", "9"}, {"orderbytype", "2"}};
        for (const QString &pair : changes.split(' ', Qt::SkipEmptyParts))
            form[pair.section('=', 0, 0)] = pair.section('=', 1);
        return form;
    }
    // Chooses `row` of `column` through the bar, as a touch would.
    void choose(int column, int row) {
        ChartDropDownMenu *menu = m_list->menu();
        menu->menuTapped(QPoint(column * menu->width() / 3 + 5, 20));
        menu->tableViewDidSelectRowAtIndexPath(row);
    }
    static void enter(BookSearchVC *screen, const QString &text) {
        screen->searchTextField()->setText(text);
        QTest::keyClick(screen->searchTextField(), Qt::Key_Return);
    }
    static QString toast() { return Toast::isShowing() ? Toast::currentText() : QString(); }

private slots:
    void init() {
        QVERIFY(m_fixture.reset());
        m_server.setAnswer(List, books(9));
        m_server.setAnswer(Tree, Answer::json(R"({"result":1,"sortList":[)"
                                              R"({"SortId":11,"SortName":"童话故事"},)"
                                              R"({"SortId":12,"SortName":"科普"}]})"));
    }
    void cleanup() { m_fixture.closeWindow(); }

    // Choices made one after another ("column:row ..."): the requests sent in all and the fields
    // of the last that differ from the first load's.
    void filterChoices_data() {
        QTest::addColumn<QString>("choices");
        QTest::addColumn<int>("requests");
        QTest::addColumn<QString>("changed");
        QTest::newRow("热门↑") << "1:1" << 2 << "orderbytype=1";
        QTest::newRow("热门↓ again") << "1:1 1:0" << 3 << "";
        QTest::newRow("grade 3 keeps the others")
            << "1:2 2:1 0:3" << 4 << "orderbytype=3 sortId=11 gradeId=3";
        QTest::newRow("same row sends nothing") << "1:2 1:2" << 2 << "orderbytype=3";
    }
    void filterChoices() {
        QFETCH(QString, choices);
        open();
        QTRY_COMPARE(m_list->cateArray().size(), 3);
        qsizetype requests = 1;
        for (const QString &choice : choices.split(' ', Qt::SkipEmptyParts)) {
            choose(choice.section(':', 0, 0).toInt(), choice.section(':', 1).toInt());
            if (m_list->rows()->isLoading()) // a reload starts at once, or not at all
                settle(++requests, m_list->rows());
        }
        QTEST(int(requests), "requests");
        QFETCH(QString, changed);
        QCOMPARE(sent().last().form(), formWith(changed));
        QCOMPARE(m_list->menu()->column(2)->title(),
                 changed.contains("sortId") ? "童话故事" : "按分类");
    }

    // The offline bar pushes the filter bar down with the grid, an open list with it, and gives
    // the room back when it goes.
    void offlineBarAboveTheFilterBar() {
        open();
        ChartDropDownMenu *menu = m_list->menu();
        menu->menuTapped(QPoint(5, 20));
        OfflineBar::showOn(m_list, QDateTime::currentDateTime());
        QCOMPARE(menu->y(), OfflineBar::of(m_list)->geometry().bottom() + 1);
        QCOMPARE(menu->leftTableView()->y(), menu->geometry().bottom() + 1);
        QTRY_COMPARE(m_list->gridView()->y(), menu->geometry().bottom() + 1);
        OfflineBar::hideOn(m_list);
        QCOMPARE(menu->y(), 0);
        QTRY_COMPARE(m_list->gridView()->y(), BookListVC::MenuHeight);
    }

    // The categories answer late; until then the list goes out for all categories, and the
    // menu offers "all" ahead of them.
    void categoriesAnswerLate() {
        m_server.setAnswer(Tree, {.body = R"({"result":1,"sortList":[{}]})", .delayMs = 300});
        open();
        m_list->menuDidSelectRowAtIndexPath(m_list->menu(), ChartIndexPath{2, 0, 0, 1});
        QVERIFY(!m_list->rows()->isLoading());
        QTRY_COMPARE(m_list->cateArray().size(), 2);
        QCOMPARE(m_list->menu()->column(2)->title(), "按分类");
    }

    // Page 1 of nine, then a pull-up answered as the row says; then the next pull-up and F5. A
    // page that failed is asked again: the counter stays until a page arrives.
    void loadMoreAnswers_data() {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<int>("nextPage");
        QTest::newRow("empty page counts") << books(0) << 3;
        QTest::newRow("refusal keeps the page") << Answer::json(StubAnswers::refused("稍后")) << 2;
    }
    void loadMoreAnswers() {
        QFETCH(Answer, answer);
        open();
        m_server.queueAnswer(List, answer);
        for (int pull = 2; pull <= 3; ++pull) {
            m_list->rows()->footer()->beginRefreshing();
            settle(pull, m_list->rows());
            QVERIFY(!m_list->rows()->footer()->isRefreshing());
        }
        QTEST(sent().last().form().value("pageIndex").toInt(), "nextPage");
        QCOMPARE(m_list->bookListArray().size(), 18);
        m_server.setAnswer(List, books(2, 50));
        QTest::keyClick(m_list->rightBarButton(), Qt::Key_F5); // the screen's key, not the grid's
        settle(4, m_list->rows());
        QCOMPARE(sent().last().form().value("pageIndex"), "1");
        QCOMPARE(m_list->bookListArray().size(), 2);
    }

    // A filter chosen while page 1 is still on its way: the newer request is the one shown. The
    // F5 after it is answered last, so the slow answer has come (and been dropped) by then.
    void aFilterOvertakesARunningLoad() {
        Answer slow = books(9, 1), refusal = Answer::json(StubAnswers::refused("稍后"));
        slow.delayMs = 300;
        refusal.delayMs = 500;
        for (const Answer &answer : {slow, books(3, 70), refusal})
            m_server.queueAnswer(List, answer);
        open(false);
        QTRY_COMPARE(sent().size(), 1);
        choose(1, 1);
        QTRY_COMPARE(sent().size(), 2);
        QTRY_VERIFY(!m_list->rows()->isLoading());
        QTest::keyClick(m_list->gridView(), Qt::Key_F5);
        QTRY_COMPARE(toast(), "稍后");
        QCOMPARE(m_list->bookListArray().first().BookId, 70);
    }

    // An empty field sends nothing. A search sends the field as typed with fixed filters, whatever
    // the list has chosen; a pull-up with the field emptied sends nothing and keeps the counter.

    void search() {
        open();
        choose(1, 7);
        settle(2, m_list->rows());
        m_list->rightBarButtonItemPressed();
        auto *screen = qobject_cast<BookSearchVC *>(m_stack->topViewController());
        enter(screen, "");
        QCOMPARE(toast(), BookSearchVC::EmptyQueryText);
        enter(screen, "  王 ");
        settle(3, screen->rows());
        QHash<QString, QString> expected = formWith("orderbytype=1");
        expected["name"] = "  王 ";
        QCOMPARE(sent().last().form(), expected);
        // Names past the service's 50 characters never leave the field, nor half an emoji.
        screen->searchTextField()->setText(QString(60, u'书'));
        QCOMPARE(screen->searchTextField()->text(), QString(50, u'书'));
        screen->searchTextField()->setText(QString(49, u'书') + QStringLiteral("😀"));
        QCOMPARE(screen->searchTextField()->text(), QString(49, u'书'));
        screen->searchTextField()->clear();
        screen->rows()->footer()->beginRefreshing();
        QVERIFY(!screen->rows()->footer()->isRefreshing());
        QCOMPARE(screen->pageIndex(), 1);
    }

    // Esc closes an open filter list. The search box lies on the bar only while the search is in
    // front: what covers it hides it, and the keys open the search, find the box and go back.
    void searchBoxAndKeys() {
        open();
        m_list->menu()->menuTapped(QPoint(5, 20));
        QTest::keyClick(m_list->menu()->leftTableView(), Qt::Key_Escape);
        QVERIFY(!m_list->menu()->isShow());
        QTest::keyClick(m_list->gridView(), Qt::Key_F, Qt::ControlModifier);
        auto *screen = qobject_cast<BookSearchVC *>(m_stack->topViewController());
        QVERIFY(screen);
        screen->searchTextField()->setText("童话");
        m_stack->finishTransitions();
        NavigationBar *bar = m_stack->navigationBar();
        QCOMPARE(screen->searchView()->parentWidget(), bar);
        screen->searchCollectionView()->setFocus();
        QTest::keyClick(screen->searchCollectionView(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(screen->searchTextField()->hasFocus());
        QTest::keyClick(screen->searchTextField(), Qt::Key_Return);
        settle(2, screen->rows());
        m_stack->pushViewController(new BasicVC, false); // a book's detail covers the box
        QVERIFY(!screen->searchView()->isVisible());
        m_stack->popViewController(false);
        QVERIFY(screen->searchView()->isVisibleTo(bar));
        QTest::keyClick(screen->searchTextField(), Qt::Key_Escape);
        m_stack->finishTransitions();
        QCOMPARE(m_stack->topViewController(), m_list);
        QTRY_VERIFY(bar->findChildren<QLineEdit *>().isEmpty());
    }
};

QTEST_MAIN(tst_BookListVC)
#include "tst_BookListVC.moc"
