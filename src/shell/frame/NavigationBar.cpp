#include "NavigationBar.h"

#include "Assets.h"
#include "FrameStyle.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>

NavigationBar::NavigationBar(QWidget *parent)
    : QWidget(parent)
    , m_titleLabel(new QLabel(this))
    , m_titleColor(Qt::black) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    QFont font = m_titleLabel->font();
    font.setPixelSize(FrameStyle::NavigationTitlePixelSize);
    font.setBold(true);
    m_titleLabel->setFont(font);
    m_titleLabel->setAlignment(Qt::AlignCenter);
    m_titleLabel->setTextFormat(Qt::PlainText);
    setTitleColor(m_titleColor);
}

QSize NavigationBar::sizeHint() const {
    return {FrameStyle::WindowWidth, FrameStyle::NavigationBarHeight};
}

void NavigationBar::setTitle(const QString &title) {
    m_titleLabel->setText(title);
    layoutItems();
}

QString NavigationBar::title() const {
    return m_titleLabel->text();
}

void NavigationBar::showItem(QPointer<QWidget> &slot, QWidget *item) {
    if (slot == item) {
        if (item && item->parentWidget() == this)
            item->show();
        layoutItems();
        return;
    }
    // The previous item still belongs to its screen, which deletes it; here it only goes away.
    if (slot && slot->parentWidget() == this)
        slot->hide();
    slot = item;
    if (item) {
        if (item->parentWidget() != this)
            item->setParent(this);
        item->show();
        item->raise();
    }
    layoutItems();
}

void NavigationBar::setTitleView(QWidget *view) {
    showItem(m_titleView, view);
    m_titleLabel->setVisible(!m_titleView);
}

void NavigationBar::setLeftItem(QWidget *item) {
    showItem(m_leftItem, item);
}

void NavigationBar::setRightItem(QWidget *item) {
    showItem(m_rightItem, item);
}

void NavigationBar::setTitleColor(const QColor &color) {
    m_titleColor = color;
    QPalette pal = m_titleLabel->palette();
    pal.setColor(QPalette::WindowText, color);
    m_titleLabel->setPalette(pal);
}

void NavigationBar::setBackgroundImage(const QString &assetName) {
    if (m_backgroundImage == assetName)
        return;
    m_backgroundImage = assetName;
    update();
}

void NavigationBar::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const QPixmap image =
        m_backgroundImage.isEmpty() ? QPixmap() : Assets::pixmap(m_backgroundImage, size());
    if (image.isNull())
        painter.fillRect(rect(), QColor(FrameStyle::NavigationBarFallback));
    else
        painter.drawPixmap(rect(), image);
}

void NavigationBar::resizeEvent(QResizeEvent *) {
    layoutItems();
}

bool NavigationBar::event(QEvent *event) {
    if (event->type() == QEvent::LayoutRequest)
        layoutItems();
    return QWidget::event(event);
}

void NavigationBar::layoutItems() {
    const int margin = FrameStyle::BarItemMargin;
    const int h = height();
    auto itemSize = [](QWidget *item) {
        // Items made with a fixed size keep it; others get their size hint.
        const QSize fixed =
            item->minimumSize() == item->maximumSize() ? item->minimumSize() : QSize();
        return fixed.isValid() && !fixed.isEmpty() ? fixed : item->sizeHint();
    };
    int leftEdge = margin;
    int rightEdge = width() - margin;
    if (m_leftItem && m_leftItem->parentWidget() == this) {
        const QSize s = itemSize(m_leftItem);
        m_leftItem->setGeometry(margin, (h - s.height()) / 2, s.width(), s.height());
        leftEdge = m_leftItem->geometry().right() + 1 + margin;
    }
    if (m_rightItem && m_rightItem->parentWidget() == this) {
        const QSize s = itemSize(m_rightItem);
        m_rightItem->setGeometry(width() - margin - s.width(), (h - s.height()) / 2, s.width(),
                                 s.height());
        rightEdge = m_rightItem->geometry().left() - margin;
    }
    // The title is centred on the bar, narrowed symmetrically when the items crowd it.
    const int half = qMax(0, qMin(width() / 2 - leftEdge, rightEdge - width() / 2));
    if (m_titleView && m_titleView->parentWidget() == this) {
        QSize s = itemSize(m_titleView);
        s.setWidth(qMin(s.width(), 2 * half));
        s.setHeight(qMin(s.height(), h));
        m_titleView->setGeometry(width() / 2 - s.width() / 2, (h - s.height()) / 2, s.width(),
                                 s.height());
    }
    m_titleLabel->setGeometry(width() / 2 - half, 0, 2 * half, h);
}
