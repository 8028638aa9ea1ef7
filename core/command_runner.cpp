#include "core/command_runner.h"

#include "core/strings.h"
#include "core/text_file.h"

namespace vt {

bool StartHidden(const Services& services, std::string_view commandLine,
                 const platform::EnvironmentEntries& extraEnvironment) {
    // The system's program-start call would cut a longer line, running some other command.
    if (characterCount(commandLine) > kCommandLineLimit) {
        services.console.appendLine("commande non lancée (plus de 255 caractères) : " +
                                    std::string(commandLine));
        return false;
    }
    // Started commands are judged by what they leave on disk, not by their start.
    services.platform.processes.startHidden(commandLine, extraEnvironment);
    return true;
}

void writeBatchFile(platform::FileSystem& files, std::string_view path,
                    const std::vector<std::string>& lines) {
    saveTextLines(files, path, lines);
}

}  // namespace vt
