#pragma once

// A fixture that owns a fresh temporary directory, made the working directory, with drive C
// and the UNC root mapped inside it, the real platform and the recording fakes.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/VtlVar.h"
#include "core/services.h"
#include "platform/native_platform.h"
#include "tests/support/fakes.h"

namespace vt::test {

// Directory of the built program and its tools (build/bin).
std::string binDir();

class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Absolute native path of a name inside the temporary directory.
    std::string path(std::string_view relative) const;
    // The native root of drive "c:\" (ends with "/").
    std::string driveC() const { return m_root + "/drive_c/"; }
    std::string uncRoot() const { return m_root + "/unc/"; }

    // Raw bytes in and out, for exact checks.
    void writeBytes(std::string_view relative, std::string_view bytes) const;
    std::optional<std::string> readBytes(std::string_view relative) const;
    // Lines written in Windows-1252 with CR LF, as the system writes its files.
    void writeLines(std::string_view relative, const std::vector<std::string>& lines) const;
    std::vector<std::string> readLines(std::string_view relative) const;
    bool fileExists(std::string_view relative) const;

    platform::Platform& realPlatform() { return m_native->platform(); }
    // The real platform but with command lines recorded instead of started.
    platform::Platform& recordingPlatform() { return *m_recording; }
    platform::FileSystem& files() { return realPlatform().files; }

    // Services on the recording platform (no process is started).
    Services services() { return Services{*m_recording, console, status, timers, clock}; }
    // Services on the real platform: started commands really run.
    Services realServices() { return Services{realPlatform(), console, status, timers, clock}; }

    VtlVar state;  // DataDir is the temporary directory
    RecordingConsole console;
    RecordingStatus status;
    ManualTimers timers;
    ManualClock clock;
    RecordingProcesses processes;

private:
    std::string m_root;
    std::string m_previousWorkingDirectory;
    std::unique_ptr<platform::NativePlatform> m_native;
    std::unique_ptr<platform::Platform> m_recording;
};

}  // namespace vt::test
