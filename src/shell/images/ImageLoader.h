#pragma once

#include <QCache>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QThreadPool>

#include <functional>
#include <memory>

class QLabel;
class QNetworkAccessManager;
class QNetworkDiskCache;
class QNetworkReply;

// Remote images: a memory cache by URL and drawn size, a disk cache for the teacher signed in
// ("images/<teacher>" under ClientCacheFolder(), owner-only; pupils' pictures leave it when the
// teacher signs out or another signs in) and one GET per URL in flight, whatever the number of
// views waiting for it. Decoding runs on worker threads at the size the image is
// drawn at; results are delivered on the main thread. Views are held by guarded pointers: one that
// goes away before its image arrives is skipped, and a download nobody waits for any more is not
// started. Anything that is not an http(s) URL, an error answer, bytes that are not an image or a
// download past its deadline leave the view's placeholder in place.
class ImageLoader : public QObject {
    Q_OBJECT
public:
    static ImageLoader &instance();
    // Drops the shared loader (memory cache, requests in flight); the next instance() starts
    // afresh on the same disk cache. For tests and for a change of cache folder.
    static void resetInstance();
    // Pictures are kept on disk for this teacher (of ServiceBaseURL()) from now on, and every
    // picture kept for anybody else is removed; one on its way lands nowhere.
    static void keepOnDiskFor(qint64 uid);
    // Sign-out: every picture kept on disk is removed, and none is kept until keepOnDiskFor.
    static void keepNothingOnDisk();

    // Shows the placeholder asset at once (nothing when none is given), then the image, decoded
    // no larger than the view when it has a size of its own.
    void setImage(QLabel *view, const QString &url, const QString &placeholderAsset = {});
    // Calls `done` on the main thread with the image, or a null pixmap when it cannot be had;
    // nothing is called once `context` is gone. `drawnSize` (device pixels) bounds the image,
    // aspect kept; empty means DefaultBound.
    void fetch(const QString &url, QObject *context, std::function<void(const QPixmap &)> done,
               QSize drawnSize = {});

    QString cacheDirectory() const;
    bool isInMemory(const QString &url, QSize drawnSize = {}) const;
    // URLs waiting for a connection, downloading or decoding.
    int requestsInFlight() const;
    // Network GETs started by this loader (tests check that caches spare the network).
    int networkRequestCount() const;

    static bool isLoadableUrl(const QString &url);
    static constexpr qint64 MaxImageBytes = 20 * 1024 * 1024;
    static constexpr QSize DefaultBound{2048, 2048};
    // Downloads running at once that are not yet slow (a quarter of the deadline gone).
    static constexpr int MaxRunning = 6;
    // How long a download may take in all, however steadily its bytes trickle in.
    static constexpr int DefaultDownloadDeadlineMs = 20'000;
    static int downloadDeadlineMs();
    static void setDownloadDeadlineMs(int ms);

signals:
    // Every finished URL, loaded or not (tests wait on it).
    void finished(const QString &url, bool ok);

private:
    friend class Session; // holds the one loader
    ImageLoader();
    ~ImageLoader() override;
    struct Waiter {
        QPointer<QObject> context;
        QSize bound;
        std::function<void(const QPixmap &)> done;
    };
    struct Job {
        quint64 id = 0;
        QList<Waiter> waiters;
        QByteArray bytes;
        bool haveBytes = false;
        bool fromDisk = false;
        bool storedOnDisk = false;
        QList<QSize> decoding;
        QPointer<QNetworkReply> reply;
        bool slow = false;
        quint64 diskGeneration = 0; // the disk folder it was asked under
    };
    static void keepOnDiskAs(const QString &teacher);
    // The disk cache of the teacher named by keepOnDiskAs, or none.
    void useDiskFolder();
    QByteArray fromDisk(const QString &url);
    void storeOnDisk(const QString &url, const QByteArray &bytes);
    void pump();
    int runningCount() const;
    QNetworkAccessManager *networkWithRoom();
    QString takeNextQueued();
    void startDownload(const QString &url, QNetworkAccessManager *network);
    void onFinished(QNetworkReply *reply, const QString &url);
    void decodeFor(const QString &url);
    void decoded(const QString &url, quint64 id, QSize bound, const QImage &image);
    void fail(const QString &url);
    // Drops every waiter, aborts and releases every download and the network stacks; at quit,
    // while Qt's network thread can still tidy up after them.
    void abortAll();

    QNetworkDiskCache *m_disk = nullptr; // none while nobody is signed in
    QString m_diskFolder;
    quint64 m_diskGeneration = 0;
    QList<QNetworkAccessManager *> m_networks;
    QCache<QString, QPixmap> m_memory;
    QHash<QString, Job> m_jobs;
    QList<QString> m_queue;
    quint64 m_lastJobId = 0;
    int m_networkRequests = 0;
    QThreadPool m_decoders;
};

// Loads `url` into `view`, with `placeholderAsset` shown until (and unless) the image arrives.
void setImageFromUrl(QLabel *view, const QString &url, const QString &placeholderAsset = {});
