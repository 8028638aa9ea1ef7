#include "tools/adapters/adapter_program.h"

#include <iostream>

#include "platform/text_codec.h"

namespace vt::adapters {

std::vector<std::string> programArguments(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(platform::argumentText(argv[i]));
    }
    return arguments;
}

int reportFailure(std::string_view command, std::string_view message, int exitCode) {
    std::cerr << command << " : " << message << '\n' << std::flush;
    return exitCode;
}

void reportWarning(std::string_view command, std::string_view message) {
    std::cerr << command << " : " << message << '\n' << std::flush;
}

int printOutput(std::string_view bytes, int exitCode) {
    std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "impossible d'écrire la sortie\n";
        return kExitUnavailable;
    }
    return exitCode;
}

}  // namespace vt::adapters
