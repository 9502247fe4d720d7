// The desktop form's detail pane against a local reading-service, signed in as the demo teacher
// 13800000001, in a 1280 x 800 window: the roster table of the first class with a pupil's home
// open beside it.
// - BM_DownToNextDetailDrawn: Down in the table to the pupil's home of the next row drawn in the
//   pane. Every row was opened once before (its answers and pictures came, its pictures are in
//   memory), so what is measured is the client's own switch: the key, the new screen made and
//   laid out, the old one let go, one frame of the pane painted. The answers the new home asks
//   for come afterwards, outside the timing, before the next key. p50/p95 of the wall and CPU
//   time of each switch, as counters. Target: p95 within one frame (16 ms).
//
//   QT_QPA_PLATFORM=offscreen bench_pane [--benchmark_min_time=...]
//
// Run it from a Release build.

#include "AppWindow.h"
#include "BaseAFHttpManager.h"
#include "ImageLoader.h"
#include "NavigationController.h"
#include "classes/ClassDetailVC.h"
#include "classes/ClassViewController.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTableView>

#include <benchmark/benchmark.h>

#include "BenchClock.h"
#include "BenchService.h"

#include <functional>
#include <memory>
#include <vector>

namespace {

using BenchClock::percentile;
using BenchClock::threadCpuMs;
using BenchService::signInAsDemoTeacher;
using BenchService::spinUntil;

bool g_signedIn = false;

// Nothing asked of the service or the network is still on its way.
bool quiet() {
    return BaseAFHttpManager::callsInFlight() == 0 &&
           ImageLoader::instance().requestsInFlight() == 0;
}

struct Desk {
    AppWindow window;
    NavigationController *stack = nullptr;
    ClassViewController *roster = new ClassViewController;

    QString open() {
        window.resize(1280, 800);
        stack = new NavigationController(roster);
        window.setRootViewController(stack);
        window.show();
        if (!spinUntil([this] { return rosterRows() > 1 && quiet(); }))
            return QStringLiteral("the roster did not load");
        table()->setFocus();
        table()->setCurrentIndex(table()->model()->index(0, 0));
        press(Qt::Key_Return);
        if (!stack->detailPane())
            return QStringLiteral("no detail pane beside the roster");
        // Each row once, so that its answers and pictures have come before the measured pass.
        for (int row = 1; row < rosterRows(); ++row) {
            press(Qt::Key_Down);
            spinUntil(quiet);
        }
        return {};
    }

    QTableView *table() const { return roster->rosterTable(); }
    int rosterRows() const { return table()->model() ? table()->model()->rowCount() : 0; }
    ClassDetailVC *shown() const {
        NavigationController *pane = stack->detailPane();
        return pane ? qobject_cast<ClassDetailVC *>(pane->topViewController()) : nullptr;
    }
    void press(Qt::Key key) {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(table(), &down);
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(table(), &up);
    }
};

void BM_DownToNextDetailDrawn(benchmark::State &state) {
    if (!g_signedIn) {
        state.SkipWithError("no development service");
        return;
    }
    auto desk = std::make_unique<Desk>();
    if (const QString why = desk->open(); !why.isEmpty()) {
        state.SkipWithError(why.toUtf8().constData());
        return;
    }
    std::vector<double> wall, cpu;
    for (auto _ : state) {
        if (desk->table()->currentIndex().row() >= desk->rosterRows() - 1) {
            desk->table()->setCurrentIndex(desk->table()->model()->index(0, 0));
            spinUntil(quiet);
        }
        const ClassDetailVC *before = desk->shown();
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = threadCpuMs();
        desk->press(Qt::Key_Down);
        QCoreApplication::sendPostedEvents();
        const QImage frame = desk->stack->detailPane()->grab().toImage();
        const double wallMs = timer.nsecsElapsed() / 1e6;
        cpu.push_back(threadCpuMs() - cpuStart);
        wall.push_back(wallMs);
        state.SetIterationTime(wallMs / 1e3);
        if (desk->shown() == before || frame.isNull()) {
            state.SkipWithError("Down did not change the detail");
            return;
        }
        spinUntil(quiet);
    }
    state.counters["wall_p50_ms"] = percentile(wall, 0.50);
    state.counters["wall_p95_ms"] = percentile(wall, 0.95);
    state.counters["cpu_p50_ms"] = percentile(cpu, 0.50);
    state.counters["cpu_p95_ms"] = percentile(cpu, 0.95);
}
BENCHMARK(BM_DownToNextDetailDrawn)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    return BenchService::runSignedIn(argc, argv, QStringLiteral("pane.db"), &g_signedIn);
}
