#include "tests/support/await_jobs.h"

#include <thread>

namespace vt::test {

bool awaitJobs(const discovery::BackgroundJobs& jobs, ManualTimers& timers,
               std::chrono::milliseconds limit) {
    using namespace std::chrono_literals;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (jobs.inFlightCount() != 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
        timers.advance(20ms);
    }
    return true;
}

}  // namespace vt::test
