#include "ProgressHud.h"

#include "ActivityDrawing.h"
#include "FrameStyle.h"
#include "OverlayRegistry.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QLoggingCategory>
#include <QPainter>
#include <QPointer>
#include <QTimer>

Q_LOGGING_CATEGORY(lcHud, "teacher.hud")

namespace {

enum class Mode { Spinner, Status, Success };

constexpr int kSpinnerSide = 36;
constexpr int kBoxPadding = 18;
constexpr int kMinBox = 90;
constexpr int kMargin = 24;
constexpr int kFontPx = 15;
constexpr int kLongestShown = 300;

// The indicator itself: a child of the window, the size of its box when touches must pass, the
// size of the whole window (dimmed) when it blocks.
class HudOverlay : public HostedOverlay {
public:
    explicit HudOverlay(QWidget *host)
        : HostedOverlay(Layer::Hud) {
        setObjectName(QStringLiteral("ProgressHud"));
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        m_spin.setInterval(1000 / ActivityDrawing::SpinnerSteps);
        QObject::connect(&m_spin, &QTimer::timeout, this, [this] {
            m_step = (m_step + 1) % ActivityDrawing::SpinnerSteps;
            update();
        });
        m_hideTimer.setSingleShot(true);
        QObject::connect(&m_hideTimer, &QTimer::timeout, this, [] { ProgressHud::dismiss(); });
        attachTo(host);
    }

    ~HudOverlay() override { setEating(false); }

    void present(Mode mode, const QString &text) {
        m_up = true;
        m_mode = mode;
        m_text = text;
        // Only the start of an overlong text is laid out; measuring megabytes would freeze.
        m_shown = text.size() > kLongestShown ? text.left(kLongestShown) + QChar(0x2026) : text;
        setAccessibleName(m_shown);
        m_hideTimer.stop();
        if (mode == Mode::Success)
            m_hideTimer.start(ProgressHud::successInterval(text));
        setAttribute(Qt::WA_TransparentForMouseEvents, mode != Mode::Status);
        setEating(mode == Mode::Status);
        if (mode == Mode::Success)
            m_spin.stop();
        else if (!m_spin.isActive())
            m_spin.start();
        placeInHost();
        showInLayer();
        update();
    }

    void retire() {
        m_up = false;
        m_hideTimer.stop();
        m_spin.stop();
        setEating(false);
        hide();
    }

    // Presented and not retired since.
    bool isUp() const { return m_up; }
    Mode mode() const { return m_mode; }
    QString text() const { return m_text; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (HostedOverlay::eventFilter(watched, event))
            return true;
        if (!m_eating || !parentWidget())
            return false;
        return eatsInput(watched, event);
    }

    void paintEvent(QPaintEvent *) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        if (m_mode == Mode::Status)
            p.fillRect(rect(), QColor::fromRgba(FrameStyle::ScrimLight));
        const QRect box = boxRect();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor::fromRgba(FrameStyle::HudBackground));
        p.drawRoundedRect(box, 10, 10);

        const QRect figure(box.center().x() - kSpinnerSide / 2, box.top() + kBoxPadding,
                           kSpinnerSide, kSpinnerSide);
        if (m_mode == Mode::Success)
            ActivityDrawing::drawTick(p, figure, Qt::white);
        else
            ActivityDrawing::drawSpinner(p, figure, m_step, Qt::white);

        if (!m_shown.isEmpty()) {
            p.setPen(Qt::white);
            p.setFont(hudFont());
            const QRect textRect(box.left() + kBoxPadding, figure.bottom() + 10,
                                 box.width() - 2 * kBoxPadding,
                                 box.bottom() - figure.bottom() - 10 - kBoxPadding + 1);
            p.drawText(textRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, m_shown);
        }
    }

