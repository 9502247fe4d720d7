#include "PageControl.h"

#include <QEvent>
#include <QPainter>

PageControl::PageControl(QWidget *parent)
    : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    nameThePage();
}

void PageControl::nameThePage() {
    setAccessibleName(tr("第 %1 页，共 %2 页").arg(m_current + 1).arg(m_count));
}

void PageControl::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        nameThePage();
}

void PageControl::setNumberOfPages(int count) {
    m_count = qMax(0, count);
    setCurrentPage(m_current);
    nameThePage();
    updateGeometry();
    update();
}

void PageControl::setCurrentPage(int page) {
    const int clamped = m_count > 0 ? qBound(0, page, m_count - 1) : 0;
    if (clamped == m_current)
        return;
    m_current = clamped;
    nameThePage();
    update();
    emit currentPageChanged(m_current);
}

QColor PageControl::dotColor(int index) const {
    return index == m_current ? m_currentColor : m_otherColor;
}

QSize PageControl::sizeHint() const {
    const int width = m_count > 0 ? m_count * DotDiameter + (m_count - 1) * DotSpacing : 0;
    return QSize(width + 2 * DotSpacing, DotDiameter + 2 * DotSpacing);
}

void PageControl::paintEvent(QPaintEvent *) {
    if (m_count <= 0)
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const int total = m_count * DotDiameter + (m_count - 1) * DotSpacing;
    qreal x = (width() - total) / 2.0;
    const qreal y = (height() - DotDiameter) / 2.0;
    for (int i = 0; i < m_count; ++i) {
        p.setBrush(dotColor(i));
        p.drawEllipse(QRectF(x, y, DotDiameter, DotDiameter));
        x += DotDiameter + DotSpacing;
    }
}
