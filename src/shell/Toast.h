#pragma once

#include <QString>
#include <QWidget>

// A transient text bubble near the bottom of the window. One at a time: a new toast replaces the
// one showing. A click on it hides it at once. Empty texts show nothing; without a window the calls
// do nothing.
class Toast {
public:
    static constexpr double DefaultSeconds = 1.5;
    static constexpr int DefaultDistanceFromBottom = 80;

    static void show(const QString &text);
    static void show(const QString &text, double seconds);
    static void showAtDistanceFromBottom(const QString &text, double seconds, int distance);
    static void hide();

    static bool isShowing();
    static QString currentText();
    // How long the current toast stays up, in milliseconds (0 when none shows).
    static int currentDuration();
    // The bubble while one shows (tests, screenshots), else nullptr.
    static QWidget *widget();
};
