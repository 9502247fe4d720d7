#include "RoundImageView.h"

#include "FrameStyle.h"
#include <QPainter>
#include <QPainterPath>

RoundImageView::RoundImageView(QWidget *parent)
    : QLabel(parent) {}

void RoundImageView::paintEvent(QPaintEvent *) {
    const int side = std::min(width(), height());
    if (side <= 0)
        return;
    const QRectF circle((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QPainterPath clip;
    clip.addEllipse(circle);
    painter.setClipPath(clip);
    painter.fillRect(circle, QColor(FrameStyle::AvatarBackground));
    const QPixmap image = pixmap();
    if (!image.isNull())
        painter.drawPixmap(circle, image, QRectF(image.rect()));
}
