#include "PhotoCropDialog.h"

#include "CropGeometry.h"
#include "FrameStyle.h"
#include "StyleTokens.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace {
constexpr int Margin = 8;
// Larger pictures are painted from a copy this size; the crop still reads the original.
constexpr int PreviewLimit = 1600;
// One wheel notch or one + / - press.
constexpr double ZoomStep = 1.15;
// An arrow press moves a twentieth of the square, with Shift a quarter.
constexpr double MoveStep = 1.0 / 20;
constexpr double BigMoveStep = 1.0 / 4;
// The slider counts zoom in percent.
constexpr int SliderScale = 100;
} // namespace

PhotoCropView::PhotoCropView(QWidget *parent)
    : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::OpenHandCursor);
    setAccessibleName(tr("裁剪区域"));
    setAccessibleDescription(
        tr("拖动或用方向键移动方框，用滚轮或加号、减号键缩放；回车确定，Esc 取消"));
    setMinimumSize(200, 200);
}

void PhotoCropView::setImage(const QImage &image) {
    m_image = image;
    refreshPreview();
    setSquare(CropGeometry::initial(QSizeF(m_image.size())));
}

double PhotoCropView::zoom() const {
    return CropGeometry::zoomOf(m_square, QSizeF(m_image.size()));
}

void PhotoCropView::setZoom(double zoom) {
    setSquare(CropGeometry::zoomedTo(m_square, zoom, QSizeF(m_image.size())));
}

void PhotoCropView::zoomBy(double factor) {
    setZoom(zoom() * factor);
}

void PhotoCropView::moveBy(const QPointF &delta) {
    setSquare(CropGeometry::movedBy(m_square, delta, QSizeF(m_image.size())));
}

QImage PhotoCropView::croppedImage() const {
    if (m_image.isNull())
        return {};
    return m_image.copy(CropGeometry::pixelRect(m_square, m_image.size()));
}

void PhotoCropView::setSquare(const QRectF &square) {
    const double before = zoom();
    m_square = square;
    update();
    if (!qFuzzyCompare(before, zoom()))
        emit zoomChanged(zoom());
}

void PhotoCropView::refreshPreview() {
    m_preview = m_image.width() > PreviewLimit || m_image.height() > PreviewLimit
                    ? m_image.scaled(PreviewLimit, PreviewLimit, Qt::KeepAspectRatio,
                                     Qt::SmoothTransformation)
                    : m_image;
}

QRectF PhotoCropView::pictureArea() const {
    const QRectF room = QRectF(rect()).adjusted(Margin, Margin, -Margin, -Margin);
    if (m_image.isNull() || room.isEmpty())
        return {};
    QSizeF size = QSizeF(m_image.size()).scaled(room.size(), Qt::KeepAspectRatio);
    QRectF area(QPointF(), size);
    area.moveCenter(room.center());
    return area;
}

double PhotoCropView::displayScale() const {
    const QRectF area = pictureArea();
    return m_image.isNull() || area.isEmpty() ? 1.0 : area.width() / m_image.width();
}

void PhotoCropView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(FrameStyle::CropBackground));
    const QRectF area = pictureArea();
    if (area.isEmpty())
        return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(area, m_preview);

    const double scale = displayScale();
    const QRectF frame(area.topLeft() + m_square.topLeft() * scale, m_square.size() * scale);
    QPainterPath dimmed;
    dimmed.addRect(area);
    dimmed.addRect(frame);
    dimmed.setFillRule(Qt::OddEvenFill);
    painter.fillPath(dimmed, QColor::fromRgba(FrameStyle::CropShade));

    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor::fromRgba(FrameStyle::CropGrid), 1));
    for (int i = 1; i < 3; ++i) {
        const double x = frame.left() + frame.width() * i / 3;
        const double y = frame.top() + frame.height() * i / 3;
        painter.drawLine(QPointF(x, frame.top()), QPointF(x, frame.bottom()));
        painter.drawLine(QPointF(frame.left(), y), QPointF(frame.right(), y));
    }
    painter.setPen(QPen(hasFocus() ? QColor(FrameStyle::CropFocus) : QColor(Qt::white), 2));
    painter.drawRect(frame);
}

