#pragma once

#include <QAbstractScrollArea>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

// What the pull-down refresh header and the pull-up load-more footer share: a strip over one edge
// of a list's viewport that follows a pull made with the wheel, a trackpad or a mouse drag, arms
// itself past a threshold and runs its action once when the pull is released armed.
//
// A wheel or trackpad pull is released when the scrolling stops for ReleaseDelayMs (or the
// trackpad reports the end of the gesture); a drag is released with the mouse button.
class PullControl : public QWidget {
    Q_OBJECT
public:
    enum class Edge { Top, Bottom };
    enum class Phase { Idle, Pulling, Armed, Busy };

    static constexpr int ReleaseDelayMs = 300;
    // How far one notch of a mouse wheel pulls.
    static constexpr int PixelsPerWheelNotch = 30;

    Edge edge() const { return m_edge; }
    Phase phase() const { return m_phase; }
    int pullDistance() const { return m_pull; }
    int threshold() const { return m_threshold; }
    QAbstractScrollArea *area() const { return m_area; }

    void setAction(std::function<void()> action) { m_action = std::move(action); }

    // Shows the busy state and runs the action; nothing while already busy.
    void begin();
    // Back to idle; nothing unless busy.
    void end();

    // The control of the given edge attached to `area`, if any.
    static PullControl *find(const QAbstractScrollArea *area, Edge edge);

protected:
    PullControl(QAbstractScrollArea *area, Edge edge, int stripHeight, int threshold);

    // The Control of `area`'s `edge`, made on the first call, with `action` (a later call replaces
    // the action); nullptr for a null area. For the subclasses' attach().
    template <class Control>
    static Control *attachTo(QAbstractScrollArea *area, Edge edge, std::function<void()> action) {
        if (!area)
            return nullptr;
        auto *control = qobject_cast<Control *>(find(area, edge));
        if (!control)
            control = new Control(area);
        control->setAction(std::move(action));
        return control;
    }
    // The strip's text for the current phase: one while idle or pulling, one armed, one busy.
    QString phaseText(const QString &idle, const QString &armed, const QString &busy) const;

    virtual void phaseChanged(Phase from, Phase to) = 0;
    // The lines shown in the strip (the first in the state's text colour).
    virtual QStringList lines() const = 0;

    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool atEdge() const;
    // The control of the other edge is in the middle of its own pull: leave the gesture to it.
    bool otherEdgeBusy() const;
    bool handleWheel(QEvent *event);
    bool handleMouse(QEvent *event);
    void setPull(int distance);
    void release();
    void setPhase(Phase phase);
    void relayout();

    QPointer<QAbstractScrollArea> m_area;
    // Compared against before any call into the area: events still arrive while the area is
    // being destroyed, when it may no longer be used as a scroll area.
    QPointer<QObject> m_areaObject;
    QPointer<QWidget> m_viewport;
    Edge m_edge;
    int m_stripHeight;
    int m_threshold;
    std::function<void()> m_action;
    Phase m_phase = Phase::Idle;
    int m_pull = 0;
    bool m_pressAtEdge = false;
    bool m_dragging = false;
    int m_dragStartY = 0;
    QTimer m_releaseTimer;
    QTimer m_spinTimer;
    int m_spinStep = 0;
};
