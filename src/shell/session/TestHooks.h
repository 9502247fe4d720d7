#pragma once

#include <QDateTime>

#include <functional>

class QWidget;

// Every setting the shell lets a test (or a scripted tour) change to take time, timers and
// windows into its own hands, listed in one place. Each forwards to the part it acts on;
// reset() puts them all back as the running client has them (ShellState::resetForTests() calls it).
namespace TestHooks {

// Countdown sources made from now on tick only when TickSource::advance() says so.
void setManualTicks(bool manual);
// The clock the refresh headers read; an empty function is the real one.
void setRefreshClock(std::function<QDateTime()> clock);
// How long an image download may take in all.
void setImageDownloadDeadlineMs(int ms);
// The widget the overlays live in; nullptr finds the window again.
void setOverlayHost(QWidget *host);

void reset();

} // namespace TestHooks
