#pragma once

#include "ViewController.h"

#include <QPointer>

#include <functional>

class NavigationBar;
class QAbstractAnimation;

// A stack of screens under a navigation bar. Only the top screen is shown; it fills the space
// below the bar (or everything when the bar is hidden). Popped screens are deleted once their
// disappearance has ended. An animated push or pop slides for a quarter second; starting another
// one completes the running one at once, so the stack is never half-changed.
class NavigationController : public ViewController {
    Q_OBJECT
public:
    explicit NavigationController(ViewController *root, QWidget *parent = nullptr);
    ~NavigationController() override;

    // Ignored for nullptr and for a screen already on this stack.
    void pushViewController(ViewController *controller, bool animated);
    // The popped screen (valid until control returns to the event loop, then deleted), or
    // nullptr when only the root is left.
    ViewController *popViewController(bool animated);
    // Pops everything above the root; only the top screen shows the disappearance.
    QList<ViewController *> popToRootViewController(bool animated);
    // Pops everything above `controller`, which must be on this stack.
    QList<ViewController *> popToViewController(ViewController *controller, bool animated);

    QList<ViewController *> viewControllers() const;
    ViewController *topViewController() const;
    ViewController *rootViewController() const;

    void setNavigationBarHidden(bool hidden, bool animated);
    bool isNavigationBarHidden() const { return m_barHidden; }
    NavigationBar *navigationBar() const { return m_bar; }

    // Completes a running slide (or bar animation) at once.
    void finishTransitions();
    bool isTransitioning() const;

    QList<ViewController *> visibleChildViewControllers() const override;

signals:
    // After every change of the stack (push, pop, a screen deleted from outside).
    void viewControllersChanged();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void transition(ViewController *from, ViewController *to, bool forward, bool animated,
                    std::function<void()> after);
    void updateBar();
    void layoutContent();
    void pruneDeleted();
    void adopt(ViewController *controller);
    void release(ViewController *controller);

    NavigationBar *m_bar;
    QWidget *m_content;
    QList<QPointer<ViewController>> m_stack;
    QPointer<QAbstractAnimation> m_slide;
    QPointer<QAbstractAnimation> m_barAnimation;
    std::function<void()> m_finishSlide;
    bool m_barHidden = false;
    int m_barVisibleHeight;
};
