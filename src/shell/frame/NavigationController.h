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

    // The desktop form's detail beside its list. At desktop width, while the screen of this stack
    // that holds `from` is on top, `detail` opens in a pane to its right (a stack of its own,
    // object name detailPane, replacing what the pane held) and the list keeps its place;
    // otherwise, and always inside a pane, it is pushed as on a phone. Crossing the width folds
    // a pushed detail into a pane and back, so the teacher stays where they are.
    void showDetail(ViewController *from, ViewController *detail);
    // Closes the pane; its screens are deleted. False when none was open.
    bool closeDetailPane();
    NavigationController *detailPane() const { return m_pane; }
    // The list the pane lies beside.
    ViewController *detailSource() const { return m_paneSource; }
    // On a pane: the stack it lies in, else nullptr.
    NavigationController *paneOwner() const;
    // The list's and the pane's narrowest widths; the pane's width is kept in the settings.
    static constexpr int PaneMinWidth = 420;
    static constexpr int ListMinWidth = 260;
    static constexpr const char *PaneWidthKey = "window/detailPaneWidth";

    // The top screen, and the pane's screens while it is open beside it.
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
    QRect screenRect(const ViewController *controller) const;
    // Off this stack without being deleted, from `index` up, their appearance ended.
    QList<ViewController *> takeFrom(qsizetype index);
    void openPane(const QList<ViewController *> &screens);
    void replacePaneWith(ViewController *detail);
    void setPaneShown(bool shown);
    void unfoldPane();
    void setPaneWidth(int width);
    void followWidth();

    friend class PaneHandle;

    NavigationBar *m_bar;
    QWidget *m_content;
    QList<QPointer<ViewController>> m_stack;
    QPointer<QAbstractAnimation> m_slide;
    QPointer<QAbstractAnimation> m_barAnimation;
    std::function<void()> m_finishSlide;
    bool m_barHidden = false;
    int m_barVisibleHeight;

    QPointer<NavigationController> m_pane;
    QPointer<ViewController> m_paneSource;
    QPointer<QWidget> m_paneHandle;
    // A detail pushed because the window was narrow, with the list it belongs beside: folded
    // back into a pane when the window grows.
    QPointer<ViewController> m_pushedDetail;
    QPointer<ViewController> m_pushedDetailSource;
    bool m_desktop = false;
    int m_storedPaneWidth;
};
