#include "common/ChartDropDownMenu.h"

#include <QListView>
#include <QtTest>

// The filter bar against a recording owner: what it asks, what it tells, and where it ends up.
class Owner : public ChartDropDownMenuDataSource, public ChartDropDownMenuDelegate {
public:
    int columns = 2;
    qint64 rows = 5;
    qint64 current = 2;
    qint64 rightColumn = -1; // its left list picks the rows of a right list
    qint64 gridColumn = -1;
    qint64 gridItems = 5;
    QStringList asked;
    QList<ChartIndexPath> chosen;

    qint64 numberOfColumnsInMenu(ChartDropDownMenu *) override {
        asked << "columns";
        return columns;
    }
    QString menuTitleForColumn(ChartDropDownMenu *, qint64 column) override {
        asked << QStringLiteral("title %1").arg(column);
        return QStringLiteral("列%1").arg(column);
    }
    bool displayByCollectionViewInColumn(qint64 column) override { return column == gridColumn; }
    bool haveRightTableViewInColumn(qint64 column) override { return column == rightColumn; }
    std::optional<qint64> currentLeftSelectedRow(qint64) override { return current; }
    double widthRatioOfLeftColumn(qint64 c) override { return c == rightColumn ? 0.25 : 1.0; }
    // The right list has as many rows as the left row's number plus two, so a right list left
    // behind by a left choice shows; the grid answers only to -1, -1.
    qint64 menuNumberOfRowsInColumn(ChartDropDownMenu *, qint64, qint64 side, qint64 l) override {
        return side == -1 ? (l == -1 ? gridItems : 0) : side == 1 ? l + 2 : rows;
    }
    QString menuTitleForRowAtIndexPath(ChartDropDownMenu *, const ChartIndexPath &p) override {
        if (p.leftOrRight == 0)
            return QStringLiteral("%1-%2").arg(p.column).arg(p.row);
        return QStringLiteral("%1/%2/%3/%4")
            .arg(p.column)
            .arg(p.leftOrRight)
            .arg(p.leftRow)
            .arg(p.row);
    }
    void menuDidSelectRowAtIndexPath(ChartDropDownMenu *, const ChartIndexPath &p) override {
        chosen << p;
    }
};

class tst_ChartDropDownMenu : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> m_screen;
    ChartDropDownMenu *m_menu = nullptr;
    Owner m_owner;

    void build(int width, bool withDelegate = true) {
        m_screen = std::make_unique<QWidget>();
        m_screen->resize(320, 568);
        m_menu = new ChartDropDownMenu(QPoint(0, 0), 40, m_screen.get(), width);
        m_menu->setTextColor(QColor(93, 93, 93));
        m_menu->setIndicatorColor(QColor(93, 93, 93));
        m_menu->setDataSource(&m_owner);
        if (withDelegate)
            m_menu->setDelegate(&m_owner);
        m_screen->show();
    }

    void verifyClosed(int column) {
        QVERIFY(!m_menu->isShow());
        QTRY_VERIFY(m_menu->leftTableView()->isHidden());
        QTRY_VERIFY(m_menu->rightTableView()->isHidden());
        QTRY_VERIFY(m_menu->backGroundView()->isHidden());
        QCOMPARE(m_menu->dimAlpha(), 0.0);
        QTRY_COMPARE(m_menu->column(column)->angle(), 0.0);
        for (int i = 0; i < m_menu->numOfMenu(); ++i) {
            QCOMPARE(m_menu->column(i)->titleColor, QColor(93, 93, 93));
            QCOMPARE(m_menu->column(i)->backgroundColor, ChartDropDownMenu::RestingColor);
        }
    }

    void clickRow(QListView *view, int row) {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(row, 0)).center());
    }
    // Keys go where the focus is, as a person's would.
    void press(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }

