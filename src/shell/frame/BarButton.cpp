#include "BarButton.h"

#include "Assets.h"

#include <QPainter>

BarButton::BarButton(QWidget *parent)
    : QPushButton(parent)
    , m_textColor(Qt::black) {
    setFlat(true);
    setCursor(Qt::PointingHandCursor);
    // Taking focus from a text field would end editing just by clicking a bar button.
    setFocusPolicy(Qt::NoFocus);
}

void BarButton::setImageName(const QString &assetName) {
    m_imageName = assetName;
    m_image = size().isEmpty() ? QPixmap() : Assets::pixmap(assetName, size());
    update();
}

void BarButton::setTextColor(const QColor &color) {
    m_textColor = color;
    QPalette pal = palette();
    pal.setColor(QPalette::ButtonText, color);
    setPalette(pal);
    update();
}

void BarButton::resizeEvent(QResizeEvent *event) {
    QPushButton::resizeEvent(event);
    if (!m_imageName.isEmpty())
        m_image = size().isEmpty() ? QPixmap() : Assets::pixmap(m_imageName, size());
}

void BarButton::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    if (isDown())
        painter.setOpacity(0.5);
    if (!m_image.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(rect(), m_image);
    }
    if (!text().isEmpty()) {
        painter.setPen(m_textColor);
        painter.setFont(font());
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text());
    }
}
