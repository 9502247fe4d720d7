#pragma once

#include <QString>

#include <functional>

class ViewController;

// The frame makes screens it cannot include (tab roots, the login stack) by class name; the
// program registers one maker per name at start-up. A maker for a class whose screens live in
// their own navigation stack returns that stack.
class ScreenFactory {
public:
    using Maker = std::function<ViewController *()>;

    static void registerFactory(const QString &className, Maker maker);
    static bool isRegistered(const QString &className);
    // A new screen, or nullptr when nothing is registered under the name.
    static ViewController *create(const QString &className);
    static void unregisterFactory(const QString &className);
    static void clear();
};
