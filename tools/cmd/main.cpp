// vt_cmd: the command interpreter that stands in for the Windows one. "vt_cmd FILE.bat" runs
// the lines of a batch file in order (consecutive shutdown lines side by side: batch_run.h),
// "vt_cmd -c LINE" runs one line. A line that fails is reported on the standard error and the
// next one runs all the same.

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "platform/native_platform.h"
#include "platform/text_codec.h"
#include "tools/cmd/batch_line.h"
#include "tools/cmd/batch_run.h"
#include "tools/cmd/interpreter.h"

namespace {

constexpr std::string_view kUsage = "usage : vt_cmd FICHIER.bat | vt_cmd -c LIGNE";

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty()) {
        std::cerr << kUsage << '\n';
        return 1;
    }
    const auto native = vt::platform::createNativePlatform();
    vt::platform::Platform& platform = native->platform();
    int depth = 0;
    if (const auto inherited = platform.system.environment(vt::cmd::kDepthVariable)) {
        // Anything but a small count is treated as the limit itself.
        depth = inherited->size() <= 2 && !inherited->empty() &&
                        inherited->find_first_not_of("0123456789") == std::string::npos
                    ? std::stoi(*inherited)
                    : vt::cmd::kMaximumDepth;
    }
    if (depth >= vt::cmd::kMaximumDepth) {
        std::cerr << "vt_cmd : trop d'interpréteurs imbriqués\n";
        return 1;
    }
    vt::cmd::Interpreter interpreter(platform, platform.system.executableDirectory(), depth);

    if (vt::cmd::sameNoCase(arguments[0], "-c") || vt::cmd::sameNoCase(arguments[0], "/c")) {
        std::string line;
        for (std::size_t i = 1; i < arguments.size(); ++i) {
            line += (i > 1 ? " " : "") + arguments[i];
        }
        interpreter.runLine(line);
        return 0;
    }

    // The system writes its batch files in Windows-1252; the arguments of the programs they
    // start are UTF-8 here.
    const std::optional<std::string> bytes = platform.files.readFile(arguments[0]);
    if (!bytes) {
        std::cerr << "vt_cmd : impossible d'ouvrir le fichier " << arguments[0] << '\n';
        return 1;
    }
    vt::cmd::runBatch(interpreter, vt::platform::splitLines(vt::platform::fromWindows1252(*bytes)));
    return 0;
}
