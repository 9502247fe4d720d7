#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

// The small figures the progress indicator and the refresh controls share, drawn with the painter
// so they look the same at every size and pixel ratio.
namespace ActivityDrawing {
constexpr int SpinnerSteps = 12;

// A ring of fading spokes; `step` (0..SpinnerSteps-1) is the brightest spoke.
void drawSpinner(QPainter &painter, const QRectF &rect, int step, const QColor &color);
// An arrow pointing down (`up` false) or up.
void drawArrow(QPainter &painter, const QRectF &rect, bool up, const QColor &color);
// A tick in a circle.
void drawTick(QPainter &painter, const QRectF &rect, const QColor &color);
} // namespace ActivityDrawing
