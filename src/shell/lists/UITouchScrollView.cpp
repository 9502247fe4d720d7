#include "UITouchScrollView.h"

#include "FrameLog.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>

UITouchScrollView::UITouchScrollView(QWidget *parent)
    : QScrollArea(parent) {}

void UITouchScrollView::setTouchesdelegate(UIScrollViewTouchesDelegate *delegate) {
    m_delegate = delegate;
    m_delegateObject = dynamic_cast<QObject *>(delegate);
    m_delegateIsObject = m_delegateObject != nullptr;
}

UIScrollViewTouchesDelegate *UITouchScrollView::touchesdelegate() const {
    if (m_delegateIsObject && !m_delegateObject)
        return nullptr;
    return m_delegate;
}

void UITouchScrollView::passToNextResponder(QMouseEvent *event) {
    QWidget *next = parentWidget();
    if (!next)
        return;
    const QPointF local = next->mapFromGlobal(event->globalPosition());
    QMouseEvent copy(event->type(), local, event->scenePosition(), event->globalPosition(),
                     event->button(), event->buttons(), event->modifiers(),
                     event->pointingDevice());
    QCoreApplication::sendEvent(next, &copy);
}

void UITouchScrollView::mousePressEvent(QMouseEvent *event) {
    passToNextResponder(event);
    m_pressed = event->button() == Qt::LeftButton;
    m_dragging = false;
    m_pressPos = m_lastPos = event->position().toPoint();
    QScrollArea::mousePressEvent(event);
    // Passed on already: propagation must not deliver it to the parent a second time.
    event->accept();
}

void UITouchScrollView::mouseMoveEvent(QMouseEvent *event) {
    passToNextResponder(event);
    if (m_pressed) {
        const QPoint pos = event->position().toPoint();
        if (!m_dragging &&
            (pos - m_pressPos).manhattanLength() >= QApplication::startDragDistance())
            m_dragging = true;
        if (m_dragging) {
            const QPoint delta = pos - m_lastPos;
            horizontalScrollBar()->setValue(horizontalScrollBar()->value() - delta.x());
            verticalScrollBar()->setValue(verticalScrollBar()->value() - delta.y());
        }
        m_lastPos = pos;
    }
    QScrollArea::mouseMoveEvent(event);
    // Passed on already: propagation must not deliver it to the parent a second time.
    event->accept();
}

void UITouchScrollView::mouseReleaseEvent(QMouseEvent *event) {
    if (!m_dragging) {
        passToNextResponder(event);
        if (UIScrollViewTouchesDelegate *delegate = touchesdelegate())
            delegate->scrollViewTouchesEnded(event, this);
        qCDebug(lcFrame) << "UITouchScrollView nextResponder touchesEnded";
    }
    m_pressed = false;
    m_dragging = false;
    QScrollArea::mouseReleaseEvent(event);
    // Passed on already: propagation must not deliver it to the parent a second time.
    event->accept();
}
