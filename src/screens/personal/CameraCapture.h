#pragma once

#include <QCameraDevice>
#include <QDialog>
#include <QImage>
#include <QMediaCaptureSession>

class QCamera;
class QImageCapture;
class QPushButton;
class QVideoWidget;

// Takes one picture with a camera: the live picture, a shoot button and cancel. Accepted once the
// picture has arrived (image()); a camera that fails to start or to shoot says so in a toast, and
// a start failure closes the dialog as cancelled. Build it only for a device that
// QMediaDevices listed: a camera without a device makes the media backend complain loudly.
class CameraCapture : public QDialog {
    Q_OBJECT
public:
    explicit CameraCapture(const QCameraDevice &device, QWidget *parent = nullptr);
    ~CameraCapture() override;

    QImage image() const { return m_image; }

    // The shoot button's action.
    void shoot();

private:
    QMediaCaptureSession m_session;
    QCamera *m_camera;
    QImageCapture *m_capture;
    QVideoWidget *m_preview;
    QPushButton *m_shootButton;
    QImage m_image;
};
