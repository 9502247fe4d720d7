#include "ModalOverlay.h"

#include "AppWindow.h"

#include <QApplication>

QWidget *modalOverlayHost() {
    if (AppWindow *window = AppWindow::instance())
        return window;
    return QApplication::activeWindow();
}
