#pragma once

namespace vt::platform::windows {

// Starts Winsock once for the whole process (it stays up until the process ends); false
// when it cannot be started.
bool ensureWinsock();

}  // namespace vt::platform::windows
