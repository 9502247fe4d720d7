// What the largest answer the transport accepts costs the main thread, from the call to its rows
// painted. A roster answer just under BaseAFHttpManager::MaxAnswerBytes is served from a thread
// of its own over 127.0.0.1 and goes through the real transport, catalogue, answer handler,
// roster model (with its row cap), cell delegate and list view (375 x 520, not shown: render()
// paints it all the same). Shapes:
// - "pupils": pupils as the service sends them, as many as fit under the limit;
// - "empty rows": pupils written as {}, the most rows that fit;
// - "long name": one pupil whose name fills the answer;
// - "twice the limit": an answer the transport refuses (what a runaway answer still costs).
//
//   QT_QPA_PLATFORM=offscreen bench_answer [runs] [bytes]
//
// `bytes` measures answers of that size instead of the limit's (what the limit saves).
//
// For each shape, over the runs (default 11): the longest turn of the main thread (thread CPU
// between waking and going back to wait, which is what a teacher feels as a stalled window), the
// main thread's CPU for the whole call, the first paint of the rows, the rows shown. Target: no
// turn over 50 ms. CPU time, not wall time: on a machine shared with compilers the wall time
// mostly measures the scheduler (both are printed).

#include "BaseAFHttpManager.h"
#include "TeacherRequestManager.h"
#include "classes/ClassListCell.h"
#include "classes/ClassViewController.h"
#include "classes/StudentRows.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLayout>
#include <QListView>
#include <QMutex>
#include <QSemaphore>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include "BenchClock.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace {

using BenchClock::percentile;
using BenchClock::threadCpuMs;

