#include "ModalOverlay.h"

#include <QPainter>

#include "FrameStyle.h"

#include <QApplication>
#include <QEvent>

ModalOverlay::ModalOverlay(Stack &stack)
    : HostedOverlay(Layer::Modal)
    , m_stack(stack) {}

ModalOverlay::~ModalOverlay() {
    m_stack.removeAll(this);
    if (qApp)
        qApp->removeEventFilter(this);
}

ModalOverlay *ModalOverlay::top(Stack &stack) {
    stack.removeAll(nullptr);
    // Only modal overlays are ever put on a modal stack.
    return stack.isEmpty() ? nullptr : static_cast<ModalOverlay *>(stack.last().data());
}

void ModalOverlay::show() {
    if (m_dismissed || m_stack.contains(this))
        return;
    attachTo(OverlayHost::host());
    m_stack.append(this);
    qApp->installEventFilter(this);
    m_focusBefore = QApplication::focusWidget();
    showInLayer();
    initialFocus()->setFocus(Qt::OtherFocusReason);
}

void ModalOverlay::placeInHost() {
    if (QWidget *host = parentWidget())
        setGeometry(host->rect());
    else
        resize(FrameStyle::WindowWidth, FrameStyle::WindowHeight);
    layoutContent();
}

bool ModalOverlay::dismiss() {
    if (m_dismissed)
        return false;
    m_dismissed = true;
    m_stack.removeAll(this);
    qApp->removeEventFilter(this);
    const bool hadFocus = isAncestorOf(QApplication::focusWidget());
    hide();
    // A screen reader and the keyboard carry on from the control that opened this, unless
    // what was chosen moved the focus on (a new screen) or that control is gone.
    if (hadFocus && m_focusBefore && m_focusBefore->isVisible() && m_focusBefore->isEnabled())
        m_focusBefore->setFocus(Qt::OtherFocusReason);
    deleteLater();
    return true;
}

bool ModalOverlay::eventFilter(QObject *watched, QEvent *event) {
    // Keys meant for the screen beneath stop here while this is the top overlay of its kind and
    // shows: one closed from outside (close(), not a choice) keeps nothing from the screen.
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) &&
        top(m_stack) == this && isVisible()) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget != this && !isAncestorOf(widget) && widget->window() == window())
            return true;
        // Its own keys (Esc, Enter) go to the overlay, never to a shortcut of the screen beneath.
        if (event->type() == QEvent::ShortcutOverride && (widget == this || isAncestorOf(widget))) {
            event->accept();
            return true;
        }
    }
    return HostedOverlay::eventFilter(watched, event);
}

void ModalCard::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(rect(), 8, 8);
}
