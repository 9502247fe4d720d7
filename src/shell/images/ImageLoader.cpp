#include "ImageLoader.h"

#include "Session.h"

#include "AnswerCache.h"
#include "Assets.h"
#include "ImageDecoding.h"
#include "ServiceTypes.h"

#include <QDir>
#include <QDirIterator>
#include <QFutureWatcher>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkDiskCache>
#include <QNetworkReply>
#include <QTimer>
#include <QUrl>
#include <QtConcurrent>

#include <algorithm>

Q_LOGGING_CATEGORY(lcImages, "teacher.images")

namespace {
constexpr char kUrlProperty[] = "imageLoaderUrl";
// Images at the size they are drawn, DefaultBound (16 MB) at most each, so that even the largest
// picture stays here instead of being decoded again each time it is shown; lists keep their own
// copies at the size they draw (PagedRowsBase::setImageBound).
constexpr int kMemoryKilobytes = 24 * 1024;
constexpr qint64 kDiskBytes = 200LL * 1024 * 1024;
// No byte for this long ends a download early; the deadline ends it in any case.
constexpr int kIdleTimeoutMs = 30'000;
// A network stack holds six connections to a host and queues the rest behind them: slow downloads
// that filled one make room on another, up to this many.
constexpr int kConnectionsPerNetwork = 6;
constexpr int kMaxNetworks = 3;
constexpr int kDecodingThreads = 2;
int s_deadlineMs = ImageLoader::DefaultDownloadDeadlineMs;
// The folder name of the teacher whose pictures are kept; none while nobody is signed in.
QString s_teacher;

QString imagesFolder() {
    return QDir(ClientCacheFolder()).filePath(QStringLiteral("images"));
}

// Everything in `root` but `keep` (and links, which are neither followed nor removed).
void removeAllBut(const QString &root, const QString &keep) {
    if (QFileInfo(root).isSymLink())
        return;
    const QDir dir(root);
    const auto all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    for (const QFileInfo &entry : dir.entryInfoList(all)) {
        if (entry.fileName() == keep || entry.isSymLink())
            continue;
        if (entry.isDir())
            QDir(entry.filePath()).removeRecursively();
        else
            QFile::remove(entry.filePath());
    }
}

QSize boundFor(QSize drawnSize) {
    return drawnSize.isEmpty() ? ImageLoader::DefaultBound
                               : drawnSize.boundedTo(ImageLoader::DefaultBound);
}

QString memoryKey(const QString &url, QSize bound) {
    return QStringLiteral("%1 %2x%3").arg(url).arg(bound.width()).arg(bound.height());
}

// The size a label draws its image at, when its size is settled: fixed, or set by a resize.
QSize drawnSizeOf(const QLabel *view) {
    QSize size = view->maximumSize();
    if (size.width() >= QWIDGETSIZE_MAX || size.height() >= QWIDGETSIZE_MAX)
        size = view->testAttribute(Qt::WA_Resized) ? view->size() : QSize();
    return size.isEmpty() ? QSize() : size * view->devicePixelRatioF();
}

int costOf(const QPixmap &pixmap) {
    return qMax(1, int(qint64(pixmap.width()) * pixmap.height() * 4 / 1024));
}

// A timer owned by `owner`, so it goes with it (QTimer::singleShot's would outlive a reply that
// finished early, until it fired).
template <typename Fn> void afterOn(QObject *owner, int ms, Fn fn) {
    auto *timer = new QTimer(owner);
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, owner, fn);
    timer->start(ms);
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
    return Session::instance().imageLoader();
}

void ImageLoader::resetInstance() {
    Session::instance().dropImageLoader();
}

int ImageLoader::downloadDeadlineMs() {
    return s_deadlineMs;
}

void ImageLoader::setDownloadDeadlineMs(int ms) {
    s_deadlineMs = qMax(1, ms);
}

