#include "LoadMoreFooter.h"
#include "ScreenTestFixture.h"
#include "books/BookCommentRows.h"
#include "classes/ClassListCell.h"
#include "classes/ClassViewController.h"
#include "classes/RosterColumns.h"
#include "classes/StudentRows.h"
#include "common/BookCollectionCell.h"
#include "common/ChartDropDownMenu.h"
#include "common/ChartMenuRows.h"
#include "common/ClassDetailListVC.h"
#include "personal/MyCollectionVC.h"
#include "personal/SettingRows.h"
#include "personal/UserClassRows.h"
#include "reflections/FeelRows.h"
#include "reflections/GradeListVC.h"
#include "reports/ChartListVC.h"
#include "reports/ChartRows.h"

#include <QAbstractItemModelTester>
#include <QListView>
#include <QtTest>

// The cases write rows short ({2, "乙"}): a record's fields left out stay empty, which is what
// the models must cope with.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using Fill = std::function<void()>;
Q_DECLARE_METATYPE(Fill)

// Every list model under the model tester while it is filled through its own API, and every role
// of every row read.
class tst_ListModels : public QObject {
    Q_OBJECT

    static void watch(QAbstractItemModel *model) {
        new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::QtTest,
                                     model);
    }
    // A role of the model's own that answers is named, so `dump` shows it.
    static void readAll(const QAbstractItemModel &model) {
        for (int row = 0; row < model.rowCount(); ++row) {
            for (int role = 0; role < Qt::UserRole + 16;
                 role = role == 15 ? Qt::UserRole : role + 1) {
                const bool answered = model.data(model.index(row, 0), role).isValid();
                QVERIFY2(role < Qt::UserRole || !answered || model.roleNames().contains(role),
                         qPrintable(QString::number(role)));
            }
        }
    }
    template <class Screen>
    static bool wholeList(Screen *screen, QListView *(Screen::*list)() const) {
        std::unique_ptr<Screen> owner(screen);
        screen->loadViewIfNeeded();
        return RefreshHeader::of((screen->*list)()) && !LoadMoreFooter::of((screen->*list)());
    }
    // Page 1, page 2 (dropped by a single-page list), a row out, page 1 again, nothing.
    template <class Rows, class Record> static Fill paged(QList<Record> records) {
        return [records] {
            Rows rows;
            watch(&rows);
            rows.setPageRequest([](int, int) {});
            rows.setPageSize(2);
            rows.refresh();
            rows.pageArrived(1, records);
            rows.loadMore();
            rows.pageArrived(2, records);
            readAll(rows);
            rows.removeAt(1);
            if constexpr (std::is_same_v<Rows, StudentRows>)
                rows.setRanked(true);
            if constexpr (std::is_same_v<Rows, BookCommentRows>)
                rows.removeComment(records.last().CommentId);
            rows.refresh();
            rows.pageArrived(1, records.mid(1));
            readAll(rows);
            rows.clear();
        };
    }

