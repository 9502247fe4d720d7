#include "CellPainter.h"

#include <QPainter>
#include <QPen>

namespace CellPainter {

void paintBackground(QPainter *painter, const QStyleOptionViewItem &option, const QColor &resting) {
    if (option.state & (QStyle::State_Selected | QStyle::State_MouseOver))
        painter->fillRect(option.rect, QColor(FrameStyle::SelectionTint));
    else if (resting.isValid())
        painter->fillRect(option.rect, resting);
}

bool showsFocusRing(const QStyleOptionViewItem &option) {
    return (option.state & QStyle::State_HasFocus) &&
           (option.state & QStyle::State_KeyboardFocusChange);
}

void finish(QPainter *painter, const QStyleOptionViewItem &option, Hairline line, int indent,
            QRgb color) {
    const QRect r = option.rect;
    painter->save();
    if (line == Hairline::Pixel) {
        painter->fillRect(QRect(r.left() + indent, r.bottom(), r.width() - indent, 1),
                          QColor(color));
    } else if (line == Hairline::Thin) {
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(QColor(color), 0.5));
        painter->drawLine(QPointF(r.left() + indent, r.bottom() + 0.5),
                          QPointF(r.right(), r.bottom() + 0.5));
    }
    if (showsFocusRing(option)) {
        const int inset = FrameStyle::FocusRingInset;
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(QPen(QColor(FrameStyle::TitleColor), 1, Qt::DotLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(r.adjusted(inset, inset, -inset - 1, -inset - 1));
    }
    painter->restore();
}

} // namespace CellPainter
