#include "ModalOverlay.h"

#include "AppWindow.h"
#include "FrameStyle.h"

#include <QApplication>

QWidget *modalOverlayHost() {
    if (AppWindow *window = AppWindow::instance())
        return window;
    return QApplication::activeWindow();
}

ModalOverlay::ModalOverlay(Stack &stack)
    : QWidget(nullptr)
    , m_stack(stack) {}

ModalOverlay::~ModalOverlay() {
    m_stack.removeAll(this);
    if (qApp)
        qApp->removeEventFilter(this);
}

ModalOverlay *ModalOverlay::top(Stack &stack) {
    stack.removeAll(nullptr);
    return stack.isEmpty() ? nullptr : stack.last().data();
}

void ModalOverlay::show() {
    if (m_dismissed || m_stack.contains(this))
        return;
    QWidget *host = modalOverlayHost();
    if (host) {
        setParent(host);
        setGeometry(host->rect());
        host->installEventFilter(this);
    } else {
        resize(FrameStyle::WindowWidth, FrameStyle::WindowHeight);
    }
    m_stack.append(this);
    qApp->installEventFilter(this);
    layoutContent();
    QWidget::show();
    if (parentWidget())
        raise();
    initialFocus()->setFocus(Qt::OtherFocusReason);
}

bool ModalOverlay::dismiss() {
    if (m_dismissed)
        return false;
    m_dismissed = true;
    m_stack.removeAll(this);
    qApp->removeEventFilter(this);
    hide();
    deleteLater();
    return true;
}

bool ModalOverlay::eventFilter(QObject *watched, QEvent *event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
        layoutContent();
    }
    // Keys meant for the screen beneath stop here while this is the top overlay of its kind.
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) &&
        top(m_stack) == this) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget != this && !isAncestorOf(widget) && widget->window() == window())
            return true;
    }
    return QWidget::eventFilter(watched, event);
}
