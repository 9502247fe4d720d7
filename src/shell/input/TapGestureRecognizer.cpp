#include "TapGestureRecognizer.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {
// Farther than this between press and release is a drag, not a tap.
constexpr int TapSlop = 10;
} // namespace

TapGestureRecognizer::TapGestureRecognizer(QWidget *view, std::function<void()> action)
    : QObject(view)
    , m_view(view)
    , m_action(std::move(action)) {
    // Clicks land on the deepest widget; only the application sees them all.
    qApp->installEventFilter(this);
}

TapGestureRecognizer::~TapGestureRecognizer() {
    if (qApp)
        qApp->removeEventFilter(this);
}

bool TapGestureRecognizer::isTextInput(const QWidget *widget) {
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        if (qobject_cast<const QLineEdit *>(w) || qobject_cast<const QTextEdit *>(w) ||
            qobject_cast<const QPlainTextEdit *>(w) || qobject_cast<const QAbstractSpinBox *>(w))
            return true;
        if (auto *combo = qobject_cast<const QComboBox *>(w); combo && combo->isEditable())
            return true;
        if (w->isWindow())
            break;
    }
    return false;
}

bool TapGestureRecognizer::isControl(const QWidget *widget) {
    if (isTextInput(widget))
        return true;
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        if (qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QAbstractSlider *>(w) ||
            qobject_cast<const QComboBox *>(w))
            return true;
        if (w->isWindow())
            break;
    }
    return false;
}

bool TapGestureRecognizer::eventFilter(QObject *watched, QEvent *event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease)
        return false;
    auto *mouse = static_cast<QMouseEvent *>(event);
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || !m_view || mouse->button() != Qt::LeftButton)
        return false;
    if (type == QEvent::MouseButtonPress) {
        // A press travels up the parents when it is ignored: keep only its first receiver.
        if (m_pressed && m_pressTime.isValid() && m_pressTime.elapsed() < 50 &&
            m_pressPos == mouse->globalPosition().toPoint())
            return false;
        m_pressed = (widget == m_view || m_view->isAncestorOf(widget)) ? widget : nullptr;
        m_pressPos = mouse->globalPosition().toPoint();
        m_pressTime.start();
        return false;
    }
    if (!m_pressed || widget != m_pressed)
        return false;
    QPointer<QWidget> target = m_pressed;
    m_pressed = nullptr;
    m_pressTime.invalidate();
    const bool still =
        (mouse->globalPosition().toPoint() - m_pressPos).manhattanLength() <= TapSlop;
    if (still && !isControl(target) && m_action)
        m_action();
    return false;
}
