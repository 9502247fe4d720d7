#include "ActivityDrawing.h"

#include <QPainter>
#include <QPainterPath>

namespace ActivityDrawing {

void drawSpinner(QPainter &painter, const QRectF &rect, int step, const QColor &color) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(rect.center());
    const qreal side = qMin(rect.width(), rect.height());
    QPen pen(color, qMax<qreal>(1.5, side / 12), Qt::SolidLine, Qt::RoundCap);
    for (int i = 0; i < SpinnerSteps; ++i) {
        const int age = ((step - i) % SpinnerSteps + SpinnerSteps) % SpinnerSteps;
        QColor c = color;
        c.setAlphaF(color.alphaF() * (1.0 - 0.75 * age / SpinnerSteps));
        pen.setColor(c);
        painter.setPen(pen);
        painter.save();
        painter.rotate(360.0 * i / SpinnerSteps);
        painter.drawLine(QPointF(0, -side * 0.25), QPointF(0, -side * 0.47));
        painter.restore();
    }
    painter.restore();
}

void drawArrow(QPainter &painter, const QRectF &rect, bool up, const QColor &color) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(rect.center());
    if (up)
        painter.rotate(180);
    const qreal h = rect.height() * 0.9;
    const qreal w = qMin(rect.width(), h) * 0.55;
    painter.setPen(
        QPen(color, qMax<qreal>(1.5, h / 12), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawLine(QPointF(0, -h / 2), QPointF(0, h / 2));
    QPainterPath head;
    head.moveTo(-w / 2, h / 2 - w / 2);
    head.lineTo(0, h / 2);
    head.lineTo(w / 2, h / 2 - w / 2);
    painter.drawPath(head);
    painter.restore();
}

void drawTick(QPainter &painter, const QRectF &rect, const QColor &color) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = qMin(rect.width(), rect.height());
    const QRectF r(rect.center() - QPointF(side / 2, side / 2), QSizeF(side, side));
    painter.setPen(
        QPen(color, qMax<qreal>(1.5, side / 10), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(r.adjusted(2, 2, -2, -2));
    QPainterPath tick;
    tick.moveTo(r.left() + r.width() * 0.28, r.top() + r.height() * 0.52);
    tick.lineTo(r.left() + r.width() * 0.44, r.top() + r.height() * 0.68);
    tick.lineTo(r.left() + r.width() * 0.73, r.top() + r.height() * 0.36);
    painter.drawPath(tick);
    painter.restore();
}

} // namespace ActivityDrawing
