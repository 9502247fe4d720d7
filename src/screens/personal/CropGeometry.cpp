#include "CropGeometry.h"

#include <QtMath>

#include <algorithm>

namespace CropGeometry {

namespace {

double shorterSide(const QSizeF &image) {
    return std::min(image.width(), image.height());
}

bool isEmpty(const QSizeF &image) {
    return !(image.width() > 0 && image.height() > 0);
}

// `start` moved the shortest way so that [start, start + length] lies in [0, limit].
double inside(double start, double length, double limit) {
    return std::clamp(start, 0.0, std::max(0.0, limit - length));
}

} // namespace

QRectF initial(const QSizeF &image) {
    if (isEmpty(image))
        return {};
    const double side = shorterSide(image);
    return {(image.width() - side) / 2, (image.height() - side) / 2, side, side};
}

QRectF clamped(const QRectF &square, const QSizeF &image) {
    if (isEmpty(image))
        return {};
    const double shorter = shorterSide(image);
    // A NaN side (a zoom of NaN upstream) would pass std::clamp unchanged.
    double side = qIsNaN(square.width()) ? shorter : square.width();
    side = std::clamp(side, std::min(1.0, shorter), shorter);
    const QPointF centre = square.center();
    const double left = qIsFinite(centre.x()) ? centre.x() - side / 2 : 0.0;
    const double top = qIsFinite(centre.y()) ? centre.y() - side / 2 : 0.0;
    return {inside(left, side, image.width()), inside(top, side, image.height()), side, side};
}

double zoomOf(const QRectF &square, const QSizeF &image) {
    if (isEmpty(image) || !(square.width() > 0))
        return MinZoom;
    return std::clamp(shorterSide(image) / square.width(), MinZoom, MaxZoom);
}

QRectF zoomedTo(const QRectF &square, double zoom, const QSizeF &image) {
    if (isEmpty(image))
        return {};
    const double z = qIsNaN(zoom) ? MinZoom : std::clamp(zoom, MinZoom, MaxZoom);
    const double side = shorterSide(image) / z;
    QRectF next(0, 0, side, side);
    next.moveCenter(square.isValid() ? square.center() : initial(image).center());
    return clamped(next, image);
}

QRectF movedBy(const QRectF &square, const QPointF &delta, const QSizeF &image) {
    return clamped(square.translated(delta), image);
}

QRect pixelRect(const QRectF &square, const QSize &image) {
    if (image.isEmpty())
        return {};
    const QRectF fitted = clamped(square, QSizeF(image));
    const int shorter = std::min(image.width(), image.height());
    const int side = std::clamp(qRound(fitted.width()), 1, shorter);
    const int left = std::clamp(qRound(fitted.left()), 0, image.width() - side);
    const int top = std::clamp(qRound(fitted.top()), 0, image.height() - side);
    return {left, top, side, side};
}

} // namespace CropGeometry
