#include "AppWindow.h"
#include "InputVC.h"
#include "KeyboardAvoidance.h"
#include "NavigationController.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QtTest>

// An input screen with two fields (laid out bottom one first, so the reading order differs from
// the order of creation), a label and a button.
class FormScreen : public InputVC {
    Q_OBJECT
public:
    FormScreen() {
        lower = new QLineEdit(this);
        lower->setGeometry(20, 120, 200, 30);
        upper = new QLineEdit(this);
        upper->setGeometry(20, 60, 200, 30);
        label = new QLabel(QStringLiteral("手机号"), this);
        label->setGeometry(20, 200, 200, 30);
        button = new QPushButton(QStringLiteral("登录"), this);
        button->setGeometry(20, 260, 200, 40);
        // A click on a button that takes focus moves it there by itself; this one must not, so
        // that only the screen's tap handling decides.
        button->setFocusPolicy(Qt::NoFocus);
    }
    QLineEdit *upper;
    QLineEdit *lower;
    QLabel *label;
    QPushButton *button;
    QList<QLineEdit *> edited;
    void textFiledEditChanged(QLineEdit *sender) override { edited.append(sender); }
};

class PlainScreen : public BasicVC {
    Q_OBJECT
};

class tst_KeyboardAvoidance : public QObject {
    Q_OBJECT

private:
    AppWindow *window = nullptr;
    NavigationController *nav = nullptr;
    FormScreen *form = nullptr;

    static void focus(QWidget *w) {
        w->setFocus(Qt::MouseFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), w);
    }

private slots:
    void initTestCase() { QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC"))); }
    void init() {
        window = new AppWindow;
        form = new FormScreen;
        nav = new NavigationController(form);
        window->setRootViewController(nav);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
    }
    void cleanup() {
        delete window;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        KeyboardAvoidance::setEnabled(false);
        KeyboardAvoidance::setToolbarEnabled(false);
    }

    void onExactlyWhileAnInputScreenIsVisible() {
        QVERIFY(KeyboardAvoidance::isEnabled());
        QVERIFY(KeyboardAvoidance::isToolbarEnabled());
        nav->pushViewController(new PlainScreen, false);
        QVERIFY2(!KeyboardAvoidance::isEnabled(), "off once the input screen is covered");
        nav->popViewController(false);
        QVERIFY(KeyboardAvoidance::isEnabled());
        // Presenting an ordinary screen over it switches it off too.
        auto *modal = new PlainScreen;
        form->presentViewController(modal, false);
        QVERIFY(!KeyboardAvoidance::isEnabled());
        modal->dismissViewController(false);
        QVERIFY(KeyboardAvoidance::isEnabled());
        // Loading any ordinary screen switches it off, whatever was on before.
        auto *other = new PlainScreen;
        other->loadViewIfNeeded();
        QVERIFY(!KeyboardAvoidance::isEnabled());
        QVERIFY(!KeyboardAvoidance::isToolbarEnabled());
        delete other;
    }

    void tapOnTheBackgroundEndsEditingButNotOnAControl_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("dragBy");
        QTest::addColumn<bool>("editingEnds");
        QTest::newRow("screen background") << "screen" << 0 << true;
        QTest::newRow("a label") << "label" << 0 << true;
        QTest::newRow("the focused field") << "upper" << 0 << false;
        QTest::newRow("another field") << "lower" << 0 << false;
        QTest::newRow("a button") << "button" << 0 << false;
        QTest::newRow("a drag on the background") << "screen" << 40 << false;
    }
    void tapOnTheBackgroundEndsEditingButNotOnAControl() {
        QFETCH(QString, target);
        QFETCH(int, dragBy);
        QFETCH(bool, editingEnds);
        // Only the screen's own tap recogniser acts here.
        KeyboardAvoidance::setEnabled(false);
        focus(form->upper);
        const QHash<QString, QWidget *> widgets = {{"screen", form},
                                                   {"label", form->label},
                                                   {"upper", form->upper},
                                                   {"lower", form->lower},
                                                   {"button", form->button}};
        QWidget *widget = widgets.value(target);
        const QPoint at = target == "screen" ? QPoint(300, 400) : widget->rect().center();
        QTest::mousePress(widget, Qt::LeftButton, {}, at);
        QTest::mouseRelease(widget, Qt::LeftButton, {}, at + QPoint(dragBy, 0));
        const bool upperFocused = form->upper->hasFocus();
        const bool anyFieldFocused = form->upper->hasFocus() || form->lower->hasFocus();
        if (editingEnds) {
            QVERIFY(!anyFieldFocused);
        } else if (target == "lower") {
            QVERIFY(anyFieldFocused);
        } else {
            QVERIFY(upperFocused);
        }
    }
};

QTEST_MAIN(tst_KeyboardAvoidance)
#include "tst_KeyboardAvoidance.moc"
