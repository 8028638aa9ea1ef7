#pragma once

// The names of the temporaries that whole-file writes make beside their targets, so that what
// a cut-short write left behind is recognised on every system.

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace vt::platform {

// Temporary names are "." + the target's name (at most kTemporaryStemLimit characters of it,
// so the name stays within the length limit) + kTemporaryMark + kTemporaryUniqueLength
// characters.
inline constexpr std::size_t kTemporaryStemLimit = 200;
inline constexpr std::string_view kTemporaryMark = ".vt-";
inline constexpr std::size_t kTemporaryUniqueLength = 6;
// A write takes milliseconds: an older temporary belongs to no write in progress, not even
// one of another program that shares the folder.
inline constexpr std::chrono::seconds kInterruptedWriteAge{60};

inline bool isTemporaryName(std::string_view name) {
    const std::size_t mark = name.rfind(kTemporaryMark);
    return name.size() > 1 && name.front() == '.' && mark != std::string_view::npos && mark > 1 &&
           name.size() - mark == kTemporaryMark.size() + kTemporaryUniqueLength;
}

// The temporary's name without its unique characters.
inline std::string temporaryStem(std::string_view targetName) {
    return "." + std::string(targetName.substr(0, kTemporaryStemLimit)) +
           std::string(kTemporaryMark);
}

}  // namespace vt::platform