// Answers every POST with the body it holds, then closes the connection; runs its own event loop.
class AnswerServer : public QThread {
public:
    quint16 listen() {
        start();
        m_ready.acquire();
        return m_port;
    }
    void setBody(const QByteArray &body) {
        QMutexLocker lock(&m_mutex);
        m_body = body;
    }
    ~AnswerServer() override {
        quit();
        wait();
    }

protected:
    void run() override {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost, 0);
        m_port = server.serverPort();
        QObject::connect(&server, &QTcpServer::newConnection, [this, &server] {
            while (QTcpSocket *socket = server.nextPendingConnection()) {
                auto received = std::make_shared<QByteArray>();
                QObject::connect(socket, &QTcpSocket::readyRead, socket,
                                 [this, socket, received] { answer(socket, *received); });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        m_ready.release();
        exec();
    }

private:
    void answer(QTcpSocket *socket, QByteArray &received) {
        received += socket->readAll();
        const qsizetype end = received.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const qsizetype at = received.toLower().indexOf("content-length:");
        const qint64 length = at < 0 ? 0
                                     : received.mid(at + 15, received.indexOf('\r', at) - at - 15)
                                           .trimmed()
                                           .toLongLong();
        if (received.size() < end + 4 + length)
            return;
        received.clear();
        QByteArray body;
        {
            QMutexLocker lock(&m_mutex);
            body = m_body;
        }
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json; charset=utf-8\r\n"
                      "Connection: close\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

    QSemaphore m_ready;
    quint16 m_port = 0;
    QMutex m_mutex;
    QByteArray m_body;
};

QJsonObject pupil(int i, const QString &name) {
    return {{"UserId", 1000 + i},
            {"RealName", name},
            {"Sex", i % 2},
            {"MyTitle", QStringLiteral("阅读小博士")},
            {"Mobile", QStringLiteral("1380000%1").arg(i % 10000, 4, 10, QLatin1Char('0'))},
            {"PhotoStr", QStringLiteral("http://127.0.0.1:1/photo/%1.png").arg(i)},
            {"TestPassNum", i % 40},
            {"FlowerNumber", (i * 7) % 300}};
}

QByteArray rosterAnswer(const QJsonArray &pupils) {
    return QJsonDocument(QJsonObject{{"result", 1}, {"msg", ""}, {"list", pupils}})
        .toJson(QJsonDocument::Compact);
}

// As many pupils as fit in `bytes`.
QByteArray pupilsAnswer(qint64 bytes) {
    QJsonArray pupils;
    const qint64 frame = rosterAnswer(pupils).size();
    const qint64 perPupil = QJsonDocument(pupil(123456, QStringLiteral("王小明123456")))
                                .toJson(QJsonDocument::Compact)
                                .size() +
                            1;
    for (int i = 0; i < (bytes - frame) / perPupil; ++i)
        pupils.append(pupil(i, QStringLiteral("王小明%1").arg(i)));
    return rosterAnswer(pupils);
}

// As many empty pupils ({}) as fit in `bytes`: the most rows an answer of that size can hold.
QByteArray emptyRowsAnswer(qint64 bytes) {
    QByteArray body = rosterAnswer({QJsonObject()});
    const qsizetype at = body.indexOf("{}");
    return body.insert(at, QByteArray("{},").repeated(int((bytes - body.size()) / 3)));
}

// One pupil named with `bytes` of text.
QByteArray longNameAnswer(qint64 bytes) {
    const qint64 frame = rosterAnswer({pupil(0, QString())}).size();
    return rosterAnswer({pupil(0, QString(int((bytes - frame) / 3), QChar(0x738B)))});
}

// The roster's own model, delegate and list, asking the catalogue as the screen does.
struct Roster {
    ClassViewController screen;
    StudentRows rows;
    ClassListCell cell{ClassListCell::ListDesign};
    QListView *view = screen.tableView();
    QImage frame;
    bool ended = false;

    Roster() {
        rows.setPageRequest([this](int page, int) {
            GetMyClassDetailReq request;
            request.classId = 10;
            auto answer = rows.answerForPage<GetMyClassDetailRsp>(
                nullptr, page, [](const GetMyClassDetailRsp &rsp) {
                    return QList<StudentListModel>(
                        rsp.list.value_or(RecordArray<StudentListModel>()));
                });
            TeacherRequestManager::request_GetMyClassDetail_WithParams(request, answer.completion(),
                                                                       answer.failure());
        });
        QObject::connect(&rows, &PagedRowsBase::pageLoaded, [this] { ended = true; });
        QObject::connect(&rows, &PagedRowsBase::loadFailed, [this] { ended = true; });
        view->setModel(&rows);
        view->setItemDelegate(&cell);
        screen.resize(375, 520);
        screen.layout()->activate();
        frame = QImage(view->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    }
};

// The longest turn of the main thread and its whole CPU while something runs: a timer due every
// millisecond notes the thread's CPU each time the event loop gets to it, so the longest stretch
// between two of its ticks is the longest the window could not answer.
struct Turns {
    QTimer heartbeat;
    double start = threadCpuMs();
    double last = start;
    double longest = 0;

    Turns() {
        heartbeat.setTimerType(Qt::PreciseTimer);
        heartbeat.setInterval(1);
        QObject::connect(&heartbeat, &QTimer::timeout, [this] { tick(); });
        heartbeat.start();
    }
    void tick() {
        const double now = threadCpuMs();
        longest = std::max(longest, now - last);
        last = now;
    }
};

struct Run {
    double longestTurn;
    double callCpu;
    double paintCpu;
    double wall;
    int rows;
};

Run once(Roster &roster) {
    roster.rows.clear();
    roster.ended = false;
    QElapsedTimer timer;
    timer.start();
    Run run{};
    {
        Turns turns;
        roster.rows.refresh();
        while (!roster.ended && timer.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        turns.tick();
        run.longestTurn = turns.longest;
        run.callCpu = threadCpuMs() - turns.start;
    }
    // The paint the window would do next, a turn of its own.
    const double paintStart = threadCpuMs();
    roster.view->doItemsLayout();
    roster.frame.fill(Qt::white);
    roster.view->viewport()->render(&roster.frame);
    run.paintCpu = threadCpuMs() - paintStart;
    run.wall = timer.nsecsElapsed() / 1e6;
    run.rows = roster.rows.count();
    return run;
}

void measure(const char *shape, const QByteArray &body, AnswerServer &server, Roster &roster,
             int runs) {
    server.setBody(body);
    std::vector<double> longest, call, paint, wall;
    int rows = 0;
    for (int i = 0; i < runs; ++i) {
        const Run run = once(roster);
        longest.push_back(std::max(run.longestTurn, run.paintCpu));
        call.push_back(run.callCpu);
        paint.push_back(run.paintCpu);
        wall.push_back(run.wall);
        rows = run.rows;
    }
    std::printf("%-16s %8.0f KB  longest turn p50 %6.1f max %6.1f ms | call cpu p50 %6.1f ms | "
                "paint p50 %5.1f ms | wall p50 %7.1f ms | rows shown %d\n",
                shape, body.size() / 1024.0, percentile(longest, 0.5), percentile(longest, 1),
                percentile(call, 0.5), percentile(paint, 0.5), percentile(wall, 0.5), rows);
}

} // namespace

int main(int argc, char **argv) {
    QTemporaryDir scratch;
    qputenv("TEACHER_CLIENT_CONFIG_DIR", scratch.filePath(QStringLiteral("config")).toUtf8());
    qputenv("TEACHER_CLIENT_CACHE_DIR", scratch.filePath(QStringLiteral("cache")).toUtf8());
    QApplication app(argc, argv);
    AnswerServer server;
    const quint16 port = server.listen();
    // Read once by the catalogue: set before anything asks for it.
    qputenv("TEACHER_SERVICE_URL", QStringLiteral("http://127.0.0.1:%1/").arg(port).toUtf8());
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 11;

    const qint64 limit = BaseAFHttpManager::MaxAnswerBytes;
    const qint64 largest = argc > 2 ? QByteArray(argv[2]).toLongLong() : limit - 1024;
    std::printf("Answer limit %lld bytes, a list keeps %d rows, %d runs each\n", limit,
                PagedRowsBase::MaxRows, runs);
    Roster roster;
    measure("pupils", pupilsAnswer(largest), server, roster, runs);
    measure("empty rows", emptyRowsAnswer(largest), server, roster, runs);
    measure("long name", longNameAnswer(largest), server, roster, runs);
    measure("twice the limit", pupilsAnswer(2 * limit), server, roster, runs);
    return 0;
}
