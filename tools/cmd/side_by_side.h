#pragma once

// Work items that mostly wait (a program asking a machine over the network) run on a few
// threads at once instead of one after the other.

#include <cstddef>
#include <functional>

namespace vt::cmd {

// Calls work(0) .. work(count - 1), at most `atOnce` of them at a time, each on a thread of
// its own; a thread that ends one item takes the next not yet begun. Returns once every call
// has returned. `work` must not throw.
void forEachSideBySide(std::size_t count, std::size_t atOnce,
                       const std::function<void(std::size_t)>& work);

}  // namespace vt::cmd
