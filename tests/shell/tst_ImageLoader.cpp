#include "Assets.h"
#include "ImageLoader.h"
#include "ShellState.h"
#include "StubHttpServer.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QLabel>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <array>
#include <memory>

// Remote images through the real network stack against the in-process stub: placeholders, the
// memory and disk caches, one request per URL, and every way an image can fail to arrive.
class tst_ImageLoader : public QObject {
    Q_OBJECT

    QTemporaryDir m_cache;
    StubHttpServer m_server;
    int m_serial = 0;

    static QByteArray png(QSize size, QColor color) {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(color);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    }

    static StubHttpServer::Answer image(QSize size, int delayMs = 0) {
        StubHttpServer::Answer answer;
        answer.contentType = QByteArray("image/png");
        answer.body = png(size, Qt::red);
        answer.delayMs = delayMs;
        return answer;
    }

    // Answers "/fast..." with a picture; anything else with a header, then a byte every 100 ms for
    // good, so that no idle time-out ever ends it.
    class TrickleServer : public QTcpServer {
    public:
        int openConnections() const { return int(findChildren<QTcpSocket *>().size()); }
        void incomingConnection(qintptr descriptor) override {
            auto *socket = new QTcpSocket(this);
            socket->setSocketDescriptor(descriptor);
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                if (socket->readAll().startsWith("GET /fast")) {
                    const QByteArray body = png({6, 6}, Qt::red);
                    socket->write("HTTP/1.1 200 OK\r\nContent-Length: " +
                                  QByteArray::number(body.size()) + "\r\n\r\n" + body);
                    return;
                }
                socket->write("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n");
                auto *drip = new QTimer(socket);
                connect(drip, &QTimer::timeout, socket, [socket] { socket->write("x"); });
                drip->start(100);
            });
        }
    };

    // A path no other test has used, so caches from earlier tests cannot answer for it.
    QString freshPath(const char *what) {
        return QStringLiteral("img/%1-%2.png").arg(QLatin1String(what)).arg(++m_serial);
    }
    QString urlOf(const QString &path) const { return m_server.baseUrl() + path; }

    int requestsFor(const QString &path) const {
        int count = 0;
        for (const auto &request : m_server.requests())
            count += request.path == path ? 1 : 0;
        return count;
    }

    static QSize shown(const QLabel &label) {
        return label.pixmap().deviceIndependentSize().toSize();
    }

    static bool showsPlaceholder(const QLabel &label, const QString &asset) {
        const QImage expected = Assets::pixmap(asset).toImage();
        return !label.pixmap().isNull() && label.pixmap().toImage() == expected;
    }

    TrickleServer m_trickle;

    // Waits for the loader to finish `url` and returns whether it loaded.
    static bool waitFor(const QString &url) {
        QSignalSpy spy(&ImageLoader::instance(), &ImageLoader::finished);
        for (;;) {
            if (!spy.wait(10000))
                return false;
            for (const auto &args : spy) {
                if (args.at(0).toString() == url)
                    return args.at(1).toBool();
            }
        }
    }

