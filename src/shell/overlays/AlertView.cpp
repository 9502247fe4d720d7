#include "AlertView.h"

#include "FrameStyle.h"
#include "OverlayRegistry.h"
#include "StyleTokens.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int PanelWidth = 270;

ModalOverlay::Stack &shownAlerts() {
    return OverlayRegistry::instance().shown(OverlayKind::Alert);
}

} // namespace

AlertView::AlertView(const QString &title, const QString &message, const QStringList &buttonTitles,
                     Callback callback)
    : ModalOverlay(shownAlerts())
    , m_title(title)
    , m_message(message)
    // An alert without buttons could never be closed.
    , m_buttonTitles(buttonTitles.isEmpty() ? QStringList{tr("确定")} : buttonTitles)
    , m_callback(std::move(callback))
    , m_panel(new ModalCard(this)) {
    m_panel->setObjectName(QStringLiteral("alertPanel"));
    // Read out as one: the title names the alert, the message tells what it asks.
    setAccessibleName(title.isEmpty() ? message : title);
    setAccessibleDescription(title.isEmpty() ? QString() : message);

    auto *column = new QVBoxLayout(m_panel);
    column->setContentsMargins(16, 18, 16, 12);
    column->setSpacing(8);
    if (!title.isEmpty()) {
        auto *label = new QLabel(title, m_panel);
        label->setObjectName(QStringLiteral("alertTitle"));
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        QFont f = label->font();
        f.setPixelSize(17);
        f.setBold(true);
        label->setFont(f);
        column->addWidget(label);
    }
    if (!message.isEmpty()) {
        auto *label = new QLabel(message, m_panel);
        label->setObjectName(QStringLiteral("alertMessage"));
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        QFont f = label->font();
        f.setPixelSize(14);
        label->setFont(f);
        column->addWidget(label);
    }
    // Two buttons side by side, otherwise one under the other.
    QBoxLayout *buttons = m_buttonTitles.size() == 2 ? static_cast<QBoxLayout *>(new QHBoxLayout)
                                                     : static_cast<QBoxLayout *>(new QVBoxLayout);
    buttons->setSpacing(8);
    column->addSpacing(6);
    column->addLayout(buttons);
    for (int i = 0; i < m_buttonTitles.size(); ++i) {
        auto *button = new QPushButton(m_buttonTitles.at(i), m_panel);
        // Scripts reach a button by its place, whatever its title.
        button->setObjectName(QStringLiteral("alertButton%1").arg(i));
        button->setAccessibleName(m_buttonTitles.at(i));
        button->setMinimumHeight(36);
        StyleTokens::markKeyboardFocus(button);
        connect(button, &QPushButton::clicked, this, [this, i] { clickButton(i); });
        buttons->addWidget(button);
        m_buttons.append(button);
    }
    // The last button is the one the alert is for.
    setDefaultButton(int(m_buttons.size()) - 1);
}

void AlertView::setDefaultButton(int index) {
    if (index < 0 || index >= m_buttons.size())
        return;
    m_default = index;
    for (int i = 0; i < m_buttons.size(); ++i)
        m_buttons.at(i)->setStyleSheet(
            StyleTokens::buttonSheet(i == index && m_buttons.size() > 1));
    if (isVisible())
        m_buttons.at(index)->setFocus(Qt::OtherFocusReason);
}

AlertView::~AlertView() = default;

AlertView *AlertView::show(const QString &title, const QString &message,
                           const QStringList &buttonTitles, Callback callback) {
    auto *alert = new AlertView(title, message, buttonTitles, std::move(callback));
    alert->show();
    return alert;
}

AlertView *AlertView::current() {
    return static_cast<AlertView *>(top(shownAlerts()));
}

QWidget *AlertView::initialFocus() {
    if (!m_buttons.isEmpty())
        return m_buttons.at(m_default);
    return this;
}

QPushButton *AlertView::button(int index) const {
    return m_buttons.value(index);
}

void AlertView::clickButton(int index) {
    if (index < 0 || index >= m_buttonTitles.size() || !dismiss())
        return;
    // Last, so the callback may show another alert or replace the screens beneath.
    if (Callback callback = std::move(m_callback))
        callback(index);
}

void AlertView::layoutContent() {
    const int width = qMin(PanelWidth, qMax(120, this->width() - 40));
    m_panel->setFixedWidth(width);
    m_panel->adjustSize();
    const QSize size = m_panel->size();
    m_panel->move((this->width() - size.width()) / 2, (this->height() - size.height()) / 2);
}

void AlertView::paintEvent(QPaintEvent *) {
    // The dimmed backdrop; being on top, it also takes every click aimed at the screen beneath.
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgba(FrameStyle::Scrim));
}

void AlertView::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape && !m_buttons.isEmpty()) {
        clickButton(0);
        return;
    }
    // A push button outside a dialog leaves Enter to its parents; here it presses the button the
    // keyboard is on, which the alert opened on its default.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !m_buttons.isEmpty()) {
        const qsizetype focused = m_buttons.indexOf(qobject_cast<QPushButton *>(focusWidget()));
        clickButton(focused >= 0 ? int(focused) : m_default);
        return;
    }
    QWidget::keyPressEvent(event);
}
