#pragma once

#include <QPointer>
#include <QWidget>

class ViewController;
class WindowMenu;

// The application's one window. Its root screen fills it; presented screens lie above the root
// in the same content layer; overlays (progress, toasts, alerts) are children of the window above
// that layer. F1 and Ctrl+/ show the keys that work at that moment (KeySheet), Ctrl+Q closes it.
// From DesktopForm::MinWidth on a menu bar (WindowMenu) lies above the content. Its title names
// the screen in view. It is never smaller than the smallest phone the client can look like.
class AppWindow : public QWidget {
    Q_OBJECT
public:
    explicit AppWindow(QWidget *parent = nullptr);
    ~AppWindow() override;

    // The newest live window, or nullptr.
    static AppWindow *instance();

    // The old root and every screen presented over it go off screen, then are deleted.
    void setRootViewController(ViewController *controller);
    ViewController *rootViewController() const;
    // Where presented screens are placed.
    QWidget *contentLayer() const { return m_content; }
    // The screen the teacher sees: the root, or the last screen presented over it.
    ViewController *visibleScreen() const;
    // Down from visibleScreen() through tab bars and stacks: the screen whose title the
    // navigation bar shows.
    ViewController *screenInView() const;
    WindowMenu *menu() const { return m_menu; }

    //: The program's name, in the window's title and the about box.
    static QString programName() { return tr("教师端"); }
    // "三年级1班 — 教师端" for a screen with that title, the program's name alone without one.
    static QString titleFor(const QString &screenTitle);
    // A screen appeared, went or changed its title: the title and the menu follow once the
    // events now queued have run, however many screens moved.
    static void screenInViewMayHaveChanged();
    // Gives the keyboard to the first control of `screen` that Tab reaches; false when it has
    // none shown.
    static bool focusFirstControlOf(QWidget *screen);

    // Puts the window where the last interactive run left it (size, place, maximised) and keeps
    // it there on close. Only an interactive run without an explicit size asks: a script, the
    // tour and the tests must start at the size they were given. False when nothing was stored.
    bool rememberGeometry();
    // Where the remembered geometry is kept in the settings file.
    static constexpr const char *GeometryKey = "window/geometry";

    // Closes the window once the grades given are sent and answered. Closing asks first (close()
    // does the same): after HeldChanges::LeavingWaitMs without every answer the teacher chooses
    // to wait on or to leave anyway. Quitting on request (a signal from the session) does not ask:
    // it leaves after the same wait.
    void closeWhenSent(bool ask);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    // F5 that nothing on the screen took: the list in view refreshes.
    void keyPressEvent(QKeyEvent *event) override;
    // The control with the keyboard went away (its screen was covered): the keyboard goes to the
    // screen now in view, not to whatever follows in the window (the sidebar).
    bool focusNextPrevChild(bool next) override;

private:
    void followScreenInView();

    QWidget *m_content;
    WindowMenu *m_menu;
    QPointer<ViewController> m_root;
    bool m_remembersGeometry = false;
    bool m_sending = false;
    bool m_leaveAnyway = false;
    bool m_followQueued = false;
};
