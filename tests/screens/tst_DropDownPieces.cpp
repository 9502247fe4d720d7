#include "classes/ClassChangeView.h"

#include <QListView>
#include <QtTest>

// The dimming under an open drop-down covers its window to the edges, and the list spans it, also
// after a resize and below a strip across the window's top.
class tst_DropDownPieces : public QObject {
    Q_OBJECT
private slots:
    void dimmingFollowsTheWindow() {
        QWidget window;
        window.resize(320, 568);
        window.show();
        auto *panel = new ClassChangeView(QPoint(0, 0), &window);
        panel->animateSelectView();
        panel->finishAnimations();
        QCOMPARE(panel->backGroundView()->geometry(), QRect(0, 0, 320, 568));
        window.resize(480, 800);
        QCOMPARE(panel->backGroundView()->geometry(), QRect(0, 0, 480, 800));
        QCOMPARE(panel->leftTableView()->width(), 480);
        // A strip across the top of the view (the offline bar) pushes both down.
        window.setContentsMargins(0, 26, 0, 0);
        QCOMPARE(panel->leftTableView()->y(), 26);
        QCOMPARE(panel->backGroundView()->geometry(), QRect(0, 26, 480, 774));
        // A tap on the part the window gained closes the list like any other.
        QTest::mouseClick(panel->backGroundView(), Qt::LeftButton, {}, QPoint(470, 760));
        QVERIFY(!panel->isShow());
    }
};

QTEST_MAIN(tst_DropDownPieces)
#include "tst_DropDownPieces.moc"
