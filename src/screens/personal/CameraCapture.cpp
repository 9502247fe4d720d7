#include "CameraCapture.h"

#include "StyleTokens.h"
#include "Toast.h"

#include <QCamera>
#include <QDialogButtonBox>
#include <QImageCapture>
#include <QLoggingCategory>
#include <QPushButton>
#include <QVBoxLayout>
#include <QVideoWidget>

Q_LOGGING_CATEGORY(lcCamera, "teacher.camera")

CameraCapture::CameraCapture(const QCameraDevice &device, QWidget *parent)
    : QDialog(parent)
    , m_camera(new QCamera(device, this))
    , m_capture(new QImageCapture(this))
    , m_preview(new QVideoWidget(this))
    , m_shootButton(new QPushButton(tr("拍摄"), this)) {
    setWindowTitle(tr("拍摄照片"));
    setAccessibleName(tr("拍摄照片"));
    m_preview->setAccessibleName(tr("摄像头画面"));
    m_preview->setMinimumSize(320, 240);
    m_shootButton->setAccessibleName(tr("拍摄"));
    m_shootButton->setObjectName(QStringLiteral("shootButton"));
    m_shootButton->setDefault(true);
    // Until the camera runs there is nothing to take.
    m_shootButton->setEnabled(false);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(m_shootButton, QDialogButtonBox::ActionRole);
    QPushButton *cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setText(tr("取消"));
    cancel->setAccessibleName(tr("取消"));
    for (QPushButton *button : {m_shootButton, cancel}) {
        button->setStyleSheet(StyleTokens::buttonSheet(button == m_shootButton));
        StyleTokens::markKeyboardFocus(button);
    }
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_shootButton, &QPushButton::clicked, this, &CameraCapture::shoot);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_preview, 1);
    layout->addWidget(buttons);
    resize(520, 440);

    m_session.setCamera(m_camera);
    m_session.setImageCapture(m_capture);
    m_session.setVideoOutput(m_preview);

    connect(m_capture, &QImageCapture::readyForCaptureChanged, m_shootButton, &QWidget::setEnabled);
    connect(m_capture, &QImageCapture::imageCaptured, this, [this](int, const QImage &image) {
        if (image.isNull()) {
            Toast::show(tr("拍摄失败，请重试"));
            return;
        }
        m_image = image;
        accept();
    });
    connect(m_capture, &QImageCapture::errorOccurred, this,
            [this](int, QImageCapture::Error error, const QString &text) {
                qCWarning(lcCamera) << "capture failed:" << error << text;
                Toast::show(tr("拍摄失败，请重试"));
                m_shootButton->setEnabled(m_capture->isReadyForCapture());
            });
    connect(m_camera, &QCamera::errorOccurred, this,
            [this](QCamera::Error error, const QString &text) {
                if (error == QCamera::NoError)
                    return;
                qCWarning(lcCamera) << "camera failed:" << error << text;
                Toast::show(tr("无法打开摄像头"));
                reject();
            });
    m_camera->start();
}

CameraCapture::~CameraCapture() {
    // The device stays busy for other programs until it is stopped.
    m_camera->stop();
}

void CameraCapture::shoot() {
    if (!m_capture->isReadyForCapture())
        return;
    m_shootButton->setEnabled(false);
    m_capture->capture();
}
