#pragma once

#include <QString>
#include <QWidget>

// A transient text bubble near the bottom of the window. One at a time: a new toast replaces the
// one showing. A click on it hides it at once. Texts empty after displayText() show nothing;
// without a window the calls do nothing.
class Toast {
public:
    static constexpr double DefaultSeconds = 1.5;
    static constexpr int DefaultDistanceFromBottom = 80;

    static void show(const QString &text);
    static void show(const QString &text, double seconds);
    static void showAtDistanceFromBottom(const QString &text, double seconds, int distance);
    static void hide();

    static bool isShowing();
    // The text as the bubble shows it: control and direction-override characters dropped, every
    // run of blanks and line breaks one space, trimmed, at most MaxShownLength UTF-16 units (cut
    // between two characters as the reader sees them) and an ellipsis after a cut. A service's
    // message cannot reverse words, grow the bubble with empty lines or cover the window.
    static constexpr int MaxShownLength = 200;
    static QString displayText(const QString &text);
    // What the bubble shows (displayText of what was asked for).
    static QString currentText();
    // How long the current toast stays up, in milliseconds (0 when none shows).
    static int currentDuration();
    // The bubble while one shows (tests, screenshots), else nullptr.
    static QWidget *widget();
};
