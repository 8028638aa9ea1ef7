#pragma once

// The simulated school network as its tests see it: the twelve machines, their addresses and
// bridge MAC addresses as scripts/simnet gives them, and the script's own commands. The tests
// run inside its admin namespace ("scripts/simnet exec" starts them), where $VTSIM names the
// script and $VTSIM_AUTH the test account's authentication file.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace vt::test {

class SimnetMachines {
public:
    // Nothing outside the simulated network.
    static std::optional<SimnetMachines> fromEnvironment();

    static const std::vector<std::string>& all();
    static const std::vector<std::string>& room(const std::string& prefix);
    // "10.77.0.11" for SALLE1-01.
    static std::string address(const std::string& machine);
    // "02-56-54-00-00-0B" for SALLE1-01, as nbtstat prints it.
    static std::string mac(const std::string& machine);
    // The one machine without NetBIOS (it answers ping only).
    static constexpr const char* kWithoutNetbios = "CDI-04";

    const std::string& authFile() const { return m_auth; }
    // scripts/simnet's answer to "state NAME": "allumée" or "éteinte".
    std::string stateOf(const std::string& machine) const;
    bool switchOff(const std::string& machine) const;
    bool switchOn(const std::string& machine) const;
    // Waits until every machine has the state, at most the limit.
    bool awaitStates(const std::vector<std::string>& machines, const std::string& wanted,
                     std::chrono::seconds limit) const;

private:
    SimnetMachines(std::string script, std::string auth)
        : m_script(std::move(script)), m_auth(std::move(auth)) {}
    int run(const std::vector<std::string>& arguments, std::string* output = nullptr) const;

    std::string m_script;
    std::string m_auth;
};

}  // namespace vt::test
