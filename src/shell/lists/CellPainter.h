#pragma once

#include "FrameStyle.h"

#include <QRect>
#include <QStyleOptionViewItem>

class QPainter;

// What every list row shares: the tint of a chosen row, the line under it and the keyboard's
// focus ring. A delegate paints its background, then its content, then finish().
namespace CellPainter {

enum class Hairline {
    None,  // cells of a grid
    Thin,  // half a pixel, smoothed, under the row's last pixel
    Pixel, // the row's last pixel row
};

// The row's resting colour, or the selection tint while it is chosen or under the mouse. A row
// with no resting colour (invalid) shows what is behind it.
void paintBackground(QPainter *painter, const QStyleOptionViewItem &option,
                     const QColor &resting = QColor(FrameStyle::White));

// The ring shows on the view's current row only while the keyboard brought the focus into the
// window (Tab, a shortcut); a list the program focused or the mouse clicked shows none.
bool showsFocusRing(const QStyleOptionViewItem &option);

// The line along the bottom from `indent` on, then the focus ring when it shows.
void finish(QPainter *painter, const QStyleOptionViewItem &option, Hairline line, int indent = 0,
            QRgb color = FrameStyle::HairlineColor);

} // namespace CellPainter
