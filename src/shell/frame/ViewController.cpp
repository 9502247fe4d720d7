#include "ViewController.h"

#include "AppWindow.h"
#include "FrameLog.h"
#include "FrameStyle.h"
#include "NavigationController.h"
#include "NotificationCenter.h"
#include "TabBarController.h"

#include <QEvent>
#include <QLayout>
#include <QPropertyAnimation>

Q_LOGGING_CATEGORY(lcFrame, "teacher.frame")

ViewController::ViewController(QWidget *parent)
    : QWidget(parent) {
    // Opaque, so a presented or sliding screen hides what lies beneath it.
    setAutoFillBackground(true);
}

ViewController::~ViewController() {
    NotificationCenter::removeObserver(this);
    // Bar widgets may live in a navigation bar rather than in this widget. Later, because the
    // screen may be going away from inside one of their own click handlers.
    for (QWidget *item : {m_titleView.data(), m_leftBarButton.data(), m_rightBarButton.data()}) {
        if (item && item->parentWidget() != this) {
            item->hide();
            item->deleteLater();
        }
    }
    if (m_presentedViewController) {
        // What this screen presented has no reason to outlive it.
        ViewController *presented = m_presentedViewController;
        presented->m_presentingViewController = nullptr;
        presented->hide();
        presented->deleteLater();
    }
    if (m_presentingViewController)
        m_presentingViewController->m_presentedViewController = nullptr;
    if (m_parentViewController)
        m_parentViewController->m_children.removeAll(this);
    // Child screens are deleted after this body (by QWidget), when this is no longer a screen:
    // they must not reach back into it.
    for (const auto &child : std::as_const(m_children)) {
        if (child)
            child->m_parentViewController = nullptr;
    }
}

void ViewController::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange && m_viewLoaded)
        retranslate();
}

void ViewController::setTitle(const QString &title) {
    if (m_title == title)
        return;
    m_title = title;
    emit navigationItemChanged();
    AppWindow::screenInViewMayHaveChanged();
}

void ViewController::adoptBarWidget(QPointer<QWidget> &slot, QWidget *widget) {
    if (slot == widget)
        return;
    if (QWidget *old = slot.data()) {
        old->hide();
        old->deleteLater();
    }
    slot = widget;
    if (widget && !widget->parentWidget()) {
        // Kept hidden here until a navigation bar shows it.
        widget->setParent(this);
        widget->hide();
    }
    emit navigationItemChanged();
}

void ViewController::setTitleView(QWidget *view) {
    adoptBarWidget(m_titleView, view);
}

void ViewController::setLeftBarButton(QWidget *button) {
    adoptBarWidget(m_leftBarButton, button);
}

void ViewController::setRightBarButton(QWidget *button) {
    adoptBarWidget(m_rightBarButton, button);
}

void ViewController::setHidesBottomBarWhenPushed(bool hides) {
    m_hidesBottomBarWhenPushed = hides;
}

NavigationController *ViewController::navigationController() const {
    for (ViewController *vc = m_parentViewController; vc; vc = vc->m_parentViewController) {
        if (auto *nav = qobject_cast<NavigationController *>(vc))
            return nav;
    }
    return nullptr;
}

TabBarController *ViewController::tabBarController() const {
    for (ViewController *vc = m_parentViewController; vc; vc = vc->m_parentViewController) {
        if (auto *tabs = qobject_cast<TabBarController *>(vc))
            return tabs;
    }
    return nullptr;
}

QList<ViewController *> ViewController::childViewControllers() const {
    QList<ViewController *> children;
    for (const auto &child : m_children) {
        if (child)
            children.append(child);
    }
    return children;
}

void ViewController::setParentViewController(ViewController *parent) {
    if (m_parentViewController == parent)
        return;
    if (m_parentViewController)
        m_parentViewController->m_children.removeAll(this);
    m_parentViewController = parent;
    if (parent)
        parent->m_children.append(this);
}

void ViewController::addChildViewController(ViewController *child, QWidget *container) {
    if (!child || child == this || child->m_parentViewController == this)
        return;
    if (child->isAncestorOf(this)) {
        qCWarning(lcFrame) << "a screen cannot contain its own parent";
        return;
    }
    if (child->m_parentViewController)
        child->removeFromParentViewController();
    const bool explicitlyHidden =
        child->testAttribute(Qt::WA_WState_ExplicitShowHide) && child->isHidden();
    QWidget *host = container && (container == this || isAncestorOf(container)) ? container : this;
    if (child->parentWidget() != host)
        child->setParent(host);
    if (!host->layout() || host->layout()->indexOf(child) < 0)
        child->setGeometry(host->rect());
    child->setVisible(!explicitlyHidden);
    child->setParentViewController(this);
    if (explicitlyHidden)
        return;
    if (m_appearance == Appearance::Appearing) {
        child->beginAppearanceTransition(true, m_transitionAnimated);
    } else if (m_appearance == Appearance::Appeared) {
        child->beginAppearanceTransition(true, false);
        child->endAppearanceTransition();
    }
}

