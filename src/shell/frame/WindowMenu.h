#pragma once

#include <QObject>
#include <QPointer>

class AppWindow;
class QAction;
class QMenu;
class QMenuBar;
class SideBar;

// The menu bar of the window's desktop form, hidden below DesktopForm::MinWidth. Its actions do
// what the keys do: export, print, refresh and back call the shortcut the screen in view
// registered (or the refresh the window falls back on), and are disabled where the screen has
// none; Ctrl+Q and F1 are the window's own keys at every width. update() follows the screen.
class WindowMenu : public QObject {
    Q_OBJECT
public:
    explicit WindowMenu(AppWindow *window);

    QMenuBar *bar() const { return m_bar; }
    // Shows or hides the bar for the window's width and places it on top; its height when shown.
    int follow();
    // Enables what applies to the screen in view; the menus also ask again as they open.
    void update();

    // As the package's metadata names it (packaging/teacher-client.metainfo.xml.in).
    static QString licence() { return QStringLiteral("LicenseRef-proprietary"); }
    // The program's name, its version, the service it talks to and its licence.
    static void showAbout();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The menus' and actions' texts, in the current language.
    void applyTexts();
    QAction *add(QMenu *menu, const char *name, const QString &text, const QKeySequence &key);
    // Does what `key` does on the screen in view; false when nothing there answers it.
    bool pressKey(const QKeySequence &key, bool run);
    bool refresh(bool run);
    bool canGoBack() const;
    bool canSignOut() const;
    SideBar *sideBarShown() const;

    AppWindow *m_window;
    QMenuBar *m_bar;
    QAction *m_export = nullptr;
    QAction *m_print = nullptr;
    QAction *m_signOut = nullptr;
    QAction *m_refresh = nullptr;
    QAction *m_back = nullptr;
    QAction *m_sidebar = nullptr;
};
