#include "ActionSheet.h"
#include "AlertView.h"
#include "AppWindow.h"
#include "BasicVC.h"
#include "LineView.h"
#include "ScreenFactory.h"
#include "SegmentedControl.h"
#include "Tags.h"
#include "TopBottomLineView.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
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

    void topBottomLinesFollowTheEdges() {
        const auto lines = TopBottomLineView::hairlinesFor(QSizeF(320, 50));
        QCOMPARE(lines.size(), 2);
        QVERIFY(qFuzzyCompare(lines[0].y1(), 0.2) && qFuzzyCompare(lines[0].y2(), 0.2));
        QVERIFY(qFuzzyCompare(lines[1].y1(), 49.8) && qFuzzyCompare(lines[1].y2(), 49.8));
        for (const QLineF &l : lines)
            QCOMPARE(QPair(l.x1(), l.x2()), QPair(0.0, 320.0));
        QVERIFY(TopBottomLineView::hairlinesFor(QSizeF(0, 10)).isEmpty());

        // Painting a drawn hairline actually marks pixels; both views stay see-through.
        LineView line;
        line.resize(100, 1);
        QImage image(100, 1, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        line.render(&image, {}, {}, QWidget::DrawChildren);
        QVERIFY(qAlpha(image.pixel(50, 0)) > 0);
        QVERIFY(!line.autoFillBackground());
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

    void screenFactoryMakesRegisteredScreensOnly() {
        QCOMPARE(ScreenFactory::create("BookListVC"), nullptr);
        int made = 0;
        ScreenFactory::registerFactory("BookListVC", [&made] {
            ++made;
            return new BasicVC;
        });
        std::unique_ptr<ViewController> first(ScreenFactory::create("BookListVC"));
        std::unique_ptr<ViewController> second(ScreenFactory::create("BookListVC"));
        QVERIFY(first && second && first != second);
        QCOMPARE(made, 2);
        ScreenFactory::registerFactory("", [] { return new BasicVC; });
        ScreenFactory::registerFactory("X", {});
        QVERIFY(!ScreenFactory::isRegistered("") && !ScreenFactory::isRegistered("X"));
        ScreenFactory::unregisterFactory("BookListVC");
        QCOMPARE(ScreenFactory::create("BookListVC"), nullptr);
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

    void alertClosesThenReportsTheButton() {
        int chosen = -1;
        AlertView *alert =
            AlertView::show(QString(), QStringLiteral("确认删除？"),
                            {QStringLiteral("取消"), QStringLiteral("确定")}, [&](int index) {
                                // Closed before the callback runs.
                                QCOMPARE(AlertView::current(), nullptr);
                                chosen = index;
                            });
        QCOMPARE(AlertView::current(), alert);
        QCOMPARE(alert->parentWidget(), window);
        QCOMPARE(alert->geometry(), window->rect());
        QCOMPARE(alert->message(), QStringLiteral("确认删除？"));
        QPointer<AlertView> guard = alert;
        alert->clickButton(5);
        QVERIFY(guard && chosen == -1);
        QTest::mouseClick(alert->button(1), Qt::LeftButton);
        QCOMPARE(chosen, 1);
        alert->clickButton(0); // already closed: no second callback
        QCOMPARE(chosen, 1);
        flushDeletes();
        QVERIFY(guard.isNull());
    }

    void alertBlocksTheScreenBeneath() {
        auto *field = new QLineEdit(window->rootViewController());
        field->setGeometry(20, 300, 200, 30);
        field->show();
        field->setFocus();
        AlertView *alert =
            AlertView::show(QStringLiteral("温馨提示"), QStringLiteral("是否确定删除班级"),
                            {QStringLiteral("取消"), QStringLiteral("确认")});
        // Clicks land on the alert, keys never reach the field.
        QWidget *hit = window->childAt(field->geometry().center());
        QVERIFY(hit == alert || alert->isAncestorOf(hit));
        QTest::keyClicks(field, "abc");
        QCOMPARE(field->text(), QString());
        alert->clickButton(0);
        QTest::keyClicks(field, "abc");
        QCOMPARE(field->text(), QStringLiteral("abc"));
    }

    void alertsStackAndACallbackMayShowTheNext() {
        QStringList log;
        AlertView *first = AlertView::show("1", {}, {"ok"}, [&](int) {
            log << "first";
            AlertView::show("3", {}, {"ok"}, [&](int) { log << "third"; });
        });
        AlertView *second = AlertView::show("2", {}, {"ok"}, [&](int) { log << "second"; });
        QCOMPARE(AlertView::current(), second);
        second->clickButton(0);
        QCOMPARE(AlertView::current(), first);
        first->clickButton(0);
        QVERIFY(AlertView::current());
        QCOMPARE(AlertView::current()->title(), QStringLiteral("3"));
        AlertView::current()->clickButton(0);
        QCOMPARE(log, QStringList({"second", "first", "third"}));
        QCOMPARE(AlertView::current(), nullptr);
    }

    void alertWithoutButtonsCanStillBeClosed() {
        int chosen = -1;
        AlertView *alert = AlertView::show("t", "m", {}, [&](int i) { chosen = i; });
        QCOMPARE(alert->buttonTitles(), QStringList{QStringLiteral("确定")});
        QTest::keyClick(alert, Qt::Key_Escape);
        QCOMPARE(chosen, 0);
    }

    void actionSheetIndexesAndCancel_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("expected");
        QTest::newRow("first other") << "button 0" << 0;
        QTest::newRow("second other") << "button 1" << 1;
        QTest::newRow("cancel button") << "button 2" << 2;
        QTest::newRow("click outside the sheet") << "outside" << 2;
        QTest::newRow("escape") << "escape" << 2;
    }
    void actionSheetIndexesAndCancel() {
        QFETCH(QString, how);
        QFETCH(int, expected);
        int chosen = -1;
        ActionSheet *sheet = ActionSheet::show(
            QString(), QStringLiteral("取消"),
            {QStringLiteral("现在拍摄"), QStringLiteral("从相册选取")},
            [&](int index) { chosen = index; }, 0);
        QCOMPARE(ActionSheet::current(), sheet);
        QCOMPARE(sheet->numberOfButtons(), 3);
        QCOMPARE(sheet->cancelButtonIndex(), 2);
        QCOMPARE(sheet->buttonTitleAtIndex(2), QStringLiteral("取消"));
        QCOMPARE(sheet->destructiveButtonIndex(), 0);
        QCOMPARE(sheet->button(0)->palette().color(QPalette::ButtonText), QColor(0xE8, 0x1D, 0x1D));
        QVERIFY(sheet->button(1)->palette().color(QPalette::ButtonText) !=
                QColor(0xE8, 0x1D, 0x1D));
        // The sheet sits at the bottom of the window, cancel last.
        QCOMPARE(sheet->button(2)->mapTo(window, QPoint(0, sheet->button(2)->height())).y(),
                 window->height());
        if (how.startsWith("button"))
            QTest::mouseClick(sheet->button(how.back().digitValue()), Qt::LeftButton);
        else if (how == "outside")
            QTest::mouseClick(sheet, Qt::LeftButton, {}, QPoint(10, 10));
        else
            QTest::keyClick(sheet, Qt::Key_Escape);
        QCOMPARE(chosen, expected);
        QCOMPARE(ActionSheet::current(), nullptr);
    }

    void actionSheetWithoutCancelStaysOnOutsideClicks() {
        int chosen = -1;
        ActionSheet *sheet =
            ActionSheet::show("选择", QString(), {"A", "B"}, [&](int i) { chosen = i; });
        QCOMPARE(sheet->cancelButtonIndex(), -1);
        sheet->setDestructiveButtonIndex(5); // not a button: none
        QCOMPARE(sheet->destructiveButtonIndex(), -1);
        QTest::mouseClick(sheet, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(ActionSheet::current(), sheet);
        sheet->clickButton(1);
        QCOMPARE(chosen, 1);

        ActionSheet *empty =
            ActionSheet::show(QString(), QString(), {}, [&](int i) { chosen = i; });
        QCOMPARE(empty->numberOfButtons(), 1);
        QTest::keyClick(empty, Qt::Key_Escape);
        QCOMPARE(chosen, 0);
    }

    void overlaysFollowTheWindowSize() {
        AlertView *alert = AlertView::show("t", "m", {"a", "b"});
        ActionSheet *sheet = ActionSheet::show(QString(), "c", {"x"});
        window->resize(414, 736);
        QCOMPARE(alert->geometry(), window->rect());
        QCOMPARE(sheet->geometry(), window->rect());
        QCOMPARE(sheet->button(1)->mapTo(window, QPoint(0, sheet->button(1)->height())).y(), 736);
        auto *panel = alert->findChild<QWidget *>("alertPanel");
        QCOMPARE(panel->geometry().center().x(), window->rect().center().x());
        sheet->clickButton(1);
        alert->clickButton(0);
    }

    void withoutAWindowAlertsStillWork() {
        delete window;
        window = nullptr;
        int chosen = -1;
        AlertView *alert = AlertView::show("t", "m", {"a"}, [&](int i) { chosen = i; });
        QVERIFY(alert->isWindow());
        alert->clickButton(0);
        QCOMPARE(chosen, 0);
        window = new AppWindow; // for cleanup
    }
};

QTEST_MAIN(tst_FrameWidgets)
#include "tst_FrameWidgets.moc"
