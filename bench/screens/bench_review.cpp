// The review desk against a local reading-service, signed in as the demo teacher 13800000001,
// in a 1280 x 800 window (the wide layout: 待批阅 on the left, the desk on the right):
// - BM_KeyToNextDrawn: grade key 1 to the next waiting reflection drawn with its text and
//   thumbnails, once the list is loaded and the next ones are fetched ahead (their details and
//   thumbnails in memory). Grades are held for ten minutes, so nothing is sent meanwhile; when the
//   list runs out they are all taken back with Ctrl+Z and the round starts again. p50/p95 of the
//   wall and CPU time of each key, as counters.
// - BM_GradeEverything: the whole sitting, every waiting reflection graded 1 one after another
//   with no undo window (hold 0), each key pressed as soon as the desk shows its reflection with
//   its thumbnails. The wall time from the first key to the last grade accepted and the list
//   reloaded empty; the client's own share (inside the key and its repaint) and the main
//   thread's CPU time. Keys per graded reflection must come out 1: a run where the keys and the
//   grades the service accepted differ fails. Between runs the grades are put back to 待批阅 in
//   the service's database, and the image caches emptied, so every run starts as a first sitting.
//
//   QT_QPA_PLATFORM=offscreen bench_review [--benchmark_min_time=...]
//
// The desk is laid out, shown offscreen and repainted synchronously: "drawn" means that the
// events the key left behind (layout, the new thumbnails shown) are handled and the desk has
// painted, as the next frame would.

#include "AnswerHandling.h"
#include "AppWindow.h"
#include "HeldChanges.h"
#include "ImageLoader.h"
#include "LoginState.h"
#include "NavigationController.h"
#include "TeacherRequestManager.h"
#include "reflections/FeelRows.h"
#include "reflections/GradeListVC.h"
#include "reflections/GradeViewController.h"
#include "reflections/PictureGrid.h"
#include "reflections/ReviewDesk.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QListView>
#include <QLoggingCategory>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextBrowser>

#include "BenchClock.h"
#include "BenchService.h"

#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int WindowWidth = 1280;
constexpr int WindowHeight = 800;
// Long enough that no grade of the key benchmark is sent while it runs.
constexpr int HeldForMs = 10 * 60 * 1000;

QString g_databasePath;
bool g_signedIn = false;
// Graded in the service by the last run, across calls of the benchmark function.
QList<qint64> g_graded;

using BenchClock::percentile;
using BenchClock::threadCpuMs;
using BenchService::signInAsDemoTeacher;
using BenchService::spinUntil;
using BenchService::startReadingService;

// Runs the event loop until `done` holds or `ms` pass; whether it held.

// The window at 1280 x 800 with the reflections screen on its 待批阅 list, the desk beside it.
struct Sitting {
    AppWindow window;
    GradeViewController *screen = new GradeViewController;
    GradeListVC *waitingList = nullptr;
    FeelRows *rows = nullptr;
    QListView *list = nullptr;
    ReviewDesk *desk = nullptr;
    QTextBrowser *text = nullptr;
    PictureGrid *pictures = nullptr;

    // Empty when the desk is ready on the first waiting reflection, else what went wrong.
    QString open() {
        window.setRootViewController(new NavigationController(screen));
        window.resize(WindowWidth, WindowHeight);
        window.show();
        if (!spinUntil([this] { return screen->desk() != nullptr; }))
            return QStringLiteral("the reflections screen did not load");
        if (!screen->isWide())
            return QStringLiteral("the screen is %1 px wide, not wide").arg(screen->width());
        waitingList = screen->gradeListVCs().value(GradeListVC::WaitingType);
        screen->replaceController(screen->currentVC(), waitingList);
        rows = waitingList->gradeArray();
        list = waitingList->tableView();
        desk = screen->desk();
        text = desk->findChild<QTextBrowser *>(QStringLiteral("deskText"));
        pictures = desk->findChild<PictureGrid *>(QStringLiteral("deskPictures"));
        bool loaded = false;
        const auto connection =
            QObject::connect(rows, &PagedRowsBase::pageLoaded, desk, [&loaded] { loaded = true; });
        const bool arrived = spinUntil([&] { return loaded && !rows->isLoading(); });
        QObject::disconnect(connection);
        if (!arrived)
            return QStringLiteral("待批阅 did not load");
        if (waitingCount() == 0)
            return QStringLiteral("the demo teacher has nothing waiting");
        // As a click on the first row would.
        list->selectionModel()->setCurrentIndex(rows->index(nextWaiting(-1)),
                                                QItemSelectionModel::ClearAndSelect);
        if (!spinUntil([this] { return shownReady() && fetchedAhead(); }))
            return QStringLiteral("the first reflection and the next ones did not arrive");
        return {};
    }

