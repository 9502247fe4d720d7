#pragma once

#include <QObject>

class QLineEdit;

// Broadcasts every user edit of every text field of the application, like the platform's
// text-changed notification. Fields are picked up when they are first polished or focused.
class TextFieldNotifier : public QObject {
    Q_OBJECT
public:
    static TextFieldNotifier *instance();

signals:
    void textFieldTextChanged(QLineEdit *field);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TextFieldNotifier();
    void watch(QLineEdit *field);
};
