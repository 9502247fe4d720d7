#pragma once

#include "ModalOverlay.h"

#include <QKeySequence>
#include <QList>
#include <QString>

class AppWindow;
class QShortcut;

// The keys at a glance (F1, Ctrl+/): what works right now on the screen the teacher sees and
// everywhere in the window, read from the shortcuts and actions registered and enabled at the
// moment it opens, never written by hand. A key's description is its whatsThis; keys with the same
// description share a row, a key without one shows alone. Esc, F1, Ctrl+/ or a click closes it.
class KeySheet : public ModalOverlay {
    Q_OBJECT
public:
    struct Row {
        QString keys;        // native text, several keys separated by " / "
        QString description; // empty when the key has none
        bool everywhere;     // the window's own keys rather than the screen's
        bool operator==(const Row &) const = default;
    };

    // What the sheet would list for `window` now: the screen's keys first, then the window's.
    static QList<Row> rowsFor(AppWindow *window);

    // The enabled shortcut for `key` the sheet would list now (the screen's first), or nullptr.
    // Where it answers only with the focus inside its screen, the screen is still the one in view:
    // the menu bar asks this to do what the key does.
    static QShortcut *keyInView(AppWindow *window, const QKeySequence &key);

    // Opens a sheet over `window`, or closes the one that is up. Returns the sheet now up.
    static KeySheet *toggle(AppWindow *window);
    static KeySheet *current();

    QList<Row> rows() const { return m_rows; }
    void closeSheet();

protected:
    void layoutContent() override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    explicit KeySheet(QList<Row> rows);

    QList<Row> m_rows;
    QWidget *m_panel;
};
