#include "Assets.h"

#include "Language.h"

#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QImageReader>
#include <QLoggingCategory>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>
#include <QtMath>

Q_LOGGING_CATEGORY(lcAssets, "teacher.assets")

namespace {
const QString kSvgSuffix = QStringLiteral(".svg");
const QString kPngSuffix = QStringLiteral(".png");

qreal screenRatio() {
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return app->devicePixelRatio();
    return 1.0;
}
} // namespace

QString Assets::normalizedName(const QString &name) {
    QString key = name.trimmed();
    if (key.endsWith(kPngSuffix, Qt::CaseInsensitive) ||
        key.endsWith(kSvgSuffix, Qt::CaseInsensitive))
        key.chop(4);
    // Asset names come from layouts and service-independent tables, but a name is never allowed
    // to walk out of the asset folder.
    if (key.isEmpty() || key.contains(QLatin1Char('/')) || key.contains(QLatin1Char('\\')) ||
        key.startsWith(QLatin1Char('.')))
        return {};
    return key;
}

QString Assets::resourcePath(const QString &name) {
    const QString key = normalizedName(name);
    if (key.isEmpty())
        return {};
    // A drawing with words in it has an English twin, NAME_en, drawn with the same look.
    QStringList keys{key};
    if (Language::spoken() == Language::Spoken::English)
        keys.prepend(key + QStringLiteral("_en"));
    for (const QString &drawing : std::as_const(keys)) {
        for (const QString &suffix : {kSvgSuffix, kPngSuffix}) {
            const QString path = QStringLiteral(":/assets/") + drawing + suffix;
            if (QFile::exists(path))
                return path;
        }
    }
    return {};
}

bool Assets::exists(const QString &name) {
    return !resourcePath(name).isEmpty();
}

QSize Assets::naturalSize(const QString &name) {
    const QString path = resourcePath(name);
    if (path.isEmpty())
        return {};
    // Lists ask for the same placeholders row after row; parse each drawing once.
    static QHash<QString, QSize> known;
    const auto found = known.constFind(path);
    if (found != known.constEnd())
        return *found;
    QSize size;
    if (path.endsWith(kSvgSuffix)) {
        QSvgRenderer renderer(path);
        if (renderer.isValid())
            size = renderer.defaultSize();
    } else {
        size = QImageReader(path).size();
    }
    known.insert(path, size);
    return size;
}

QPixmap Assets::pixmap(const QString &name, QSize size) {
    const QString path = resourcePath(name);
    if (path.isEmpty()) {
        if (!name.isEmpty())
            qCDebug(lcAssets) << "no asset named" << name;
        return {};
    }
    if (size.isEmpty())
        size = naturalSize(name);
    if (size.isEmpty())
        return {};
    // Keep absurd requests from allocating gigabytes: nothing on a phone-shaped window needs more.
    size = size.boundedTo(QSize(4096, 4096));

    const qreal ratio = screenRatio();
    const QString cacheKey = QStringLiteral("asset:%1:%2x%3@%4")
                                 .arg(path)
                                 .arg(size.width())
                                 .arg(size.height())
                                 .arg(ratio);
    QPixmap result;
    if (QPixmapCache::find(cacheKey, &result))
        return result;

    const QSize device(qCeil(size.width() * ratio), qCeil(size.height() * ratio));
    if (path.endsWith(kSvgSuffix)) {
        QSvgRenderer renderer(path);
        if (!renderer.isValid()) {
            qCWarning(lcAssets) << "asset cannot be drawn:" << path;
            return {};
        }
        QImage image(device, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(device)));
        painter.end();
        result = QPixmap::fromImage(image);
    } else {
        QImageReader reader(path);
        reader.setScaledSize(device);
        result = QPixmap::fromImage(reader.read());
        if (result.isNull()) {
            qCWarning(lcAssets) << "asset cannot be read:" << path << reader.errorString();
            return {};
        }
    }
    result.setDevicePixelRatio(ratio);
    QPixmapCache::insert(cacheKey, result);
    return result;
}

QIcon Assets::icon(const QString &name) {
    const QString path = resourcePath(name);
    if (path.isEmpty())
        return {};
    QIcon result;
    // Rendered sizes rather than the icon engine plug-in: the look must not depend on which
    // plug-ins the machine has, and tab icons stay in their own colours.
    const QSize natural = naturalSize(name);
    for (int side : {16, 20, 24, 25, 30, 32, 40, 48, 64}) {
        QSize s =
            natural.isEmpty() ? QSize(side, side) : natural.scaled(side, side, Qt::KeepAspectRatio);
        const QPixmap pm = pixmap(name, s);
        if (!pm.isNull())
            result.addPixmap(pm);
    }
    if (!natural.isEmpty()) {
        const QPixmap pm = pixmap(name, natural);
        if (!pm.isNull())
            result.addPixmap(pm);
    }
    return result;
}
