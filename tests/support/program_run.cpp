#include "tests/support/program_run.h"

#include "platform/captured_run.h"

namespace vt::test {

ProgramResult runProgram(const std::vector<std::string>& arguments,
                         std::chrono::milliseconds timeLimit) {
    const platform::CapturedOutcome outcome = platform::runCaptured({arguments, timeLimit, {}});
    ProgramResult result;
    result.timedOut = outcome.status == platform::CapturedStatus::TimedOut;
    result.exitCode = outcome.exitCode;
    result.standardOutput = outcome.standardOutput;
    result.standardError = outcome.standardError;
    return result;
}

}  // namespace vt::test