    int waitingCount() const {
        int waiting = 0;
        for (int row = 0; row < rows->rowCount(); ++row)
            waiting += rows->isWaiting(row) ? 1 : 0;
        return waiting;
    }
    // The row the desk moves to after `after`: onwards, then from the top.
    int nextWaiting(int after) const {
        const int count = rows->rowCount();
        for (int step = 1; step <= count; ++step) {
            const int row = (after + step) % count;
            if (row >= 0 && row != after && rows->isWaiting(row))
                return row;
        }
        return -1;
    }
    int currentRow() const { return list->currentIndex().row(); }

    // The desk shows the current row, a waiting one, with its text and every thumbnail drawn.
    bool shownReady() const {
        const int row = currentRow();
        if (!rows->isValidRow(row) || !rows->isWaiting(row))
            return false;
        const qint64 feelId = rows->at(row).FeelId;
        return desk->shownFeelId() == feelId && desk->hasDetail(feelId) && thumbnailsDrawn();
    }
    bool thumbnailsDrawn() const {
        const int shown =
            std::min(int(pictures->pictureItems().size()), PictureGrid::MaxThumbnails);
        for (int i = 0; i < shown; ++i) {
            const PictureThumbnail *thumbnail = pictures->thumbnailAt(i);
            if (!thumbnail || !thumbnail->isVisible() || thumbnail->image().isNull())
                return false;
        }
        return true;
    }
    // The next waiting reflection's detail is here and nothing is being fetched, thumbnails
    // included.
    bool fetchedAhead() const {
        const int next = nextWaiting(currentRow());
        return desk->prefetching().isEmpty() && ImageLoader::instance().requestsInFlight() == 0 &&
               (next < 0 || desk->hasDetail(rows->at(next).FeelId));
    }

    // The key and what the next frame does with it: the layout it asked for, the thumbnails it
    // added shown, the desk painted.
    void gradeAndDraw() {
        desk->gradeWithKey(1);
        QCoreApplication::sendPostedEvents();
        desk->repaint();
    }
};

void resetImageCaches() {
    const QString folder = ImageLoader::instance().cacheDirectory();
    ImageLoader::resetInstance();
    QDir(folder).removeRecursively();
}