private slots:
    void initTestCase() {
        QVERIFY(m_cache.isValid());
        qputenv("TEACHER_CLIENT_CACHE_DIR", m_cache.path().toUtf8());
        QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC")));
        QVERIFY(m_server.start());
        QVERIFY(m_trickle.listen(QHostAddress::LocalHost));
        ImageLoader::keepOnDiskFor(1);
    }

    void init() { ShellState::resetForTests(); }

    void placeholderFirstThenTheImage() {
        const QString path = freshPath("first");
        m_server.setAnswer(path, image(QSize(7, 5), 100));
        QLabel view;
        setImageFromUrl(&view, urlOf(path), QStringLiteral("user_man_head"));
        QVERIFY(showsPlaceholder(view, QStringLiteral("user_man_head")));
        QVERIFY(waitFor(urlOf(path)));
        QCOMPARE(shown(view), QSize(7, 5));
        QCOMPARE(view.pixmap().toImage().pixelColor(3, 2), QColor(Qt::red));
        QLabel small; // a label of a fixed size gets the image no larger than itself
        small.setFixedSize(4, 4);
        setImageFromUrl(&small, urlOf(path));
        QTRY_COMPARE(shown(small), QSize(4, 2));
    }

    // Decoded off the main thread (a disk hit too) at the size asked, and kept at that size, even
    // when the picture itself would not fit the memory cache.
    void decodedAtTheSizeDrawn() {
        for (const auto &[natural, drawn, expected] :
             {std::array{QSize(400, 200), QSize(40, 40), QSize(40, 20)},
              std::array{QSize(3000, 3000), QSize(), ImageLoader::DefaultBound}}) {
            const QString path = freshPath("sized");
            m_server.setAnswer(path, image(natural));
            QObject context;
            QSize got;
            const auto fetch = [&] {
                got = QSize();
                ImageLoader::instance().fetch(
                    urlOf(path), &context, [&got](const QPixmap &p) { got = p.size(); }, drawn);
            };
            for (int pass = 0; pass < 2; ++pass) { // from the network, then from the disk
                fetch();
                QVERIFY(!got.isValid());
                QTRY_COMPARE(got, expected);
                fetch();
                QCOMPARE(got, expected); // from memory, at once
                ImageLoader::resetInstance();
            }
        }
    }

    // Downloads that trickle a byte now and then end at their deadline, and while they trickle
    // the images asked after them still come.
    void slowDownloadsEndAndHoldNoQueue() {
        ImageLoader::setDownloadDeadlineMs(4000);
        const QString base = QStringLiteral("http://127.0.0.1:%1/").arg(m_trickle.serverPort());
        QObject context;
        QStringList order;
        for (int i = 0; i <= ImageLoader::MaxRunning; ++i) {
            const QString name = i < ImageLoader::MaxRunning ? freshPath("slow") : "fast";
            ImageLoader::instance().fetch(base + name, &context, [&order, name](const QPixmap &p) {
                order << name.left(4) + (p.isNull() ? "-" : "+");
            });
        }
        QTRY_COMPARE_WITH_TIMEOUT(order.size(), ImageLoader::MaxRunning + 1, 15000);
        QCOMPARE(order.first(), QStringLiteral("fast+"));
        QCOMPARE(order.count(QStringLiteral("img/-")), ImageLoader::MaxRunning);
    }

    void quitAbortsAndReleasesDownloads() {
        QTRY_COMPARE(m_trickle.openConnections(), 0); // the last test's, closed by init()
        QObject context;
        ImageLoader::instance().fetch(
            QStringLiteral("http://127.0.0.1:%1/stuck").arg(m_trickle.serverPort()), &context, {});
        QTRY_COMPARE(m_trickle.openConnections(), 1);
        QMetaObject::invokeMethod(qApp, "aboutToQuit");
        QCOMPARE(ImageLoader::instance().requestsInFlight(), 0);
        QTRY_COMPARE(m_trickle.openConnections(), 0);
    }

    void twoViewsShareOneRequest() {
        const QString path = freshPath("shared");
        m_server.setAnswer(path, image(QSize(9, 9), 200));
        QLabel a, b;
        setImageFromUrl(&a, urlOf(path));
        setImageFromUrl(&b, urlOf(path), QStringLiteral("user_man_head"));
        QCOMPARE(ImageLoader::instance().requestsInFlight(), 1);
        QVERIFY(waitFor(urlOf(path)));
        QCOMPARE(shown(a), QSize(9, 9));
        QCOMPARE(shown(b), QSize(9, 9));
        QCOMPARE(requestsFor(path), 1);
        QCOMPARE(ImageLoader::instance().requestsInFlight(), 0);

        // A third view later is served from memory, at once.
        QLabel c;
        setImageFromUrl(&c, urlOf(path), QStringLiteral("user_man_head"));
        QCOMPARE(shown(c), QSize(9, 9));
        QCOMPARE(requestsFor(path), 1);
    }

    // A view asked for one picture, then another (a new avatar, a cell showing another row)
    // shows the last one asked for, though the first arrives after it.
    void theLastPictureAskedForStays() {
        const QString older = freshPath("older");
        const QString newer = freshPath("newer");
        m_server.setAnswer(older, image(QSize(3, 3), 400));
        m_server.setAnswer(newer, image(QSize(8, 6)));
        QLabel view;
        setImageFromUrl(&view, urlOf(older));
        setImageFromUrl(&view, urlOf(newer));
        QVERIFY(waitFor(urlOf(older)));
        QCOMPARE(shown(view), QSize(8, 6));
    }

    // Every other test passes under AddressSanitizer only if a late image skips a dead view.
    void viewDestroyedBeforeTheAnswer() {
        const QString path = freshPath("late");
        m_server.setAnswer(path, image(QSize(4, 4), 150));
        auto view = std::make_unique<QLabel>();
        QLabel survivor;
        setImageFromUrl(view.get(), urlOf(path), QStringLiteral("user_man_head"));
        setImageFromUrl(&survivor, urlOf(path));
        view.reset();
        QVERIFY(waitFor(urlOf(path)));
        QCOMPARE(shown(survivor), QSize(4, 4));
    }

    void failuresKeepThePlaceholder_data() {
        QTest::addColumn<int>("status"); // -1: the connection dropped
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("404") << 404 << png(QSize(5, 5), Qt::blue);
        QTest::newRow("500") << 500 << QByteArray("oops");
        QTest::newRow("not an image") << 200 << QByteArray("<html>not a picture</html>");
        QTest::newRow("empty body") << 200 << QByteArray();
        QTest::newRow("truncated png") << 200 << png(QSize(50, 50), Qt::green).left(40);
        QTest::newRow("connection dropped") << -1 << QByteArray();
    }

    void failuresKeepThePlaceholder() {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        const QString path = freshPath("bad");
        StubHttpServer::Answer answer =
            status < 0 ? StubHttpServer::Answer::dropped() : StubHttpServer::Answer();
        answer.status = status;
        answer.body = body;
        answer.contentType = QByteArray("image/png");
        m_server.setAnswer(path, answer);
        QLabel view;
        setImageFromUrl(&view, urlOf(path), QStringLiteral("user_woman_head"));
        QVERIFY(!waitFor(urlOf(path)));
        QVERIFY(showsPlaceholder(view, QStringLiteral("user_woman_head")));
        // Nothing was kept: the next view asks again rather than showing a broken image.
        QVERIFY(!ImageLoader::instance().isInMemory(urlOf(path)));
        // (The network stack retries a dropped GET once by itself, so count attempts, not 1.)
        const int attempts = requestsFor(path);
        QVERIFY(attempts >= 1);
        ImageLoader::resetInstance();
        QLabel again;
        setImageFromUrl(&again, urlOf(path), QStringLiteral("user_woman_head"));
        QVERIFY(!waitFor(urlOf(path)));
        QCOMPARE(requestsFor(path), 2 * attempts);
    }
};

QTEST_MAIN(tst_ImageLoader)
#include "tst_ImageLoader.moc"
