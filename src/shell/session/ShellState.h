#pragma once

#include <functional>

// The shell's process-wide state put back with one call between tests: the session (service
// connection and calls in flight, current login, image loader), the overlay registry (indicator,
// toast, alerts, sheets, the features' dialogs, the overlay host), the test hooks (manual ticks,
// the refresh clock, the image deadline), the device profile, keyboard avoidance, notification
// observers, the screen registration, the open settings store and the answer cache (off).
// A new piece of global state joins one of these or is added here; state the shell cannot name
// (a feature's hook or table) registers its own reset with addReset().
namespace ShellState {
void resetForTests();
// `reset` runs at every later resetForTests(), before the shell's own state is put back. Call it
// once per piece of state, where that state is made.
void addReset(std::function<void()> reset);
// addReset() where the state is made once: `static const ShellState::Reset reset([] { ... });`.
struct Reset {
    explicit Reset(std::function<void()> reset) { addReset(std::move(reset)); }
};
} // namespace ShellState
