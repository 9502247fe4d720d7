#include "SegmentedControl.h"

#include "FrameStyle.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr qreal CornerRadius = 4.0;
}

SegmentedControl::SegmentedControl(const QStringList &titles, QWidget *parent)
    : QWidget(parent) {
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    QFont f = font();
    f.setPixelSize(FrameStyle::SegmentPixelSize);
    setFont(f);
    setTitles(titles);
}

void SegmentedControl::setTitles(const QStringList &titles) {
    m_titles = titles;
    if (m_selected >= m_titles.size())
        m_selected = -1;
    describe();
    updateGeometry();
    update();
}

QString SegmentedControl::titleForSegmentAtIndex(int index) const {
    return m_titles.value(index);
}

void SegmentedControl::setSelectedSegmentIndex(int index) {
    if (index < -1 || index >= m_titles.size())
        return;
    m_selected = index;
    describe();
    update();
}

void SegmentedControl::describe() {
    //: A segmented control read aloud: the selected segment, how many there are, the keys.
    setAccessibleDescription(m_selected < 0 ? QString()
                                            : tr("已选「%1」，共 %2 项，左右方向键切换")
                                                  .arg(m_titles.at(m_selected))
                                                  .arg(m_titles.size()));
}

void SegmentedControl::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        describe();
}

QColor SegmentedControl::textColorForSegment(int index) const {
    return index == m_selected ? QColor(Qt::white) : QColor(FrameStyle::DarkGrey);
}

QRect SegmentedControl::segmentRect(int index) const {
    const int count = int(m_titles.size());
    if (index < 0 || index >= count)
        return {};
    const int left = index * width() / count;
    const int right = (index + 1) * width() / count;
    return QRect(left, 0, right - left, height());
}

int SegmentedControl::segmentAt(const QPoint &pos) const {
    if (!rect().contains(pos))
        return -1;
    for (int i = 0; i < m_titles.size(); ++i) {
        if (segmentRect(i).contains(pos))
            return i;
    }
    return -1;
}

QSize SegmentedControl::sizeHint() const {
    return {FrameStyle::SegmentWidth, FrameStyle::SegmentHeight};
}

void SegmentedControl::choose(int index) {
    // Choosing the segment already chosen is no change, and says nothing.
    if (index < 0 || index >= m_titles.size() || index == m_selected)
        return;
    m_selected = index;
    describe();
    update();
    emit valueChanged();
}

void SegmentedControl::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton)
        choose(segmentAt(event->position().toPoint()));
}

void SegmentedControl::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Left)
        choose(m_selected - 1);
    else if (event->key() == Qt::Key_Right)
        choose(m_selected + 1);
    else
        QWidget::keyPressEvent(event);
}

void SegmentedControl::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor brown(FrameStyle::TitleColor);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath outline;
    outline.addRoundedRect(frame, CornerRadius, CornerRadius);
    painter.fillPath(outline, Qt::white);
    if (m_selected >= 0) {
        painter.save();
        painter.setClipPath(outline);
        painter.fillRect(segmentRect(m_selected), brown);
        painter.restore();
    }
    painter.setPen(QPen(brown, 1));
    painter.drawPath(outline);
    for (int i = 1; i < m_titles.size(); ++i) {
        const qreal x = segmentRect(i).left() + 0.5;
        painter.drawLine(QPointF(x, frame.top()), QPointF(x, frame.bottom()));
    }
    painter.setFont(font());
    for (int i = 0; i < m_titles.size(); ++i) {
        painter.setPen(textColorForSegment(i));
        const QRect r = segmentRect(i);
        painter.drawText(r, Qt::AlignCenter | Qt::TextSingleLine,
                         fontMetrics().elidedText(m_titles.at(i), Qt::ElideRight, r.width() - 4));
    }
}
