#pragma once

#include "ModalOverlay.h"

#include <QPointer>
#include <QStringList>

#include <functional>

class QLabel;
class QPushButton;

// A modal alert inside the window: title, message and buttons over a dimmed screen. A click on a
// button closes it, then calls the callback with the button's index (0 for the first title).
// Without any button title it gets a single "确定", so it can always be closed. Enter presses the
// button with the keyboard focus, which starts on the default button (the last one unless set
// otherwise); Esc presses the first.
// Alerts shown while another is up stack; current() is the top one.
class AlertView : public ModalOverlay {
    Q_OBJECT
public:
    using Callback = std::function<void(int buttonIndex)>;

    AlertView(const QString &title, const QString &message, const QStringList &buttonTitles,
              Callback callback = {});
    ~AlertView() override;

    // Makes, shows and returns an alert.
    static AlertView *show(const QString &title, const QString &message,
                           const QStringList &buttonTitles, Callback callback = {});
    static AlertView *current();

    using ModalOverlay::show;
    // As if the user clicked button `index`; out-of-range indexes do nothing.
    void clickButton(int index);

    QString title() const { return m_title; }
    QString message() const { return m_message; }
    QStringList buttonTitles() const { return m_buttonTitles; }
    QPushButton *button(int index) const;
    // The button Enter presses when the alert opens; out-of-range indexes do nothing.
    void setDefaultButton(int index);
    int defaultButton() const { return m_default; }

protected:
    void layoutContent() override;
    QWidget *initialFocus() override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_title;
    QString m_message;
    QStringList m_buttonTitles;
    Callback m_callback;
    QWidget *m_panel;
    QList<QPushButton *> m_buttons;
    int m_default = 0;
};
