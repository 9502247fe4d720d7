#include "NavigationController.h"

#include "DesktopForm.h"
#include "FrameLog.h"
#include "FrameStyle.h"
#include "NavigationBar.h"
#include "SettingsStore.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QSettings>
#include <QShortcut>
#include <QVariantAnimation>

// The line between a list and its detail pane; dragging it sets the pane's width for every pane
// from then on.
class PaneHandle : public QWidget {
public:
    static constexpr int Width = 6;

    explicit PaneHandle(NavigationController *stack, QWidget *parent)
        : QWidget(parent)
        , m_stack(stack) {
        setObjectName(QStringLiteral("detailPaneHandle"));
        setCursor(Qt::SplitHCursor);
        applyTexts();
    }

protected:
    void changeEvent(QEvent *event) override {
        QWidget::changeEvent(event);
        if (event->type() == QEvent::LanguageChange)
            applyTexts();
    }

    void applyTexts() {
        setAccessibleName(QCoreApplication::translate("NavigationController", "调整详情宽度"));
    }

    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(FrameStyle::BackgroundColor));
        painter.fillRect(QRect(width() / 2, 0, 1, height()), QColor(FrameStyle::PaleLine));
    }
    void mousePressEvent(QMouseEvent *event) override {
        m_grab = event->position().x();
        event->accept();
    }
    void mouseMoveEvent(QMouseEvent *event) override {
        if (!(event->buttons() & Qt::LeftButton) || !m_stack->m_pane)
            return;
        const int dx = qRound(event->position().x() - m_grab);
        m_stack->setPaneWidth(m_stack->m_pane->width() - dx);
    }
    void mouseReleaseEvent(QMouseEvent *) override {
        if (m_stack->m_pane) {
            SettingsStore::settings().setValue(QLatin1String(NavigationController::PaneWidthKey),
                                               m_stack->m_pane->width());
            SettingsStore::flushSoon();
        }
    }

private:
    NavigationController *m_stack;
    qreal m_grab = 0;
};

namespace {
// The screen on `stack` that is `screen` or holds it (a list inside a segmented screen), or null.
ViewController *memberHolding(const NavigationController *stack, ViewController *screen) {
    for (ViewController *vc = screen; vc; vc = vc->parentViewController()) {
        if (vc->parentViewController() == stack)
            return vc;
    }
    return nullptr;
}

int rememberedPaneWidth() {
    const int stored =
        SettingsStore::settings().value(QLatin1String(NavigationController::PaneWidthKey)).toInt();
    return stored > 0 ? stored : NavigationController::PaneMinWidth + 100;
}
} // namespace

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
    if (m_pane)
        disconnect(m_pane, nullptr, this, nullptr);
}

