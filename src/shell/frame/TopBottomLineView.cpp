#include "TopBottomLineView.h"

#include "FrameStyle.h"

#include <QPainter>

namespace {
constexpr qreal HairlineWidth = 0.2;
}

TopBottomLineView::TopBottomLineView(QWidget *parent)
    : QWidget(parent) {}

QList<QLineF> TopBottomLineView::hairlinesFor(const QSizeF &size) {
    if (size.isEmpty())
        return {};
    return {QLineF(0, HairlineWidth, size.width(), HairlineWidth),
            QLineF(0, size.height() - HairlineWidth, size.width(), size.height() - HairlineWidth)};
}

void TopBottomLineView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(FrameStyle::HairlineColor), HairlineWidth));
    for (const QLineF &line : hairlinesFor(size()))
        painter.drawLine(line);
}
