#include "tools/arpsift/run_log.h"

#include "platform/redirected_run.h"
#include "platform/text_codec.h"

namespace vt::arpsift {

RunLog::RunLog(platform::FileSystem& files, std::string path)
    : m_files(files), m_path(std::move(path)) {
}

bool RunLog::add(std::string_view line) {
    const std::string bytes = platform::toWindows1252(std::string(line) + "\r\n");
    if (!m_started) {
        m_started = m_files.writeFile(m_path, bytes);
        return m_started;
    }
    return platform::writeRedirected(
        platform::OutputRedirection{m_files.nativePath(m_path), /*append=*/true}, bytes);
}

}  // namespace vt::arpsift
