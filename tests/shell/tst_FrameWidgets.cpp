#include "AppWindow.h"
#include "BasicVC.h"
#include "LineView.h"
#include "SegmentedControl.h"
#include "Tags.h"
#include "ThinScrollBars.h"
#include "TopBottomLineView.h"
#include "UITouchScrollView.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

class tst_FrameWidgets : public QObject {
    Q_OBJECT

private:
    AppWindow *window = nullptr;
    static void flushDeletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private slots:
    void initTestCase() { QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC"))); }
    void init() {
        window = new AppWindow;
        window->setRootViewController(new BasicVC);
        window->show();
    }
    void cleanup() {
        delete window;
        flushDeletes();
    }

    // At phone width a list shown in the window gets a thin bar over its rows, which keep the
    // whole width; from 900 px the desktop's bar comes back beside them.
    void scrollBarsFollowTheWindowWidth() {
        auto *list = new QListWidget(window->rootViewController());
        list->setGeometry(0, 0, 300, 200);
        for (int i = 0; i < 100; ++i)
            list->addItem(QString::number(i));
        list->show();
        QScrollBar *bar = list->verticalScrollBar();
        QTRY_VERIFY(bar->isVisible());
        QVERIFY(ThinScrollBars::isThin(bar));
        QCOMPARE(bar->width(), ThinScrollBars::Thickness);
        QCOMPARE(list->viewport()->width(), list->contentsRect().width());
        window->resize(ThinScrollBars::PhoneWidthBelow, 800);
        QTRY_VERIFY(bar->width() > ThinScrollBars::Thickness);
        QCOMPARE(list->viewport()->width(), list->contentsRect().width() - bar->width());
    }

    void lineViewDrawsByItsShape_data() {
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<bool>("drawn");
        QTest::addColumn<QLineF>("line");
        QTest::newRow("one wide: vertical near the left edge")
            << QSizeF(1, 40) << true << QLineF(0.2, 0, 0.2, 40);
        QTest::newRow("one high: horizontal near the bottom")
            << QSizeF(200, 1) << true << QLineF(0, 0.8, 200, 0.8);
        QTest::newRow("one by one: the width rule first")
            << QSizeF(1, 1) << true << QLineF(0.2, 0, 0.2, 1);
        QTest::newRow("two high: nothing") << QSizeF(200, 2) << false << QLineF();
        QTest::newRow("empty: nothing") << QSizeF(0, 0) << false << QLineF();
        QTest::newRow("almost one: nothing") << QSizeF(1.5, 30) << false << QLineF();
    }
    void lineViewDrawsByItsShape() {
        QFETCH(QSizeF, size);
        QFETCH(bool, drawn);
        QFETCH(QLineF, line);
        const auto hairline = LineView::hairlineFor(size);
        QCOMPARE(hairline.has_value(), drawn);
        if (drawn) {
            QCOMPARE(*hairline, line); // QLineF compares its points fuzzily
        }
    }

    void tagsFindTheFirstTaggedWidgetDepthFirst() {
        QWidget root;
        auto *a = new QWidget(&root);
        auto *deep = new QWidget(a);
        auto *b = new QWidget(&root);
        setTag(deep, 7);
        setTag(b, 7);
        QCOMPARE(viewWithTag(&root, 7), deep);
        QCOMPARE(tagOf(a), 0);
        QCOMPARE(viewWithTag(&root, 0), &root);
        QCOMPARE(viewWithTag(&root, 9), nullptr);
        QCOMPARE(viewWithTag(nullptr, 7), nullptr);
        QCOMPARE(tagOf(nullptr), 0);
        root.setProperty("tag", QStringLiteral("not a number"));
        QCOMPARE(tagOf(&root), 0);
    }

    void segmentedControlByMouseAndKeys() {
        SegmentedControl control({"年级", "学校", "区域"});
        control.resize(180, 30);
        QSignalSpy changed(&control, &SegmentedControl::valueChanged);
        control.setSelectedSegmentIndex(0);
        QCOMPARE(changed.count(), 0); // set by the program: no signal
        QTest::mouseClick(&control, Qt::LeftButton, {}, control.segmentRect(1).center());
        QCOMPARE(control.selectedSegmentIndex(), 1);
        QTest::keyClick(&control, Qt::Key_Right);
        QCOMPARE(control.selectedSegmentIndex(), 2);
        QTest::keyClick(&control, Qt::Key_Right); // past the end
        QCOMPARE(control.selectedSegmentIndex(), 2);
        QTest::keyClick(&control, Qt::Key_Left);
        QCOMPARE(changed.count(), 3);
        control.setSelectedSegmentIndex(3);
        control.setSelectedSegmentIndex(-2);
        QCOMPARE(control.selectedSegmentIndex(), 1);
        QCOMPARE(control.segmentAt(QPoint(-1, 5)), -1);
        // The segments tile the control without gaps.
        QCOMPARE(control.segmentRect(0).left(), 0);
        QCOMPARE(control.segmentRect(2).right(), control.width() - 1);
        QCOMPARE(control.segmentRect(1).left(), control.segmentRect(0).right() + 1);
        control.setTitles({"只有一个"});
        QCOMPARE(control.selectedSegmentIndex(), -1);
    }

    // A tap on the area's background reaches the screen behind it and then the delegate, with the
    // log line; a drag scrolls and its end reaches neither.
    void touchScrollViewPassesTapsOn_data() {
        QTest::addColumn<int>("dragBy");
        QTest::addColumn<int>("ends");
        QTest::newRow("tap") << 0 << 1;
        QTest::newRow("jitter below the drag distance") << 1 << 1;
        QTest::newRow("drag") << 60 << 0;
    }
    void touchScrollViewPassesTapsOn() {
        QFETCH(int, dragBy);
        QFETCH(int, ends);
        struct Behind : QWidget {
            QList<QEvent::Type> seen;
            void mousePressEvent(QMouseEvent *e) override { seen << e->type(); }
            void mouseMoveEvent(QMouseEvent *e) override { seen << e->type(); }
            void mouseReleaseEvent(QMouseEvent *e) override { seen << e->type(); }
        } behind;
        struct Delegate : UIScrollViewTouchesDelegate {
            QList<QWidget *> views;
            void scrollViewTouchesEnded(QMouseEvent *, QWidget *whichView) override {
                views << whichView;
            }
        } delegate;
        auto *area = new UITouchScrollView(&behind);
        area->setGeometry(0, 0, 200, 200);
        auto *content = new QWidget;
        content->resize(200, 1000);
        area->setWidget(content);
        area->setTouchesdelegate(&delegate);
        behind.resize(200, 200);
        behind.show();
        QVERIFY(QTest::qWaitForWindowExposed(&behind));
        if (ends)
            QTest::ignoreMessage(QtDebugMsg, "UITouchScrollView nextResponder touchesEnded");
        QWidget *viewport = area->viewport();
        const QPoint start(100, 150);
        const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
            QMouseEvent event(type, at, viewport->mapToGlobal(at), Qt::LeftButton, buttons, {});
            QApplication::sendEvent(viewport, &event);
        };
        area->verticalScrollBar()->setValue(100);
        send(QEvent::MouseButtonPress, start, Qt::LeftButton);
        send(QEvent::MouseMove, start - QPoint(0, dragBy), Qt::LeftButton);
        send(QEvent::MouseButtonRelease, start - QPoint(0, dragBy), Qt::NoButton);
        QCOMPARE(delegate.views, QList<QWidget *>(ends, area));
        QCOMPARE(behind.seen.count(QEvent::MouseButtonRelease), ends);
        QCOMPARE(behind.seen.mid(0, 2),
                 QList<QEvent::Type>({QEvent::MouseButtonPress, QEvent::MouseMove}));
        QCOMPARE(area->verticalScrollBar()->value(), dragBy > 1 ? 100 + dragBy : 100);
    }
};

QTEST_MAIN(tst_FrameWidgets)
#include "tst_FrameWidgets.moc"
