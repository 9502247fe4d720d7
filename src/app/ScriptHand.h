#pragma once

#include "Script.h"

#include <QString>

class QWidget;

// Does to a window what a person's hand does for one step of a script (tap, type, key, press,
// row, back, tab, tick), and only what a person could: a widget that is hidden, covered,
// disabled or off screen, or a screen under the blocking progress indicator, refuses the step.
class ScriptHand {
public:
    explicit ScriptHand(QWidget *window);

    // The reason the step cannot be done, or an empty text when it was done.
    QString act(const ScriptStep &step);

private:
    QString tap(const ScriptStep &step);
    QString type(const ScriptStep &step);
    QString key(const ScriptStep &step);
    QString press(const ScriptStep &step);
    QString row(const ScriptStep &step);
    QString back();
    QString tab(const ScriptStep &step);
    QString tick(const ScriptStep &step);
    // The named widget, ready for a person's hand; nullptr with the reason otherwise.
    QWidget *reachable(const QString &name, QString *why);

    QWidget *m_window;
};
