#include "OverlayRegistry.h"

#include "ProgressHud.h"
#include "Toast.h"

OverlayRegistry &OverlayRegistry::instance() {
    static OverlayRegistry registry;
    return registry;
}

HostedOverlay *OverlayRegistry::top(OverlayKind kind) {
    QList<QPointer<HostedOverlay>> &list = shown(kind);
    list.removeAll(nullptr);
    return list.isEmpty() ? nullptr : list.last().data();
}

void OverlayRegistry::resetForTests() {
    // Their timers stop before the overlays go.
    ProgressHud::dismiss();
    Toast::hide();
    HostedOverlay::deleteAll();
    for (QList<QPointer<HostedOverlay>> &list : m_shown)
        list.clear();
    m_explicitHost = nullptr;
}
