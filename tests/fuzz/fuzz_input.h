#pragma once

// What every fuzz target shares: the input as the parsers receive it, and the check of a
// property that must hold whatever the input.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_codec.h"

namespace vt::fuzz {

inline std::string_view bytesOf(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The lines of a Windows-1252 text file, as the system and the tools read them.
inline std::vector<std::string> fileLines(const std::uint8_t* data, std::size_t size) {
    return platform::splitLines(platform::fromWindows1252(bytesOf(data, size)));
}

// A broken property is a crash: the fuzzer keeps the input that broke it.
inline void require(bool holds, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "propriété non tenue : %s\n", property);
        std::abort();
    }
}

}  // namespace vt::fuzz
