#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

class QAction;
class QWidget;
class ViewController;

// What a scripted driver sees of the window: the screen on top, the overlays above it, widgets by
// object name, their visible text, and whether the client is still busy. Read-only.
namespace ScreenProbe {

// The screen a person looks at: the last one presented over the window's root, then down
// through tab bars and navigation stacks to the first screen that is not a container.
ViewController *topScreen(QWidget *window);
// The class name of what a person sees on top: the topmost overlay covering at least half the
// window (a dialog's backdrop, the picture browser; not the progress indicator), else the top
// screen. An overlay of a plain Qt class is
// named after the first widget of the program's own classes inside it.
QString onTopName(QWidget *window);
// That overlay, or nullptr: what lies under it is out of a person's reach.
QWidget *coveringOverlay(QWidget *window);
// Visible widgets lying over the screens (alerts, dialogs, browsers, pop-ups), topmost first.
QList<QWidget *> overlays(QWidget *window);
// The first visible widget with that object name: in the overlays first, then in the top screen,
// then outwards in what surrounds it (its navigation bar, the tab bar). When no widget has that
// name, the first visible widget of that class, looked for in the same order. nullptr when none.
QWidget *findWidget(QWidget *window, const QString &name);

// The text a person reads on the widget; nothing for widgets that show no text of their own.
std::optional<QString> visibleText(const QWidget *widget);

// An action of the window's menu bar while the bar shows (the desktop form), by object name.
QAction *findMenuAction(QWidget *window, const QString &name);
// The menu bar while it shows: its menus' titles and their actions (text, key, enabled).
QJsonObject describeMenuBar(QWidget *window);

// The visible widget tree of the screen on top, its navigation bar, the menu bar and the
// overlays: class, object name, text, geometry in window coordinates, enabled, and for item views
// every row.
QJsonObject dump(QWidget *window);
QJsonObject describeTree(const QWidget *widget, const QWidget *window);

// What keeps the client from being settled, right now.
struct Busy {
    int serviceCalls = 0;
    // Of those, calls whose kept answer is drawn already and which only refresh it: the content
    // is there, though the client is not idle.
    int refreshingKept = 0;
    int imageRequests = 0;
    bool progressHud = false;
    int animations = 0;
    // Refresh headers spinning. A spinner is no animation to wait for, but its list is not
    // filled yet.
    int refreshing = 0;

    bool isIdle() const;
    // The screen's content is all there, though slides and drop-downs may still move (their
    // length is fixed, so they say nothing of how quickly the content came) and kept answers
    // shown may still be refreshed.
    bool isContentComplete() const;
    // "2 service calls in flight, the progress indicator is up", or empty when idle.
    QString describe() const;
};
Busy busy(QWidget *window);

} // namespace ScreenProbe
