#include "ImageDecoding.h"

#include <QBuffer>
#include <QImageReader>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcDecoding, "teacher.images.decoding")

namespace ImageDecoding {

QImage decode(const QByteArray &bytes, QSize bound) {
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer);
    const QSize declared = reader.size();
    if (declared.width() > MaxSide || declared.height() > MaxSide ||
        qint64(declared.width()) * declared.height() > MaxDeclaredPixels) {
        qCDebug(lcDecoding) << "refusing an image that declares" << declared;
        return {};
    }
    const bool bounded = !bound.isEmpty();
    // Formats that can (JPEG) decode straight at the smaller size; the rest are scaled after.
    if (bounded && declared.isValid() && !declared.isEmpty() &&
        (declared.width() > bound.width() || declared.height() > bound.height()))
        reader.setScaledSize(declared.scaled(bound, Qt::KeepAspectRatio).expandedTo({1, 1}));
    QImage image = reader.read();
    if (image.isNull()) {
        qCDebug(lcDecoding) << "not an image:" << reader.errorString();
        return {};
    }
    // A header that did not tell its size (or told a wrong one) is caught here.
    if (bounded && (image.width() > bound.width() || image.height() > bound.height()))
        image = image.scaled(bound, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

} // namespace ImageDecoding