void ImageLoader::keepOnDiskFor(qint64 uid) {
    keepOnDiskAs(AnswerCache::teacherName(ServiceBaseURL(), uid));
}

void ImageLoader::keepNothingOnDisk() {
    keepOnDiskAs(QString());
}

void ImageLoader::keepOnDiskAs(const QString &teacher) {
    s_teacher = teacher;
    instance().useDiskFolder();
    removeAllBut(imagesFolder(), teacher);
}

void ImageLoader::useDiskFolder() {
    QString folder;
    if (!s_teacher.isEmpty()) {
        folder = QDir(imagesFolder()).filePath(s_teacher);
        if (!makeOwnerOnlyFolder(imagesFolder()) || !makeOwnerOnlyFolder(folder)) {
            qCWarning(lcImages) << "the picture folder" << folder
                                << "cannot be made, or is a link; pictures are not kept on disk";
            folder.clear();
        }
    }
    if (folder == m_diskFolder)
        return;
    ++m_diskGeneration;
    delete std::exchange(m_disk, nullptr);
    m_diskFolder = folder;
    if (folder.isEmpty())
        return;
    // The disk cache is filled and read here rather than by the network manager: images are kept
    // whatever caching headers the image server sends, and a cached image never costs a request.
    m_disk = new QNetworkDiskCache(this);
    m_disk->setCacheDirectory(folder);
    m_disk->setMaximumCacheSize(kDiskBytes);
    // Its own folders are made with the default mode, inside one nobody else can enter.
    QDirIterator made(folder, QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                      QDirIterator::Subdirectories);
    while (made.hasNext())
        QFile::setPermissions(made.next(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ExeOwner);
}

ImageLoader::ImageLoader()
    : QObject(QCoreApplication::instance()) {
    useDiskFolder();
    m_memory.setMaxCost(kMemoryKilobytes);
    m_decoders.setMaxThreadCount(kDecodingThreads);
    // Replies still running when the event loop ends would be torn down with the application,
    // after Qt's network thread has gone, and leak.
    if (QCoreApplication *app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &ImageLoader::abortAll);
}

ImageLoader::~ImageLoader() {
    // Waiters are dropped, views keep placeholders; decoding under way is waited for.
    abortAll();
    m_decoders.waitForDone();
}

void ImageLoader::abortAll() {
    m_queue.clear();
    const QHash<QString, Job> jobs = std::exchange(m_jobs, {});
    for (const Job &job : jobs) {
        if (QNetworkReply *reply = job.reply.data()) {
            reply->abort(); // finishes at once; its job is gone, so nothing is delivered
            delete reply;
        }
    }
    qDeleteAll(m_networks);
    m_networks.clear();
    m_decoders.clear();
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
    return m_disk ? m_disk->cacheDirectory() : QString();
}

bool ImageLoader::isInMemory(const QString &url, QSize drawnSize) const {
    return m_memory.contains(memoryKey(url.trimmed(), boundFor(drawnSize)));
}

int ImageLoader::requestsInFlight() const {
    return int(m_jobs.size());
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
    fetch(
        key, view,
        [view, key](const QPixmap &image) {
            if (image.isNull() || view->property(kUrlProperty).toString() != key)
                return;
            view->setPixmap(image);
        },
        drawnSizeOf(view));
}

void ImageLoader::fetch(const QString &url, QObject *context,
                        std::function<void(const QPixmap &)> done, QSize drawnSize) {
    const QString key = url.trimmed();
    if (!isLoadableUrl(key)) {
        if (context && done)
            done(QPixmap());
        return;
    }
    const QSize bound = boundFor(drawnSize);
    if (const QPixmap *hit = m_memory.object(memoryKey(key, bound))) {
        if (context && done)
            done(*hit);
        return;
    }
    Waiter waiter{QPointer<QObject>(context), bound, std::move(done)};
    if (auto it = m_jobs.find(key); it != m_jobs.end()) {
        it->waiters.append(std::move(waiter));
        decodeFor(key); // the bytes may be here already, wanted at another size
        return;
    }
    Job &job = m_jobs[key];
    job.id = ++m_lastJobId;
    job.diskGeneration = m_diskGeneration;
    job.waiters.append(std::move(waiter));
    job.bytes = fromDisk(key);
    if (!job.bytes.isEmpty()) {
        job.haveBytes = job.fromDisk = job.storedOnDisk = true;
        decodeFor(key);
        return;
    }
    m_queue.append(key);
    pump();
}

QByteArray ImageLoader::fromDisk(const QString &url) {
    if (!m_disk)
        return {};
    std::unique_ptr<QIODevice> device(m_disk->data(QUrl(url)));
    return device ? device->read(MaxImageBytes + 1) : QByteArray();
}

void ImageLoader::storeOnDisk(const QString &url, const QByteArray &bytes) {
    if (!m_disk)
        return;
    QNetworkCacheMetaData meta;
    meta.setUrl(QUrl(url));
    meta.setSaveToDisk(true);
    meta.setLastModified(QDateTime::currentDateTimeUtc());
    if (QIODevice *device = m_disk->prepare(meta)) {
        device->write(bytes);
        m_disk->insert(device);
    }
}

int ImageLoader::runningCount() const {
    int running = 0;
    for (const Job &job : m_jobs)
        running += job.reply && !job.slow ? 1 : 0;
    return running;
}

QNetworkAccessManager *ImageLoader::networkWithRoom() {
    for (QNetworkAccessManager *network : std::as_const(m_networks)) {
        int busy = 0;
        for (const Job &job : std::as_const(m_jobs))
            busy += job.reply && job.reply->manager() == network ? 1 : 0;
        if (busy < kConnectionsPerNetwork)
            return network;
    }
    if (m_networks.size() >= kMaxNetworks)
        return nullptr;
    auto *network = new QNetworkAccessManager(this);
    network->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    m_networks.append(network);
    return network;
}

// What a visible view waits for goes first, then the oldest.
QString ImageLoader::takeNextQueued() {
    for (qsizetype i = 0; i < m_queue.size(); ++i) {
        for (const Waiter &waiter : std::as_const(m_jobs[m_queue.at(i)].waiters)) {
            const auto *widget = qobject_cast<const QWidget *>(waiter.context.data());
            if (widget && widget->isVisible())
                return m_queue.takeAt(i);
        }
    }
    return m_queue.takeFirst();
}

void ImageLoader::pump() {
    while (!m_queue.isEmpty() && runningCount() < MaxRunning) {
        QNetworkAccessManager *network = networkWithRoom();
        if (!network)
            return; // every connection is held by a slow download until its deadline
        const QString url = takeNextQueued();
        const QList<Waiter> &waiters = m_jobs[url].waiters;
        // A screen that closed while its images queued costs no download.
        if (std::none_of(waiters.begin(), waiters.end(), [](const Waiter &w) { return w.context; }))
            fail(url);
        else
            startDownload(url, network);
    }
}

void ImageLoader::startDownload(const QString &url, QNetworkAccessManager *network) {
    QNetworkRequest request{QUrl(url)};
    request.setTransferTimeout(qMin(kIdleTimeoutMs, s_deadlineMs));
    request.setMaximumRedirectsAllowed(5);
    QNetworkReply *reply = network->get(request);
    ++m_networkRequests;
    m_jobs[url].reply = reply;
    // An answer larger than any picture the client shows is cut off instead of filling memory.
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64 total) {
        if (received > MaxImageBytes || total > MaxImageBytes)
            reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, url] { onFinished(reply, url); });
    // A byte now and then keeps the idle time-out from ever firing.
    afterOn(reply, s_deadlineMs, [reply] { reply->abort(); });
    // Past a quarter of its time a download no longer keeps the ones queued behind it waiting.
    afterOn(reply, s_deadlineMs / 4, [this, reply, url] {
        if (auto it = m_jobs.find(url); it != m_jobs.end() && it->reply == reply) {
            it->slow = true;
            pump();
        }
    });
}

