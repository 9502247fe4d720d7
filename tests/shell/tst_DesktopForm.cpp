#include "ActionSheet.h"
#include "AppWindow.h"
#include "BasicVC.h"
#include "ListActions.h"
#include "NavigationController.h"
#include "ScreenTestFixture.h"
#include "SideBar.h"
#include "TabBarController.h"

#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QStringListModel>
#include <QVBoxLayout>
#include <QtTest>

namespace {
// A list of pupils whose rows open a detail titled by the row, beside the list where there is
// room.
class ListScreen : public BasicVC {
public:
    explicit ListScreen(const QString &title) {
        setTitle(title);
        view = new QListView(this);
        view->setObjectName(QStringLiteral("list"));
        QStringList names{"甲", "乙", "丙"};
        for (int i = 3; i < 80; ++i)
            names << QString::number(i);
        view->setModel(new QStringListModel(names, this));
        (new QVBoxLayout(this))->addWidget(view);
        ListActions::openRowsOnce(view, [this](const QModelIndex &index) {
            auto *detail = new BasicVC;
            detail->setTitle(index.data().toString());
            navigationController()->showDetail(this, detail);
        });
    }
    QListView *view;
};

QString paneTitle(const NavigationController *stack) {
    const NavigationController *pane = stack->detailPane();
    return pane && pane->topViewController() ? pane->topViewController()->title() : QString();
}
} // namespace

class tst_DesktopForm : public QObject {
    Q_OBJECT

    ScreenTestFixture m_fixture;

    AppWindow *window() const { return m_fixture.window(); }
    static void flushDeletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void setWidth(int width) {
        window()->resize(width, 800);
        QCoreApplication::processEvents();
    }
    // A stack under a list that was pushed (so it has a back button), at `width`.
    std::pair<NavigationController *, ListScreen *> showList(int width) {
        auto *stack = new NavigationController(new BasicVC);
        auto *list = new ListScreen(QStringLiteral("三年级1班"));
        if (!m_fixture.show(stack))
            return {};
        stack->pushViewController(list, false);
        setWidth(width);
        list->view->setFocus();
        return {stack, list};
    }

private slots:
    void init() { QVERIFY(m_fixture.reset()); }
    void cleanup() {
        m_fixture.closeWindow();
        flushDeletes();
    }

    // A row's detail lies beside the list, Down changes it, Esc closes it and only then pops.
    void detailBesideItsList() {
        auto [stack, list] = showList(1280);
        QVERIFY(stack);
        QTest::mouseClick(list->view->viewport(), Qt::LeftButton, {},
                          list->view->visualRect(list->view->model()->index(0, 0)).center());
        QVERIFY(stack->detailPane());
        QCOMPARE(stack->topViewController(), list);
        QCOMPARE(paneTitle(stack), QStringLiteral("甲"));
        QVERIFY(stack->detailPane()->topViewController()->isAppeared());
        QVERIFY(list->geometry().right() < stack->detailPane()->geometry().left());
        QVERIFY(stack->detailPane()->width() >= NavigationController::PaneMinWidth);

        // A row far down: the list stays where it was scrolled to.
        const QModelIndex far = list->view->model()->index(60, 0);
        list->view->scrollTo(far);
        const int scrolled = list->view->verticalScrollBar()->value();
        QVERIFY(scrolled > 0);
        QTest::mouseClick(list->view->viewport(), Qt::LeftButton, {},
                          list->view->visualRect(far).center());
        QCOMPARE(paneTitle(stack), QStringLiteral("60"));
        QCOMPARE(list->view->verticalScrollBar()->value(), scrolled);
        list->view->setCurrentIndex(list->view->model()->index(0, 0));

        QPointer<ViewController> first = stack->detailPane()->topViewController();
        list->view->setFocus();
        QTest::keyClick(list->view, Qt::Key_Down);
        QCOMPARE(paneTitle(stack), QStringLiteral("乙"));
        QCOMPARE(list->view->currentIndex().row(), 1);
        flushDeletes();
        QVERIFY(!first);

        QTest::keyClick(list->view, Qt::Key_Escape);
        QVERIFY(!stack->detailPane());
        QCOMPARE(stack->topViewController(), list);
        QTest::keyClick(list->view, Qt::Key_Escape);
        QTRY_COMPARE(stack->viewControllers().size(), 1);
    }

    // A narrow window pushes the detail; widening folds it into the pane with what was pushed
    // from it, narrowing unfolds them in order.
    void crossingTheWidthKeepsTheDetail() {
        auto [stack, list] = showList(375);
        QVERIFY(stack);
        QTest::keyClick(list->view, Qt::Key_Return);
        QTRY_COMPARE(stack->viewControllers().size(), 3);
        QVERIFY(!stack->detailPane());

        setWidth(1280);
        QVERIFY(stack->detailPane());
        QCOMPARE(stack->topViewController(), list);
        QCOMPARE(paneTitle(stack), QStringLiteral("甲"));
        auto *comment = new BasicVC;
        comment->setTitle(QStringLiteral("评论"));
        stack->detailPane()->pushViewController(comment, false);

        setWidth(375);
        QVERIFY(!stack->detailPane());
        QStringList titles;
        for (ViewController *vc : stack->viewControllers())
            titles << vc->title();
        QCOMPARE(titles, QStringList({"", "三年级1班", "甲", "评论"}));
        QVERIFY(comment->isAppeared());
    }

