#include "AppWindow.h"
#include "Assets.h"
#include "BasicVC.h"
#include "NavigationController.h"
#include "ScreenFactory.h"
#include "ScreenTestFixture.h"
#include "SettingsStore.h"
#include "UnitMetiodManager.h"
#include "guide/GuideViewController.h"
#include "guide/PageControl.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QScroller>
#include <QtTest>

// The first-launch guide: image names per device class, paging and its indicator, and the button
// that leaves the guide for good.
class tst_Guide : public QObject {
    Q_OBJECT

    ScreenTestFixture m_fixture{[] {
        ScreenFactory::setLoginStack(&BasicVC::staticMetaObject, [] {
            auto *login = new BasicVC;
            login->setObjectName("login");
            return new NavigationController(login);
        });
    }};
    QPointer<GuideViewController> m_guide;

    int pageWidth() const { return m_guide->scrollView()->viewport()->width(); }

private slots:
    void init() {
        QVERIFY(m_fixture.reset());
        UnitMetiodManager::saveShowGuideKey(false);
        m_guide = new GuideViewController;
        QVERIFY(m_fixture.show(m_guide));
        QVERIFY(m_guide->isViewLoaded());
    }

    void cleanup() { m_fixture.closeWindow(); }

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

    void enterButtonShowsTheLoginStackAndRemembers() {
        m_guide->scrollToPage(2, false);
        QTest::mouseClick(m_guide->enterButton(), Qt::LeftButton);
        auto *stack =
            qobject_cast<NavigationController *>(m_fixture.window()->rootViewController());
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
