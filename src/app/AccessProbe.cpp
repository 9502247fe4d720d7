#include "AccessProbe.h"

#include "Language.h"
#include "ScreenProbe.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTabBar>
#include <QTextEdit>
#include <QTranslator>

namespace {

// How a finding names a widget: its object name, else its class, with its place in the window.
QString named(const QWidget *widget, const QWidget *window) {
    const QString name = widget->objectName().isEmpty()
                             ? QString::fromLatin1(widget->metaObject()->className())
                             : widget->objectName();
    const QPoint at = widget->mapTo(window, QPoint());
    return QStringLiteral("%1 at %2,%3").arg(name).arg(at.x()).arg(at.y());
}

bool shown(const QWidget *widget, const QWidget *window) {
    return !widget->isHidden() && (widget == window || widget->isVisibleTo(window)) &&
           widget->width() > 0 && widget->height() > 0;
}

// The parts of a compound control (a combo box's field, a field's clear button, a view's
// scroll bars and viewport) speak through the control itself.
bool isPart(const QWidget *widget) {
    for (const QWidget *up = widget->parentWidget(); up; up = up->parentWidget()) {
        if (qobject_cast<const QComboBox *>(up) || qobject_cast<const QAbstractSpinBox *>(up) ||
            qobject_cast<const QLineEdit *>(up) || qobject_cast<const QAbstractItemView *>(up) ||
            qobject_cast<const QTabBar *>(up))
            return true;
    }
    return qobject_cast<const QScrollBar *>(widget) || qobject_cast<const QHeaderView *>(widget);
}

// A control a person uses: Qt's own controls, and the program's painted ones, which say so by
// taking the keyboard.
bool isControl(const QWidget *widget) {
    if (!widget->isEnabled() || isPart(widget) || qobject_cast<const QMenuBar *>(widget))
        return false;
    return qobject_cast<const QAbstractButton *>(widget) ||
           qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QTextEdit *>(widget) ||
           qobject_cast<const QPlainTextEdit *>(widget) ||
           qobject_cast<const QComboBox *>(widget) ||
           qobject_cast<const QAbstractItemView *>(widget) ||
           qobject_cast<const QAbstractSlider *>(widget) || qobject_cast<const QTabBar *>(widget) ||
           (widget->focusPolicy() & Qt::TabFocus);
}

QString accessibleName(QWidget *widget) {
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name).trimmed() : widget->accessibleName();
}

bool keepsTab(const QWidget *widget) {
    if (const auto *edit = qobject_cast<const QTextEdit *>(widget))
        return !edit->isReadOnly() && !edit->tabChangesFocus();
    if (const auto *edit = qobject_cast<const QPlainTextEdit *>(widget))
        return !edit->isReadOnly() && !edit->tabChangesFocus();
    return false;
}

// The first rows a screen reader would read: each must say something.
QString silentRow(const QAbstractItemView *view) {
    const QAbstractItemModel *model = view->model();
    if (!model)
        return {};
    const int rows = std::min(model->rowCount(view->rootIndex()), 5);
    for (int row = 0; row < rows; ++row) {
        const QModelIndex index = model->index(row, 0, view->rootIndex());
        QString text = index.data(Qt::AccessibleTextRole).toString().trimmed();
        if (text.isEmpty())
            text = index.data(Qt::DisplayRole).toString().trimmed();
        if (text.isEmpty())
            return QString::number(row);
    }
    return {};
}

