#pragma once

#include <QDialog>
#include <QImage>
#include <QPoint>
#include <QRectF>
#include <QWidget>

class QSlider;

// The picture with a square over it that the teacher moves (drag, arrow keys; Shift for big
// steps) and zooms (wheel, + and - keys). Everything outside the square is dimmed. The square's
// rules live in CropGeometry; this only turns input into calls and paints.
class PhotoCropView : public QWidget {
    Q_OBJECT
public:
    explicit PhotoCropView(QWidget *parent = nullptr);

    void setImage(const QImage &image);
    const QImage &image() const { return m_image; }
    // The square in picture pixels.
    QRectF square() const { return m_square; }
    double zoom() const;
    void setZoom(double zoom);
    void zoomBy(double factor);
    // Moves the square by `delta` picture pixels.
    void moveBy(const QPointF &delta);
    // What is under the square now.
    QImage croppedImage() const;

    QSize sizeHint() const override { return {360, 360}; }

signals:
    void zoomChanged(double zoom);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Where the whole picture is drawn, and how many widget pixels one picture pixel takes.
    QRectF pictureArea() const;
    double displayScale() const;
    void setSquare(const QRectF &square);
    void refreshPreview();

    QImage m_image;
    // A smaller copy for painting: a camera's full picture is slow to scale on every repaint.
    QImage m_preview;
    QRectF m_square;
    QPoint m_dragFrom;
    bool m_dragging = false;
};

// The square crop of a picture: the view, a zoom slider, and OK/Cancel. Enter takes the crop,
// Esc drops it; both are the dialog's own keys, so they work wherever the focus is.
class PhotoCropDialog : public QDialog {
    Q_OBJECT
public:
    explicit PhotoCropDialog(const QImage &image, QWidget *parent = nullptr);

    QImage croppedImage() const { return m_view->croppedImage(); }
    PhotoCropView *view() const { return m_view; }
    QSlider *zoomSlider() const { return m_slider; }

private:
    PhotoCropView *m_view;
    QSlider *m_slider;
};
