#include "OverlayHost.h"

#include <QApplication>

namespace {
QPointer<QWidget> &explicitHost() {
    static QPointer<QWidget> host;
    return host;
}
} // namespace

QWidget *OverlayHost::host() {
    if (QWidget *host = explicitHost())
        return host;
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return nullptr;
    // The application's window is found by class name: the overlays sit below the frame in the
    // layering and must not depend on it. A visible window wins over one not shown yet.
    const auto tops = QApplication::topLevelWidgets();
    QWidget *hiddenAppWindow = nullptr;
    QWidget *fallback = nullptr;
    for (QWidget *top : tops) {
        const Qt::WindowType type = top->windowType();
        if (type == Qt::Popup || type == Qt::ToolTip || type == Qt::SplashScreen)
            continue;
        if (top->inherits("AppWindow")) {
            if (top->isVisible())
                return top;
            if (!hiddenAppWindow)
                hiddenAppWindow = top;
        } else if (!fallback && top->isVisible()) {
            fallback = top;
        }
    }
    if (hiddenAppWindow)
        return hiddenAppWindow;
    if (QWidget *active = QApplication::activeWindow())
        return active;
    return fallback;
}

void OverlayHost::setHost(QWidget *host) {
    explicitHost() = host;
}