// Puts the reflections back to 待批阅 in the service's database (the service runs in WAL mode, so
// it reads the change on its next query).
bool putBackToWaiting(const QList<qint64> &feelIds) {
    const QString name = QStringLiteral("bench-review");
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(g_databasePath);
        ok = db.open();
        QSqlQuery query(db);
        ok = ok && query.exec(QStringLiteral("PRAGMA busy_timeout=5000"));
        ok = ok && query.prepare(QStringLiteral("UPDATE reflections SET grade = 0, checked_by = "
                                                "NULL, checked_at = NULL WHERE id = ?"));
        for (qint64 feelId : feelIds) {
            query.bindValue(0, feelId);
            ok = ok && query.exec();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

void BM_KeyToNextDrawn(benchmark::State &state) {
    if (!g_signedIn) {
        state.SkipWithError("no reading-service, or the demo teacher could not sign in");
        return;
    }
    HeldChanges::instance().setHoldMs(HeldForMs);
    Sitting sitting;
    if (const QString error = sitting.open(); !error.isEmpty()) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    std::vector<double> wall, cpu;
    int pictures = 0;
    for (auto _ : state) {
        int next = sitting.nextWaiting(sitting.currentRow());
        if (next < 0) {
            // Ctrl+Z down to the first grade: the list is waiting again from where it started.
            while (HeldChanges::instance().heldCount() > 0)
                sitting.desk->undoLast();
            next = sitting.nextWaiting(sitting.currentRow());
        }
        if (next < 0 ||
            !spinUntil([&] { return sitting.shownReady() && sitting.fetchedAhead(); })) {
            state.SkipWithError("the next reflection was not fetched ahead");
            break;
        }
        const qint64 expected = sitting.rows->at(next).FeelId;
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = threadCpuMs();
        sitting.gradeAndDraw();
        cpu.push_back(threadCpuMs() - cpuStart);
        wall.push_back(timer.nsecsElapsed() / 1e6);
        state.SetIterationTime(wall.back() / 1e3);
        if (sitting.desk->shownFeelId() != expected || sitting.text->toPlainText().isEmpty() ||
            !sitting.thumbnailsDrawn()) {
            state.SkipWithError("the key did not draw the next reflection with its thumbnails");
            break;
        }
        pictures += int(sitting.pictures->pictureItems().size());
    }
    while (HeldChanges::instance().heldCount() > 0)
        sitting.desk->undoLast();
    state.counters["keys"] = double(wall.size());
    state.counters["pictures_per_key"] = wall.empty() ? 0 : double(pictures) / wall.size();
    state.counters["p50_wall_ms"] = percentile(wall, 0.50);
    state.counters["p95_wall_ms"] = percentile(wall, 0.95);
    state.counters["p50_cpu_ms"] = percentile(cpu, 0.50);
    state.counters["p95_cpu_ms"] = percentile(cpu, 0.95);
}
BENCHMARK(BM_KeyToNextDrawn)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_GradeEverything(benchmark::State &state) {
    if (!g_signedIn) {
        state.SkipWithError("no reading-service, or the demo teacher could not sign in");
        return;
    }
    HeldChanges::instance().setHoldMs(0);
    std::vector<double> perKey;
    double totalMs = 0, clientMs = 0, cpuMs = 0;
    int keys = 0, accepted = 0, waiting = 0, runs = 0;
    for (auto _ : state) {
        if (!putBackToWaiting(g_graded)) {
            state.SkipWithError("could not put the grades back in the service's database");
            break;
        }
        g_graded.clear();
        HeldChanges::instance().forgetAccepted();
        resetImageCaches();
        auto sitting = std::make_unique<Sitting>();
        if (const QString error = sitting->open(); !error.isEmpty()) {
            state.SkipWithError(qPrintable(error));
            break;
        }
        const int toGrade = sitting->waitingCount();
        for (int row = 0; row < sitting->rows->rowCount(); ++row)
            if (sitting->rows->isWaiting(row))
                g_graded.append(sitting->rows->at(row).FeelId);
        const int acceptedBefore = HeldChanges::instance().acceptedCount();
        int keysThisRun = 0;
        QElapsedTimer total;
        total.start();
        const double cpuStart = threadCpuMs();
        bool stuck = false;
        while (keysThisRun < toGrade) {
            // The teacher sees the reflection, its thumbnails included, before grading it.
            if (!spinUntil([&] { return sitting->shownReady(); })) {
                stuck = true;
                break;
            }
            QElapsedTimer key;
            key.start();
            sitting->gradeAndDraw();
            perKey.push_back(key.nsecsElapsed() / 1e6);
            clientMs += perKey.back();
            ++keysThisRun;
        }
        // Every grade answered and the list reloaded without them.
        const bool settled = !stuck && spinUntil([&] {
            return HeldChanges::instance().heldCount() == 0 &&
                   HeldChanges::instance().sendingCount() == 0 && !sitting->rows->isLoading() &&
                   sitting->rows->rowCount() == 0;
        });
        const double runMs = total.nsecsElapsed() / 1e6;
        cpuMs += threadCpuMs() - cpuStart;
        state.SetIterationTime(runMs / 1e3);
        totalMs += runMs;
        keys += keysThisRun;
        waiting += toGrade;
        const int acceptedThisRun = HeldChanges::instance().acceptedCount() - acceptedBefore;
        accepted += acceptedThisRun;
        ++runs;
        if (stuck || !settled) {
            state.SkipWithError(stuck ? "a reflection was not shown ready to grade"
                                      : "the grades were not all accepted, or the list kept rows");
            break;
        }
        // One key a reflection: the desk graded exactly as many as keys were pressed.
        if (acceptedThisRun != keysThisRun || sitting->desk->gradedThisSitting() != keysThisRun) {
            state.SkipWithError("the keys and the reflections graded differ");
            break;
        }
    }
    if (runs == 0)
        return;
    state.counters["reflections"] = double(waiting) / runs;
    state.counters["keys_per_graded"] = accepted ? double(keys) / accepted : 0;
    state.counters["total_ms"] = totalMs / runs;
    state.counters["client_ms"] = clientMs / runs;
    state.counters["cpu_ms"] = cpuMs / runs;
    state.counters["waited_ms"] = (totalMs - clientMs) / runs;
    state.counters["key_p50_ms"] = percentile(perKey, 0.50);
    state.counters["key_p95_ms"] = percentile(perKey, 0.95);
}
BENCHMARK(BM_GradeEverything)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    return BenchService::runSignedIn(argc, argv, QStringLiteral("review.db"), &g_signedIn,
                                     &g_databasePath);
}
