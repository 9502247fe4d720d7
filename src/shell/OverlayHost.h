#pragma once

#include <QPointer>
#include <QWidget>

// Finds the widget that the transient overlays (progress indicator, toast) live in: the host set
// explicitly (tests, tools), else the application's one window (AppWindow), else the active or
// the first visible top-level window.
// Nothing at all is a valid answer: the overlays then do nothing.
class OverlayHost {
public:
    static QWidget *host();
    // Overrides the lookup; nullptr goes back to finding the window.
    static void setHost(QWidget *host);
};
