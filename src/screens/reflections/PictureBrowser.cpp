#include "PictureBrowser.h"

#include "ImageLoader.h"
#include "OverlayRegistry.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPropertyAnimation>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

namespace {

ModalOverlay::Stack &shownBrowsers() {
    return OverlayRegistry::instance().shown(OverlayKind::PictureBrowser);
}

constexpr int DragToTurn = 50;
constexpr int WheelStepToTurn = 120;
constexpr int KeyScrollStep = 40;
constexpr int LabelHeight = 30;

// Paints one picture over its whole rectangle; mouse input goes to the stage beneath.
class Canvas : public QWidget {
public:
    explicit Canvas(QWidget *parent)
        : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    void setImage(const QPixmap &image) {
        m_image = image;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override {
        if (m_image.isNull())
            return;
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(rect(), m_image, m_image.rect());
    }

private:
    QPixmap m_image;
};

QLabel *whiteLabel(QWidget *parent, const QString &name, int pixelSize) {
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->setTextFormat(Qt::PlainText);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->setStyleSheet(QStringLiteral("color: white; font-size: %1px;").arg(pixelSize));
    return label;
}

} // namespace

QString PictureBrowser::failureText() {
    return tr("图片加载失败");
}

PictureBrowser::PictureBrowser(PictureGrid *grid, int startIndex)
    : ModalOverlay(shownBrowsers())
    , m_grid(grid)
    , m_stage(new QScrollArea(this))
    , m_canvas(new Canvas(nullptr))
    , m_positionLabel(whiteLabel(this, QStringLiteral("positionLabel"), 16))
    , m_failureLabel(whiteLabel(this, QStringLiteral("failureLabel"), 15)) {
    setObjectName(QStringLiteral("PictureBrowser"));
    setAccessibleName(tr("图片浏览"));
    setFocusPolicy(Qt::StrongFocus);

    if (grid) {
        const QList<PictureItem> items = grid->pictureItems();
        for (int i = 0; i < items.size(); ++i) {
            Page page;
            page.item = items.at(i);
            if (PictureThumbnail *thumbnail = grid->thumbnailAt(i))
                page.thumbnail = thumbnail->image();
            m_pages.append(page);
        }
    }

    auto *container = new QWidget;
    container->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_canvas->setParent(container);
    m_stage->setObjectName(QStringLiteral("pictureStage"));
    m_stage->setFrameShape(QFrame::NoFrame);
    m_stage->setWidgetResizable(false);
    m_stage->setWidget(container);
    m_stage->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_stage->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_stage->setFocusPolicy(Qt::NoFocus);
    m_stage->setStyleSheet(QStringLiteral("background: transparent;"));
    m_stage->viewport()->setAutoFillBackground(false);
    container->setAutoFillBackground(false);
    m_stage->viewport()->installEventFilter(this);
    m_failureLabel->setText(failureText());
    m_failureLabel->hide();

    m_clickTimer.setSingleShot(true);
    m_clickTimer.setInterval(QApplication::doubleClickInterval());
    connect(&m_clickTimer, &QTimer::timeout, this, &PictureBrowser::closeBrowser);

    m_index = qBound(0, startIndex, qMax(0, count() - 1));
    keepAround(m_index);
    refreshPage();
}

PictureBrowser::~PictureBrowser() = default;

PictureBrowser *PictureBrowser::current() {
    return static_cast<PictureBrowser *>(top(shownBrowsers()));
}

QString PictureBrowser::positionText() const {
    return QStringLiteral("%1/%2").arg(m_index + 1).arg(count());
}

PictureBrowser::PageState PictureBrowser::pageState(int index) const {
    return index >= 0 && index < count() ? m_pages.at(index).state : PageState::Failed;
}

QPixmap PictureBrowser::pageImage(int index) const {
    if (index < 0 || index >= count())
        return {};
    const Page &page = m_pages.at(index);
    if (!page.large.isNull())
        return page.large;
    if (page.thumbnail.isNull() && m_grid) {
        // The thumbnail may have come in after the browser opened.
        if (PictureThumbnail *thumbnail = m_grid->thumbnailAt(index))
            return thumbnail->image();
    }
    return page.thumbnail;
}

void PictureBrowser::showPage(int index) {
    if (index < 0 || index >= count() || index == m_index || m_closing)
        return;
    const int direction = index > m_index ? 1 : -1;
    m_index = index;
    if (m_zoomAnimation)
        m_zoomAnimation->stop();
    m_zoomTarget = 1.0;
    m_zoom = 1.0;
    keepAround(index);
    if (m_slideAnimation)
        m_slideAnimation->stop();
    auto *slide = new QPropertyAnimation(this, "slideOffset", this);
    slide->setDuration(PageMilliseconds);
    slide->setStartValue(direction * width());
    slide->setEndValue(0);
    slide->setEasingCurve(QEasingCurve::OutCubic);
    m_slideAnimation = slide;
    m_slideOffset = direction * width();
    refreshPage();
    slide->start(QAbstractAnimation::DeleteWhenStopped);
}

void PictureBrowser::setSlideOffset(int offset) {
    m_slideOffset = offset;
    relayoutCanvas();
}

void PictureBrowser::keepAround(int index) {
    for (int i = 0; i < count(); ++i) {
        if (qAbs(i - index) <= 1) {
            load(i);
            continue;
        }
        Page &page = m_pages[i];
        // A request still queued is dropped with its guard; a picture loaded is let go.
        delete page.request.data();
        page.large = QPixmap();
        page.state = PageState::Loading;
    }
}

void PictureBrowser::load(int index) {
    if (index < 0 || index >= count() || m_pages[index].request)
        return;
    auto *request = new QObject(this);
    m_pages[index].request = request;
    QPointer<PictureBrowser> self = this;
    ImageLoader::instance().fetch(
        m_pages.at(index).item.largeUrl(), request, [self, index](const QPixmap &image) {
            if (!self || index >= self->count())
                return;
            Page &page = self->m_pages[index];
            page.large = image;
            page.state = image.isNull() ? PageState::Failed : PageState::Loaded;
            if (index == self->m_index)
                self->refreshPage();
            emit self->pictureFinished(index, !image.isNull());
        });
}

void PictureBrowser::refreshPage() {
    static_cast<Canvas *>(m_canvas)->setImage(pageImage(m_index));
    m_failureLabel->setVisible(pageState(m_index) == PageState::Failed);
    m_positionLabel->setText(positionText());
    m_positionLabel->setAccessibleName(positionText());
    relayoutCanvas();
}

QSizeF PictureBrowser::fittedSize() const {
    const QPixmap image = pageImage(m_index);
    const QSizeF area = m_stage->viewport()->size();
    if (image.isNull() || area.isEmpty())
        return {};
    return image.deviceIndependentSize().scaled(area, Qt::KeepAspectRatio);
}

void PictureBrowser::relayoutCanvas() {
    QWidget *container = m_stage->widget();
    QScrollBar *h = m_stage->horizontalScrollBar();
    QScrollBar *v = m_stage->verticalScrollBar();
    const QSize area = m_stage->viewport()->size();
    // Zoom about the middle of what is shown.
    const qreal cx =
        container->width() > 0 ? (h->value() + area.width() / 2.0) / container->width() : 0.5;
    const qreal cy =
        container->height() > 0 ? (v->value() + area.height() / 2.0) / container->height() : 0.5;
    const QSize canvas = (fittedSize() * m_zoom).toSize();
    const QSize total = canvas.expandedTo(area);
    container->resize(total);
    m_canvas->setGeometry(QRect(QPoint((total.width() - canvas.width()) / 2 + m_slideOffset,
                                       (total.height() - canvas.height()) / 2),
                                canvas));
    h->setValue(qRound(cx * total.width() - area.width() / 2.0));
    v->setValue(qRound(cy * total.height() - area.height() / 2.0));
}

void PictureBrowser::setZoomScale(qreal scale) {
    m_zoom = qBound(1.0, scale, ZoomedScale);
    relayoutCanvas();
}

void PictureBrowser::toggleZoom() {
    if (m_closing)
        return;
    m_zoomTarget = isZoomed() ? 1.0 : ZoomedScale;
    if (m_zoomAnimation)
        m_zoomAnimation->stop();
    auto *animation = new QPropertyAnimation(this, "zoomScale", this);
    animation->setDuration(ZoomMilliseconds);
    animation->setStartValue(m_zoom);
    animation->setEndValue(m_zoomTarget);
    animation->setEasingCurve(QEasingCurve::InOutQuad);
    m_zoomAnimation = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void PictureBrowser::closeBrowser() {
    if (m_closing)
        return;
    m_closing = true;
    m_clickTimer.stop();
    if (m_zoomAnimation)
        m_zoomAnimation->stop();
    if (m_slideAnimation)
        m_slideAnimation->stop();
    m_slideOffset = 0;
    relayoutCanvas();
    PictureThumbnail *thumbnail = m_grid ? m_grid->thumbnailAt(m_index) : nullptr;
    if (!thumbnail || !thumbnail->isVisible() || !parentWidget()) {
        dismiss();
        return;
    }
    // A copy of the picture flies from where it is shown onto its thumbnail.
    auto *flyer = new Canvas(this);
    flyer->setImage(pageImage(m_index));
    flyer->setGeometry(
        QRect(m_canvas->mapTo(this, QPoint(0, 0)), m_canvas->size()).intersected(rect()));
    m_stage->hide();
    m_positionLabel->hide();
    m_failureLabel->hide();
    flyer->show();
    auto *shrink = new QPropertyAnimation(flyer, "geometry", this);
    shrink->setDuration(CloseMilliseconds);
    shrink->setEndValue(
        QRect(thumbnail->mapTo(window(), QPoint(0, 0)) - mapTo(window(), QPoint(0, 0)),
              thumbnail->size()));
    shrink->setEasingCurve(QEasingCurve::OutCubic);
    connect(shrink, &QAbstractAnimation::finished, this, [this] { dismiss(); });
    shrink->start(QAbstractAnimation::DeleteWhenStopped);
}

void PictureBrowser::layoutContent() {
    m_stage->setGeometry(rect());
    m_positionLabel->setGeometry(0, 20, width(), LabelHeight);
    m_failureLabel->setGeometry(0, (height() - LabelHeight) / 2, width(), LabelHeight);
    relayoutCanvas();
}

void PictureBrowser::paintEvent(QPaintEvent *) {
    QPainter(this).fillRect(rect(), Qt::black);
}

void PictureBrowser::keyPressEvent(QKeyEvent *event) {
    QScrollBar *h = m_stage->horizontalScrollBar();
    QScrollBar *v = m_stage->verticalScrollBar();
    switch (event->key()) {
    case Qt::Key_Escape:
        closeBrowser();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Plus:
    case Qt::Key_Minus:
    case Qt::Key_Z:
        toggleZoom();
        return;
    case Qt::Key_PageDown:
        nextPage();
        return;
    case Qt::Key_PageUp:
        previousPage();
        return;
    case Qt::Key_Right:
    case Qt::Key_Left: {
        const int direction = event->key() == Qt::Key_Right ? 1 : -1;
        if (isZoomed())
            h->setValue(h->value() + direction * KeyScrollStep);
        else
            showPage(m_index + direction);
        return;
    }
    case Qt::Key_Up:
    case Qt::Key_Down:
        v->setValue(v->value() + (event->key() == Qt::Key_Down ? 1 : -1) * KeyScrollStep);
        return;
    default:
        ModalOverlay::keyPressEvent(event);
    }
}

void PictureBrowser::handleClick() {
    // A second click within the double-click interval zooms instead.
    m_clickTimer.start();
}

void PictureBrowser::turnByDrag(int dx) {
    if (dx <= -DragToTurn)
        nextPage();
    else if (dx >= DragToTurn)
        previousPage();
}

bool PictureBrowser::eventFilter(QObject *watched, QEvent *event) {
    if (watched != m_stage->viewport())
        return ModalOverlay::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        m_pressed = mouse->button() == Qt::LeftButton;
        m_dragged = false;
        m_pressPos = m_lastDragPos = mouse->position().toPoint();
        return true;
    }
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (!m_pressed)
            return true;
        const QPoint pos = mouse->position().toPoint();
        if ((pos - m_pressPos).manhattanLength() >= QApplication::startDragDistance())
            m_dragged = true;
        if (isZoomed()) {
            const QPoint step = pos - m_lastDragPos;
            m_stage->horizontalScrollBar()->setValue(m_stage->horizontalScrollBar()->value() -
                                                     step.x());
            m_stage->verticalScrollBar()->setValue(m_stage->verticalScrollBar()->value() -
                                                   step.y());
        }
        m_lastDragPos = pos;
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (!m_pressed || mouse->button() != Qt::LeftButton)
            return true;
        m_pressed = false;
        if (!m_dragged)
            handleClick();
        else if (!isZoomed())
            turnByDrag(mouse->position().toPoint().x() - m_pressPos.x());
        return true;
    }
    case QEvent::MouseButtonDblClick:
        m_clickTimer.stop();
        m_pressed = false;
        toggleZoom();
        return true;
    case QEvent::Wheel: {
        if (isZoomed())
            return false;
        auto *wheel = static_cast<QWheelEvent *>(event);
        const QPoint delta = wheel->angleDelta();
        m_wheelTurn += delta.x() != 0 ? delta.x() : delta.y();
        if (m_wheelTurn <= -WheelStepToTurn) {
            m_wheelTurn = 0;
            nextPage();
        } else if (m_wheelTurn >= WheelStepToTurn) {
            m_wheelTurn = 0;
            previousPage();
        }
        return true;
    }
    default:
        return false;
    }
}
