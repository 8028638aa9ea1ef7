#pragma once

// Linux text viewers read UTF-8 and refuse, or garble, the Windows-1252 files the system
// writes. The files stay Windows-1252 on disk, as every other reader of them expects; the
// text viewer is shown a UTF-8 copy instead, under the same name, so that its title still
// names the file. The copies live in a folder of the user's own: $XDG_RUNTIME_DIR/vantorel
// when the session has a runtime folder, else /tmp/vantorel-UID.

#include <optional>
#include <string>

#include "platform/posix/posix_file_system.h"

namespace vt::platform::posix {

// The native path of the UTF-8 copy of the native document; nothing when the document cannot
// be read or the copy cannot be written, or when the folder is not this user's alone.
std::optional<std::string> utf8CopyForViewer(PosixFileSystem& files,
                                             const std::string& nativeDocument);

}  // namespace vt::platform::posix
