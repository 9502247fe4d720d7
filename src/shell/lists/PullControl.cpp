#include "PullControl.h"

#include "ActivityDrawing.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

namespace {
const QColor kStripBackground(0xF0, 0xF0, 0xF0);
const QColor kMainText(0x72, 0x4E, 0x26);
const QColor kSubText(0x99, 0x99, 0x99);
} // namespace

PullControl::PullControl(QAbstractScrollArea *area, Edge edge, int stripHeight, int threshold)
    : QWidget(area)
    , m_area(area)
    , m_areaObject(area)
    , m_viewport(area->viewport())
    , m_edge(edge)
    , m_stripHeight(stripHeight)
    , m_threshold(threshold) {
    // Input goes on to the list beneath: the strip only shows the pull.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    m_releaseTimer.setSingleShot(true);
    m_releaseTimer.setInterval(ReleaseDelayMs);
    connect(&m_releaseTimer, &QTimer::timeout, this, &PullControl::release);
    m_spinTimer.setInterval(1000 / ActivityDrawing::SpinnerSteps);
    connect(&m_spinTimer, &QTimer::timeout, this, [this] {
        m_spinStep = (m_spinStep + 1) % ActivityDrawing::SpinnerSteps;
        update();
    });
    area->installEventFilter(this);
    area->viewport()->installEventFilter(this);
}

PullControl *PullControl::find(const QAbstractScrollArea *area, Edge edge) {
    if (!area)
        return nullptr;
    const auto controls = area->findChildren<PullControl *>(Qt::FindDirectChildrenOnly);
    for (PullControl *control : controls) {
        if (control->edge() == edge)
            return control;
    }
    return nullptr;
}

void PullControl::begin() {
    if (m_phase == Phase::Busy || !m_area)
        return;
    m_releaseTimer.stop();
    m_dragging = false;
    m_pressAtEdge = false;
    m_pull = 0;
    // Bring the strip's edge into view, as a pull would have.
    QScrollBar *bar = m_area->verticalScrollBar();
    bar->setValue(m_edge == Edge::Top ? bar->minimum() : bar->maximum());
    m_spinTimer.start();
    QPointer<PullControl> self(this);
    setPhase(Phase::Busy);
    if (!self)
        return;
    relayout();
    // A copy: the action may attach a new one, or end the refresh before it returns.
    const std::function<void()> action = m_action;
    if (action)
        action();
}

void PullControl::end() {
    if (m_phase != Phase::Busy)
        return;
    m_spinTimer.stop();
    m_pull = 0;
    QPointer<PullControl> self(this);
    setPhase(Phase::Idle);
    if (self)
        relayout();
}

bool PullControl::atEdge() const {
    if (!m_area)
        return false;
    const QScrollBar *bar = m_area->verticalScrollBar();
    return m_edge == Edge::Top ? bar->value() <= bar->minimum() : bar->value() >= bar->maximum();
}

bool PullControl::otherEdgeBusy() const {
    const PullControl *other = find(m_area, m_edge == Edge::Top ? Edge::Bottom : Edge::Top);
    return other && other->pullDistance() > 0;
}

bool PullControl::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_viewport.data() && m_viewport) {
        switch (event->type()) {
        case QEvent::Wheel:
            return handleWheel(event);
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease:
            return handleMouse(event);
        case QEvent::Resize:
            relayout();
            break;
        default:
            break;
        }
    } else if (watched == m_areaObject.data() && event->type() == QEvent::Resize) {
        relayout();
    }
    return false;
}

bool PullControl::handleWheel(QEvent *event) {
    if (m_phase == Phase::Busy)
        return false;
    const auto *wheel = static_cast<QWheelEvent *>(event);
    int delta = wheel->pixelDelta().y();
    if (delta == 0)
        delta = wheel->angleDelta().y() * PixelsPerWheelNotch / 120;
    // Positive: towards this control (up past the top, down past the end).
    if (m_edge == Edge::Bottom)
        delta = -delta;
    // Once the fingers leave the trackpad, the pull is over: inertia never arms a control.
    const bool released = wheel->phase() == Qt::ScrollEnd || wheel->phase() == Qt::ScrollMomentum;
    if (m_pull == 0 && (delta <= 0 || released || !atEdge() || otherEdgeBusy()))
        return false;
    if (released) {
        release();
        return true;
    }
    setPull(qBound(0, m_pull + delta, 3 * m_threshold));
    if (m_pull > 0)
        m_releaseTimer.start();
    else
        m_releaseTimer.stop();
    return true;
}

