#include "tools/cmd/side_by_side.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

namespace vt::cmd {

void forEachSideBySide(std::size_t count, std::size_t atOnce,
                       const std::function<void(std::size_t)>& work) {
    std::atomic<std::size_t> next{0};
    const auto takeItems = [&] {
        for (std::size_t i = next++; i < count; i = next++) {
            work(i);
        }
    };
    const std::size_t threads = std::min(count, std::max<std::size_t>(atOnce, 1));
    std::vector<std::jthread> helpers;
    helpers.reserve(threads > 0 ? threads - 1 : 0);
    for (std::size_t t = 1; t < threads; ++t) {
        try {
            helpers.emplace_back(takeItems);
        } catch (const std::system_error&) {
            break;  // the threads already there take the items left
        }
    }
    takeItems();  // this thread is one of them
}

}  // namespace vt::cmd
