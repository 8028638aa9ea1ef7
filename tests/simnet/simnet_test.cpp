#include "tests/simnet/simnet_test.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <thread>

namespace vt::test {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr int kFirstOctet = 11;

long indexOf(const std::string& machine) {
    const SimnetTest::Lines& all = SimnetTest::machines();
    return std::find(all.begin(), all.end(), machine) - all.begin();
}

}  // namespace

const SimnetTest::Lines& SimnetTest::machines() {
    static const Lines all = {"SALLE1-01", "SALLE1-02", "SALLE1-03", "SALLE1-04",
                              "SALLE2-01", "SALLE2-02", "SALLE2-03", "SALLE2-04",
                              "CDI-01",    "CDI-02",    "CDI-03",    "CDI-04"};
    return all;
}

SimnetTest::Lines SimnetTest::room(const std::string& prefix) {
    Lines machinesOfRoom;
    for (const std::string& machine : machines()) {
        if (machine.starts_with(prefix + "-")) {
            machinesOfRoom.push_back(machine);
        }
    }
    return machinesOfRoom;
}

std::string SimnetTest::address(const std::string& machine) {
    return "10.77.0." + std::to_string(kFirstOctet + indexOf(machine));
}

std::string SimnetTest::mac(const std::string& machine) {
    char text[32];
    std::snprintf(text, sizeof text, "02-56-54-00-00-%02lX", kFirstOctet + indexOf(machine));
    return text;
}

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
