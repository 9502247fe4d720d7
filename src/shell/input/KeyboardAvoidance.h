#pragma once

#include <QObject>
#include <QPointer>

class QWidget;
class QToolButton;

// One shared switch. While it is on, the focused text field is kept clear of the input toolbar
// (scrolled into view when it sits in a scroll area), a click outside any control ends editing,
// and, with the toolbar on, an input toolbar (previous, next, done) sits at the bottom of the
// window while a text field has focus. Previous and next move among the text fields of the
// focused field's screen, top to bottom then left to right.
class KeyboardAvoidance : public QObject {
    Q_OBJECT
public:
    static KeyboardAvoidance *instance();

    static void setEnabled(bool enabled);
    static bool isEnabled();
    static void setToolbarEnabled(bool enabled);
    static bool isToolbarEnabled();

    // The toolbar while it is shown, else nullptr.
    static QWidget *toolbar();
    static void goPrevious();
    static void goNext();
    static void done();
    // The fields previous/next move among, for the currently focused field.
    static QList<QWidget *> fieldsOfFocusedScreen();

signals:
    void stateChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    KeyboardAvoidance();
    void focusChanged(QWidget *old, QWidget *now);
    void update();
    void keepVisible(QWidget *field);
    QWidget *focusedField() const;

    bool m_enabled = false;
    bool m_toolbarEnabled = false;
    QPointer<QWidget> m_toolbar;
    QToolButton *m_previous = nullptr;
    QToolButton *m_next = nullptr;
};
