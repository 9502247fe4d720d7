#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

struct QMetaObject;
class QObject;
class ViewController;

// The program composes, the shell receives: at start-up the program hands over the tab list, the
// login-stack maker, each with the class of its root screen, and the screen of a first launch. The
// tab bar builds from that list, and the back-button rule asks here which classes are tab roots, so
// the shell never spells a screen's class name and a rename fails to compile instead of failing at
// a tap.
class ScreenFactory {
public:
    using Maker = std::function<ViewController *()>;

    struct Tab {
        const QMetaObject *rootClass = nullptr;
        Maker maker;
        QString title;
        QString normalIcon;
        QString selectedIcon;
    };

    // A tab whose stack is made by T::navigationControllerContainSelf().
    template <typename T>
    static Tab tab(const QString &title, const QString &normalIcon, const QString &selectedIcon) {
        return {&T::staticMetaObject, [] { return T::navigationControllerContainSelf(); }, title,
                normalIcon, selectedIcon};
    }
    template <typename T> static void setLoginStack() {
        setLoginStack(&T::staticMetaObject, [] { return T::navigationControllerContainSelf(); });
    }

    // What a first launch shows before the login stack; it ends by asking for the login stack.
    template <typename T> static void setFirstLaunch() {
        setFirstLaunch([] { return new T; });
    }
    static void setFirstLaunch(Maker maker);

    static void setTabs(const QList<Tab> &tabs);
    static const QList<Tab> &tabs();
    static void setLoginStack(const QMetaObject *rootClass, Maker maker);

    // A new stack, or nullptr when nothing is registered (or the index is outside the list).
    static ViewController *makeLoginStack();
    static ViewController *makeFirstLaunch();
    static ViewController *makeTab(int index);

    // True for an instance of a registered tab root class or a subclass of one.
    static bool isTabRoot(const QObject *screen);
    static bool isLoginRoot(const QObject *screen);

    // What is missing or inconsistent in the registration, one line each; empty when complete.
    // Start-up reports these, so a dropped or misnamed entry shows before anyone taps.
    static QStringList problems();

    static void reset();
};