void ViewController::removeFromParentViewController() {
    if (!m_parentViewController)
        return;
    if (m_appearance == Appearance::Appeared || m_appearance == Appearance::Appearing) {
        beginAppearanceTransition(false, false);
        endAppearanceTransition();
    }
    hide();
    setParentViewController(nullptr);
}

void ViewController::transitionFromViewController(ViewController *from, ViewController *to) {
    if (from == to || (to && to->m_parentViewController != this) ||
        (from && from->m_parentViewController != this))
        return;
    const bool onScreen =
        m_appearance == Appearance::Appeared || m_appearance == Appearance::Appearing;
    if (onScreen && from)
        from->beginAppearanceTransition(false, false);
    if (to) {
        QWidget *host = to->parentWidget();
        if (host && (!host->layout() || host->layout()->indexOf(to) < 0))
            to->setGeometry(host->rect());
        if (onScreen)
            to->beginAppearanceTransition(true, false);
        to->show();
        to->raise();
    }
    if (from)
        from->hide();
    if (onScreen && from)
        from->endAppearanceTransition();
    if (onScreen && to && m_appearance == Appearance::Appeared)
        to->endAppearanceTransition();
}

void ViewController::loadViewIfNeeded() {
    if (m_viewLoaded)
        return;
    m_viewLoaded = true;
    viewDidLoad();
}

void ViewController::beginAppearanceTransition(bool isAppearing, bool animated) {
    if (isAppearing) {
        if (m_appearance == Appearance::Appearing || m_appearance == Appearance::Appeared)
            return;
        loadViewIfNeeded();
        m_appearance = Appearance::Appearing;
        m_transitionAnimated = animated;
        viewWillAppear(animated);
    } else {
        if (m_appearance == Appearance::Disappearing || m_appearance == Appearance::Disappeared)
            return;
        m_appearance = Appearance::Disappearing;
        m_transitionAnimated = animated;
        viewWillDisappear(animated);
    }
    emit appearanceChanged(m_appearance);
    for (ViewController *child : visibleChildViewControllers())
        child->beginAppearanceTransition(isAppearing, animated);
}

void ViewController::endAppearanceTransition() {
    if (m_appearance == Appearance::Appearing) {
        m_appearance = Appearance::Appeared;
        viewDidAppear(m_transitionAnimated);
    } else if (m_appearance == Appearance::Disappearing) {
        m_appearance = Appearance::Disappeared;
        viewDidDisappear(m_transitionAnimated);
    } else {
        return;
    }
    emit appearanceChanged(m_appearance);
    AppWindow::screenInViewMayHaveChanged();
    for (ViewController *child : visibleChildViewControllers())
        child->endAppearanceTransition();
}

QList<ViewController *> ViewController::visibleChildViewControllers() const {
    QList<ViewController *> visible;
    for (const auto &child : m_children) {
        if (child && child->isVisibleTo(const_cast<ViewController *>(this)))
            visible.append(child);
    }
    return visible;
}

ViewController *ViewController::presentingViewController() const {
    for (const ViewController *vc = this; vc; vc = vc->m_parentViewController) {
        if (vc->m_presentingViewController)
            return vc->m_presentingViewController;
    }
    return nullptr;
}

ViewController *ViewController::presentedViewController() const {
    for (const ViewController *vc = this; vc; vc = vc->m_parentViewController) {
        if (vc->m_presentedViewController)
            return vc->m_presentedViewController;
    }
    return nullptr;
}

ViewController *ViewController::presentationContext() {
    ViewController *context = this;
    while (context->m_parentViewController)
        context = context->m_parentViewController;
    while (context->m_presentedViewController)
        context = context->m_presentedViewController;
    return context;
}

void ViewController::finishPresentation() {
    // Completing one transition may start nothing new, but run it from a local copy anyway.
    if (auto pending = std::exchange(m_pendingPresentation, {}))
        pending();
}

