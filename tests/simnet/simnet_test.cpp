#include "tests/simnet/simnet_test.h"

#include <filesystem>
#include <iostream>
#include <thread>

namespace vt::test {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

void SimnetTest::SetUp() {
    TempDirTest::SetUp();
    const char* script = std::getenv("VTSIM");
    const char* auth = std::getenv("VTSIM_AUTH");
    if (script == nullptr || auth == nullptr) {
        GTEST_SKIP() << "hors du réseau simulé : lancer par « scripts/simnet exec »";
    }
    m_script = script;
    m_auth.emplace("VANTOREL_SMB_AUTH", auth);
    for (const char* tool : {"vt_cmd", "vt_echo", "wolcmd", "vt_shutdown"}) {
        ASSERT_TRUE(fs::exists(binDir() + "/" + tool)) << tool << " not built";
    }
    for (const char* tool : {"vt_echo", "wolcmd"}) {
        fs::create_symlink(binDir() + "/" + tool, path(tool));
    }
}

ProgramResult SimnetTest::simnet(const Lines& arguments) const {
    Lines command{m_script};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return runProgram(command);
}

std::string SimnetTest::stateOf(const std::string& machine) const {
    std::string text = simnet({"state", machine}).standardOutput;
    while (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return text;
}

bool SimnetTest::awaitStates(const Lines& machines, const std::string& wanted,
                             std::chrono::seconds limit) const {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        bool all = true;
        for (const std::string& machine : machines) {
            all = all && stateOf(machine) == wanted;
        }
        if (all) {
            return true;
        }
        std::this_thread::sleep_for(100ms);
    }
    return false;
}

void SimnetTest::show(const std::string& title, const Lines& lines) {
    std::cout << "[simnet] " << title << '\n';
    for (const std::string& line : lines) {
        std::cout << "[simnet]   " << line << '\n';
    }
}

}  // namespace vt::test
