#pragma once

// The lines of a batch file, run in order, except that a room's shutdown requests do not wait
// for one another: each waits seconds on the network for one machine.
//
// - Consecutive lines whose program is "shutdown" (its adapter) start together, at most
//   `atOnce` at a time; the next line of any other kind runs only once all of them have
//   ended. Comments and blank lines between them do not end such a run.
// - A shutdown line whose redirection names a file that an earlier line of the run already
//   writes (ASCII case ignored) begins a new run after that one: lines that write one file
//   keep their order, as if each ran after the other. Lines without redirection, or writing
//   files of their own, run side by side.
// - Failures of the run's lines are reported once the run has ended, in the lines' order.
//   What the programs print without redirection goes to vt_cmd's output as it comes, so
//   their lines may come in another order; "shutdown.log" takes whole lines from each.

#include <cstddef>
#include <string>
#include <vector>

#include "tools/cmd/interpreter.h"

namespace vt::cmd {

// Enough for a room of machines in two or three rounds, few enough for a small server.
inline constexpr std::size_t kShutdownsAtOnce = 16;

void runBatch(Interpreter& interpreter, const std::vector<std::string>& lines,
              std::size_t atOnce = kShutdownsAtOnce);

}  // namespace vt::cmd
