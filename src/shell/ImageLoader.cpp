#include "ImageLoader.h"

#include "Assets.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkDiskCache>
#include <QNetworkReply>
#include <QStandardPaths>
#include <QUrl>

Q_LOGGING_CATEGORY(lcImages, "teacher.images")

namespace {
constexpr char kUrlProperty[] = "imageLoaderUrl";
// Full-size images, for the screens that show one or two at a time; lists keep their own copies
// at the size they draw (PagedRowsBase::setImageBound), so this need not hold a grid's worth.
constexpr int kMemoryKilobytes = 24 * 1024;
constexpr qint64 kDiskBytes = 200LL * 1024 * 1024;
constexpr int kTransferTimeoutMs = 30'000;

QPointer<ImageLoader> &shared() {
    static QPointer<ImageLoader> loader;
    return loader;
}

QString defaultCacheDirectory() {
    QString dir = qEnvironmentVariable("TEACHER_CLIENT_CACHE_DIR");
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (dir.isEmpty())
        dir = QDir::temp().filePath(QStringLiteral("teacher-client-cache"));
    return QDir(dir).filePath(QStringLiteral("images"));
}

QPixmap decode(const QByteArray &bytes) {
    // QImage applies the reader's allocation limit, so a forged header cannot ask for gigabytes.
    const QImage image = QImage::fromData(bytes);
    return image.isNull() ? QPixmap() : QPixmap::fromImage(image);
}

int costOf(const QPixmap &pixmap) {
    return qMax(1, int(qint64(pixmap.width()) * pixmap.height() * 4 / 1024));
}

// The placeholder fitted into the view once the view has a size of its own, so it stays sharp
// without being stretched out of shape.
QPixmap placeholderFor(const QLabel *view, const QString &asset) {
    if (asset.isEmpty())
        return {};
    const QSize natural = Assets::naturalSize(asset);
    if (natural.isEmpty())
        return {};
    if (!view->testAttribute(Qt::WA_Resized) || view->size().isEmpty())
        return Assets::pixmap(asset);
    return Assets::pixmap(asset, natural.scaled(view->size(), Qt::KeepAspectRatio));
}
} // namespace

ImageLoader &ImageLoader::instance() {
    QPointer<ImageLoader> &loader = shared();
    if (!loader)
        loader = new ImageLoader();
    return *loader;
}

void ImageLoader::resetInstance() {
    delete shared().data();
    shared() = nullptr;
}