private:
    static QFont hudFont() {
        QFont f = QApplication::font();
        f.setPixelSize(kFontPx);
        return f;
    }

    QSize boxSize() const {
        const QWidget *host = parentWidget();
        const int maxWidth = qMax(kMinBox, (host ? host->width() : 375) - 2 * kMargin);
        if (m_shown.isEmpty())
            return {kMinBox, kMinBox};
        const QFontMetrics fm(hudFont());
        const int textMax = maxWidth - 2 * kBoxPadding;
        const QRect measured = fm.boundingRect(QRect(0, 0, textMax, 10000),
                                               Qt::AlignHCenter | Qt::TextWordWrap, m_shown);
        const int width = qBound(kMinBox, measured.width() + 2 * kBoxPadding, maxWidth);
        const int maxHeight = qMax(kMinBox, (host ? host->height() : 667) - 2 * kMargin);
        const int height =
            qMin(maxHeight, kBoxPadding + kSpinnerSide + 10 + measured.height() + kBoxPadding);
        return {width, qMax(kMinBox, height)};
    }

    // The box in this widget's coordinates.
    QRect boxRect() const {
        const QSize s = boxSize();
        if (m_mode == Mode::Status)
            return QRect(QPoint((width() - s.width()) / 2, (height() - s.height()) / 2), s);
        return QRect(QPoint(0, 0), s);
    }

    void placeInHost() override {
        QWidget *host = parentWidget();
        if (!host)
            return;
        if (m_mode == Mode::Status) {
            setGeometry(host->rect());
        } else {
            const QSize s = boxSize();
            setGeometry(QRect(
                QPoint((host->width() - s.width()) / 2, (host->height() - s.height()) / 2), s));
        }
        update();
    }

    void setEating(bool on) {
        if (on == m_eating)
            return;
        m_eating = on;
        if (on)
            qApp->installEventFilter(this);
        else
            qApp->removeEventFilter(this);
    }

    // While blocking, nothing in the window but the indicator may take mouse, wheel, key or
    // shortcut input.
    bool eatsInput(QObject *watched, QEvent *event) const {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::ContextMenu:
            break;
        default:
            return false;
        }
        QObject *owner = watched;
        // A shortcut event goes to the shortcut object; judge it by the widget it belongs to.
        while (owner && !owner->isWidgetType())
            owner = owner->parent();
        auto *widget = qobject_cast<QWidget *>(owner);
        if (!widget)
            return false;
        if (widget == this || isAncestorOf(widget))
            return true;
        return widget->window() == parentWidget()->window();
    }

    Mode m_mode = Mode::Spinner;
    QString m_text;
    QString m_shown;
    int m_step = 0;
    bool m_eating = false;
    bool m_up = false;
    QTimer m_spin;
    QTimer m_hideTimer;
};

// The one indicator, kept (retired) between showings.
HudOverlay *current() {
    return static_cast<HudOverlay *>(
        OverlayRegistry::instance().top(OverlayKind::ProgressIndicator));
}

void setCurrent(HudOverlay *overlay) {
    QList<QPointer<HostedOverlay>> &shown =
        OverlayRegistry::instance().shown(OverlayKind::ProgressIndicator);
    shown.clear();
    if (overlay)
        shown.append(overlay);
}

void present(Mode mode, const QString &text) {
    QWidget *host = OverlayHost::host();
    if (!host) {
        qCDebug(lcHud) << "no window for the progress indicator";
        ProgressHud::dismiss();
        return;
    }
    HudOverlay *overlay = current();
    if (overlay && overlay->parentWidget() != host) {
        overlay->retire();
        overlay->deleteLater();
        overlay = nullptr;
    }
    if (!overlay) {
        overlay = new HudOverlay(host);
        setCurrent(overlay);
    }
    overlay->present(mode, text);
}

} // namespace

void ProgressHud::show() {
    present(Mode::Spinner, {});
}

void ProgressHud::showWithStatus(const QString &status) {
    present(Mode::Status, status);
}

void ProgressHud::showSuccess(const QString &text) {
    present(Mode::Success, text);
}

void ProgressHud::dismiss() {
    if (HudOverlay *overlay = current())
        overlay->retire();
}

bool ProgressHud::isVisible() {
    const HudOverlay *overlay = current();
    return overlay && overlay->isUp();
}

bool ProgressHud::isBlocking() {
    return isVisible() && current()->mode() == Mode::Status;
}

bool ProgressHud::isSuccess() {
    return isVisible() && current()->mode() == Mode::Success;
}

QString ProgressHud::status() {
    return isVisible() ? current()->text() : QString();
}

int ProgressHud::successInterval(const QString &text) {
    // A message of a thousand characters already stays a minute; longer ones (a service message
    // gone wrong) must not pin the indicator for hours.
    constexpr qint64 kLongest = 60'000;
    return int(qMin<qint64>(kLongest, 300 + 60 * qint64(text.size())));
}

QWidget *ProgressHud::widget() {
    return isVisible() ? current() : nullptr;
}
