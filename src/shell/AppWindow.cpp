#include "AppWindow.h"

#include "FrameStyle.h"
#include "HeldChanges.h"
#include "ViewController.h"

namespace {
QPointer<AppWindow> s_instance;

// The screen actually on top: the root, or the last screen presented over it.
ViewController *visibleTop(ViewController *root) {
    ViewController *top = root;
    while (top && top->presentedViewController())
        top = top->presentedViewController();
    return top;
}
} // namespace

AppWindow::AppWindow(QWidget *parent)
    : QWidget(parent)
    , m_content(new QWidget(this)) {
    resize(FrameStyle::WindowWidth, FrameStyle::WindowHeight);
    setMinimumSize(240, 320);
    m_content->setGeometry(rect());
    m_content->lower();
    s_instance = this;
}

AppWindow::~AppWindow() {
    if (s_instance == this)
        s_instance = nullptr;
}

AppWindow *AppWindow::instance() {
    return s_instance;
}

void AppWindow::setRootViewController(ViewController *controller) {
    if (controller == m_root)
        return;
    if (controller && (controller->parentViewController() ||
                       controller->presentingViewController() || controller->isAncestorOf(this))) {
        return;
    }
    QPointer<ViewController> old = m_root;
    // Everything shown over the old root goes with it.
    QList<QPointer<ViewController>> discarded;
    for (ViewController *vc = old; vc; vc = vc->presentedViewController()) {
        vc->finishPresentation();
        discarded.append(vc);
    }
    ViewController *oldTop = discarded.isEmpty() ? nullptr : discarded.last().data();
    const bool onScreen = isVisible();

    if (controller) {
        controller->setParent(m_content);
        controller->setGeometry(m_content->rect());
        controller->show();
    }
    if (onScreen) {
        if (oldTop)
            oldTop->beginAppearanceTransition(false, false);
        if (controller)
            controller->beginAppearanceTransition(true, false);
    }
    m_root = controller;
    if (controller)
        controller->raise();
    if (onScreen) {
        if (oldTop)
            oldTop->endAppearanceTransition();
        if (controller)
            controller->endAppearanceTransition();
    }
    for (const auto &vc : std::as_const(discarded)) {
        if (!vc)
            continue;
        vc->m_presentedViewController = nullptr;
        vc->m_presentingViewController = nullptr;
        vc->hide();
        vc->deleteLater();
    }
}

void AppWindow::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (ViewController *top = visibleTop(m_root)) {
        top->beginAppearanceTransition(true, false);
        top->endAppearanceTransition();
    }
}

void AppWindow::closeEvent(QCloseEvent *event) {
    // Nothing the teacher graded goes with the window.
    HeldChanges::instance().sendBeforeLeaving();
    QWidget::closeEvent(event);
}

void AppWindow::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    m_content->setGeometry(rect());
    for (QObject *child : m_content->children()) {
        if (auto *vc = qobject_cast<ViewController *>(child))
            vc->setGeometry(m_content->rect());
    }
}

ViewController *AppWindow::rootViewController() const {
    return m_root;
}
