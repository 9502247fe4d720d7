#pragma once

#include <QString>
#include <QWidget>

// The one application-wide progress indicator. The plain form (a spinner) lets clicks through to
// the screen; the form with a status text dims the window and eats mouse and key input until it
// is dismissed. Showing again while one is up replaces it (text and form). Without a window the
// calls do nothing.
class ProgressHud {
public:
    static void show();
    static void showWithStatus(const QString &status);
    // A tick with the text; hides itself after successInterval(text).
    static void showSuccess(const QString &text);
    static void dismiss();

    static bool isVisible();
    static bool isBlocking();
    static bool isSuccess();
    static QString status();

    // How long a success stays up: 0.3 s plus 0.06 s per character, in milliseconds.
    static int successInterval(const QString &text);
    // The overlay widget while one is up (tests, screenshots), else nullptr.
    static QWidget *widget();
};
