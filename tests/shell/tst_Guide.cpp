#include "AppWindow.h"
#include "Assets.h"
#include "BasicVC.h"
#include "DeviceProfile.h"
#include "GuideViewController.h"
#include "NavigationController.h"
#include "PageControl.h"
#include "ScreenFactory.h"
#include "SettingsStore.h"
#include "UnitMetiodManager.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QScroller>
#include <QTemporaryDir>
#include <QtTest>

// The first-launch guide: image names per device class, paging and its indicator, and the button
// that leaves the guide for good.
class tst_Guide : public QObject {
    Q_OBJECT

    QTemporaryDir m_config;
    std::unique_ptr<AppWindow> m_window;
    QPointer<GuideViewController> m_guide;

    int pageWidth() const { return m_guide->scrollView()->viewport()->width(); }

private slots:
    void initTestCase() {
        qputenv("TEACHER_CLIENT_CONFIG_DIR", m_config.path().toUtf8());
        ScreenFactory::setLoginStack(&BasicVC::staticMetaObject, [] {
            auto *login = new BasicVC;
            login->setObjectName("login");
            return new NavigationController(login);
        });
    }

    void init() {
        SettingsStore::reset();
        UnitMetiodManager::saveShowGuideKey(false);
        m_window = std::make_unique<AppWindow>();
        m_window->resize(375, 667);
        m_guide = new GuideViewController;
        m_window->setRootViewController(m_guide);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QVERIFY(m_guide->isViewLoaded());
    }

    void cleanup() {
        m_window.reset();
        DeviceProfile::setCurrent(*DeviceProfile::fromName("iphone6"));
    }

    void imageNames_data() {
        QTest::addColumn<int>("deviceModel");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("0: 320x480") << 0 << "guide_iphone4_";
        QTest::newRow("1: 320 wide") << 1 << "guide_iphone5_";
        QTest::newRow("2: 375 wide") << 2 << "guide_iphone6_";
        QTest::newRow("3: 414 wide") << 3 << "guide_iphone6p_";
        QTest::newRow("4: tablet") << 4 << "guide_ipad_";
        QTest::newRow("5: anything else") << 5 << "guide_iphone6_";
        QTest::newRow("out of range") << 42 << "guide_iphone6_";
    }

    void imageNames() {
        QFETCH(int, deviceModel);
        QFETCH(QString, prefix);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(GuideViewController::getGuideImageNameWithIndex(i, deviceModel),
                     prefix + QString::number(i + 1) + ".png");
        }
    }

    void indicatorFollowsTheStoppedOffset_data() {
        QTest::addColumn<double>("pages");
        QTest::addColumn<int>("dot");
        QTest::newRow("first") << 0.0 << 0;
        QTest::newRow("just before the second") << 0.99 << 0;
        QTest::newRow("second") << 1.0 << 1;
        QTest::newRow("between second and third counts the left") << 1.6 << 1;
        QTest::newRow("third") << 2.0 << 2;
    }

    void indicatorFollowsTheStoppedOffset() {
        QFETCH(double, pages);
        QFETCH(int, dot);
        m_guide->scrollView()->horizontalScrollBar()->setValue(int(pages * pageWidth()));
        m_guide->scrollViewDidEndDecelerating();
        QCOMPARE(m_guide->pageControl()->currentPage(), dot);
        QCOMPARE(m_guide->pageControl()->dotColor(dot), QColor(Qt::darkGray));
    }

    void keysTurnPagesAndStopAtTheEnds() {
        m_guide->setFocus();
        QTest::keyClick(m_guide, Qt::Key_Right);
        QTRY_COMPARE(m_guide->currentPage(), 1);
        QCOMPARE(m_guide->scrollView()->horizontalScrollBar()->value(), pageWidth());
        QTest::keyClick(m_guide, Qt::Key_End);
        QTRY_COMPARE(m_guide->currentPage(), 2);
        QTest::keyClick(m_guide, Qt::Key_Right);
        QTRY_COMPARE(QScroller::scroller(m_guide->scrollView()->viewport())->state(),
                     QScroller::Inactive);
        QCOMPARE(m_guide->currentPage(), 2);
        QTest::keyClick(m_guide, Qt::Key_Left);
        QTRY_COMPARE(m_guide->currentPage(), 1);
    }

    void swipesTurnOnePageAtMost_data() {
        QTest::addColumn<int>("startPage");
        QTest::addColumn<int>("distance"); // leftwards, in px
        QTest::addColumn<int>("milliseconds");
        QTest::addColumn<int>("page");
        QTest::newRow("fast long flick: one page only") << 0 << 240 << 120 << 1;
        QTest::newRow("slow drag past half a page") << 0 << 220 << 1200 << 1;
        QTest::newRow("slow short drag springs back") << 1 << 60 << 1200 << 1;
        QTest::newRow("quick short flick turns") << 0 << 60 << 60 << 1;
        QTest::newRow("backwards flick") << 2 << -240 << 120 << 1;
        QTest::newRow("past the last page") << 2 << 240 << 120 << 2;
        QTest::newRow("before the first page") << 0 << -240 << 120 << 0;
    }

    void swipesTurnOnePageAtMost() {
        QFETCH(int, startPage);
        QFETCH(int, distance);
        QFETCH(int, milliseconds);
        QFETCH(int, page);
        m_guide->scrollToPage(startPage, false);
        QScroller *scroller = QScroller::scroller(m_guide->scrollView()->viewport());
        // Timestamps drive the scroller's velocity, so the gesture is the same on any machine.
        const int steps = 12;
        QPointF at(300, 300);
        qint64 t = 1000;
        scroller->handleInput(QScroller::InputPress, at, t);
        for (int i = 0; i < steps; ++i) {
            at.rx() -= qreal(distance) / steps;
            t += milliseconds / steps;
            scroller->handleInput(QScroller::InputMove, at, t);
        }
        // The scroller moves the content on its own clock: let it catch up with the finger
        // before lifting it (nothing moves when the drag only pushes against an end).
        const int startX = startPage * pageWidth();
        const int draggedX = startX + distance;
        if (draggedX > 0 && draggedX < 2 * pageWidth())
            QTRY_VERIFY(m_guide->scrollView()->horizontalScrollBar()->value() != startX);
        scroller->handleInput(QScroller::InputRelease, at, t + 1);
        QTRY_COMPARE(scroller->state(), QScroller::Inactive);
        // Never left between two pages.
        QCOMPARE(m_guide->scrollView()->horizontalScrollBar()->value(), page * pageWidth());
        QCOMPARE(m_guide->currentPage(), page);
    }

    void enterButtonShowsTheLoginStackAndRemembers() {
        m_guide->scrollToPage(2, false);
        QTest::mouseClick(m_guide->enterButton(), Qt::LeftButton);
        auto *stack = qobject_cast<NavigationController *>(m_window->rootViewController());
        QVERIFY(stack);
        QCOMPARE(stack->rootViewController()->objectName(), QStringLiteral("login"));
        QVERIFY(UnitMetiodManager::getShowGuideKey());
        SettingsStore::reset();
        QVERIFY(UnitMetiodManager::getShowGuideKey());
        // The guide goes with the old root.
        QTRY_VERIFY(m_guide.isNull());
    }
};

QTEST_MAIN(tst_Guide)
#include "tst_Guide.moc"
