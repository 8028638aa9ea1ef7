#pragma once

// NetBIOS names as the name service carries them: at most 15 characters, padded with blanks,
// and a suffix byte that tells which service registered the name (<00> the workstation, <20>
// the file server, <1E> the browser elections of a group...). Name bytes are Windows-1252, as
// in the system's files.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vt::adapters {

inline constexpr std::size_t kNetbiosNameLength = 15;

// The 16 bytes of a name on the wire: the padded name and its suffix.
using RawNetbiosName = std::array<std::uint8_t, 16>;

struct NetbiosName {
    std::string name;  // at most 15 bytes, without the padding
    std::uint8_t suffix = 0;

    bool operator==(const NetbiosName&) const = default;
};

// The name "*" with suffix 0: every node answers it, and a node status request asks for it.
NetbiosName wildcardName();

// The wire form of a name: ASCII letters in upper case, blanks up to 15 bytes, then the
// suffix. The wildcard is padded with NULs instead, as every node expects it. A name longer
// than 15 bytes is cut: callers check the length first.
RawNetbiosName rawName(const NetbiosName& name);
// The name of a wire form, without its padding (trailing blanks and NULs).
NetbiosName nameFromRaw(const RawNetbiosName& raw);

// First-level encoding: every half-byte becomes one letter from 'A' to 'P', so 16 bytes give
// the 32 letters of the name's label.
std::string firstLevelEncode(const RawNetbiosName& raw);
// Nothing unless the text is exactly 32 letters from 'A' to 'P'.
std::optional<RawNetbiosName> firstLevelDecode(std::string_view letters);

}  // namespace vt::adapters
