// vt_service across the first night of the Christmas holidays of zone B, on a clock sixty times
// faster: Friday 18 December 2026 the room is powered on, Saturday's power-on is skipped with
// one line of the service's log, and Saturday's shutdown still runs. Runs inside the admin
// namespace: "scripts/simnet exec" starts it there.

#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "tests/simnet/simnet_test.h"
#include "tests/support/background_program.h"

namespace vt::test {
namespace {

using namespace std::chrono_literals;

class SimnetServiceHolidayTest : public SimnetTest {
protected:
    void TearDown() override {
        if (onSimnet()) {
            for (const std::string& machine : room("SALLE1")) {
                simnet({"on", machine});
            }
        }
        SimnetTest::TearDown();
    }
};

TEST_F(SimnetServiceHolidayTest, NoPowerOnOnTheFirstHolidayButTheShutdownRuns) {
    const Lines salle1 = room("SALLE1");
    Lines macs;
    Lines ips;
    for (const std::string& machine : salle1) {
        macs.push_back(machine + " " + mac(machine));
        ips.push_back(machine + " " + address(machine));
        ASSERT_EQ(simnet({"off", machine}).exitCode, 0);
    }
    writeLines("liste.mac", macs);
    writeLines("liste.ip", ips);
    writeLines("localGM", {"SALLE1"});
    writeLines("SALLE1", salle1);
    writeLines("vtl.ini", {"ip=10.77.0.255", "masque=255.255.255.0", "shutdown_wait=2",
                           "shutdown_comment=Vacances", "esu=false", "zone_vacances=B"});
    writeLines("settings.ini",
               {"SALLE1", "23:52+vendredi,0:03+samedi,-", "0:06+samedi,", "", "NA"});
    const ScopedEnvironment fastClock("VANTOREL_TEST_CLOCK", "2026-12-18T23:50:00,60");
    const ScopedEnvironment driveCRoot("VANTOREL_DRIVE_C", driveC().c_str());
    BackgroundProgram service({binDir() + "/vt_service", "--data", path("")}, path("service.log"));

    // Friday, a school day: the room comes on, but for the machine that ignores Wake-on-LAN.
    EXPECT_TRUE(awaitStates({"SALLE1-01", "SALLE1-03", "SALLE1-04"}, "allumée", 15s));
    // Saturday 0:06, after the skipped 0:03: the shutdown of the holiday still runs.
    EXPECT_TRUE(awaitStates({"SALLE1-01", "SALLE1-04"}, "éteinte", 30s));
    std::this_thread::sleep_for(6s);  // past the check a Saturday power-on would have had
    service.stop();
    std::ifstream log(path("service.log"));
    Lines skipped;
    for (std::string line; std::getline(log, line);) {
        if (line.find("pas d'allumage") != std::string::npos) {
            skipped.push_back(line.substr(line.find(' ', line.find(' ') + 1) + 1));
        }
    }
    show("service.log", skipped);
    EXPECT_EQ(skipped, Lines{"Vacances scolaires (zone B) : pas d'allumage de SALLE1"});
    // One power-on only, Friday's: its check logged the machine that stayed off once.
    EXPECT_EQ(readLines("wol.followup").size(), 2u);
}

}  // namespace
}  // namespace vt::test
