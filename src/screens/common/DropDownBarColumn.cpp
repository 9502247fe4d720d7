#include "DropDownBarColumn.h"

#include "FrameStyle.h"
#include "StyleTokens.h"

#include <QKeyEvent>

#include <QEasingCurve>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

namespace {

constexpr int TitleRoom = 25;
constexpr QSize IndicatorSize(8, 5);
constexpr int IndicatorGap = 6;
constexpr int FontLineRaise = 2;

// The turning curve of the triangle: control points (0.4, 0) and (0.2, 1.0).
QEasingCurve rotationCurve() {
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0.4, 0), QPointF(0.2, 1.0), QPointF(1, 1));
    return curve;
}

} // namespace

DropDownBarColumn::DropDownBarColumn(const Look &look, QWidget *parent)
    : QWidget(parent)
    , m_look(look) {
    // The bar takes the touches; Tab brings the keyboard to each column.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::TabFocus);
    StyleTokens::markKeyboardFocus(this);
    QFont f = font();
    f.setPixelSize(look.titlePixelSize);
    setFont(f);
    m_rotation = new QVariantAnimation(this);
    m_rotation->setDuration(look.turnMs);
    m_rotation->setEasingCurve(rotationCurve());
    connect(m_rotation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_angle = value.toDouble();
        update();
    });
}

void DropDownBarColumn::setTitle(const QString &title) {
    m_title = title;
    setAccessibleName(title);
    update();
}

QString DropDownBarColumn::shownTitle() const {
    const QFontMetrics metrics(font());
    if (metrics.horizontalAdvance(m_title) <= width() - TitleRoom)
        return m_title;
    return metrics.elidedText(m_title, m_look.elision, std::max(0, width() - m_look.cutMargin));
}

QRect DropDownBarColumn::titleRect() const {
    const QFontMetrics metrics(font());
    const int titleWidth = metrics.horizontalAdvance(shownTitle());
    if (!m_look.onFontLine)
        return {(width() - titleWidth) / 2, 0, titleWidth, height()};
    QRect r(QPoint(), QSize(titleWidth, metrics.height()));
    r.moveCenter(QPoint(width() / 2, height() / 2 - FontLineRaise));
    return r;
}

QPointF DropDownBarColumn::indicatorCentre() const {
    const QRect title = titleRect();
    const qreal after = title.right() + 1 + IndicatorGap;
    if (!m_look.onFontLine)
        return {after + IndicatorSize.width() / 2.0, height() / 2.0};
    return {after, title.center().y() + 0.5};
}

void DropDownBarColumn::rotateTo(double to) {
    if (qFuzzyCompare(m_angle + 1, to + 1) && m_rotation->state() != QAbstractAnimation::Running)
        return;
    m_rotation->stop();
    m_rotation->setStartValue(m_angle);
    m_rotation->setEndValue(to);
    m_rotation->start();
}

void DropDownBarColumn::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), backgroundColor);
    painter.setPen(titleColor);
    painter.drawText(titleRect(), Qt::AlignCenter, shownTitle());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(indicatorCentre());
    painter.rotate(qRadiansToDegrees(m_angle));
    const double w = IndicatorSize.width() / 2.0, h = IndicatorSize.height() / 2.0;
    QPainterPath triangle;
    triangle.moveTo(-w, -h);
    triangle.lineTo(w, -h);
    triangle.lineTo(0, h);
    triangle.closeSubpath();
    painter.fillPath(triangle, indicatorColor);
    if (hasFocus() && property("keyboardFocus").toBool()) {
        painter.resetTransform();
        painter.setPen(QPen(QColor(FrameStyle::TitleGlow), 2));
        painter.drawRoundedRect(QRectF(rect()).adjusted(2, 2, -2, -2), 4, 4);
    }
}

void DropDownBarColumn::keyPressEvent(QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
    case Qt::Key_Down:
        emit activated();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}
