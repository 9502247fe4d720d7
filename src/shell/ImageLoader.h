#pragma once

#include <QCache>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QLabel;
class QNetworkAccessManager;
class QNetworkDiskCache;
class QNetworkReply;

// Remote images: a memory cache by URL, a disk cache (TEACHER_CLIENT_CACHE_DIR when set, else the
// user's cache folder, "images" below it) and one GET per URL in flight, whatever the number of
// views waiting for it. Views are held by guarded pointers: one that goes away before its image
// arrives is skipped. Anything that is not an http(s) URL, an error answer or bytes that are not an
// image leave the view's placeholder in place.
class ImageLoader : public QObject {
    Q_OBJECT
public:
    static ImageLoader &instance();
    // Drops the shared loader (memory cache, requests in flight); the next instance() starts
    // afresh on the same disk cache. For tests and for a change of cache folder.
    static void resetInstance();

    // Shows the placeholder asset at once (nothing when none is given), then the image.
    void setImage(QLabel *view, const QString &url, const QString &placeholderAsset = {});
    // Calls `done` on the main thread with the image, or a null pixmap when it cannot be had;
    // nothing is called once `context` is gone.
    void fetch(const QString &url, QObject *context, std::function<void(const QPixmap &)> done);

    QString cacheDirectory() const;
    bool isInMemory(const QString &url) const;
    int requestsInFlight() const;
    // Network GETs started by this loader (tests check that caches spare the network).
    int networkRequestCount() const;

    static bool isLoadableUrl(const QString &url);
    static constexpr qint64 MaxImageBytes = 20 * 1024 * 1024;

signals:
    // Every finished URL, loaded or not (tests wait on it).
    void finished(const QString &url, bool ok);

private:
    ImageLoader();
    ~ImageLoader() override;
    struct Waiter {
        QPointer<QObject> context;
        std::function<void(const QPixmap &)> done;
    };
    QPixmap fromDisk(const QString &url);
    void store(const QString &url, const QByteArray &bytes, const QPixmap &image);
    void startRequest(const QString &url);
    void onFinished(QNetworkReply *reply, const QString &url);
    void deliver(const QString &url, const QPixmap &image);

    QNetworkAccessManager *m_network = nullptr;
    QNetworkDiskCache *m_disk = nullptr;
    QCache<QString, QPixmap> m_memory;
    QHash<QString, QList<Waiter>> m_waiting;
    int m_networkRequests = 0;
};

// Loads `url` into `view`, with `placeholderAsset` shown until (and unless) the image arrives.
void setImageFromUrl(QLabel *view, const QString &url, const QString &placeholderAsset = {});
