#pragma once

#include <QWidget>

// The window's two forms. Below MinWidth it is the phone the client was designed as and every
// screen is drawn as it always was; from MinWidth on it takes its desktop form (the menu bar, the
// desktop's scroll bars, the review desk beside its list). One width for the whole program, so
// no part of the window switches on its own.
namespace DesktopForm {

inline constexpr int MinWidth = 900;

inline constexpr bool isDesktop(int windowWidth) {
    return windowWidth >= MinWidth;
}

// By the width of the window `widget` lies in (itself when it has none): a screen beside the
// sidebar or a detail pane is narrower than the window but in the same form.
inline bool holds(const QWidget *widget) {
    return widget && isDesktop(widget->window()->width());
}

} // namespace DesktopForm
