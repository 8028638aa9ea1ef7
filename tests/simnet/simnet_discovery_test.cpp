// The NET VIEW method on the simulated school network with the real programs: "net view" and
// "nbtstat -a" run under vt_cmd through the adapters vt_net and vt_nbtstat, which speak NetBIOS
// to the machines' nmbd; the MAC addresses they learn then wake a room with wolcmd, and a ping
// refresh with vt_echo lights the rooms' LEDs. Only the poll timers are the test's own. Runs
// inside the admin namespace: "scripts/simnet exec" starts it there.

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>

#include "discovery/net_scan.h"
#include "power/power_commands.h"
#include "tests/simnet/simnet_test.h"
#include "tests/support/await_jobs.h"

namespace vt::discovery {
namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

const std::map<std::string, Lines> kRooms = {
    {"SALLE1", {"SALLE1-01", "SALLE1-02", "SALLE1-03", "SALLE1-04"}},
    {"SALLE2", {"SALLE2-01", "SALLE2-02", "SALLE2-03", "SALLE2-04"}},
    // CDI-04 has no NetBIOS: the network browser does not know it.
    {"CDI", {"CDI-01", "CDI-02", "CDI-03"}},
};

class SimnetDiscoveryTest : public test::SimnetTest {
protected:
    void SetUp() override {
        SimnetTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        state.DataDir = path("");
        state.GroupList = {"SALLE1", "SALLE2", "CDI", "Autres"};
        // The NET VIEW method files only into group files that exist.
        for (const auto& [room, machines] : kRooms) {
            writeLines(room, {});
        }
        writeLines("Autres", {});
        state.WolTargetIp = "10.77.0.255";
        state.Prefs.masque = "255.255.255.0";
        m_services.emplace(realServices());
        jobs = std::make_unique<BackgroundJobs>(state, *m_services);
        scan = std::make_unique<NetScan>(state, *m_services, *jobs, http, http, nullptr);
        scan->setGroupLed([this](std::size_t row, bool answered) {
            leds[state.GroupList[row]] = answered ? "vert" : "rouge";
        });
    }
    void TearDown() override {
        scan.reset();
        jobs.reset();
        if (onSimnet()) {
            for (const auto& [room, machines] : kRooms) {
                for (const std::string& machine : machines) {
                    simnet({"on", machine});
                }
            }
        }
        SimnetTest::TearDown();
    }

    test::RecordingHttpClient http;
    std::unique_ptr<BackgroundJobs> jobs;
    std::unique_ptr<NetScan> scan;
    std::map<std::string, std::string> leds;

private:
    std::optional<Services> m_services;
};

TEST_F(SimnetDiscoveryTest, NetViewFilesTheRoomsLearnsTheirAddressesAndTheyWakeAndLight) {
    scan->Button1Click(ScanChoice{kNetViewMethod, "", ""});
    // The NET VIEW job, then one NBTSTAT job per machine.
    ASSERT_TRUE(test::awaitJobs(*jobs, timers, 60s));
    show("console", console.lines);
    for (const auto& [room, machines] : kRooms) {
        EXPECT_EQ(readLines(room), machines) << room;
    }
    EXPECT_EQ(readLines("Autres"), Lines{});
    Lines macs;
    for (const auto& [room, machines] : kRooms) {
        for (const std::string& machine : machines) {
            macs.push_back(machine + " " + test::SimnetTest::mac(machine));
        }
    }
    Lines learned = readLines("liste.mac");
    show("liste.mac", learned);
    std::sort(learned.begin(), learned.end());
    std::sort(macs.begin(), macs.end());
    EXPECT_EQ(learned, macs);

    // The learned addresses wake a room that was switched off.
    const Lines& salle2 = kRooms.at("SALLE2");
    for (const std::string& machine : salle2) {
        ASSERT_EQ(simnet({"off", machine}).exitCode, 0);
    }
    power::PowerCommands commands(state, realServices());
    commands.PowerUp("SALLE2");
    EXPECT_TRUE(awaitStates(salle2, "allumée", 20s));

    // A room with machines on lights green, a room all off red.
    for (const std::string& machine : kRooms.at("CDI")) {
        ASSERT_EQ(simnet({"off", machine}).exitCode, 0);
    }
    scan->Ping_MAJ();
    ASSERT_TRUE(test::awaitJobs(*jobs, timers, 30s));
    EXPECT_EQ(leds, (std::map<std::string, std::string>{
                        {"SALLE1", "vert"}, {"SALLE2", "vert"}, {"CDI", "rouge"}}));
}

}  // namespace
}  // namespace vt::discovery
