#include "KeyboardAvoidance.h"

#include "FrameStyle.h"
#include "TapGestureRecognizer.h"
#include "ViewController.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QTextEdit>
#include <QToolButton>

#include <algorithm>

namespace {

// The property holding a toolbar button's source text.
constexpr char SourceText[] = "sourceText";

QString translated(const char *source) {
    return QCoreApplication::translate("KeyboardAvoidance", source);
}

class InputToolbar : public QWidget {
public:
    using QWidget::QWidget;

protected:
    // The toolbar stays on its window between fields: its buttons follow a language change.
    void changeEvent(QEvent *event) override {
        QWidget::changeEvent(event);
        if (event->type() != QEvent::LanguageChange)
            return;
        for (QToolButton *button : findChildren<QToolButton *>()) {
            const QByteArray source = button->property(SourceText).toByteArray();
            if (!source.isEmpty())
                button->setText(translated(source.constData()));
        }
    }

    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(FrameStyle::ToolbarBackground));
        painter.setPen(QColor(FrameStyle::HairlineColor));
        painter.drawLine(0, 0, width(), 0);
    }
};

QToolButton *toolbarButton(const char *source, QWidget *parent) {
    auto *button = new QToolButton(parent);
    button->setProperty(SourceText, QByteArray(source));
    button->setText(translated(source));
    button->setAutoRaise(true);
    // Tab reaches it after the fields; a click leaves the focus in the field being edited.
    button->setFocusPolicy(Qt::TabFocus);
    QPalette pal = button->palette();
    pal.setColor(QPalette::ButtonText, QColor(FrameStyle::TitleColor));
    pal.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(FrameStyle::DisabledText));
    button->setPalette(pal);
    return button;
}

bool isEditableField(const QWidget *widget) {
    if (auto *line = qobject_cast<const QLineEdit *>(widget))
        return !line->isReadOnly();
    if (auto *text = qobject_cast<const QTextEdit *>(widget))
        return !text->isReadOnly();
    if (auto *plain = qobject_cast<const QPlainTextEdit *>(widget))
        return !plain->isReadOnly();
    return false;
}

// A field that belongs to a compound input (a spin box's or combo box's own line edit) is not a
// field of the screen.
bool isScreenField(const QWidget *widget) {
    if (!isEditableField(widget))
        return false;
    const QWidget *parent = widget->parentWidget();
    return !(parent && TapGestureRecognizer::isTextInput(parent));
}

} // namespace

KeyboardAvoidance *KeyboardAvoidance::instance() {
    static QPointer<KeyboardAvoidance> shared;
    if (!shared)
        shared = new KeyboardAvoidance;
    return shared;
}

KeyboardAvoidance::KeyboardAvoidance()
    : QObject(qApp) {
    connect(qApp, &QApplication::focusChanged, this, &KeyboardAvoidance::focusChanged);
    qApp->installEventFilter(this);
}

void KeyboardAvoidance::setEnabled(bool enabled) {
    KeyboardAvoidance *self = instance();
    if (self->m_enabled == enabled)
        return;
    self->m_enabled = enabled;
    self->update();
    emit self->stateChanged();
}

bool KeyboardAvoidance::isEnabled() {
    return instance()->m_enabled;
}

void KeyboardAvoidance::setToolbarEnabled(bool enabled) {
    KeyboardAvoidance *self = instance();
    if (self->m_toolbarEnabled == enabled)
        return;
    self->m_toolbarEnabled = enabled;
    self->update();
    emit self->stateChanged();
}

bool KeyboardAvoidance::isToolbarEnabled() {
    return instance()->m_toolbarEnabled;
}

QWidget *KeyboardAvoidance::toolbar() {
    KeyboardAvoidance *self = instance();
    return self->m_toolbar && self->m_toolbar->isVisible() ? self->m_toolbar.data() : nullptr;
}

QWidget *KeyboardAvoidance::focusedField() const {
    QWidget *focused = QApplication::focusWidget();
    return focused && isScreenField(focused) ? focused : nullptr;
}

QList<QWidget *> KeyboardAvoidance::fieldsOfFocusedScreen() {
    QWidget *field = instance()->focusedField();
    if (!field)
        return {};
    QWidget *scope = field->window();
    for (QWidget *w = field->parentWidget(); w; w = w->parentWidget()) {
        if (qobject_cast<ViewController *>(w)) {
            scope = w;
            break;
        }
    }
    QList<QWidget *> fields;
    const auto candidates = scope->findChildren<QWidget *>();
    for (QWidget *w : candidates) {
        if (isScreenField(w) && w->isVisible() && w->isEnabled() &&
            (w->focusPolicy() & Qt::ClickFocus))
            fields.append(w);
    }
    // Reading order: top to bottom, then left to right.
    std::stable_sort(fields.begin(), fields.end(), [scope](QWidget *a, QWidget *b) {
        const QPoint pa = a->mapTo(scope, QPoint(0, 0));
        const QPoint pb = b->mapTo(scope, QPoint(0, 0));
        return pa.y() != pb.y() ? pa.y() < pb.y() : pa.x() < pb.x();
    });
    return fields;
}

