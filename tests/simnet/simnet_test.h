#pragma once

// What every end-to-end test on the simulated school network shares: it runs inside the
// admin namespace ("scripts/simnet exec" starts it there, naming the script and the test
// account's authentication file) and skips elsewhere; it switches machines with the script
// and reads their states; the data folder holds vt_echo and wolcmd, as the program's does.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/program_run.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_dir_test.h"

namespace vt::test {

class SimnetTest : public TempDirTest {
public:
    using Lines = std::vector<std::string>;

    // The twelve machines in their order, a room's machines ("SALLE1", "SALLE2", "CDI"), and
    // what scripts/simnet gives each: its address ("10.77.0.11" for SALLE1-01) and its bridge
    // MAC address as nbtstat prints it ("02-56-54-00-00-0B").
    static const Lines& machines();
    static Lines room(const std::string& prefix);
    static std::string address(const std::string& machine);
    static std::string mac(const std::string& machine);
    // The one machine without NetBIOS: it answers ping only.
    static constexpr const char* kWithoutNetbios = "CDI-04";

protected:
    // Skips the test outside the simulated network.
    void SetUp() override;

    bool onSimnet() const { return !m_script.empty(); }
    ProgramResult simnet(const Lines& arguments) const;
    // "allumée" or "éteinte".
    std::string stateOf(const std::string& machine) const;
    // Waits until every machine has the state, at most the limit.
    bool awaitStates(const Lines& machines, const std::string& wanted,
                     std::chrono::seconds limit) const;
    // Writes lines for the report, under a title.
    static void show(const std::string& title, const Lines& lines);

private:
    std::string m_script;
    std::optional<ScopedEnvironment> m_auth;
};

}  // namespace vt::test