void PhotoCropView::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    update();
}

void PhotoCropView::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_dragging = true;
    m_dragFrom = event->position().toPoint();
    setCursor(Qt::ClosedHandCursor);
}

void PhotoCropView::mouseMoveEvent(QMouseEvent *event) {
    if (!m_dragging)
        return;
    const QPoint at = event->position().toPoint();
    moveBy(QPointF(at - m_dragFrom) / displayScale());
    m_dragFrom = at;
}

void PhotoCropView::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton) {
        m_dragging = false;
        setCursor(Qt::OpenHandCursor);
    }
}

void PhotoCropView::wheelEvent(QWheelEvent *event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0) {
        event->ignore();
        return;
    }
    zoomBy(std::pow(ZoomStep, notches));
    event->accept();
}

void PhotoCropView::keyPressEvent(QKeyEvent *event) {
    const double step = std::max(
        1.0, m_square.width() * (event->modifiers() & Qt::ShiftModifier ? BigMoveStep : MoveStep));
    switch (event->key()) {
    case Qt::Key_Left:
        moveBy({-step, 0});
        break;
    case Qt::Key_Right:
        moveBy({step, 0});
        break;
    case Qt::Key_Up:
        moveBy({0, -step});
        break;
    case Qt::Key_Down:
        moveBy({0, step});
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomBy(ZoomStep);
        break;
    case Qt::Key_Minus:
        zoomBy(1 / ZoomStep);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

PhotoCropDialog::PhotoCropDialog(const QImage &image, QWidget *parent)
    : QDialog(parent)
    , m_view(new PhotoCropView(this))
    , m_slider(new QSlider(Qt::Horizontal, this)) {
    setWindowTitle(tr("裁剪照片"));
    setAccessibleName(tr("裁剪照片"));
    m_view->setImage(image);

    m_slider->setRange(int(CropGeometry::MinZoom * SliderScale),
                       int(CropGeometry::MaxZoom * SliderScale));
    m_slider->setValue(qRound(m_view->zoom() * SliderScale));
    m_slider->setAccessibleName(tr("缩放"));
    m_slider->setPageStep(SliderScale / 2);
    connect(m_slider, &QSlider::valueChanged, m_view,
            [this](int value) { m_view->setZoom(double(value) / SliderScale); });
    connect(m_view, &PhotoCropView::zoomChanged, m_slider, [this](double zoom) {
        const QSignalBlocker quiet(m_slider);
        m_slider->setValue(qRound(zoom * SliderScale));
    });

    auto *zoomRow = new QHBoxLayout;
    auto *zoomLabel = new QLabel(tr("缩放"), this);
    zoomLabel->setBuddy(m_slider);
    zoomRow->addWidget(zoomLabel);
    zoomRow->addWidget(m_slider, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton *ok = buttons->button(QDialogButtonBox::Ok);
    QPushButton *cancel = buttons->button(QDialogButtonBox::Cancel);
    ok->setText(tr("确定"));
    ok->setAccessibleName(tr("确定"));
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    cancel->setText(tr("取消"));
    cancel->setAccessibleName(tr("取消"));
    cancel->setObjectName(QStringLiteral("cancelButton"));
    for (QPushButton *button : {ok, cancel}) {
        button->setStyleSheet(StyleTokens::buttonSheet(button == ok));
        StyleTokens::markKeyboardFocus(button);
    }
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *hint = new QLabel(tr("拖动方框选择头像区域，滚轮或 +/- 缩放"), this);
    hint->setAlignment(Qt::AlignCenter);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_view, 1);
    layout->addWidget(hint);
    layout->addLayout(zoomRow);
    layout->addWidget(buttons);
    resize(420, 520);
    m_view->setFocus();
}
