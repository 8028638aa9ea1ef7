#pragma once

// "cache.log", the progress log of a run, in the working directory. Every line is on disk as
// soon as it is logged, so the file holds exactly the lines of this run up to the last step
// reached. The first line replaces the previous run's log at once; the others are appended to
// the file kept open, so a run of thousands of steps does not write its whole log again at
// each one.

#include <fstream>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace vt::arpsift {

inline constexpr std::string_view kLogFileName = "cache.log";

class RunLog {
public:
    RunLog(platform::FileSystem& files, std::string path);

    // False when the file cannot be written.
    bool add(std::string_view line);
    const std::string& path() const { return m_path; }

private:
    platform::FileSystem& m_files;
    std::string m_path;
    std::ofstream m_file;
};

}  // namespace vt::arpsift
