#include "InputVC.h"

#include "KeyboardAvoidance.h"
#include "TapGestureRecognizer.h"
#include "TextFieldNotifier.h"

#include <QApplication>
#include <QLineEdit>

InputVC::InputVC(QWidget *parent)
    : BasicVC(parent) {}

void InputVC::viewDidLoad() {
    BasicVC::viewDidLoad();
    // Lasts as long as this screen: the connection ends with it.
    connect(TextFieldNotifier::instance(), &TextFieldNotifier::textFieldTextChanged, this,
            [this](QLineEdit *field) { textFiledEditChanged(field); });
    addTapAction();
}

void InputVC::addTapAction() {
    if (m_tap)
        return;
    m_tap = new TapGestureRecognizer(this, [this] { tapTheBackGroud(); });
}

void InputVC::tapTheBackGroud() {
    QWidget *focused = QApplication::focusWidget();
    if (focused && (focused == this || isAncestorOf(focused)))
        focused->clearFocus();
}

void InputVC::viewWillAppear(bool animated) {
    BasicVC::viewWillAppear(animated);
    KeyboardAvoidance::setEnabled(true);
    KeyboardAvoidance::setToolbarEnabled(true);
}

void InputVC::viewWillDisappear(bool animated) {
    BasicVC::viewWillDisappear(animated);
    KeyboardAvoidance::setEnabled(false);
}
