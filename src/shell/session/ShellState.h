#pragma once

// The shell's process-wide state put back with one call between tests: the session (service
// connection and calls in flight, current login, image loader), the overlay registry (indicator,
// toast, alerts, sheets, the overlay host), the test hooks (manual ticks, the refresh clock, the
// image deadline), keyboard avoidance, notification observers, the screen registration, the
// open settings store and the answer cache (off). A new piece of global state joins one of these
// or is added here.
namespace ShellState {
void resetForTests();
}
