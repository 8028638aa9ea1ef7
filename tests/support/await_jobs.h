#pragma once

#include <chrono>

#include "discovery/background_jobs.h"
#include "tests/support/fakes.h"

namespace vt::test {

// Lets the job poll timers run in real time (20 ms steps of the manual timers) until every
// job has been reported; false when some are still in flight after the limit.
bool awaitJobs(const discovery::BackgroundJobs& jobs, ManualTimers& timers,
               std::chrono::milliseconds limit = std::chrono::seconds(20));

}  // namespace vt::test
