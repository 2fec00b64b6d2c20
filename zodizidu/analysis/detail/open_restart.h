// The bounded restart of an analysis whose file could not be opened for want of file handles.
#pragma once

namespace zodizidu::detail {

// Restarts after "too many open files" before the error is returned.
inline constexpr int kOpenRestarts = 3;

// Runs before each restart (`restart` counts from 1); the default pauses 20 ms so that handles
// held elsewhere for a moment can be given back.
using RestartPause = void (*)(int restart);
void SetRestartPause(RestartPause pause);  // nullptr puts the default back
void PauseBeforeRestart(int restart);

}  // namespace zodizidu::detail
