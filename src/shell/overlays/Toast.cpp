#include "Toast.h"

#include "FrameStyle.h"
#include "OverlayRegistry.h"

#include <QAccessible>
#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTextBoundaryFinder>
#include <QTimer>

#include <cmath>

Q_LOGGING_CATEGORY(lcToast, "teacher.toast")

namespace {

constexpr int kPaddingX = 14;
constexpr int kPaddingY = 9;
constexpr int kSideMargin = 30;
constexpr int kFontPx = 15;
constexpr double kLongestSeconds = 600;

QFont toastFont() {
    QFont f = QApplication::font();
    f.setPixelSize(kFontPx);
    return f;
}

// The bubble: bottom-centred in the window at its distance.
class ToastBubble : public HostedOverlay {
public:
    ToastBubble(QWidget *host, const QString &text, int durationMs, int distance)
        : HostedOverlay(Layer::Toast)
        , m_text(text)
        , m_durationMs(durationMs)
        , m_distance(distance)
        , m_portrait(host->height() >= host->width()) {
        setObjectName(QStringLiteral("Toast"));
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        setCursor(Qt::PointingHandCursor);
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { finish(); });
        attachTo(host);
        showInLayer();
        // Nothing takes the focus: a screen reader is told of the words as an alert.
        setAccessibleName(text);
        QAccessibleEvent alert(this, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
        m_timer.start(durationMs);
    }

    QString text() const { return m_text; }
    int duration() const { return m_durationMs; }
    void finish();

protected:
    // Turning the device hides the toast; any other change of size re-places it.
    void hostResized() override {
        QWidget *host = parentWidget();
        if ((host->height() >= host->width()) != m_portrait)
            QMetaObject::invokeMethod(
                this, [this] { finish(); }, Qt::QueuedConnection);
        else
            placeInHost();
    }

    void mousePressEvent(QMouseEvent *event) override {
        event->accept();
        finish();
    }

    void paintEvent(QPaintEvent *) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor::fromRgba(FrameStyle::ToastBackground));
        p.drawRoundedRect(rect(), 8, 8);
        p.setPen(Qt::white);
        p.setFont(toastFont());
        p.drawText(rect().adjusted(kPaddingX, kPaddingY, -kPaddingX, -kPaddingY),
                   Qt::AlignCenter | Qt::TextWordWrap, m_text);
    }

    void placeInHost() override {
        QWidget *host = parentWidget();
        const int maxWidth = qMax(2 * kPaddingX + 20, host->width() - 2 * kSideMargin);
        const QFontMetrics fm(toastFont());
        const QRect text = fm.boundingRect(QRect(0, 0, maxWidth - 2 * kPaddingX, 100000),
                                           Qt::AlignCenter | Qt::TextWordWrap, m_text);
        const int w = qMin(maxWidth, text.width() + 2 * kPaddingX);
        const int h = qMin(qMax(1, host->height()), text.height() + 2 * kPaddingY);
        // The bubble always stays inside the window, whatever distance was asked for.
        const int bottom = qBound(h, host->height() - m_distance, qMax(h, host->height()));
        setGeometry((host->width() - w) / 2, bottom - h, w, h);
    }

private:
    QString m_text;
    int m_durationMs;
    int m_distance;
    bool m_portrait;
    QTimer m_timer;
};

ToastBubble *current() {
    return static_cast<ToastBubble *>(OverlayRegistry::instance().top(OverlayKind::Toast));
}

void setCurrent(ToastBubble *bubble) {
    QList<QPointer<HostedOverlay>> &shown = OverlayRegistry::instance().shown(OverlayKind::Toast);
    shown.clear();
    if (bubble)
        shown.append(bubble);
}

void ToastBubble::finish() {
    m_timer.stop();
    hide();
    if (current() == this)
        setCurrent(nullptr);
    deleteLater();
}

// Embeddings, overrides and isolates reorder the text after them (U+202E shows "evil" as
// "live"). The plain marks U+200E, U+200F and U+061C stay: they only place neutral characters
// beside the words around them, which mixed-direction text needs.
bool isDirectionControl(char32_t c) {
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

int durationMs(double seconds) {
    if (!std::isfinite(seconds) || seconds <= 0)
        seconds = Toast::DefaultSeconds;
    return int(std::lround(qMin(seconds, kLongestSeconds) * 1000));
}

} // namespace

QString Toast::displayText(const QString &text) {
    // Two units beyond the limit tell whether the cut falls inside a character; the rest of a
    // long text is never looked at.
    const qsizetype enough = MaxShownLength + 2;
    QString out;
    out.reserve(qMin(text.size(), enough + 2));
    bool blank = false;
    for (qsizetype i = 0; i < text.size() && out.size() < enough; ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
            ++i;
        } else if (QChar::isSurrogate(c)) {
            continue; // half a character: nothing to show
        }
        if (QChar::isSpace(c)) {
            blank = !out.isEmpty();
            continue;
        }
        if (QChar::category(c) == QChar::Other_Control || isDirectionControl(c))
            continue;
        if (blank)
            out += QLatin1Char(' ');
        blank = false;
        out += QStringView(QChar::fromUcs4(c));
    }
    if (out.size() <= MaxShownLength)
        return out;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, out);
    graphemes.setPosition(MaxShownLength);
    qsizetype cut = graphemes.isAtBoundary() ? MaxShownLength : graphemes.toPreviousBoundary();
    if (cut <= 0) // one character longer than the limit (a pile of accents): cut inside it
        cut = out[MaxShownLength - 1].isHighSurrogate() ? MaxShownLength - 1 : MaxShownLength;
    out.truncate(cut);
    if (out.endsWith(QLatin1Char(' ')))
        out.chop(1);
    return out + QChar(0x2026);
}

void Toast::show(const QString &text) {
    showAtDistanceFromBottom(text, DefaultSeconds, DefaultDistanceFromBottom);
}

void Toast::show(const QString &text, double seconds) {
    showAtDistanceFromBottom(text, seconds, DefaultDistanceFromBottom);
}

void Toast::showAtDistanceFromBottom(const QString &text, double seconds, int distance) {
    const QString shown = displayText(text);
    if (shown.isEmpty())
        return;
    QWidget *host = OverlayHost::host();
    if (!host) {
        qCDebug(lcToast) << "no window for the toast" << shown;
        return;
    }
    hide();
    setCurrent(new ToastBubble(host, shown, durationMs(seconds), qMax(0, distance)));
}

void Toast::hide() {
    if (ToastBubble *bubble = current())
        bubble->finish();
}

bool Toast::isShowing() {
    return current() != nullptr;
}

QString Toast::currentText() {
    return current() ? current()->text() : QString();
}

int Toast::currentDuration() {
    return current() ? current()->duration() : 0;
}

QWidget *Toast::widget() {
    return current();
}
