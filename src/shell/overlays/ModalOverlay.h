#pragma once

#include "OverlayHost.h"

#include <QList>
#include <QPointer>

// What alerts and action sheets share: a backdrop over the whole host (a window of its own when
// there is no host) that keeps keys from the screen beneath while it is the top overlay of its
// kind, and closes once for good.
// The white card with rounded corners that holds a modal overlay's content.
class ModalCard : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *event) override;
};

class ModalOverlay : public HostedOverlay {
    Q_OBJECT
public:
    // The overlays of one kind that are up, the latest shown last. Each kind keeps its own, so an
    // alert shown over an action sheet leaves that sheet the current sheet.
    using Stack = QList<QPointer<HostedOverlay>>;

    ~ModalOverlay() override;

    // Into the host (or a window of its own without one), on top of its kind. Nothing when it is
    // already up or has been dismissed.
    void show();

protected:
    explicit ModalOverlay(Stack &stack);

    static ModalOverlay *top(Stack &stack);

    // Off its stack, hidden and deleted later. False when it was dismissed before, so that a
    // second click never reaches the callback.
    bool dismiss();

    // Places the content in the backdrop's current size: before the first show and on each resize.
    virtual void layoutContent() = 0;
    void placeInHost() override;
    virtual QWidget *initialFocus() { return this; }

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Stack &m_stack;
    bool m_dismissed = false;
    // Where the keyboard was when this opened: it goes back there when this closes.
    QPointer<QWidget> m_focusBefore;
};
