#include "tests/simnet/simnet_machines.h"

#include <cstdio>
#include <cstdlib>
#include <thread>

#include "tests/support/program_run.h"

namespace vt::test {

namespace {

constexpr int kFirstOctet = 11;

int indexOf(const std::string& machine) {
    const std::vector<std::string>& machines = SimnetMachines::all();
    for (std::size_t i = 0; i < machines.size(); ++i) {
        if (machines[i] == machine) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace

std::optional<SimnetMachines> SimnetMachines::fromEnvironment() {
    const char* script = std::getenv("VTSIM");
    const char* auth = std::getenv("VTSIM_AUTH");
    if (script == nullptr || auth == nullptr) {
        return std::nullopt;
    }
    return SimnetMachines(script, auth);
}

const std::vector<std::string>& SimnetMachines::all() {
    static const std::vector<std::string> machines = {
        "SALLE1-01", "SALLE1-02", "SALLE1-03", "SALLE1-04", "SALLE2-01", "SALLE2-02",
        "SALLE2-03", "SALLE2-04", "CDI-01",    "CDI-02",    "CDI-03",    "CDI-04"};
    return machines;
}

const std::vector<std::string>& SimnetMachines::room(const std::string& prefix) {
    static const std::vector<std::string> salle1(all().begin(), all().begin() + 4);
    static const std::vector<std::string> salle2(all().begin() + 4, all().begin() + 8);
    static const std::vector<std::string> cdi(all().begin() + 8, all().end());
    return prefix == "SALLE1" ? salle1 : prefix == "SALLE2" ? salle2 : cdi;
}

std::string SimnetMachines::address(const std::string& machine) {
    return "10.77.0." + std::to_string(kFirstOctet + indexOf(machine));
}

std::string SimnetMachines::mac(const std::string& machine) {
    char text[32];
    std::snprintf(text, sizeof text, "02-56-54-00-00-%02X", kFirstOctet + indexOf(machine));
    return text;
}

int SimnetMachines::run(const std::vector<std::string>& arguments, std::string* output) const {
    std::vector<std::string> command{m_script};
    command.insert(command.end(), arguments.begin(), arguments.end());
    const ProgramResult result = runProgram(command);
    if (output != nullptr) {
        *output = result.standardOutput;
        while (!output->empty() && output->back() == '\n') {
            output->pop_back();
        }
    }
    return result.exitCode;
}

std::string SimnetMachines::stateOf(const std::string& machine) const {
    std::string state;
    run({"state", machine}, &state);
    return state;
}

bool SimnetMachines::switchOff(const std::string& machine) const {
    return run({"off", machine}) == 0;
}

bool SimnetMachines::switchOn(const std::string& machine) const {
    return run({"on", machine}) == 0;
}

bool SimnetMachines::awaitStates(const std::vector<std::string>& machines,
                                 const std::string& wanted, std::chrono::seconds limit) const {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        bool all = true;
        for (const std::string& machine : machines) {
            all = all && stateOf(machine) == wanted;
        }
        if (all) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

}  // namespace vt::test
