#include <gtest/gtest.h>

#include <array>

#include "energy/consumption_estimate.h"
#include "energy/consumption_history.h"
#include "tests/support/temp_dir_test.h"

namespace vt::energy {
namespace {

using namespace std::chrono;
using Lines = std::vector<std::string>;

// The days of the table: 06/12 (before), 07/12 (the day looked at), 08/12 until noon.
constexpr int kDays = 3;
const local_seconds kNow = local_days(2026y / December / 8) + 12h;

struct DayHours {
    double on;
    double saved;
};

struct TimelineCase {
    const char* name;
    Lines history;
    std::array<DayHours, kDays> days;
    // SALLE1's lines, written in any case; nothing: every group's.
    std::optional<std::string> group = "salle1";
};

class EstimateTest : public ::testing::TestWithParam<TimelineCase> {};

TEST_P(EstimateTest, HoursOnAndSavedOfSalle1) {
    std::vector<Observation> history;
    for (const std::string& line : GetParam().history) {
        const std::optional<Observation> seen = parseHistoryLine(line);
        ASSERT_TRUE(seen) << line;
        history.push_back(*seen);
    }
    const std::vector<DayConsumption> days =
        estimateConsumption(history, GetParam().group, kNow, kDays);
    ASSERT_EQ(days.size(), std::size_t(kDays));
    EXPECT_EQ(days.front().day, local_days(2026y / December / 6));
    for (int i = 0; i < kDays; ++i) {
        EXPECT_NEAR(days[i].hoursOn, GetParam().days[i].on, 1e-9) << "day " << i;
        EXPECT_NEAR(days[i].hoursSaved, GetParam().days[i].saved, 1e-9) << "day " << i;
    }
}

const TimelineCase kTimelines[] = {
    TimelineCase{
        "OnAllDay", {"06/12/2026;20:00:00;SALLE1;PC01;allumé;ping;"}, {{{4, 0}, {24, 0}, {12, 0}}}},
    TimelineCase{"SwitchedOffByTheTimetable",
                 {"07/12/2026;07:45:00;SALLE1;PC01;allumé;allumage;",
                  "07/12/2026;18:00:00;SALLE1;PC01;éteint;arrêt;",
                  "08/12/2026;07:45:00;SALLE1;PC01;allumé;allumage;"},
                 {{{0, 0}, {10.25, 6}, {4.25, 0}}}},
    // Two writers side by side: the later line may come first in the file.
    TimelineCase{"WrittenOutOfOrder",
                 {"07/12/2026;18:00:00;SALLE1;PC01;éteint;arrêt;",
                  "07/12/2026;07:45:00;SALLE1;PC01;allumé;allumage;"},
                 {{{0, 0}, {10.25, 6}, {0, 0}}}},
    TimelineCase{"SwitchedOnAgainInTheEvening",
                 {"07/12/2026;07:45:00;SALLE1;PC01;allumé;allumage;",
                  "07/12/2026;18:00:00;SALLE1;PC01;éteint;arrêt;",
                  "07/12/2026;20:30:00;Salle1;PC01;allumé;état;",
                  "07/12/2026;22:00:00;SALLE1;pc01;éteint;ping;"},
                 {{{0, 0}, {11.75, 2.5}, {0, 0}}}},
    TimelineCase{"ShutDownByHandSavesNothingOfTheTimetable",
                 {"07/12/2026;07:45:00;SALLE1;PC01;allumé;ping;",
                  "07/12/2026;12:00:00;SALLE1;PC01;éteint;arrêt manuel;"},
                 {{{0, 0}, {4.25, 0}, {0, 0}}}},
    // Seen only in another room: nothing of SALLE1's.
    TimelineCase{
        "NeverSeen", {"05/12/2026;00:00:00;SALLE2;PC01;allumé;ping;"}, {{{0, 0}, {0, 0}, {0, 0}}}},
    TimelineCase{"SeenOnceOn",
                 {"07/12/2026;10:00:00;SALLE1;PC01;allumé;contrôle;"},
                 {{{0, 0}, {14, 0}, {12, 0}}}},
    // Shut down before anyone saw it on: it may have been off already.
    TimelineCase{"SeenOnceOffByTheTimetable",
                 {"07/12/2026;18:00:00;SALLE1;PC01;éteint;arrêt;"},
                 {{{0, 0}, {0, 0}, {0, 0}}}},
    TimelineCase{"LeftOnOverTheWindowStart",
                 {"01/11/2026;08:00:00;SALLE1;PC01;allumé;ping;",
                  "08/12/2026;09:30:00;SALLE1;PC01;éteint;arrêt;"},
                 {{{24, 0}, {24, 0}, {9.5, 2.5}}}},
    // PC01 is filed under two rooms: all groups count it once.
    TimelineCase{
        "AllGroups",
        {"07/12/2026;08:00:00;SALLE1;PC01;allumé;ping;",
         "07/12/2026;09:00:00;CDI;PC01;allumé;ping;", "07/12/2026;10:00:00;CDI;PC02;allumé;ping;",
         "07/12/2026;18:00:00;SALLE1;PC01;éteint;arrêt;",
         "07/12/2026;18:00:00;CDI;PC01;éteint;arrêt;", "07/12/2026;20:00:00;CDI;PC02;éteint;ping;"},
        {{{0, 0}, {20, 6}, {0, 0}}},
        std::nullopt}};

INSTANTIATE_TEST_SUITE_P(Timelines, EstimateTest, ::testing::ValuesIn(kTimelines),
                         [](const auto& test) { return std::string(test.param.name); });

using ConsumptionHistoryTest = test::TempDirTest;  // the clock on Monday 07/12

TEST_F(ConsumptionHistoryTest, WritesOnlyChangesAndRemembersThemAcrossARestart) {
    // A line cut by a crash is passed over.
    writeBytes("consommation.csv", "06/12/2026;18:00:00;SALLE1;PC03;allum\xE9;ping;\r\n06/12/20");
    clock.set(7, 45);
    ConsumptionHistory window(state, services());
    window.observe("SALLE1", {{"PC01", true}, {"PC02*", false}, {"PC03", true}, {" ", true}},
                   ObservationSource::Ping);
    window.observe("SALLE1", "PC01", true, ObservationSource::StatusWindow);
    clock.set(18, 0);
    window.observe("SALLE1", "PC01", false, ObservationSource::Shutdown);
    window.observe("salle1", "pc01", false, ObservationSource::Check);

    // A restart, and the service beside the window: what they already know is not written.
    ConsumptionHistory restarted(state, services());
    clock.set(18, 5);
    restarted.observe("SALLE1", {{"PC01", false}, {"PC02", false}}, ObservationSource::Ping);
    restarted.observe("CDI", "PC01", false, ObservationSource::Check);
    window.observe("CDI", "PC01", false, ObservationSource::Ping);
    window.observe("CDI", "PC01", true, ObservationSource::ManualPowerOn);

    EXPECT_EQ(readBytes("consommation.csv"),
              "06/12/2026;18:00:00;SALLE1;PC03;allum\xE9;ping;\r\n06/12/20\r\n"
              "07/12/2026;07:45:00;SALLE1;PC01;allum\xE9;ping;\r\n"
              "07/12/2026;07:45:00;SALLE1;PC02;\xE9teint;ping;\r\n"
              "07/12/2026;18:00:00;SALLE1;PC01;\xE9teint;arr\xEAt;\r\n"
              "07/12/2026;18:05:00;CDI;PC01;\xE9teint;contr\xF4le;\r\n"
              "07/12/2026;18:05:00;CDI;PC01;allum\xE9;allumage manuel;\r\n");
    EXPECT_TRUE(console.lines.empty());
}

}  // namespace
}  // namespace vt::energy
