#include "power/batch_arguments.h"

#include "platform/hex_digits.h"

namespace vt::power {

namespace {

bool isControl(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7F;
}

bool isHexDigit(char c) {
    return platform::hexDigitValue(c) >= 0;
}

}  // namespace

bool changesBatchLine(std::string_view text) {
    if (!text.empty() && (text.front() == '-' || text.front() == '/')) {
        return true;
    }
    for (const char c : text) {
        if (isControl(c) || std::string_view("\"&|<>^%").find(c) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

bool isSingleBatchArgument(std::string_view text) {
    return !text.empty() && text.find(' ') == std::string_view::npos && !changesBatchLine(text);
}

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
        if (c != '"' && c != '\r' && c != '\n') {
            result += c;
        }
    }
    return result;
}

std::string batchCommandLine(std::string_view batchPath) {
    if (batchPath.find(' ') == std::string_view::npos) {
        return std::string(batchPath);
    }
    return "\"" + std::string(batchPath) + "\"";
}

}  // namespace vt::power