void KeyboardAvoidance::goPrevious() {
    const QList<QWidget *> fields = fieldsOfFocusedScreen();
    const qsizetype index = fields.indexOf(QApplication::focusWidget());
    if (index > 0)
        fields.at(index - 1)->setFocus(Qt::BacktabFocusReason);
}

void KeyboardAvoidance::goNext() {
    const QList<QWidget *> fields = fieldsOfFocusedScreen();
    const qsizetype index = fields.indexOf(QApplication::focusWidget());
    if (index >= 0 && index + 1 < fields.size())
        fields.at(index + 1)->setFocus(Qt::TabFocusReason);
}

void KeyboardAvoidance::done() {
    if (QWidget *field = instance()->focusedField())
        field->clearFocus();
}

void KeyboardAvoidance::focusChanged(QWidget *, QWidget *) {
    update();
}

void KeyboardAvoidance::update() {
    QWidget *field = focusedField();
    if (!m_enabled || !field) {
        if (m_toolbar)
            m_toolbar->hide();
        return;
    }
    QWidget *host = field->window();
    if (m_toolbarEnabled) {
        if (!m_toolbar || m_toolbar->parentWidget() != host) {
            delete m_toolbar.data();
            auto *bar = new InputToolbar(host);
            bar->setObjectName(QStringLiteral("inputToolbar"));
            auto *row = new QHBoxLayout(bar);
            row->setContentsMargins(8, 0, 8, 0);
            m_previous = toolbarButton(QT_TRANSLATE_NOOP("KeyboardAvoidance", "上一项"), bar);
            m_next = toolbarButton(QT_TRANSLATE_NOOP("KeyboardAvoidance", "下一项"), bar);
            QToolButton *doneButton =
                toolbarButton(QT_TRANSLATE_NOOP("KeyboardAvoidance", "完成"), bar);
            connect(m_previous, &QToolButton::clicked, this, [] { goPrevious(); });
            connect(m_next, &QToolButton::clicked, this, [] { goNext(); });
            connect(doneButton, &QToolButton::clicked, this, [] { done(); });
            row->addWidget(m_previous);
            row->addWidget(m_next);
            row->addStretch();
            row->addWidget(doneButton);
            m_toolbar = bar;
        }
        const int h = FrameStyle::InputToolbarHeight;
        m_toolbar->setGeometry(0, host->height() - h, host->width(), h);
        const QList<QWidget *> fields = fieldsOfFocusedScreen();
        const qsizetype index = fields.indexOf(field);
        m_previous->setEnabled(index > 0);
        m_next->setEnabled(index >= 0 && index + 1 < fields.size());
        m_toolbar->show();
        m_toolbar->raise();
    } else if (m_toolbar) {
        m_toolbar->hide();
    }
    keepVisible(field);
}

void KeyboardAvoidance::keepVisible(QWidget *field) {
    QWidget *host = field->window();
    const int covered = m_toolbar && m_toolbar->isVisible() ? m_toolbar->height() : 0;
    const int bottom = field->mapTo(host, QPoint(0, field->height())).y();
    if (bottom <= host->height() - covered)
        return;
    for (QWidget *w = field->parentWidget(); w; w = w->parentWidget()) {
        if (auto *area = qobject_cast<QScrollArea *>(w)) {
            area->ensureWidgetVisible(field, 0, covered + 8);
            return;
        }
    }
}

bool KeyboardAvoidance::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Resize && m_toolbar && watched == m_toolbar->parentWidget() &&
        m_toolbar->isVisible()) {
        update();
    } else if (event->type() == QEvent::MouseButtonPress && m_enabled) {
        // A click outside any control ends editing, as a touch outside the field does.
        auto *widget = qobject_cast<QWidget *>(watched);
        QWidget *field = focusedField();
        if (widget && field && widget->window() == field->window() &&
            !TapGestureRecognizer::isControl(widget) &&
            !(m_toolbar && (widget == m_toolbar || m_toolbar->isAncestorOf(widget))))
            field->clearFocus();
    }
    return false;
}
