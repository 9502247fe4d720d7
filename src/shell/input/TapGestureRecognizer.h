#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <functional>

// A single tap (press and release close together, on the same spot) anywhere in a view's tree.
// Taps on controls (buttons, text inputs, sliders...) are left to the control, so a tap on a
// field never counts as a tap on its background. Events are observed, never consumed.
class TapGestureRecognizer : public QObject {
    Q_OBJECT
public:
    TapGestureRecognizer(QWidget *view, std::function<void()> action);
    ~TapGestureRecognizer() override;

    QWidget *view() const { return m_view; }

    // Whether `widget` (or a widget it belongs to, like a text edit's viewport) takes its own
    // clicks.
    static bool isControl(const QWidget *widget);
    static bool isTextInput(const QWidget *widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_view;
    std::function<void()> m_action;
    QPointer<QWidget> m_pressed;
    QPoint m_pressPos;
    QElapsedTimer m_pressTime;
};