void ImageLoader::onFinished(QNetworkReply *reply, const QString &url) {
    reply->deleteLater();
    auto it = m_jobs.find(url);
    if (it == m_jobs.end() || it->reply != reply)
        return; // dropped by abortAll()
    it->reply = nullptr;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() == QNetworkReply::NoError && status >= 200 && status < 300) {
        it->bytes = reply->readAll();
        it->haveBytes = true;
        decodeFor(url);
    } else {
        qCDebug(lcImages) << "image not loaded:" << url << status << reply->errorString();
        fail(url);
    }
    pump();
}

void ImageLoader::decodeFor(const QString &url) {
    auto it = m_jobs.find(url);
    if (it == m_jobs.end() || !it->haveBytes)
        return;
    for (const Waiter &waiter : std::as_const(it->waiters)) {
        if (it->decoding.contains(waiter.bound))
            continue;
        it->decoding.append(waiter.bound);
        auto *watcher = new QFutureWatcher<QImage>(this);
        connect(watcher, &QFutureWatcherBase::finished, this,
                [this, watcher, url, id = it->id, bound = waiter.bound] {
                    watcher->deleteLater();
                    decoded(url, id, bound, watcher->result());
                });
        watcher->setFuture(
            QtConcurrent::run(&m_decoders, &ImageDecoding::decode, it->bytes, waiter.bound));
    }
}

