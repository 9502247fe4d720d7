#include "ActionSheet.h"
#include "AlertView.h"
#include "OverlayHost.h"
#include "ProgressHud.h"
#include "ShellState.h"
#include "Toast.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <cmath>
#include <memory>

// The overlays on their one base: where each lives, how it follows the window and the order they
// stack in; then what each of them does on its own.
class tst_Overlays : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> m_window;
    QPushButton *m_button = nullptr;
    QLineEdit *m_field = nullptr;

    // Shows overlay `kind` and returns its widget.
    static QWidget *showKind(const QString &kind) {
        if (kind == u"toast") {
            Toast::show(QStringLiteral("修改成功"), 10);
            return Toast::widget();
        }
        if (kind == u"spinner") {
            ProgressHud::show();
            return ProgressHud::widget();
        }
        if (kind == u"status") {
            ProgressHud::showWithStatus(QStringLiteral("正在登录"));
            return ProgressHud::widget();
        }
        if (kind == u"alert")
            return AlertView::show(QStringLiteral("温馨提示"), QStringLiteral("确认？"),
                                   {"a", "b"});
        return ActionSheet::show(QString(), QStringLiteral("取消"), {QStringLiteral("拍照")});
    }

private slots:
    void init() {
        QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC")));
        m_window = std::make_unique<QWidget>();
        m_window->resize(375, 667);
        // Right under the indicator's box: a plain indicator lets clicks through, a blocking one
        // does not.
        m_button = new QPushButton(QStringLiteral("按钮"), m_window.get());
        m_button->setGeometry(137, 313, 100, 40);
        m_field = new QLineEdit(m_window.get());
        m_field->setGeometry(20, 20, 200, 30);
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        OverlayHost::setHost(m_window.get());
    }
    void cleanup() {
        ShellState::resetForTests();
        m_window.reset();
    }

    void followsItsHost_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("fillsHost");
        QTest::addColumn<int>("distanceFromBottom"); // -1: centred vertically
        QTest::newRow("toast") << "toast" << false << Toast::DefaultDistanceFromBottom;
        QTest::newRow("plain indicator") << "spinner" << false << -1;
        QTest::newRow("blocking indicator") << "status" << true << -1;
        QTest::newRow("alert") << "alert" << true << -1;
        QTest::newRow("action sheet") << "sheet" << true << -1;
    }
    void followsItsHost() {
        QFETCH(QString, kind);
        QFETCH(bool, fillsHost);
        QFETCH(int, distanceFromBottom);
        QWidget *overlay = showKind(kind);
        QVERIFY(overlay);
        QCOMPARE(overlay->parentWidget(), m_window.get());
        for (const QSize size : {QSize(414, 736), QSize(320, 480)}) {
            m_window->resize(size);
            QTRY_COMPARE(overlay->geometry().center().x(), m_window->rect().center().x());
            QVERIFY(m_window->rect().contains(overlay->geometry()));
            if (fillsHost)
                QCOMPARE(overlay->geometry(), m_window->rect());
            else if (distanceFromBottom >= 0)
                QCOMPARE(overlay->geometry().bottom() + 1, size.height() - distanceFromBottom);
            else
                QCOMPARE(overlay->geometry().center(), m_window->rect().center());
        }
        // A screen shown later does not bury it.
        auto *screen = new QWidget(m_window.get());
        screen->setGeometry(m_window->rect());
        screen->show();
        QTRY_COMPARE(HostedOverlay::stackIn(m_window.get()).constLast(), overlay);
        // The window going away takes it along.
        QPointer<QWidget> guard = overlay;
        m_window.reset();
        QVERIFY(!guard);
        QVERIFY(!Toast::isShowing() && !ProgressHud::isVisible());
        init();
    }

    // Toasts lowest, then alerts and sheets, the indicator on top, whatever the order shown in.
    void stacksInOneOrder() {
        QWidget *hud = showKind("status");
        QWidget *sheet = showKind("sheet");
        QWidget *alert = showKind("alert");
        QWidget *toast = showKind("toast");
        const QList<HostedOverlay *> stack = HostedOverlay::stackIn(m_window.get());
        QCOMPARE(stack.size(), 4);
        QCOMPARE(QList<QWidget *>(stack.cbegin(), stack.cend()),
                 QList<QWidget *>({toast, sheet, alert, hud}));
        QCOMPARE(m_window->childAt(m_window->rect().center()), hud);
    }

    void withoutAHostToastAndIndicatorDoNothing() {
        OverlayHost::setHost(nullptr);
        m_window.reset();
        Toast::show(QStringLiteral("无网络连接"));
        ProgressHud::showWithStatus(QStringLiteral("正在登录"));
        QVERIFY(!Toast::isShowing() && !ProgressHud::isVisible());
        int chosen = -1;
        AlertView *alert = AlertView::show("t", "m", {"a"}, [&](int i) { chosen = i; });
        QVERIFY(alert->isWindow());
        alert->clickButton(0);
        QCOMPARE(chosen, 0);
        init();
    }

    void toastDuration_data() {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<int>("ms");
        QTest::newRow("given") << 0.25 << 250;
        QTest::newRow("zero: default") << 0.0 << 1500;
        QTest::newRow("negative: default") << -3.0 << 1500;
        QTest::newRow("not a number: default") << std::nan("") << 1500;
        QTest::newRow("absurd: capped") << 1e12 << 600000;
    }
    void toastDuration() {
        QFETCH(double, seconds);
        QFETCH(int, ms);
        Toast::show(QStringLiteral("无网络连接"), seconds);
        QCOMPARE(Toast::currentDuration(), ms);
    }

    void toastGoesByTimeClickOrReplacement() {
        Toast::show(QStringLiteral("第一条"), 10);
        QPointer<QWidget> first = Toast::widget();
        Toast::show(QStringLiteral("第二条"), 0.2);
        QCOMPARE(Toast::currentText(), QStringLiteral("第二条"));
        QTRY_VERIFY(!first);
        QTRY_VERIFY_WITH_TIMEOUT(!Toast::isShowing(), 5000);
        Toast::show(QStringLiteral("请输入用户名"), 10);
        QTest::mouseClick(Toast::widget(), Qt::LeftButton);
        QVERIFY(!Toast::isShowing());
        // Turning the window (portrait to landscape) hides it.
        Toast::show(QStringLiteral("修改成功"), 10);
        m_window->resize(667, 375);
        QTRY_VERIFY(!Toast::isShowing());
    }

    void toastShowsCleanedText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        const QString a199(199, u'a');
        QTest::newRow("controls and overrides, not marks")
            << "\u202Eevil\u202C\x01\u202A\u2066!\u2069\u200F\x7f\u009b"
            << "evil!\u200F";
        QTest::newRow("blank runs, a character beyond 16 bits")
            << "\n 第一行\r\n\t第二行\U0001F4DA\u2028" + QString(5000, u'\n')
            << "第一行 第二行\U0001F4DA";
        // Nothing to show leaves the toast before it.
        QTest::newRow("nothing left") << " \u202E\x07\n\u2069"
                                      << "无网络连接";
        QTest::newRow("a megabyte, cut before an accent")
            << a199 + "e\u0301" + QString(1 << 20, u'字') << a199 + QChar(0x2026);
    }
    void toastShowsCleanedText() {
        QFETCH(QString, text);
        Toast::show(QStringLiteral("无网络连接"), 10);
        Toast::show(text, 10);
        QTEST(Toast::currentText(), "shown");
        QVERIFY(Toast::widget()->height() < m_window->height() / 2);
    }

    void indicatorForms_data() {
        QTest::addColumn<int>("form");
        QTest::addColumn<bool>("blocking");
        QTest::addColumn<bool>("success");
        QTest::newRow("spinner") << 0 << false << false;
        QTest::newRow("status") << 1 << true << false;
        QTest::newRow("success") << 2 << false << true;
    }
    void indicatorForms() {
        QFETCH(int, form);
        QFETCH(bool, blocking);
        QFETCH(bool, success);
        const QString text = form ? QStringLiteral("正在登录") : QString();
        // Shown over another form: replaced, never a second one.
        ProgressHud::showWithStatus(QStringLiteral("旧的"));
        if (form == 0)
            ProgressHud::show();
        else if (form == 1)
            ProgressHud::showWithStatus(text);
        else
            ProgressHud::showSuccess(text);
        QCOMPARE(ProgressHud::isBlocking(), blocking);
        QCOMPARE(ProgressHud::isSuccess(), success);
        QCOMPARE(ProgressHud::status(), text);
        QCOMPARE(m_window->findChildren<QWidget *>(QStringLiteral("ProgressHud")).size(), 1);
        QSignalSpy clicked(m_button, &QPushButton::clicked);
        QTest::mouseClick(m_button, Qt::LeftButton);
        m_field->setFocus();
        QTest::keyClicks(m_field, QStringLiteral("abc"));
        QCOMPARE(clicked.count(), blocking ? 0 : 1);
        QCOMPARE(m_field->text(), blocking ? QString() : QStringLiteral("abc"));
        ProgressHud::dismiss();
        QVERIFY(!ProgressHud::isVisible() && !ProgressHud::widget());
        QTest::mouseClick(m_button, Qt::LeftButton);
        QCOMPARE(clicked.count(), blocking ? 1 : 2);
    }

    void successInterval_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("ms");
        QTest::newRow("empty") << QString() << 300;
        QTest::newRow("four characters") << QStringLiteral("登录成功") << 540;
        QTest::newRow("runaway text is capped") << QString(100000, QLatin1Char('x')) << 60000;
    }
    void successInterval() {
        QFETCH(QString, text);
        QFETCH(int, ms);
        QCOMPARE(ProgressHud::successInterval(text), ms);
    }

    void alertClosesThenReportsTheButtonOnce() {
        int chosen = -1;
        AlertView *alert = AlertView::show(QString(), QStringLiteral("确认删除？"),
                                           {"取消", "确定"}, [&](int index) {
                                               QCOMPARE(AlertView::current(), nullptr);
                                               chosen = index;
                                           });
        alert->clickButton(5);
        QCOMPARE(chosen, -1);
        m_field->setFocus();
        QTest::keyClicks(m_field, "abc");
        QCOMPARE(m_field->text(), QString());
        QTest::mouseClick(alert->button(1), Qt::LeftButton);
        alert->clickButton(0);
        QCOMPARE(chosen, 1);
    }

    // A keyboard teacher finishes what an alert asks: Enter presses the default button (or the
    // one Tab moved to), Esc the first.
    void alertKeys_data() {
        QTest::addColumn<int>("defaultButton"); // -1: as made
        QTest::addColumn<int>("tabs");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("chosen");
        QTest::newRow("enter: the last") << -1 << 0 << int(Qt::Key_Return) << 2;
        QTest::newRow("keypad enter") << -1 << 0 << int(Qt::Key_Enter) << 2;
        QTest::newRow("enter: default set to the first") << 0 << 0 << int(Qt::Key_Return) << 0;
        QTest::newRow("enter after tab") << 0 << 1 << int(Qt::Key_Return) << 1;
        QTest::newRow("escape") << -1 << 0 << int(Qt::Key_Escape) << 0;
    }
    void alertKeys() {
        QFETCH(int, defaultButton);
        QFETCH(int, tabs);
        QFETCH(int, key);
        QFETCH(int, chosen);
        auto said = std::make_shared<int>(-1);
        AlertView *alert =
            AlertView::show(QString(), QStringLiteral("确认？"), {"取消", "稍后", "确定"},
                            [said](int index) { *said = index; });
        alert->setDefaultButton(defaultButton);
        for (int i = 0; i < tabs; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        QCOMPARE(*said, chosen);
    }

    void aClosedAlertKeepsNoKeys() {
        AlertView::show(QString(), QStringLiteral("确认删除？"), {"取消", "确定"})->close();
        m_field->setFocus();
        QTest::keyClicks(m_field, "abc");
        QCOMPARE(m_field->text(), QStringLiteral("abc"));
    }

    void actionSheetIndexes_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("expected");
        QTest::newRow("first other") << "button 0" << 0;
        QTest::newRow("cancel button") << "button 2" << 2;
        QTest::newRow("click outside") << "outside" << 2;
        QTest::newRow("escape") << "escape" << 2;
    }
    void actionSheetIndexes() {
        QFETCH(QString, how);
        QFETCH(int, expected);
        int chosen = -1;
        // The second of two fields, so the focus has a way back that Qt would not take.
        auto *field = new QLineEdit(m_window.get());
        field->setGeometry(20, 60, 200, 30);
        field->show();
        field->setFocus();
        ActionSheet *sheet = ActionSheet::show(
            QString(), QStringLiteral("取消"), {"现在拍摄", "从相册选取"},
            [&](int index) { chosen = index; }, 0);
        // The keyboard goes into the sheet, and back to where it was however the sheet closes.
        QVERIFY(sheet->isAncestorOf(QApplication::focusWidget()));
        QCOMPARE(sheet->cancelButtonIndex(), 2);
        QVERIFY(sheet->button(0)->palette().color(QPalette::ButtonText) !=
                sheet->button(1)->palette().color(QPalette::ButtonText));
        QCOMPARE(sheet->button(2)->mapTo(m_window.get(), QPoint(0, sheet->button(2)->height())).y(),
                 m_window->height());
        if (how.startsWith("button"))
            QTest::mouseClick(sheet->button(how.back().digitValue()), Qt::LeftButton);
        else if (how == "outside")
            QTest::mouseClick(sheet, Qt::LeftButton, {}, QPoint(10, 10));
        else
            QTest::keyClick(sheet, Qt::Key_Escape);
        QCOMPARE(chosen, expected);
        QCOMPARE(ActionSheet::current(), nullptr);
        QCOMPARE(QApplication::focusWidget(), field);
    }
};

QTEST_MAIN(tst_Overlays)
#include "tst_Overlays.moc"
