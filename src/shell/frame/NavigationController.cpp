#include "NavigationController.h"

#include "FrameLog.h"
#include "FrameStyle.h"
#include "NavigationBar.h"

#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QVariantAnimation>

NavigationController::NavigationController(ViewController *root, QWidget *parent)
    : ViewController(parent)
    , m_bar(new NavigationBar(this))
    , m_content(new QWidget(this))
    , m_barVisibleHeight(FrameStyle::NavigationBarHeight) {
    resize(FrameStyle::WindowWidth, FrameStyle::WindowHeight);
    if (root && root != this && !root->parentViewController()) {
        adopt(root);
        m_stack.append(root);
        root->show();
    }
    layoutContent();
    updateBar();
}

NavigationController::~NavigationController() {
    // The screens are deleted by QWidget after this body: they must not call back into a
    // half-destroyed stack.
    if (m_slide) {
        m_slide->disconnect();
        m_slide->stop();
    }
    m_finishSlide = {};
    for (const auto &vc : std::as_const(m_stack)) {
        if (vc)
            disconnect(vc, nullptr, this, nullptr);
    }
}

void NavigationController::adopt(ViewController *controller) {
    controller->setParent(m_content);
    controller->setParentViewController(this);
    controller->setGeometry(m_content->rect());
    connect(controller, &ViewController::navigationItemChanged, this,
            &NavigationController::updateBar);
    // Queued: while QWidget is destroying the screen, its guard is not cleared yet and the object
    // is no longer a screen; afterwards the guard reads null.
    connect(controller, &QObject::destroyed, this, &NavigationController::pruneDeleted,
            Qt::QueuedConnection);
}

void NavigationController::release(ViewController *controller) {
    disconnect(controller, nullptr, this, nullptr);
    controller->setParentViewController(nullptr);
    controller->hide();
    controller->deleteLater();
}

QList<ViewController *> NavigationController::viewControllers() const {
    QList<ViewController *> list;
    for (const auto &vc : m_stack) {
        if (vc)
            list.append(vc);
    }
    return list;
}

ViewController *NavigationController::topViewController() const {
    for (auto it = m_stack.crbegin(); it != m_stack.crend(); ++it) {
        if (*it)
            return *it;
    }
    return nullptr;
}

ViewController *NavigationController::rootViewController() const {
    for (const auto &vc : m_stack) {
        if (vc)
            return vc;
    }
    return nullptr;
}

QList<ViewController *> NavigationController::visibleChildViewControllers() const {
    if (ViewController *top = topViewController())
        return {top};
    return {};
}

void NavigationController::pushViewController(ViewController *controller, bool animated) {
    if (!controller || controller == this || viewControllers().contains(controller) ||
        controller->isAncestorOf(this)) {
        qCWarning(lcFrame) << "ignored a push of" << controller;
        return;
    }
    if (controller->parentViewController() || controller->presentingViewController()) {
        qCWarning(lcFrame) << "ignored a push of a screen that belongs elsewhere" << controller;
        return;
    }
    finishTransitions();
    ViewController *from = topViewController();
    adopt(controller);
    m_stack.append(controller);
    emit viewControllersChanged();
    transition(from, controller, true, animated, {});
}

ViewController *NavigationController::popViewController(bool animated) {
    finishTransitions();
    pruneDeleted();
    if (m_stack.size() < 2)
        return nullptr;
    const QList<ViewController *> popped =
        popToViewController(m_stack.at(m_stack.size() - 2), animated);
    return popped.isEmpty() ? nullptr : popped.last();
}

QList<ViewController *> NavigationController::popToRootViewController(bool animated) {
    finishTransitions();
    pruneDeleted();
    if (m_stack.isEmpty())
        return {};
    return popToViewController(m_stack.first(), animated);
}

QList<ViewController *> NavigationController::popToViewController(ViewController *controller,
                                                                  bool animated) {
    finishTransitions();
    pruneDeleted();
    const qsizetype index = m_stack.indexOf(controller);
    if (index < 0 || index == m_stack.size() - 1)
        return {};
    QList<ViewController *> popped;
    for (qsizetype i = index + 1; i < m_stack.size(); ++i)
        popped.append(m_stack.at(i));
    m_stack.resize(index + 1);
    emit viewControllersChanged();

    QList<QPointer<ViewController>> guards(popped.cbegin(), popped.cend());
    QPointer<NavigationController> self = this;
    transition(popped.last(), controller, false, animated, [self, guards] {
        for (const auto &vc : guards) {
            if (vc && self)
                self->release(vc);
            else if (vc)
                vc->deleteLater();
        }
    });
    return popped;
}