void ImageLoader::decoded(const QString &url, quint64 id, QSize bound, const QImage &image) {
    auto it = m_jobs.find(url);
    if (it == m_jobs.end() || it->id != id)
        return; // dropped, or failed at another size
    it->decoding.removeOne(bound);
    if (image.isNull() && it->fromDisk) {
        qCDebug(lcImages) << "dropping an unreadable cached image for" << url;
        if (m_disk && it->diskGeneration == m_diskGeneration)
            m_disk->remove(QUrl(url));
        it->fromDisk = it->haveBytes = it->storedOnDisk = false;
        it->bytes.clear();
        it->decoding.clear();
        it->id = ++m_lastJobId; // decodings still running answer for the cached bytes
        m_queue.append(url);
        pump();
        return;
    }
    if (image.isNull()) {
        qCDebug(lcImages) << "not an image:" << url << it->bytes.size() << "bytes";
        fail(url);
        return;
    }
    const QPixmap pixmap = QPixmap::fromImage(image);
    m_memory.insert(memoryKey(url, bound), new QPixmap(pixmap), costOf(pixmap));
    if (!it->storedOnDisk && it->diskGeneration == m_diskGeneration) {
        storeOnDisk(url, it->bytes);
        it->storedOnDisk = true;
    }
    QList<Waiter> ready;
    for (qsizetype i = it->waiters.size() - 1; i >= 0; --i) {
        if (it->waiters.at(i).bound == bound)
            ready.prepend(it->waiters.takeAt(i));
    }
    const bool done = it->waiters.isEmpty() && it->decoding.isEmpty();
    if (done)
        m_jobs.erase(it);
    // Callbacks last: one may ask for this URL again.
    for (const Waiter &waiter : std::as_const(ready)) {
        if (waiter.context && waiter.done)
            waiter.done(pixmap);
    }
    if (done)
        emit finished(url, true);
}

void ImageLoader::fail(const QString &url) {
    // Taken out first: a callback may ask for the same URL again.
    const Job job = m_jobs.take(url);
    for (const Waiter &waiter : job.waiters) {
        if (waiter.context && waiter.done)
            waiter.done(QPixmap());
    }
    emit finished(url, false);
}

void setImageFromUrl(QLabel *view, const QString &url, const QString &placeholderAsset) {
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return;
    ImageLoader::instance().setImage(view, url, placeholderAsset);
}
