#pragma once

// The shell's process-wide state in one place: the current login, the progress indicator, the
// toast and every other overlay, keyboard avoidance, notification observers, the images cached in
// memory, the service calls in flight and the transport's display scale, the overlay host, the
// screen registration, the open settings store and the countdown clock (back to real timers). Tests
// put it all back between cases with one call, so a new piece of global state has one place to be
// added.
namespace ShellState {
void resetForTests();
}