private slots:
    void init() { m_owner = Owner(); }

    void buildsOneColumnPerAnswerWithItsTitle() {
        m_owner.columns = 3;
        build(300);
        QCOMPARE(m_owner.asked, QStringList({"columns", "title 0", "title 1", "title 2"}));
        QCOMPARE(m_menu->numOfMenu(), 3);
        QCOMPARE(m_menu->column(2)->title(), QStringLiteral("列2"));
        QCOMPARE(m_menu->column(2)->geometry().left(), 200);
        QCOMPARE(m_menu->currentSelectedMenudIndex(), -1);
        // Without a width the bar spans its parent, as the book list's does.
        build(0);
        m_screen->resize(375, 568);
        QCOMPARE(m_menu->width(), 375);
        // A long title is cut to the column less 25 in its middle: in the report's 125 wide
        // columns a year's two terms still differ.
        ChartMenuColumn *first = m_menu->column(0);
        QFont font;
        font.setPixelSize(13);
        for (const QString half : {"上学期", "下学期"}) {
            first->setTitle("2026-2027学年 " + half);
            QVERIFY(first->shownTitle().startsWith("20") && first->shownTitle().endsWith(half));
            QVERIFY(QFontMetrics(font).horizontalAdvance(first->shownTitle()) <= 100);
        }
    }

    void opensTheTouchedColumn_data() {
        QTest::addColumn<int>("x");
        QTest::addColumn<qint64>("rows");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("height");
        QTest::newRow("first column, five rows") << 10 << qint64(5) << 0 << 5 * 38;
        QTest::newRow("the border opens the right-hand one") << 100 << qint64(5) << 1 << 190;
        QTest::newRow("30 rows are capped at 568-64-40-49") << 150 << qint64(30) << 1 << 415;
        QTest::newRow("no rows: an empty list, still dimmed") << 0 << qint64(0) << 0 << 0;
        QTest::newRow("Enter on the second column's title") << -1 << qint64(5) << 1 << 190;
    }

    void opensTheTouchedColumn() {
        QFETCH(int, x);
        QFETCH(qint64, rows);
        QFETCH(int, column);
        QFETCH(int, height);
        m_owner.rows = rows;
        build(200); // two thirds of the screen, as the reports use it
        if (x < 0)  // the keyboard, which Tab brought to the column's title
            QTest::keyClick(m_menu->column(column), Qt::Key_Return);
        else
            QTest::mouseClick(m_menu, Qt::LeftButton, {}, QPoint(x, 20));
        QVERIFY(m_menu->isShow());
        QCOMPARE(m_menu->currentSelectedMenudIndex(), column);
        QCOMPARE(m_menu->leftSelectedRow(), 2);
        ChartMenuColumn *c = m_menu->column(column);
        QCOMPARE(c->titleColor, ChartDropDownMenu::HighlightColor);
        QCOMPARE(c->backgroundColor, ChartDropDownMenu::OpenColor);
        QTRY_COMPARE(c->angle(), M_PI);
        QTRY_COMPARE(m_menu->dimAlpha(), 0.3);
        QTRY_COMPARE(m_menu->leftTableView()->height(), height);
        // The list spans the screen, below the bar; the dimming covers the rest.
        QCOMPARE(m_menu->leftTableView()->geometry().topLeft(), QPoint(0, 40));
        QCOMPARE(m_menu->leftTableView()->width(), 320);
        QCOMPARE(m_menu->backGroundView()->geometry(), QRect(0, 40, 320, 528));
    }

    // On a desktop window the list is a popup under the column that opened it, over an
    // undimmed screen; a click beside it still closes it.
    void desktopPopupUnderItsColumn() {
        build(900);
        m_screen->resize(1080, 700);
        m_menu->resize(900, 40);
        QTest::mouseClick(m_menu, Qt::LeftButton, {}, QPoint(450, 20)); // the middle column
        QVERIFY(m_menu->isShow());
        const ChartMenuColumn *opener = m_menu->column(1);
        QTRY_VERIFY(m_menu->leftTableView()->height() > 0);
        QCOMPARE(m_menu->leftTableView()->x(), opener->x());
        QCOMPARE(m_menu->leftTableView()->width(),
                 qMax(ChartDropDownMenu::PopupWidth, opener->width()));
        QTRY_COMPARE(m_menu->dimAlpha(), 0.0);
        QTest::mouseClick(m_menu->backGroundView(), Qt::LeftButton, {}, QPoint(5, 300));
        verifyClosed(1);
    }

    void choosingARowRetitlesClosesAndTellsTheDelegate() {
        build(200);
        QTest::mouseClick(m_menu, Qt::LeftButton, {}, QPoint(150, 20));
        QTRY_COMPARE(m_menu->leftTableView()->height(), 190);
        QListView *list = m_menu->leftTableView();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(3, 0)).center());
        QCOMPARE(m_menu->column(1)->title(), QStringLiteral("1-3"));
        QCOMPARE(m_owner.chosen,
                 QList<ChartIndexPath>{ChartIndexPath::indexPathWithCol(1, 0, 3, 3)});
        verifyClosed(1);
        // The choice of the owner, not the menu's memory, marks the row at the next opening.
        QTest::mouseClick(m_menu, Qt::LeftButton, {}, QPoint(150, 20));
        QCOMPARE(m_menu->leftSelectedRow(), 2);
    }

    void closingWays_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("the open column again") << "column";
        QTest::newRow("the dimmed area") << "dim";
        QTest::newRow("Esc in the list") << "esc";
    }

    void closingWays() {
        QFETCH(QString, how);
        build(200);
        QTest::mouseClick(m_menu, Qt::LeftButton, {}, QPoint(10, 20));
        QTRY_COMPARE(m_menu->dimAlpha(), 0.3);
        if (how == "column")
            QTest::mouseClick(m_menu, Qt::LeftButton, {}, QPoint(10, 20));
        else if (how == "dim")
            QTest::mouseClick(m_menu->backGroundView(), Qt::LeftButton, {}, QPoint(5, 300));
        else
            QTest::keyClick(m_menu->leftTableView(), Qt::Key_Escape);
        verifyClosed(0);
        QVERIFY(m_owner.chosen.isEmpty());
        QCOMPARE(m_menu->column(0)->title(), QStringLiteral("列0"));
    }

    void anotherColumnSwitchesWithoutClosing() {
        build(200);
        QTest::mouseClick(m_menu, Qt::LeftButton, {}, QPoint(10, 20));
        QTRY_COMPARE(m_menu->column(0)->angle(), M_PI);
        QTest::mouseClick(m_menu, Qt::LeftButton, {}, QPoint(150, 20));
        QVERIFY(m_menu->isShow());
        QCOMPARE(m_menu->currentSelectedMenudIndex(), 1);
        QTRY_COMPARE(m_menu->column(0)->angle(), 0.0);
        QCOMPARE(m_menu->column(0)->backgroundColor, ChartDropDownMenu::RestingColor);
        QTRY_COMPARE(m_menu->column(1)->angle(), M_PI);
    }

    void withoutADelegateAChoiceDoesNothing() {
        build(200, false);
        QTest::mouseClick(m_menu, Qt::LeftButton, {}, QPoint(10, 20));
        m_menu->tableViewDidSelectRowAtIndexPath(1);
        QVERIFY(m_menu->isShow());
        QCOMPARE(m_menu->column(0)->title(), QStringLiteral("列0"));
        // A row that is not in the list is no choice either.
        m_menu->setDelegate(&m_owner);
        m_menu->tableViewDidSelectRowAtIndexPath(5);
        QVERIFY(m_owner.chosen.isEmpty());
    }

    void twoLevelColumn_data() {
        QTest::addColumn<bool>("byKeys");
        QTest::newRow("by mouse") << false;
        QTest::newRow("by keys: Down, Enter, Right, Down, Enter") << true;
    }

    void twoLevelColumn() {
        QFETCH(bool, byKeys);
        m_owner.rightColumn = 1;
        build(200);
        QVERIFY(QTest::qWaitForWindowActive(m_screen.get()));
        QTest::mouseClick(m_menu, Qt::LeftButton, {}, QPoint(150, 20));
        QListView *left = m_menu->leftTableView(), *right = m_menu->rightTableView();
        // Side by side at the left width ratio, both the full height whatever their rows.
        QTRY_COMPARE(left->height(), 415);
        QCOMPARE(left->geometry(), QRect(0, 40, 80, 415));
        QCOMPARE(right->geometry(), QRect(80, 40, 240, 415));
        QCOMPARE(right->model()->rowCount(), 4);
        byKeys ? (press(Qt::Key_Down), press(Qt::Key_Enter)) : clickRow(left, 3);
        QVERIFY(m_menu->isShow());
        QVERIFY(m_owner.chosen.isEmpty());
        QCOMPARE(m_menu->leftSelectedRow(), 3);
        QCOMPARE(left->currentIndex().row(), 3);
        QCOMPARE(right->model()->rowCount(), 5);
        QCOMPARE(right->model()->index(4, 0).data().toString(), QStringLiteral("1/1/3/4"));
        byKeys ? (press(Qt::Key_Right), press(Qt::Key_Down), press(Qt::Key_Enter))
               : clickRow(right, 1);
        QCOMPARE(m_menu->column(1)->title(), QStringLiteral("1/1/3/1"));
        QCOMPARE(m_owner.chosen,
                 QList<ChartIndexPath>{ChartIndexPath::indexPathWithCol(1, 1, 3, 1)});
        verifyClosed(1);
        // At the next opening the right row that reads as the title is the marked one.
        m_owner.current = 3;
        QTest::mouseClick(m_menu, Qt::LeftButton, {}, QPoint(150, 20));
        QCOMPARE(right->currentIndex().row(), 1);
    }

    void gridHeight_data() {
        QTest::addColumn<qint64>("items");
        QTest::addColumn<int>("height");
        QTest::newRow("none") << qint64(0) << 0;
        QTest::newRow("an odd one takes a whole row") << qint64(3) << 76;
        QTest::newRow("ten fill five rows") << qint64(10) << 190;
        QTest::newRow("eleven stop there and scroll") << qint64(11) << 190;
    }

    void gridHeight() {
        QFETCH(qint64, items);
        QFETCH(int, height);
        m_owner.gridColumn = 1;
        m_owner.gridItems = items;
        build(200);
        QTest::mouseClick(m_menu, Qt::LeftButton, {}, QPoint(150, 20));
        QTRY_COMPARE(m_menu->collectionView()->geometry(), QRect(0, 40, 320, height));
    }

    void gridTakesOverFromListsAndBack() {
        m_owner.columns = 3;
        m_owner.rightColumn = 1;
        m_owner.gridColumn = 2;
        build(300);
        QTest::mouseClick(m_menu, Qt::LeftButton, {}, QPoint(10, 20));
        QTest::mouseClick(m_menu, Qt::LeftButton, {}, QPoint(250, 20));
        QListView *grid = m_menu->collectionView();
        QTRY_VERIFY(m_menu->leftTableView()->isHidden());
        QTRY_COMPARE(grid->height(), 114);
        QCOMPARE(grid->visualRect(grid->model()->index(1, 0)).topLeft(), QPoint(159, 0));
        clickRow(grid, 4);
        QCOMPARE(m_menu->column(2)->title(), QStringLiteral("2/-1/-1/4"));
        QCOMPARE(m_owner.chosen,
                 QList<ChartIndexPath>{ChartIndexPath::indexPathWithCol(2, -1, -1, 4)});
        verifyClosed(2);
        QTRY_VERIFY(grid->isHidden());
        // The chosen item is marked at the next opening; a list column then closes the grid.
        QTest::mouseClick(m_menu, Qt::LeftButton, {}, QPoint(250, 20));
        QCOMPARE(grid->currentIndex().row(), 4);
        QTRY_COMPARE(grid->height(), 114);
        QTest::mouseClick(m_menu, Qt::LeftButton, {}, QPoint(150, 20));
        QTRY_VERIFY(grid->isHidden());
        QTRY_COMPARE(m_menu->rightTableView()->height(), 415);
        QVERIFY(m_menu->leftTableView()->isVisible());
    }
};

QTEST_MAIN(tst_ChartDropDownMenu)
#include "tst_ChartDropDownMenu.moc"
