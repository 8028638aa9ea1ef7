#pragma once

// The system's requests to end the program (SIGTERM and SIGINT on POSIX), turned into a
// descriptor that the event loop can watch: the signal handler only writes one byte.

#include <memory>

namespace vt::platform {

class TerminationRequests {
public:
    virtual ~TerminationRequests() = default;
    // Becomes readable when a request has arrived; -1 when the requests cannot be watched.
    virtual int descriptor() const = 0;
    // Takes the pending requests; true when there was at least one.
    virtual bool consume() = 0;
};

// Starts watching; the previous handling is restored when the watcher goes. One watcher at a
// time: a second one while the first lives gets descriptor -1.
std::unique_ptr<TerminationRequests> watchTerminationRequests();

}  // namespace vt::platform
