// Waiting on the window's thread for work done on another thread while the
// window goes on answering the window system: repaints, the window manager's
// pings, other programs' clipboard requests and timers run; user input
// (keys, clicks, a close request) stays queued until the work is done.
#pragma once

#include <atomic>

namespace platform {

// Runs the program thread's events, user input left out, until `done` is
// true. Whoever sets `done` calls WakeAnsweringWait() after it.
void WaitAnswering(const std::atomic<bool>& done);

// Wakes a WaitAnswering on the program's thread; safe from any thread, and
// harmless when nobody waits.
void WakeAnsweringWait();

}  // namespace platform
