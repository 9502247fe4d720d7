#pragma once

#include "OverlayHost.h"

#include <QList>
#include <QPointer>

#include <array>

// The overlays that make up the process's overlay layers, kept in one place: the host set
// explicitly, every overlay alive and, by kind, the ones each kind keeps: the indicator its one
// overlay (kept between showings), the toast the one bubble up, alerts, action sheets and key
// sheets the ones up, each kind on its own, so an alert shown over an action sheet leaves that
// sheet the current sheet; the features' own modal overlays (the grading dialog, the picture
// browser) are kinds here too. Main thread only.
enum class OverlayKind {
    ProgressIndicator,
    Toast,
    Alert,
    ActionSheet,
    KeySheet,
    GradingDialog,
    PictureBrowser,
    Count
};

class OverlayRegistry {
public:
    static OverlayRegistry &instance();

    QPointer<QWidget> &explicitHost() { return m_explicitHost; }
    QList<QPointer<HostedOverlay>> &live() { return m_live; }
    // The overlays a kind keeps, the latest shown last.
    QList<QPointer<HostedOverlay>> &shown(OverlayKind kind) { return m_shown[size_t(kind)]; }
    // The latest one of a kind that is still there, or nullptr.
    HostedOverlay *top(OverlayKind kind);

    // Takes the indicator and the toast down, deletes every overlay and forgets the explicit host.
    void resetForTests();

private:
    OverlayRegistry() = default;

    QPointer<QWidget> m_explicitHost;
    QList<QPointer<HostedOverlay>> m_live;
    std::array<QList<QPointer<HostedOverlay>>, size_t(OverlayKind::Count)> m_shown;
};
