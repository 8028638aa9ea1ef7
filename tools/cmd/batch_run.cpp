#include "tools/cmd/batch_run.h"

#include <algorithm>
#include <optional>

namespace vt::cmd {

namespace {

// The files a program's run writes into.
std::vector<std::string> writtenFiles(const platform::RedirectedRun& run) {
    std::vector<std::string> files;
    if (run.standardOutput) {
        files.push_back(run.standardOutput->nativePath);
    }
    if (run.standardError && !run.standardErrorToOutput) {
        files.push_back(run.standardError->nativePath);
    }
    return files;
}

bool sharesAFile(const std::vector<std::string>& written, const std::vector<std::string>& own) {
    return std::any_of(own.begin(), own.end(), [&](const std::string& file) {
        return std::any_of(written.begin(), written.end(),
                           [&](const std::string& other) { return sameNoCase(file, other); });
    });
}

}  // namespace

void runBatch(Interpreter& interpreter, const std::vector<std::string>& lines, std::size_t atOnce) {
    std::vector<Interpreter::ProgramStart> run;
    std::vector<std::string> written;
    const auto finishRun = [&] {
        if (!run.empty()) {
            interpreter.runSideBySide(run, atOnce);
        }
        run.clear();
        written.clear();
    };
    for (const std::string& line : lines) {
        if (isInert(line)) {
            continue;
        }
        std::optional<Interpreter::ProgramStart> start = interpreter.shutdownStart(line);
        if (!start) {
            finishRun();
            interpreter.runLine(line);
            continue;
        }
        std::vector<std::string> own = writtenFiles(start->run);
        if (sharesAFile(written, own)) {
            finishRun();
            // Its files are looked for again: the run before may have made one under another
            // case.
            start = interpreter.shutdownStart(line);
            own = writtenFiles(start->run);
        }
        written.insert(written.end(), own.begin(), own.end());
        run.push_back(std::move(*start));
    }
    finishRun();
}

}  // namespace vt::cmd
