#include "LineView.h"

#include "FrameStyle.h"

#include <QPainter>

namespace {
constexpr qreal HairlineWidth = 0.2;
}

LineView::LineView(QWidget *parent)
    : QWidget(parent) {}

std::optional<QLineF> LineView::hairlineFor(const QSizeF &size) {
    if (size.width() == 1.0)
        return QLineF(HairlineWidth, 0, HairlineWidth, size.height());
    if (size.height() == 1.0)
        return QLineF(0, size.height() - HairlineWidth, size.width(),
                      size.height() - HairlineWidth);
    return std::nullopt;
}

void LineView::paintEvent(QPaintEvent *) {
    const auto line = hairlineFor(size());
    if (!line)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(FrameStyle::HairlineColor), HairlineWidth));
    painter.drawLine(*line);
}