    // A screen pushed over the list takes the pane off with it; coming back brings it again.
    void pushOverTheListHidesThePane() {
        auto [stack, list] = showList(1280);
        QVERIFY(stack);
        QTest::keyClick(list->view, Qt::Key_Return);
        ViewController *detail = stack->detailPane()->topViewController();
        stack->pushViewController(new BasicVC, false);
        QVERIFY(stack->detailPane()->isHidden());
        QVERIFY(!detail->isAppeared());
        stack->popViewController(false);
        QTRY_VERIFY(!stack->detailPane()->isHidden());
        QVERIFY(detail->isAppeared());

        // Narrowed meanwhile: back on the list, the hidden pane's screen is pushed, not lost.
        stack->pushViewController(new BasicVC, false);
        setWidth(375);
        stack->popViewController(false);
        QTRY_COMPARE(stack->topViewController(), detail);
        QVERIFY(!stack->detailPane());
    }

    // The sections move to the sidebar and back; Ctrl+N chooses one; an entry selects its
    // section and opens its screen.
    void sideBarInPlaceOfTheTabBar() {
        auto *tabs = new TabBarController;
        QList<ViewController *> stacks;
        for (int i = 0; i < 4; ++i)
            stacks << new NavigationController(new BasicVC);
        tabs->setViewControllers(stacks);
        const QStringList titles{"首页", "书城", "报表", "我"};
        for (int i = 0; i < 4; ++i)
            tabs->setTabBarItem(i, {titles.at(i), {}, {}});
        QVERIFY(m_fixture.show(tabs));
        setWidth(1280);
        QVERIFY(tabs->sideBar()->isVisible());
        QVERIFY(tabs->tabBar()->isHidden());
        QCOMPARE(stacks.at(0)->mapTo(tabs, QPoint(0, 0)).x(), SideBar::ExpandedWidth);

        int opened = 0;
        tabs->setSectionEntries(0, QStringLiteral("classes"), {{"三年级1班", [&] { ++opened; }}});
        tabs->sideBar()->setFocus();
        QTest::keyClick(tabs->sideBar(), Qt::Key_3, Qt::ControlModifier);
        QCOMPARE(tabs->selectedIndex(), 2);
        SideBarRows *rows = tabs->sideBar()->rows();
        QCOMPARE(rows->rowCount(), 5);
        QCOMPARE(rows->index(1).data().toString(), QStringLiteral("三年级1班"));
        tabs->sideBar()->setCurrentIndex(rows->index(1));
        QTest::keyClick(tabs->sideBar(), Qt::Key_Return);
        QCOMPARE(tabs->selectedIndex(), 0);
        QCOMPARE(opened, 1);

        tabs->setSideBarCollapsed(true);
        QCOMPARE(stacks.at(0)->mapTo(tabs, QPoint(0, 0)).x(), SideBar::CollapsedWidth);
        QVERIFY(tabs->sideBar()->isRowHidden(1));
        tabs->setSideBarCollapsed(false);

        setWidth(375);
        QVERIFY(tabs->sideBar()->isHidden());
        QVERIFY(!tabs->tabBar()->isHidden());
        QCOMPARE(tabs->selectedIndex(), 0);
        QCOMPARE(stacks.at(0)->mapTo(tabs, QPoint(0, 0)).x(), 0);
    }

    // A sheet is a popup under the control with the focus on a desktop window, the phone's
    // full-width sheet at the bottom below it.
    void sheetOpensUnderItsControl() {
        auto [stack, list] = showList(1280);
        QVERIFY(stack);
        auto *opener = new QPushButton(QStringLiteral("导出"), list);
        opener->setGeometry(40, 10, 80, 30);
        opener->show();
        opener->setFocus();
        const QRect anchor(opener->mapTo(window(), QPoint(0, 0)), opener->size());
        ActionSheet *sheet = ActionSheet::show({}, QStringLiteral("取消"), {"CSV", "PDF"});
        QWidget *choices = sheet->button(0)->parentWidget();
        QTRY_VERIFY(choices->isVisible());
        const QRect popup(choices->mapTo(window(), QPoint(0, 0)), choices->size());
        QVERIFY(popup.width() < 400);
        QCOMPARE(popup.left(), anchor.left());
        QCOMPARE(popup.top(), anchor.bottom() + 1);
        sheet->clickButton(sheet->cancelButtonIndex());

        setWidth(375);
        list->view->setFocus();
        sheet = ActionSheet::show({}, QStringLiteral("取消"), {"CSV"});
        choices = sheet->button(0)->parentWidget();
        QTRY_VERIFY(choices->isVisible());
        QCOMPARE(choices->width(), window()->width());
        QCOMPARE(choices->mapTo(window(), QPoint(0, choices->height())).y(), window()->height());
        sheet->clickButton(sheet->cancelButtonIndex());
    }
};

QTEST_MAIN(tst_DesktopForm)
#include "tst_DesktopForm.moc"
