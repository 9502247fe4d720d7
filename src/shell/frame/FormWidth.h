#pragma once

class QWidget;

// A form written for a phone (fields from edge to edge) on a wide window: its layout's side
// margins grow so the form keeps a comfortable width in the middle. At phone width the margins
// stay as the form has them.
namespace FormWidth {

inline constexpr int Comfortable = 480;

// From now on, for as long as `screen` lives; nothing for a screen without a layout.
void keep(QWidget *screen, int maxWidth = Comfortable);

} // namespace FormWidth
