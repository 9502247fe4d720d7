#pragma once

#include <QStringList>

class QWidget;

// What a screen reader and a keyboard make of the window, as a list of findings; the tour adds
// them to each screen's dump ("access"), and the access_walk tests fail on any.
//   - a control a person can use (button, field, list, custom control taking the keyboard) that
//     has no accessible name, or whose list rows have no text;
//   - such a control that Tab never reaches, or a field that keeps the Tab key (a trap);
//   - a label or button whose text does not fit it;
//   - in English: a text of the program's own that was shown untranslated.
namespace AccessProbe {

// The visible controls of the window and of the overlays above it; what a covering overlay
// hides is out of reach, so only the overlay is walked then.
QStringList findings(QWidget *window);

// From now on, remembers every text of the program that was asked for in English and has no
// English translation. Does nothing while Chinese is spoken.
void recordUntranslated();
// The texts remembered since the last call, as "context: source".
QStringList takeUntranslated();

} // namespace AccessProbe
