#pragma once

#include <QPointer>
#include <QScrollArea>

class QMouseEvent;

// Told when a touch on a UITouchScrollView ends without a drag (a tap on the list's background).
class UIScrollViewTouchesDelegate {
public:
    virtual ~UIScrollViewTouchesDelegate() = default;
    virtual void scrollViewTouchesEnded(QMouseEvent *event, QWidget *whichView) = 0;
};

// A scroll area that lets the screen behind it see the touches: mouse press, move and release on
// its viewport go to the next responder (the parent widget) before the area scrolls. A drag of
// the pressed mouse scrolls the content. A release that ends no drag is also handed to the
// touchesdelegate. The delegate is not owned; one that is a QObject is dropped when destroyed.
class UITouchScrollView : public QScrollArea {
    Q_OBJECT
public:
    explicit UITouchScrollView(QWidget *parent = nullptr);

    void setTouchesdelegate(UIScrollViewTouchesDelegate *delegate);
    UIScrollViewTouchesDelegate *touchesdelegate() const;
    // A pressed mouse has moved past the drag distance since the press.
    bool isDragging() const { return m_dragging; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void passToNextResponder(QMouseEvent *event);

    UIScrollViewTouchesDelegate *m_delegate = nullptr;
    QPointer<QObject> m_delegateObject; // set when the delegate is a QObject
    bool m_delegateIsObject = false;
    bool m_pressed = false;
    bool m_dragging = false;
    QPoint m_lastPos;
    QPoint m_pressPos;
};
