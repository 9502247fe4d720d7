#include "OverlayHost.h"

#include "AppWindow.h"
#include "OverlayRegistry.h"

#include <QApplication>
#include <QEvent>

#include <algorithm>

namespace {
QPointer<QWidget> &explicitHost() {
    return OverlayRegistry::instance().explicitHost();
}

QList<QPointer<HostedOverlay>> &liveOverlays() {
    return OverlayRegistry::instance().live();
}
} // namespace

QWidget *OverlayHost::host() {
    if (QWidget *host = explicitHost())
        return host;
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return nullptr;
    if (AppWindow *window = AppWindow::instance())
        return window;
    if (QWidget *active = QApplication::activeWindow())
        return active;
    // A tool or test showing a plain window: the first ordinary visible one.
    const auto tops = QApplication::topLevelWidgets();
    for (QWidget *top : tops) {
        const Qt::WindowType type = top->windowType();
        if (top->isVisible() && type != Qt::Popup && type != Qt::ToolTip &&
            type != Qt::SplashScreen && !qobject_cast<HostedOverlay *>(top))
            return top;
    }
    return nullptr;
}

void OverlayHost::setHost(QWidget *host) {
    explicitHost() = host;
}

HostedOverlay::HostedOverlay(Layer layer)
    : QWidget(nullptr)
    , m_layer(layer) {
    liveOverlays().append(this);
}

HostedOverlay::~HostedOverlay() {
    liveOverlays().removeAll(this);
}

QList<HostedOverlay *> HostedOverlay::stackIn(const QWidget *host) {
    QList<HostedOverlay *> stack;
    if (!host)
        return stack;
    for (QObject *child : host->children()) {
        if (auto *overlay = qobject_cast<HostedOverlay *>(child); overlay && overlay->isVisible())
            stack << overlay;
    }
    return stack;
}

void HostedOverlay::deleteAll() {
    const auto overlays = liveOverlays();
    for (const QPointer<HostedOverlay> &overlay : overlays)
        delete overlay.data();
    liveOverlays().clear();
}

void HostedOverlay::attachTo(QWidget *host) {
    if (m_watched && m_watched != host)
        m_watched->removeEventFilter(this);
    if (host && parentWidget() != host)
        setParent(host);
    m_watched = host;
    if (host)
        host->installEventFilter(this);
    placeInHost();
}

void HostedOverlay::showInLayer() {
    show();
    if (QWidget *host = parentWidget()) {
        raise();
        restack(host);
    }
}

void HostedOverlay::restack(QWidget *host) {
    QList<HostedOverlay *> overlays;
    for (QObject *child : host->children()) {
        if (auto *overlay = qobject_cast<HostedOverlay *>(child))
            overlays << overlay;
    }
    // children() runs bottom to top; a stable sort keeps the order within a layer.
    std::stable_sort(overlays.begin(), overlays.end(),
                     [](const HostedOverlay *a, const HostedOverlay *b) {
                         return int(a->layer()) < int(b->layer());
                     });
    for (HostedOverlay *overlay : std::as_const(overlays))
        overlay->raise();
}

bool HostedOverlay::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_watched && watched == parent()) {
        if (event->type() == QEvent::Resize) {
            hostResized();
        } else if (event->type() == QEvent::ChildAdded) {
            // Screens pushed later must not bury the overlays; restack once the child is in.
            QPointer<QWidget> host = m_watched;
            QMetaObject::invokeMethod(
                this,
                [host] {
                    if (host)
                        restack(host);
                },
                Qt::QueuedConnection);
        }
    }
    return QWidget::eventFilter(watched, event);
}