private slots:
    void consistentWhileFilled_data() {
        QTest::addColumn<Fill>("fill");
        QTest::newRow("FeelRows") << paged<FeelRows, GradeListModel>(
            {{1, "甲", "书", "今天", "优秀", 7}, {2, "乙", "书", "昨天", "待批阅", 8}, {}});
        QTest::newRow("StudentRows") << paged<StudentRows, StudentListModel>(
            {{1, "甲", 1, "学霸", {}, {}, 3, 9}, {2, "乙"}, {3}});
        // The table's columns over the roster, sorted every way while its rows change.
        QTest::newRow("RosterColumns") << Fill([] {
            StudentRows rows;
            RosterColumns table(&rows);
            watch(&table);
            rows.setPageRequest([](int, int) {});
            rows.refresh();
            rows.pageArrived(1, {{1, "乙", 1, {}, "139"}, {2, "甲", 0, {}, {}, {}, 4}, {3}});
            for (int column = 0; column < RosterColumns::ColumnCount; ++column) {
                table.sort(column, Qt::AscendingOrder);
                table.sort(column, Qt::DescendingOrder);
                readAll(table);
            }
            rows.removeAt(0);
            rows.setRanked(true);
            rows.refresh();
            rows.pageArrived(1, {{4}});
            rows.clear();
        });
        QTest::newRow("BookGridRows")
            << paged<BookGridRows, BookGridItem>({{1, "书", {}, 4}, {2}, {3, "书", {}, 9}});
        QTest::newRow("BookCommentRows") << paged<BookCommentRows, BookCommentModel>(
            {{1, "好", 5, "今天"}, {2}, {3, "读完了", 6}});
        QTest::newRow("ChartRows") << paged<ChartRows, ChartListModel>(
            {{3, 9, "3", "一班", 120}, {}, {1, 1, "1", "二班", 40}});
        QTest::newRow("SettingRows") << Fill([] {
            SettingRows rows(SettingModel::arrayForPersonalCenter());
            watch(&rows);
            readAll(rows);
        });
        QTest::newRow("UserClassRows") << Fill([] {
            UserClassRows rows;
            watch(&rows);
            rows.setClasses({{1, "1班", 1, "一年级"}, {2, "2班"}, {1, "1班"}});
            rows.setArrowAngle(2, 90);
            rows.removeClass(1, 2);
            rows.setSelectable(false);
            readAll(rows);
            rows.setArrowAngle(5, 90);
            rows.removeClass(2);
            rows.setClasses({});
        });
        // The left list, then the right one, as their counts change under them.
        QTest::newRow("ChartMenuRows") << Fill([] {
            struct Source : ChartDropDownMenuDataSource {
                qint64 rows = 3;
                QString menuTitleForColumn(ChartDropDownMenu *, qint64) override { return "1"; }
                bool haveRightTableViewInColumn(qint64) override { return true; }
                double widthRatioOfLeftColumn(qint64) override { return 0.5; }
                qint64 menuNumberOfRowsInColumn(ChartDropDownMenu *, qint64, qint64,
                                                qint64) override {
                    return rows;
                }
                QString menuTitleForRowAtIndexPath(ChartDropDownMenu *,
                                                   const ChartIndexPath &p) override {
                    return QString::number(p.row);
                }
            } source;
            QWidget parent;
            ChartDropDownMenu menu({0, 0}, 40, &parent, 320);
            menu.setDataSource(&source);
            for (int side : {0, 1}) {
                ChartMenuRows rows(&menu, side);
                watch(&rows);
                for (qint64 count : {3, 1, -2, 2}) {
                    source.rows = count;
                    rows.reload();
                    readAll(rows);
                }
                rows.reload(true);
            }
        });
    }
    void consistentWhileFilled() {
        QFETCH(Fill, fill);
        fill();
    }

    // The lists the service sends whole: a pull-down reloads them, a pull-up asks for nothing.
    void wholeListsHaveNoFooter() {
        ScreenTestFixture fixture;
        QVERIFY(fixture.reset());
        QVERIFY(wholeList(new MyCollectionVC, &MyCollectionVC::gridView));
        QVERIFY(wholeList(new ClassDetailListVC(ClassDetailListVC::RecommendList),
                          &ClassDetailListVC::gridView));
        QVERIFY(wholeList(new GradeListVC(0), &GradeListVC::tableView));
        QVERIFY(wholeList(new ChartListVC(0), &ChartListVC::tableView));
        QVERIFY(wholeList(new ClassViewController, &ClassViewController::tableView));
    }

    // Book grids keep the phone's three columns and add one whenever a cell would pass its
    // widest; roster cards go side by side only when two fit.
    void columnsFollowTheWidth_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("books");
        QTest::addColumn<int>("cards");
        QTest::newRow("smallest phone") << 320 << 3 << 1;
        QTest::newRow("phone") << 375 << 3 << 1;
        QTest::newRow("tablet") << 768 << 5 << 2;
        QTest::newRow("desktop") << 1280 << 8 << 3;
        QTest::newRow("nothing") << 0 << 3 << 1;
    }
    void columnsFollowTheWidth() {
        QFETCH(int, width);
        QFETCH(int, books);
        QFETCH(int, cards);
        QCOMPARE(BookCollectionCell::columnsFor(width), books);
        QCOMPARE(ClassListCell::cardColumnsFor(width), cards);
        // The cells of a row fit the width with the spacing, so the view never wraps them early.
        const QSize cell = BookCollectionCell::itemSizeFor(width);
        if (width <= 0)
            return;
        QVERIFY(books * (cell.width() + BookCollectionCell::Spacing) + BookCollectionCell::Spacing <
                width);
        // A full row sits in the middle of its grid, the odd pixel aside.
        ScreenTestFixture fixture;
        QVERIFY(fixture.reset());
        ClassDetailListVC grid(ClassDetailListVC::RecommendList);
        grid.resize(width, 600);
        grid.loadViewIfNeeded();
        grid.rows()->pageArrived(1, QList<BookGridItem>(books, BookGridItem{}));
        grid.show();
        QListView *view = grid.gridView();
        const auto placed = [view](int row) {
            return view->visualRect(view->model()->index(row, 0))
                .translated(view->viewport()->pos());
        };
        QTRY_VERIFY(placed(books - 1).width() > 0);
        QCOMPARE(placed(books - 1).top(), placed(0).top());
        const QRect inside = view->contentsRect();
        QVERIFY(qAbs((placed(0).left() - inside.left()) -
                     (inside.right() - placed(books - 1).right())) <= 1);
    }
};

QTEST_MAIN(tst_ListModels)
#include "tst_ListModels.moc"