// A text longer than its label or button shows cut off: a longer language needs the room.
bool isCut(const QWidget *widget) {
    QString text;
    int room = 0;
    if (const auto *label = qobject_cast<const QLabel *>(widget)) {
        if (label->textFormat() == Qt::RichText || Qt::mightBeRichText(label->text()))
            return false;
        text = label->text();
        const QRect inside = label->contentsRect();
        if (label->wordWrap())
            return !text.isEmpty() && label->heightForWidth(inside.width()) > inside.height() + 2;
        room = inside.width() - 2 * std::max(label->margin(), 0) - std::max(label->indent(), 0);
    } else if (const auto *button = qobject_cast<const QPushButton *>(widget)) {
        text = button->text();
        // Bar buttons are exactly as wide as their text: only a text wider than the whole
        // button is cut.
        const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
        room = button->width() - icon;
    } else {
        return false;
    }
    text.remove(QLatin1Char('&'));
    if (text.isEmpty() || text.contains(QLatin1Char('\n')) || text.endsWith(QChar(0x2026)))
        return false;
    return widget->fontMetrics().horizontalAdvance(text) > room + 1;
}

void walk(QWidget *scope, QWidget *window, QStringList *out) {
    QList<QWidget *> controls;
    const QList<QWidget *> all = scope->findChildren<QWidget *>();
    for (QWidget *widget : all) {
        if (widget->isWindow() || !shown(widget, window))
            continue;
        if (isControl(widget))
            controls << widget;
        if (isCut(widget))
            *out << QStringLiteral("text cut off: %1").arg(named(widget, window));
    }
    for (QWidget *widget : std::as_const(controls)) {
        const QString who = named(widget, window);
        if (accessibleName(widget).isEmpty())
            *out << QStringLiteral("no accessible name: %1").arg(who);
        if (!(widget->focusPolicy() & Qt::TabFocus))
            *out << QStringLiteral("Tab never reaches: %1").arg(who);
        if (keepsTab(widget))
            *out << QStringLiteral("keeps the Tab key (focus cannot leave): %1").arg(who);
        if (const auto *view = qobject_cast<const QAbstractItemView *>(widget)) {
            if (const QString row = silentRow(view); !row.isEmpty())
                *out << QStringLiteral("row %1 has no text: %2").arg(row, who);
        }
    }
}

bool hasChinese(const QString &text) {
    static const QRegularExpression han(QStringLiteral("\\p{Han}"));
    return han.match(text).hasMatch();
}

// Asked after the program's translator (or before it, when installed later): whatever reaches
// it with Chinese in it has no English translation.
class UntranslatedRecorder : public QTranslator {
public:
    using QTranslator::QTranslator;
    QString translate(const char *context, const char *source, const char *disambiguation,
                      int n) const override {
        if (Language::spoken() != Language::Spoken::English || !source)
            return {};
        const QString text = QString::fromUtf8(source);
        if (!hasChinese(text))
            return {};
        const QTranslator *ours = Language::programTranslator();
        if (ours && !ours->translate(context, source, disambiguation, n).isEmpty())
            return {};
        const QString entry = QStringLiteral("untranslated: %1: %2")
                                  .arg(QString::fromUtf8(context ? context : ""), text);
        if (!m_seen.contains(entry))
            m_seen << entry;
        return {};
    }
    bool isEmpty() const override { return false; }

    mutable QStringList m_seen;
};

UntranslatedRecorder *recorder = nullptr;

} // namespace

QStringList AccessProbe::findings(QWidget *window) {
    QStringList out;
    if (!window)
        return out;
    const QList<QWidget *> above = ScreenProbe::overlays(window);
    QWidget *covering = ScreenProbe::coveringOverlay(window);
    if (covering) {
        walk(covering, covering->isWindow() ? covering : window, &out);
    } else {
        walk(window, window, &out);
        for (QWidget *overlay : above) {
            if (overlay->isWindow())
                walk(overlay, overlay, &out);
        }
    }
    out += takeUntranslated();
    out.removeDuplicates();
    return out;
}

void AccessProbe::recordUntranslated() {
    if (recorder || Language::spoken() != Language::Spoken::English)
        return;
    recorder = new UntranslatedRecorder(QCoreApplication::instance());
    QCoreApplication::installTranslator(recorder);
}

QStringList AccessProbe::takeUntranslated() {
    if (!recorder)
        return {};
    return std::exchange(recorder->m_seen, {});
}
