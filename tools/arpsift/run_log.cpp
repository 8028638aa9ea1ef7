#include "tools/arpsift/run_log.h"

#include "platform/text_codec.h"

namespace vt::arpsift {

RunLog::RunLog(platform::FileSystem& files, std::string path)
    : m_files(files), m_path(std::move(path)) {
}

bool RunLog::add(std::string_view line) {
    const std::string bytes = platform::toWindows1252(std::string(line) + "\r\n");
    if (!m_file.is_open()) {
        if (!m_files.writeFile(m_path, bytes)) {
            return false;
        }
        m_file.open(m_files.nativePath(m_path), std::ios::binary | std::ios::app);
        return m_file.is_open();
    }
    m_file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    m_file.flush();
    return m_file.good();
}

}  // namespace vt::arpsift
