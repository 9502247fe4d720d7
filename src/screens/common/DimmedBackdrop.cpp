#include "DimmedBackdrop.h"

#include <QMouseEvent>
#include <QPainter>

DimmedBackdrop::DimmedBackdrop(const QString &accessibleName, TapOn tapOn, QWidget *parent)
    : QWidget(parent)
    , m_tapOn(tapOn) {
    setObjectName(QStringLiteral("backGroundView"));
    setAccessibleName(accessibleName);
    if (parent)
        parent->installEventFilter(this);
}

void DimmedBackdrop::setTopLeft(QPoint topLeft) {
    m_topLeft = topLeft;
    cover();
}

void DimmedBackdrop::cover() {
    if (const QWidget *host = parentWidget())
        setGeometry(m_topLeft.x(), m_topLeft.y(), host->width(),
                    std::max(0, host->height() - m_topLeft.y()));
}

void DimmedBackdrop::setAlpha(int alpha) {
    m_alpha = alpha;
    update();
}

void DimmedBackdrop::paintEvent(QPaintEvent *) {
    QColor shade(Qt::black);
    shade.setAlpha(m_alpha);
    QPainter(this).fillRect(rect(), shade);
}

void DimmedBackdrop::mousePressEvent(QMouseEvent *event) {
    event->accept();
    if (m_tapOn == TapOn::Press)
        emit tapped();
}

void DimmedBackdrop::mouseReleaseEvent(QMouseEvent *event) {
    if (m_tapOn == TapOn::Release && rect().contains(event->position().toPoint()))
        emit tapped();
}

bool DimmedBackdrop::eventFilter(QObject *watched, QEvent *event) {
    // A window resized while the list is open must stay dimmed to its new edges.
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        cover();
    return QWidget::eventFilter(watched, event);
}
