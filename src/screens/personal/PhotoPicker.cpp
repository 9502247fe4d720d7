#include "PhotoPicker.h"

#include "CameraCapture.h"
#include "PhotoCropDialog.h"
#include "ShellState.h"
#include "Toast.h"
#include "ViewController.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileDialog>
#include <QImageReader>
#include <QLoggingCategory>
#include <QMediaDevices>
#include <QPainter>
#include <QPointer>
#include <QStandardPaths>

Q_LOGGING_CATEGORY(lcPhoto, "teacher.photo")

namespace PhotoPicker {

namespace {

using Done = std::function<void(const QByteArray &jpeg)>;

// What the service stores: a small square, JPEG quality 0.5.
constexpr int UploadSide = 200;
constexpr int UploadQuality = 50;
// Larger pictures are read scaled down to this on their long side: even an eighth of it, the
// smallest crop, is more than the upload keeps, and a huge picture would not fit in memory.
constexpr int ReadLimit = 4096;

FileChooser &chooser() {
    static FileChooser current;
    // A test's chooser goes at the next test: the file dialog again.
    static const ShellState::Reset reset([] { current = nullptr; });
    return current;
}

QString chooseWithFileDialog(QWidget *parent) {
    QStringList patterns;
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    return QFileDialog::getOpenFileName(
        parent, QCoreApplication::translate("PhotoPicker", "选择照片"),
        QStandardPaths::writableLocation(QStandardPaths::PicturesLocation),
        //: The file dialog's filter; %1 is the list of patterns such as *.png.
        QCoreApplication::translate("PhotoPicker", "图片 (%1)")
            .arg(patterns.join(QLatin1Char(' '))));
}

// The crop over `host`; the JPEG reaches `done` after the dialog has closed, and only while the
// host is still there to take it.
void cropAndDeliver(ViewController *host, const QImage &picture, const Done &done) {
    auto *dialog = new PhotoCropDialog(picture, host);
    dialog->setWindowModality(Qt::WindowModal);
    const QPointer<ViewController> guard(host);
    QObject::connect(dialog, &QDialog::finished, dialog, [dialog, guard, done](int result) {
        dialog->deleteLater();
        if (result != QDialog::Accepted || !guard)
            return;
        const QByteArray jpeg = uploadJpeg(dialog->croppedImage());
        if (jpeg.isEmpty())
            return;
        // Queued, so what `done` does to the screen never runs inside the dialog's own close.
        QMetaObject::invokeMethod(
            guard, [done, jpeg] { done(jpeg); }, Qt::QueuedConnection);
    });
    dialog->open();
}

void pickFile(ViewController *host, const Done &done) {
    const QPointer<ViewController> guard(host);
    const QString path = chooser() ? chooser()(host) : chooseWithFileDialog(host);
    // The file dialog runs its own event loop: the screen may have gone meanwhile.
    if (path.isEmpty() || !guard)
        return;
    QImageReader reader(path);
    // Phones store pictures sideways with a note saying which way is up.
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    if (stored.width() > ReadLimit || stored.height() > ReadLimit)
        reader.setScaledSize(stored.scaled(ReadLimit, ReadLimit, Qt::KeepAspectRatio));
    const QImage picture = reader.read();
    if (picture.isNull()) {
        qCInfo(lcPhoto) << "cannot read" << path << ":" << reader.errorString();
        Toast::show(unreadablePictureText());
        return;
    }
    cropAndDeliver(host, picture, done);
}

void takeWithCamera(ViewController *host, const Done &done) {
    const QList<QCameraDevice> cameras = QMediaDevices::videoInputs();
    if (cameras.isEmpty()) {
        // The camera went away since the teacher chose it: a file still gives a photo.
        pickFile(host, done);
        return;
    }
    QCameraDevice device = QMediaDevices::defaultVideoInput();
    if (device.isNull())
        device = cameras.constFirst();
    auto *camera = new CameraCapture(device, host);
    camera->setWindowModality(Qt::WindowModal);
    const QPointer<ViewController> guard(host);
    QObject::connect(camera, &QDialog::finished, camera, [camera, guard, done](int result) {
        camera->deleteLater();
        if (result == QDialog::Accepted && guard)
            cropAndDeliver(guard, camera->image(), done);
    });
    camera->open();
}

} // namespace

bool hasCamera() {
    return !QMediaDevices::videoInputs().isEmpty();
}

void pick(ViewController *host, Source source, std::function<void(const QByteArray &jpeg)> done) {
    // The dialogs belong to the screen: without one there is nothing to show them over.
    if (!host || !done)
        return;
    if (source == Source::Camera)
        takeWithCamera(host, done);
    else
        pickFile(host, done);
}

QByteArray uploadJpeg(const QImage &cropped) {
    if (cropped.isNull())
        return {};
    QImage stretched =
        cropped.scaled(UploadSide, UploadSide, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    stretched.setDevicePixelRatio(1);
    if (stretched.hasAlphaChannel()) {
        // JPEG has no transparency; transparent parts would come out black.
        QImage opaque(stretched.size(), QImage::Format_RGB32);
        opaque.fill(Qt::white);
        QPainter painter(&opaque);
        painter.drawImage(0, 0, stretched);
        painter.end();
        stretched = opaque;
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    if (!stretched.save(&buffer, "JPEG", UploadQuality)) {
        qCWarning(lcPhoto) << "JPEG encoding failed";
        return {};
    }
    return jpeg;
}

void setFileChooser(FileChooser fileChooser) {
    chooser() = std::move(fileChooser);
}

QString unreadablePictureText() {
    return QCoreApplication::translate("PhotoPicker", "无法读取该文件，请选择一张图片");
}

} // namespace PhotoPicker
