#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/services.h"

namespace vt {

// The program-start call of the system takes at most 255 characters.
inline constexpr std::size_t kCommandLineLimit = 255;

// Starts a command line as a hidden process and never waits. A line longer than 255
// characters is not started; the console says so. True when a start was attempted. The extra
// variables reach that program alone, through its environment: a secret goes there, never on
// the command line, which every local user sees and the console shows.
bool StartHidden(const Services& services, std::string_view commandLine,
                 const platform::EnvironmentEntries& extraEnvironment = {});

// Writes a batch file whole (Windows-1252, CR LF), replacing any earlier file; FileError
// when it cannot.
void writeBatchFile(platform::FileSystem& files, std::string_view path,
                    const std::vector<std::string>& lines);

}  // namespace vt
