#include "core/batch_arguments.h"

#include "platform/command_line.h"

namespace vt {

std::string quotableComment(std::string_view comment) {
    std::string result;
    result.reserve(comment.size());
    for (const char c : comment) {
        if (c != '"' && c != '\r' && c != '\n' && c != '%') {
            result += c;
        }
    }
    while (!result.empty() && result.back() == '\\') {
        result.pop_back();
    }
    return result;
}

std::string batchCommandLine(std::string_view batchPath) {
    return platform::quoteArgument(batchPath);
}

}  // namespace vt
