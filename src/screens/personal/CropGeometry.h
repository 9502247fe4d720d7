#pragma once

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QSizeF>

// Where the crop square of a picture lies, in the picture's own pixels. The square always lies
// wholly inside the picture and is never larger than its shorter side; zoom 1 is that largest
// square and every step of zoom shrinks the square around its centre. Plain functions, so the
// rules hold whatever drives them (mouse, keys, slider) and tests need no widget.
namespace CropGeometry {

// Zoom never goes below the whole shorter side nor above this (a square an eighth of it).
constexpr double MinZoom = 1.0;
constexpr double MaxZoom = 8.0;

// The largest square, centred: where a crop starts. Empty for an empty picture.
QRectF initial(const QSizeF &image);
// `square` brought inside the picture: its side cut to the shorter side (and at least one pixel
// where the picture has one), then moved the shortest way in. Empty for an empty picture.
QRectF clamped(const QRectF &square, const QSizeF &image);
// The zoom the square stands for: the picture's shorter side over the square's side.
double zoomOf(const QRectF &square, const QSizeF &image);
// The square for `zoom` (kept within MinZoom..MaxZoom) around the same centre, then clamped: near
// an edge the centre gives way rather than the square leaving the picture.
QRectF zoomedTo(const QRectF &square, double zoom, const QSizeF &image);
// The square moved by `delta` picture pixels, stopping at the edges.
QRectF movedBy(const QRectF &square, const QPointF &delta, const QSizeF &image);
// The square in whole pixels, for QImage::copy: square, at least 1 x 1 and inside the picture.
QRect pixelRect(const QRectF &square, const QSize &image);

} // namespace CropGeometry
