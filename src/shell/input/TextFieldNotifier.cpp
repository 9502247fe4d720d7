#include "TextFieldNotifier.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPointer>

namespace {
constexpr const char *WatchedProperty = "_teacher_text_watched";
}

TextFieldNotifier *TextFieldNotifier::instance() {
    static QPointer<TextFieldNotifier> notifier;
    if (!notifier)
        notifier = new TextFieldNotifier;
    return notifier;
}

TextFieldNotifier::TextFieldNotifier()
    : QObject(qApp) {
    qApp->installEventFilter(this);
    // Fields already on screen before the first input screen was made.
    const auto widgets = QApplication::allWidgets();
    for (QWidget *widget : widgets) {
        if (auto *field = qobject_cast<QLineEdit *>(widget))
            watch(field);
    }
}

void TextFieldNotifier::watch(QLineEdit *field) {
    if (field->property(WatchedProperty).toBool())
        return;
    field->setProperty(WatchedProperty, true);
    // textEdited: the user's edits only, so a handler that rewrites the text (cutting it to a
    // length) does not call itself again.
    connect(field, &QLineEdit::textEdited, this,
            [this, field] { emit textFieldTextChanged(field); });
}

bool TextFieldNotifier::eventFilter(QObject *watched, QEvent *event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::Polish || type == QEvent::FocusIn || type == QEvent::Show) {
        if (auto *field = qobject_cast<QLineEdit *>(watched))
            watch(field);
    }
    return false;
}