ImageLoader::ImageLoader()
    : QObject(QCoreApplication::instance())
    , m_network(new QNetworkAccessManager(this))
    , m_disk(new QNetworkDiskCache(this)) {
    // The disk cache is filled and read here rather than by the network manager: images are kept
    // whatever caching headers the image server sends, and a cached image never costs a request.
    m_disk->setCacheDirectory(defaultCacheDirectory());
    m_disk->setMaximumCacheSize(kDiskBytes);
    m_memory.setMaxCost(kMemoryKilobytes);
    m_network->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

ImageLoader::~ImageLoader() {
    // Replies die with the network manager; their waiters are dropped, views keep placeholders.
    m_waiting.clear();
}

bool ImageLoader::isLoadableUrl(const QString &url) {
    const QString text = url.trimmed();
    if (text.isEmpty())
        return false;
    const QUrl parsed(text);
    const QString scheme = parsed.scheme().toLower();
    return parsed.isValid() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !parsed.host().isEmpty();
}

QString ImageLoader::cacheDirectory() const {
    return m_disk->cacheDirectory();
}

bool ImageLoader::isInMemory(const QString &url) const {
    return m_memory.contains(url.trimmed());
}

int ImageLoader::requestsInFlight() const {
    return int(m_waiting.size());
}

int ImageLoader::networkRequestCount() const {
    return m_networkRequests;
}

void ImageLoader::setImage(QLabel *view, const QString &url, const QString &placeholderAsset) {
    if (!view)
        return;
    const QString key = url.trimmed();
    // A reused cell asked for another image since: the late answer for the old one is dropped.
    view->setProperty(kUrlProperty, key);
    view->setPixmap(placeholderFor(view, placeholderAsset));
    if (!isLoadableUrl(key))
        return;
    fetch(key, view, [view, key](const QPixmap &image) {
        if (image.isNull() || view->property(kUrlProperty).toString() != key)
            return;
        view->setPixmap(image);
    });
}

void ImageLoader::fetch(const QString &url, QObject *context,
                        std::function<void(const QPixmap &)> done) {
    const QString key = url.trimmed();
    if (!isLoadableUrl(key)) {
        if (context && done)
            done(QPixmap());
        return;
    }
    if (const QPixmap *hit = m_memory.object(key)) {
        if (context && done)
            done(*hit);
        return;
    }
    const bool alreadyAsked = m_waiting.contains(key);
    m_waiting[key].append(Waiter{QPointer<QObject>(context), std::move(done)});
    if (alreadyAsked)
        return;
    const QPixmap cached = fromDisk(key);
    if (!cached.isNull()) {
        deliver(key, cached);
        emit finished(key, true);
        return;
    }
    startRequest(key);
}

QPixmap ImageLoader::fromDisk(const QString &url) {
    std::unique_ptr<QIODevice> device(m_disk->data(QUrl(url)));
    if (!device)
        return {};
    const QPixmap image = decode(device->read(MaxImageBytes + 1));
    if (image.isNull()) {
        qCDebug(lcImages) << "dropping an unreadable cached image for" << url;
        device.reset();
        m_disk->remove(QUrl(url));
        return {};
    }
    m_memory.insert(url, new QPixmap(image), costOf(image));
    return image;
}

void ImageLoader::store(const QString &url, const QByteArray &bytes, const QPixmap &image) {
    m_memory.insert(url, new QPixmap(image), costOf(image));
    QNetworkCacheMetaData meta;
    meta.setUrl(QUrl(url));
    meta.setSaveToDisk(true);
    meta.setLastModified(QDateTime::currentDateTimeUtc());
    if (QIODevice *device = m_disk->prepare(meta)) {
        device->write(bytes);
        m_disk->insert(device);
    }
}

void ImageLoader::startRequest(const QString &url) {
    QNetworkRequest request{QUrl(url)};
    request.setTransferTimeout(kTransferTimeoutMs);
    request.setMaximumRedirectsAllowed(5);
    QNetworkReply *reply = m_network->get(request);
    ++m_networkRequests;
    // An answer larger than any picture the client shows is cut off instead of filling memory.
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64 total) {
        if (received > MaxImageBytes || total > MaxImageBytes)
            reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, url] { onFinished(reply, url); });
}

void ImageLoader::onFinished(QNetworkReply *reply, const QString &url) {
    reply->deleteLater();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    QPixmap image;
    if (reply->error() == QNetworkReply::NoError && status >= 200 && status < 300) {
        const QByteArray bytes = reply->readAll();
        image = decode(bytes);
        if (image.isNull())
            qCDebug(lcImages) << "not an image:" << url << bytes.size() << "bytes";
        else
            store(url, bytes, image);
    } else {
        qCDebug(lcImages) << "image not loaded:" << url << status << reply->errorString();
    }
    deliver(url, image);
    emit finished(url, !image.isNull());
}

void ImageLoader::deliver(const QString &url, const QPixmap &image) {
    // Taken out first: a callback may ask for the same URL again.
    const QList<Waiter> waiters = m_waiting.take(url);
    for (const Waiter &waiter : waiters) {
        if (waiter.context && waiter.done)
            waiter.done(image);
    }
}

void setImageFromUrl(QLabel *view, const QString &url, const QString &placeholderAsset) {
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return;
    ImageLoader::instance().setImage(view, url, placeholderAsset);
}