void NavigationController::transition(ViewController *from, ViewController *to, bool forward,
                                      bool animated, std::function<void()> after) {
    const bool onScreen =
        appearance() == Appearance::Appeared || appearance() == Appearance::Appearing;
    updateBar();
    if (onScreen) {
        if (from)
            from->beginAppearanceTransition(false, animated);
        to->beginAppearanceTransition(true, animated);
    }
    to->setGeometry(m_content->rect());
    to->show();

    QPointer<ViewController> fromGuard = from;
    QPointer<ViewController> toGuard = to;
    const bool settled = appearance() == Appearance::Appeared;
    auto finish = [fromGuard, toGuard, onScreen, settled, after = std::move(after)] {
        if (fromGuard && fromGuard != toGuard)
            fromGuard->hide();
        if (toGuard)
            toGuard->move(0, 0);
        if (onScreen && fromGuard)
            fromGuard->endAppearanceTransition();
        // A stack that is itself still appearing completes its top with its own end.
        if (onScreen && settled && toGuard)
            toGuard->endAppearanceTransition();
        if (after)
            after();
    };

    if (!animated || !onScreen || !from || !isVisible()) {
        if (from)
            (forward ? to : from)->raise();
        finish();
        return;
    }

    const int w = m_content->width();
    auto *group = new QParallelAnimationGroup(this);
    auto *toSlide = new QPropertyAnimation(to, "pos", group);
    auto *fromSlide = new QPropertyAnimation(from, "pos", group);
    for (auto *slide : {toSlide, fromSlide}) {
        slide->setDuration(FrameStyle::TransitionMilliseconds);
        slide->setEasingCurve(QEasingCurve::OutCubic);
    }
    if (forward) {
        to->raise();
        toSlide->setStartValue(QPoint(w, 0));
        fromSlide->setEndValue(QPoint(-w / 3, 0));
    } else {
        from->raise();
        toSlide->setStartValue(QPoint(-w / 3, 0));
        fromSlide->setEndValue(QPoint(w, 0));
    }
    toSlide->setEndValue(QPoint(0, 0));
    fromSlide->setStartValue(QPoint(0, 0));
    to->move(toSlide->startValue().toPoint());

    m_slide = group;
    m_finishSlide = std::move(finish);
    connect(group, &QAbstractAnimation::finished, this, &NavigationController::finishTransitions);
    group->start(QAbstractAnimation::DeleteWhenStopped);
}

bool NavigationController::isTransitioning() const {
    return bool(m_finishSlide) ||
           (m_barAnimation && m_barAnimation->state() == QAbstractAnimation::Running);
}

void NavigationController::finishTransitions() {
    if (m_slide) {
        QAbstractAnimation *slide = m_slide;
        m_slide = nullptr;
        slide->disconnect(this);
        slide->stop(); // deletes itself when stopped
    }
    if (auto finish = std::exchange(m_finishSlide, {}))
        finish();
    if (m_barAnimation) {
        QAbstractAnimation *bar = m_barAnimation;
        m_barAnimation = nullptr;
        bar->stop();
        m_barVisibleHeight = m_barHidden ? 0 : FrameStyle::NavigationBarHeight;
        layoutContent();
    }
}

void NavigationController::pruneDeleted() {
    ViewController *newTop = nullptr;
    for (auto it = m_stack.crbegin(); it != m_stack.crend(); ++it) {
        if (!*it)
            continue; // the deleted screen, if it was on top, is found missing below
        newTop = *it;
        break;
    }
    const qsizetype before = m_stack.size();
    const bool topWasDeleted = !m_stack.isEmpty() && !m_stack.last();
    m_stack.removeIf([](const QPointer<ViewController> &vc) { return vc.isNull(); });
    if (m_stack.size() == before)
        return;
    if (topWasDeleted && newTop) {
        // A screen deleted from outside while on top: the one beneath takes its place.
        newTop->setGeometry(m_content->rect());
        newTop->show();
        if (appearance() == Appearance::Appeared) {
            newTop->beginAppearanceTransition(true, false);
            newTop->endAppearanceTransition();
        }
    }
    updateBar();
    emit viewControllersChanged();
}

void NavigationController::updateBar() {
    ViewController *top = topViewController();
    m_bar->setTitle(top ? top->title() : QString());
    m_bar->setTitleView(top ? top->titleView() : nullptr);
    m_bar->setLeftItem(top ? top->leftBarButton() : nullptr);
    m_bar->setRightItem(top ? top->rightBarButton() : nullptr);
}

void NavigationController::setNavigationBarHidden(bool hidden, bool animated) {
    if (m_barAnimation) {
        QAbstractAnimation *bar = m_barAnimation;
        m_barAnimation = nullptr;
        bar->stop();
    }
    m_barHidden = hidden;
    const int target = hidden ? 0 : FrameStyle::NavigationBarHeight;
    if (!animated || !isVisible() || m_barVisibleHeight == target) {
        m_barVisibleHeight = target;
        layoutContent();
        return;
    }
    auto *animation = new QVariantAnimation(this);
    animation->setDuration(FrameStyle::TransitionMilliseconds);
    animation->setStartValue(m_barVisibleHeight);
    animation->setEndValue(target);
    connect(animation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_barVisibleHeight = value.toInt();
        layoutContent();
    });
    m_barAnimation = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void NavigationController::resizeEvent(QResizeEvent *event) {
    ViewController::resizeEvent(event);
    layoutContent();
}

void NavigationController::layoutContent() {
    const int barHeight = FrameStyle::NavigationBarHeight;
    m_bar->setGeometry(0, m_barVisibleHeight - barHeight, width(), barHeight);
    m_bar->setVisible(m_barVisibleHeight > 0);
    m_content->setGeometry(0, m_barVisibleHeight, width(), qMax(0, height() - m_barVisibleHeight));
    for (const auto &vc : std::as_const(m_stack)) {
        if (vc)
            vc->setGeometry(QRect(vc->pos().x(), 0, m_content->width(), m_content->height()));
    }
}
