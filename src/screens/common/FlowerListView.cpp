#include "FlowerListView.h"

#include "Assets.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>

FlowerListView::FlowerListView(QWidget *parent)
    : QWidget(parent) {
    setAccessibleName(tr("小红花"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

int FlowerListView::flowersShownFor(qint64 count) {
    return int(std::clamp<qint64>(count, 0, MaxFlowers));
}

void FlowerListView::showFlowerWithCount(qint64 count) {
    const int shown = flowersShownFor(count);
    setAccessibleDescription(QString::number(shown));
    if (shown == m_shown)
        return;
    m_shown = shown;
    update();
}

void FlowerListView::paintFlowers(QPainter *painter, QPoint origin, qint64 count) {
    const int shown = flowersShownFor(count);
    if (!painter || shown == 0)
        return;
    // Assets caches the rendering by size and pixel ratio, so a grid of books renders it once.
    const QPixmap flower =
        Assets::pixmap(QStringLiteral("flower_icon"), QSize(FlowerWidth, FlowerHeight));
    if (flower.isNull())
        return;
    for (int i = 0; i < shown; ++i)
        painter->drawPixmap(
            QRect(origin + QPoint(i * FlowerStep, FlowerTop), QSize(FlowerWidth, FlowerHeight)),
            flower);
}

QSize FlowerListView::sizeHint() const {
    return {RowWidth, RowHeight};
}

void FlowerListView::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        setAccessibleName(tr("小红花"));
}

void FlowerListView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    paintFlowers(&painter, QPoint(0, 0), m_shown);
}