void ViewController::presentViewController(ViewController *controller, bool animated,
                                           std::function<void()> done) {
    if (!controller || controller == this || controller->m_parentViewController ||
        controller->m_presentingViewController || controller->isAncestorOf(this)) {
        qCWarning(lcFrame) << "cannot present" << controller;
        return;
    }
    ViewController *context = presentationContext();
    context->finishPresentation();
    context = presentationContext();

    QWidget *host = context->parentWidget() ? context->parentWidget() : context;
    controller->setParent(host);
    controller->setGeometry(host == context ? context->rect() : context->geometry());
    controller->m_presentingViewController = context;
    context->m_presentedViewController = controller;

    const bool onScreen = context->m_appearance == Appearance::Appeared ||
                          context->m_appearance == Appearance::Appearing;
    if (onScreen) {
        context->beginAppearanceTransition(false, animated);
        controller->beginAppearanceTransition(true, animated);
    }
    controller->show();
    controller->raise();

    QPointer<ViewController> ctx = context;
    QPointer<ViewController> presented = controller;
    auto finish = [ctx, presented, host, onScreen, done = std::move(done)] {
        if (ctx && presented && host != ctx.data())
            ctx->hide();
        if (onScreen) {
            if (ctx)
                ctx->endAppearanceTransition();
            if (presented)
                presented->endAppearanceTransition();
        }
        if (done)
            done();
    };
    if (!animated || !onScreen || !controller->isVisible()) {
        finish();
        return;
    }
    auto *slide = new QPropertyAnimation(controller, "pos", controller);
    slide->setDuration(FrameStyle::TransitionMilliseconds);
    slide->setStartValue(controller->pos() + QPoint(0, controller->height()));
    slide->setEndValue(controller->pos());
    slide->setEasingCurve(QEasingCurve::OutCubic);
    controller->move(slide->startValue().toPoint());
    const QPoint end = slide->endValue().toPoint();
    context->m_pendingPresentation = [slide = QPointer(slide), presented, end, finish] {
        if (slide) {
            slide->disconnect();
            slide->stop();
            slide->deleteLater();
        }
        if (presented)
            presented->move(end);
        finish();
    };
    QObject::connect(slide, &QAbstractAnimation::finished, context, [ctx] {
        if (ctx)
            ctx->finishPresentation();
    });
    slide->start();
}

void ViewController::dismissViewController(bool animated, std::function<void()> done) {
    // Presenting something: close that. Presented (or inside something presented): ask the
    // presenting screen to close it.
    for (ViewController *vc = this; vc; vc = vc->m_parentViewController) {
        if (vc->m_presentedViewController) {
            vc->dismissPresented(animated, std::move(done));
            return;
        }
    }
    if (ViewController *presenter = presentingViewController()) {
        presenter->dismissPresented(animated, std::move(done));
        return;
    }
    if (done)
        done();
}

void ViewController::dismissPresented(bool animated, std::function<void()> done) {
    // A presentation still sliding in ends first, so its completion runs before the dismissal.
    for (ViewController *vc = this; vc; vc = vc->m_presentedViewController)
        vc->finishPresentation();

    QList<QPointer<ViewController>> chain;
    for (ViewController *vc = m_presentedViewController; vc; vc = vc->m_presentedViewController)
        chain.append(vc);
    if (chain.isEmpty()) {
        if (done)
            done();
        return;
    }
    ViewController *top = chain.last();
    const bool onScreen =
        top->m_appearance == Appearance::Appeared || top->m_appearance == Appearance::Appearing;
    show();
    if (onScreen) {
        top->beginAppearanceTransition(false, animated);
        beginAppearanceTransition(true, animated);
    }
    QPointer<ViewController> self = this;
    QPointer<ViewController> topGuard = top;
    auto finish = [self, chain, topGuard, onScreen, done = std::move(done)] {
        if (onScreen) {
            if (topGuard)
                topGuard->endAppearanceTransition();
            if (self)
                self->endAppearanceTransition();
        }
        if (self)
            self->m_presentedViewController = nullptr;
        for (const auto &vc : chain) {
            if (!vc)
                continue;
            vc->m_presentingViewController = nullptr;
            vc->m_presentedViewController = nullptr;
            vc->hide();
            vc->deleteLater();
        }
        if (done)
            done();
    };
    if (!animated || !onScreen || !top->isVisible()) {
        finish();
        return;
    }
    auto *slide = new QPropertyAnimation(top, "pos", top);
    slide->setDuration(FrameStyle::TransitionMilliseconds);
    slide->setStartValue(top->pos());
    slide->setEndValue(top->pos() + QPoint(0, top->height()));
    slide->setEasingCurve(QEasingCurve::InCubic);
    m_pendingPresentation = [slide = QPointer(slide), finish] {
        if (slide) {
            slide->disconnect();
            slide->stop();
        }
        finish();
    };
    QObject::connect(slide, &QAbstractAnimation::finished, this, [self] {
        if (self)
            self->finishPresentation();
    });
    slide->start();
}
