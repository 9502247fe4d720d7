#include "BarButton.h"

#include "Assets.h"
#include "FrameStyle.h"
#include "StyleTokens.h"

#include <QPainter>

BarButton::BarButton(QWidget *parent)
    : QPushButton(parent)
    , m_textColor(Qt::black) {
    setFlat(true);
    setCursor(Qt::PointingHandCursor);
    // Tab reaches it; a click does not take the focus, which would end a text field's editing
    // just by clicking a bar button.
    setFocusPolicy(Qt::TabFocus);
    StyleTokens::markKeyboardFocus(this);
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
    if (hasFocus() && property("keyboardFocus").toBool()) {
        painter.setOpacity(1);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(FrameStyle::TitleGlow), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 4, 4);
    }
}
