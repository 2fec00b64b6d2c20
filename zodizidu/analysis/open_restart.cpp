// The pause before an analysis starts again after "too many open files".
#include <atomic>
#include <chrono>
#include <thread>

#include "zodizidu/analysis/detail/open_restart.h"

namespace zodizidu::detail {

namespace {

void DefaultPause(int) { std::this_thread::sleep_for(std::chrono::milliseconds(20)); }

std::atomic<RestartPause> gPause{&DefaultPause};

}  // namespace

void SetRestartPause(RestartPause pause) { gPause.store(pause ? pause : &DefaultPause); }

void PauseBeforeRestart(int restart) { gPause.load()(restart); }

}  // namespace zodizidu::detail