void NavigationController::adopt(ViewController *controller) {
    controller->setParent(m_content);
    controller->setParentViewController(this);
    controller->setGeometry(screenRect(controller));
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
    QList<ViewController *> shown;
    if (ViewController *top = topViewController())
        shown.append(top);
    if (m_pane && !m_pane->isHidden())
        shown.append(m_pane);
    return shown;
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
    if (from && from == m_paneSource)
        setPaneShown(false);
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
    if (m_paneSource && popped.contains(m_paneSource.data()))
        closeDetailPane();
    m_stack.resize(index + 1);
    emit viewControllersChanged();

    QList<QPointer<ViewController>> guards(popped.cbegin(), popped.cend());
    QPointer<NavigationController> self = this;
    const bool backToPane = m_pane && controller == m_paneSource;
    transition(popped.last(), controller, false, animated, [self, guards, backToPane] {
        for (const auto &vc : guards) {
            if (vc && self)
                self->release(vc);
            else if (vc)
                vc->deleteLater();
        }
        if (!self || !backToPane || !self->m_pane)
            return;
        if (DesktopForm::holds(self))
            self->setPaneShown(true);
        else
            self->unfoldPane();
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
    to->setGeometry(screenRect(to));
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
    if (m_pane && !m_paneSource)
        closeDetailPane();
    if (topWasDeleted && newTop) {
        // A screen deleted from outside while on top: the one beneath takes its place.
        newTop->setGeometry(screenRect(newTop));
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
    followWidth();
}

void NavigationController::layoutContent() {
    const int barHeight = FrameStyle::NavigationBarHeight;
    m_bar->setGeometry(0, m_barVisibleHeight - barHeight, width(), barHeight);
    m_bar->setVisible(m_barVisibleHeight > 0);
    m_content->setGeometry(0, m_barVisibleHeight, width(), qMax(0, height() - m_barVisibleHeight));
    for (const auto &vc : std::as_const(m_stack)) {
        if (vc)
            vc->setGeometry(QRect(vc->pos().x(), 0, screenRect(vc).width(), m_content->height()));
    }
    if (m_pane) {
        const int listWidth = m_paneSource ? screenRect(m_paneSource).width() : 0;
        m_paneHandle->setGeometry(listWidth, 0, PaneHandle::Width, m_content->height());
        const int left = listWidth + PaneHandle::Width;
        m_pane->setGeometry(left, 0, qMax(0, m_content->width() - left), m_content->height());
    }
}

QRect NavigationController::screenRect(const ViewController *controller) const {
    QRect rect = m_content->rect();
    if (m_pane && controller && controller == m_paneSource) {
        const int pane =
            qBound(PaneMinWidth, m_storedPaneWidth,
                   qMax(PaneMinWidth, rect.width() - ListMinWidth - PaneHandle::Width));
        rect.setWidth(qMax(ListMinWidth, rect.width() - pane - PaneHandle::Width));
    }
    return rect;
}

NavigationController *NavigationController::paneOwner() const {
    auto *owner = qobject_cast<NavigationController *>(parentViewController());
    return owner && owner->m_pane == this ? owner : nullptr;
}

void NavigationController::showDetail(ViewController *from, ViewController *detail) {
    if (!detail)
        return;
    ViewController *source = memberHolding(this, from);
    const bool beside =
        source && source == topViewController() && !paneOwner() && DesktopForm::holds(this);
    if (!beside) {
        pushViewController(detail, true);
        if (source && topViewController() == detail) {
            m_pushedDetail = detail;
            m_pushedDetailSource = source;
        }
        return;
    }
    if (m_pane && m_paneSource == source) {
        replacePaneWith(detail);
        return;
    }
    closeDetailPane();
    m_paneSource = source;
    openPane({detail});
}

void NavigationController::openPane(const QList<ViewController *> &screens) {
    if (screens.isEmpty() || !m_paneSource)
        return;
    m_pane = new NavigationController(screens.first(), m_content);
    m_pane->setObjectName(QStringLiteral("detailPane"));
    m_pane->setParentViewController(this);
    m_pane->hide();
    for (qsizetype i = 1; i < screens.size(); ++i)
        m_pane->pushViewController(screens.at(i), false);
    if (m_storedPaneWidth <= 0)
        m_storedPaneWidth = rememberedPaneWidth();
    m_paneHandle = new PaneHandle(this, m_content);
    // A list with a back button closes the pane with its back keys first (BasicVC); one without
    // (a section's root) gets the keys for as long as the pane is open.
    if (!m_paneSource->leftBarButton()) {
        for (const QKeySequence &key :
             {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::AltModifier | Qt::Key_Left)}) {
            auto *shortcut = new QShortcut(key, m_paneSource);
            shortcut->setWhatsThis(tr("关闭详情"));
            shortcut->setContext(Qt::WidgetWithChildrenShortcut);
            connect(shortcut, &QShortcut::activated, this, [this] { closeDetailPane(); });
            connect(m_pane, &QObject::destroyed, shortcut, &QObject::deleteLater);
        }
    }
    connect(m_pane, &QObject::destroyed, this, [this] {
        if (m_paneHandle)
            m_paneHandle->deleteLater();
        layoutContent();
        emit viewControllersChanged();
    });
    setPaneShown(true);
    emit viewControllersChanged();
}

void NavigationController::replacePaneWith(ViewController *detail) {
    NavigationController *pane = m_pane;
    pane->finishTransitions();
    const QList<ViewController *> old = pane->viewControllers();
    if (old.contains(detail))
        return;
    pane->adopt(detail);
    pane->m_stack = {detail};
    QList<QPointer<ViewController>> guards(old.cbegin(), old.cend());
    QPointer<NavigationController> paneGuard = pane;
    pane->transition(old.isEmpty() ? nullptr : old.last(), detail, true, false,
                     [paneGuard, guards] {
                         for (const auto &vc : guards) {
                             if (vc && paneGuard)
                                 paneGuard->release(vc);
                             else if (vc)
                                 vc->deleteLater();
                         }
                     });
    emit pane->viewControllersChanged();
}

void NavigationController::setPaneShown(bool shown) {
    if (!m_pane || shown == !m_pane->isHidden())
        return;
    const bool onScreen =
        appearance() == Appearance::Appeared || appearance() == Appearance::Appearing;
    if (shown) {
        layoutContent();
        m_pane->show();
        m_paneHandle->show();
        m_pane->raise();
        m_paneHandle->raise();
        if (onScreen) {
            m_pane->beginAppearanceTransition(true, false);
            if (appearance() == Appearance::Appeared)
                m_pane->endAppearanceTransition();
        }
    } else {
        if (onScreen) {
            m_pane->beginAppearanceTransition(false, false);
            m_pane->endAppearanceTransition();
        }
        m_pane->hide();
        m_paneHandle->hide();
    }
    layoutContent();
}

bool NavigationController::closeDetailPane() {
    if (!m_pane)
        return false;
    NavigationController *pane = m_pane;
    setPaneShown(false);
    m_pane = nullptr;
    m_paneSource = nullptr;
    disconnect(pane, nullptr, this, nullptr);
    pane->setParentViewController(nullptr);
    pane->deleteLater();
    if (m_paneHandle)
        m_paneHandle->deleteLater();
    layoutContent();
    emit viewControllersChanged();
    return true;
}

void NavigationController::setPaneWidth(int width) {
    m_storedPaneWidth = width;
    layoutContent();
}

void NavigationController::unfoldPane() {
    // The pane's screens become pushes, in their order, over the list they lay beside.
    ViewController *source = m_paneSource;
    const QList<ViewController *> screens = m_pane->takeFrom(0);
    closeDetailPane();
    for (ViewController *vc : screens)
        pushViewController(vc, false);
    m_pushedDetail = screens.isEmpty() ? nullptr : screens.first();
    m_pushedDetailSource = source;
}

QList<ViewController *> NavigationController::takeFrom(qsizetype index) {
    finishTransitions();
    pruneDeleted();
    QList<ViewController *> taken;
    if (index < 0 || index >= m_stack.size())
        return taken;
    for (qsizetype i = index; i < m_stack.size(); ++i)
        taken.append(m_stack.at(i));
    m_stack.resize(index);
    for (ViewController *vc : taken) {
        if (vc->appearance() == Appearance::Appeared || vc->appearance() == Appearance::Appearing) {
            vc->beginAppearanceTransition(false, false);
            vc->endAppearanceTransition();
        }
        disconnect(vc, nullptr, this, nullptr);
        vc->setParentViewController(nullptr);
        vc->hide();
        vc->setParent(nullptr);
    }
    updateBar();
    return taken;
}

void NavigationController::followWidth() {
    if (paneOwner() || !window())
        return;
    const bool desktop = DesktopForm::holds(this);
    if (desktop == m_desktop)
        return;
    m_desktop = desktop;
    if (!desktop && m_pane) {
        // A pane hidden under a screen pushed over its list unfolds when the list is back.
        if (m_paneSource == topViewController())
            unfoldPane();
        return;
    }
    if (desktop && !m_pane && m_pushedDetail && m_pushedDetailSource) {
        const qsizetype at = m_stack.indexOf(m_pushedDetail.data());
        if (at < 1 || m_stack.at(at - 1) != m_pushedDetailSource)
            return;
        ViewController *source = m_pushedDetailSource;
        const QList<ViewController *> screens = takeFrom(at);
        m_pushedDetail = nullptr;
        m_pushedDetailSource = nullptr;
        if (source->isHidden() || source->appearance() != appearance()) {
            source->setGeometry(screenRect(source));
            source->show();
            source->raise();
            if (appearance() == Appearance::Appeared) {
                source->beginAppearanceTransition(true, false);
                source->endAppearanceTransition();
            }
        }
        m_paneSource = source;
        openPane(screens);
        emit viewControllersChanged();
    }
}
