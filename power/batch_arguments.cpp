#include "power/batch_arguments.h"

#include "platform/command_line.h"
#include "platform/hex_digits.h"

namespace vt::power {

namespace {

bool isHexDigit(char c) {
    return platform::hexDigitValue(c) >= 0;
}

}  // namespace

bool isMacAddress(std::string_view text) {
    if (text.size() == 12) {
        for (const char c : text) {
            if (!isHexDigit(c)) {
                return false;
            }
        }
        return true;
    }
    if (text.size() != 17 || (text[2] != '-' && text[2] != ':')) {
        return false;
    }
    const char separator = text[2];
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool separatorPlace = i % 3 == 2;
        if (separatorPlace ? text[i] != separator : !isHexDigit(text[i])) {
            return false;
        }
    }
    return true;
}

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

}  // namespace vt::power