bool PullControl::handleMouse(QEvent *event) {
    const auto *mouse = static_cast<QMouseEvent *>(event);
    const int y = qRound(mouse->globalPosition().y());
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (mouse->button() == Qt::LeftButton) {
            m_pressAtEdge = m_phase != Phase::Busy && atEdge() && !otherEdgeBusy();
            m_dragging = false;
            m_dragStartY = y;
        }
        return false;
    case QEvent::MouseMove: {
        if (!m_pressAtEdge || !(mouse->buttons() & Qt::LeftButton))
            return false;
        int distance = y - m_dragStartY;
        if (m_edge == Edge::Bottom)
            distance = -distance;
        const int slop = QApplication::startDragDistance();
        if (!m_dragging) {
            if (distance < slop)
                return false;
            m_dragging = true;
            m_releaseTimer.stop();
        }
        setPull(qBound(0, distance - slop, 3 * m_threshold));
        return true;
    }
    case QEvent::MouseButtonRelease:
        m_pressAtEdge = false;
        if (mouse->button() == Qt::LeftButton && m_dragging) {
            // The release ends the pull; it is not a click on whatever lies under it.
            release();
            return true;
        }
        return false;
    default:
        return false;
    }
}

void PullControl::setPull(int distance) {
    m_pull = distance;
    if (m_phase != Phase::Busy) {
        const Phase next = distance >= m_threshold ? Phase::Armed
                           : distance > 0          ? Phase::Pulling
                                                   : Phase::Idle;
        QPointer<PullControl> self(this);
        setPhase(next);
        if (!self)
            return;
    }
    relayout();
}

void PullControl::release() {
    m_releaseTimer.stop();
    m_dragging = false;
    if (m_phase == Phase::Armed)
        begin();
    else if (m_phase != Phase::Busy)
        setPull(0);
}

void PullControl::setPhase(Phase phase) {
    if (phase == m_phase)
        return;
    const Phase from = m_phase;
    m_phase = phase;
    update();
    phaseChanged(from, phase);
}

void PullControl::relayout() {
    if (!m_area)
        return;
    const int visible = m_phase == Phase::Busy ? m_stripHeight : qMin(m_pull, m_stripHeight);
    if (visible <= 0) {
        hide();
        return;
    }
    const QRect port = m_area->viewport()->geometry();
    const int top = m_edge == Edge::Top ? port.top() : port.bottom() + 1 - visible;
    setGeometry(port.left(), top, port.width(), qMin(visible, port.height()));
    show();
    raise();
    update();
}

void PullControl::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.fillRect(rect(), kStripBackground);
    // The strip is drawn at full height and revealed from the list's edge, as a pull uncovers it.
    const int offset = m_edge == Edge::Top ? height() - m_stripHeight : 0;
    const QRect strip(0, offset, width(), m_stripHeight);

    const QStringList texts = lines();
    QFont mainFont = font();
    mainFont.setPixelSize(14);
    QFont subFont = font();
    subFont.setPixelSize(12);
    const QFontMetrics mainMetrics(mainFont);
    const QFontMetrics subMetrics(subFont);
    int textWidth = 0;
    int textHeight = 0;
    for (int i = 0; i < texts.size(); ++i) {
        const QFontMetrics &fm = i == 0 ? mainMetrics : subMetrics;
        textWidth = qMax(textWidth, fm.horizontalAdvance(texts.at(i)));
        textHeight += fm.height() + (i > 0 ? 4 : 0);
    }
    int y = strip.center().y() - textHeight / 2;
    for (int i = 0; i < texts.size(); ++i) {
        const QFontMetrics &fm = i == 0 ? mainMetrics : subMetrics;
        p.setFont(i == 0 ? mainFont : subFont);
        p.setPen(i == 0 ? kMainText : kSubText);
        p.drawText(QRect(0, y, width(), fm.height()), Qt::AlignCenter, texts.at(i));
        y += fm.height() + 4;
    }

    const QRectF figure(width() / 2.0 - textWidth / 2.0 - 36, strip.center().y() - 11, 22, 22);
    if (m_phase == Phase::Busy)
        ActivityDrawing::drawSpinner(p, figure, m_spinStep, kSubText);
    else if (m_phase != Phase::Idle)
        ActivityDrawing::drawArrow(p, figure, (m_edge == Edge::Top) == (m_phase == Phase::Armed),
                                   kSubText);
}

QString PullControl::phaseText(const QString &idle, const QString &armed,
                               const QString &busy) const {
    switch (m_phase) {
    case Phase::Armed:
        return armed;
    case Phase::Busy:
        return busy;
    case Phase::Idle:
    case Phase::Pulling:
        break;
    }
    return idle;
}
