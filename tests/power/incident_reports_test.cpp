#include "power/incident_reports.h"

#include <gtest/gtest.h>

#include "core/file_error.h"
#include "core/incident_logs.h"
#include "core/strings.h"
#include "core/text_file.h"
#include "tests/support/temp_dir_test.h"

namespace vt::power {
namespace {

using test::TempDirTest;
using Lines = std::vector<std::string>;

const std::string kIncident =
    "06/12/2026;07:35:20;PC12;ne s'est pas mis en marche;raison inconnue;";
const std::string kReportOfIncident =
    "le 06/12/2026 à 07:35:20 l'ordinateur PC12 ne s'est pas mis en marche.  Cause : raison "
    "inconnue;";

TEST(ReportLine, IsOneSentenceWithTwoBlanksBeforeTheCause) {
    EXPECT_EQ(reportLine(kIncident), kReportOfIncident);
    EXPECT_EQ(reportLine("07/12/2026;18:02:11;PC07;ne s'est pas arrêté;raison inconnue;"),
              "le 07/12/2026 à 18:02:11 l'ordinateur PC07 ne s'est pas arrêté.  Cause : raison "
              "inconnue;");
}

TEST(ReportLine, DamagedLinesGiveEmptyFieldsAndKeepTheirText) {
    EXPECT_EQ(reportLine("06/12/2026;07:35:20;PC12"),
              "le 06/12/2026 à 07:35:20 l'ordinateur  .  Cause : PC12");
    EXPECT_EQ(reportLine(""), "le  à  l'ordinateur  .  Cause : ");
    EXPECT_EQ(reportLine(";;;;"), "le  à  l'ordinateur  .  Cause : ");
    // Everything after the fourth ";" is the cause, further separators included.
    EXPECT_EQ(reportLine("d;t;m;e;c1;c2;"), "le d à t l'ordinateur m e.  Cause : c1;c2;");
}

TEST(ReportLine, TextsAfterASeparatorKeepAtMost255Characters) {
    std::string cause;
    for (int i = 0; i < 400; ++i) {
        cause += "é";
    }
    const std::string line = reportLine("d;t;m;e;" + cause + ";");
    // The text after the date, "t;m;e;" and the cause, was cut first: 249 characters of
    // the cause are left, and none of them cut in half.
    const std::string expectedCause = leftCharacters(cause, 249);
    EXPECT_EQ(line, "le d à t l'ordinateur m e.  Cause : " + expectedCause);
}

TEST(ReportLines, TitleRuleAndEmptyLineThenOneSentencePerIncident) {
    const Lines wol = wolReportLines({kWolLogHeader, kIncident, kIncident});
    ASSERT_EQ(wol.size(), 5u);
    EXPECT_EQ(wol[0],
              "Vantorel - Liste des incidents de mise en route à distance des ordinateurs "
              "(Wake-on-Lan)");
    EXPECT_EQ(wol[1], std::string(94, '='));
    EXPECT_EQ(wol[2], "");
    EXPECT_EQ(wol[3], kReportOfIncident);
    EXPECT_EQ(wol[4], kReportOfIncident);

    const Lines shutdown = shutdownReportLines({kShutdownLogHeader});
    EXPECT_EQ(shutdown, (Lines{"Vantorel - Liste des incidents d'arrêt à distance des "
                               "ordinateurs (Shutdown)",
                               std::string(83, '='), ""}));
    EXPECT_EQ(wolReportLines({}).size(), 3u);
}

// Opening succeeds or fails per program, as on a desk without a spreadsheet.
class ChoosyProcesses : public test::RecordingProcesses {
public:
    bool openDocument(std::string_view program, std::string_view documentPath) override {
        RecordingProcesses::openDocument(program, documentPath);
        return program != refused && !refuseAll;
    }
    std::string refused = "scalc.exe";
    bool refuseAll = false;
};

class IncidentReportsTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        state.WolIncidents = {kWolLogHeader, kIncident};
        state.ShutdownIncidents = {kShutdownLogHeader};
        state.WolTargetIp = "10.0.0.255";
    }
    Services choosyServices() {
        m_platform = std::make_unique<platform::Platform>(
            platform::Platform{files(), choosy, realPlatform().network, realPlatform().system});
        return Services{*m_platform, console, status, timers, clock};
    }
    std::string dataPath(const char* name) const { return state.DataDir + name; }

    ChoosyProcesses choosy;
    std::unique_ptr<platform::Platform> m_platform;
};

TEST_F(IncidentReportsTest, WolReportWritesTheLogAndTheReportThenOpensTheReport) {
    EXPECT_TRUE(showWolReport(state, services()));
    EXPECT_EQ(readBytes("wol.followup"),
              toWindows1252(std::string(kWolLogHeader) + "\r\n" + kIncident + "\r\n"));
    const auto report = readBytes("rapport.txt");
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(*report, toWindows1252(std::string(kWolReportTitle) + "\r\n" + std::string(94, '=') +
                                     "\r\n\r\n" + kReportOfIncident + "\r\n"));
    EXPECT_NE(report->find("en route \xE0 distance"), std::string::npos);  // Windows-1252
    EXPECT_EQ(processes.opened, Lines{"notepad.exe|" + dataPath("rapport.txt")});
}

TEST_F(IncidentReportsTest, SecondReportReplacesTheFirst) {
    showWolReport(state, services());
    showShutdownReport(state, services());
    EXPECT_EQ(readLines("rapport.txt"), shutdownReportLines(state.ShutdownIncidents));
    EXPECT_EQ(readLines("rapport.txt").size(), 3u);
    EXPECT_EQ(readLines("shutdown.followup"), Lines{kShutdownLogHeader});
    EXPECT_EQ(processes.opened.size(), 2u);
}

TEST_F(IncidentReportsTest, ReportIsWrittenEvenWhenNoViewerStarts) {
    processes.openSucceeds = false;
    EXPECT_FALSE(showWolReport(state, services()));
    EXPECT_EQ(readLines("rapport.txt").size(), 4u);
    EXPECT_EQ(processes.opened.size(), 1u);
}

TEST_F(IncidentReportsTest, UnwritableReportThrowsAndNothingIsOpened) {
    writeLines("rapport.txt", {"earlier"});
    files().setReadOnly(dataPath("rapport.txt"), true);
    EXPECT_THROW(showWolReport(state, services()), FileError);
    EXPECT_EQ(readLines("rapport.txt"), Lines{"earlier"});
    EXPECT_TRUE(processes.opened.empty());
}

// The service appends what its checks find while the program runs: the reports and exports
// show the files, never the program's older copy, and leave them as they are.
TEST_F(IncidentReportsTest, ReportsShowWhatAnotherProcessAppended) {
    const std::string appended = "07/12/2026;07:40:00;PC9;ne s'est pas arrêté;accès refusé;";
    writeLines("shutdown.followup", {kShutdownLogHeader, appended});
    files().setReadOnly(dataPath("shutdown.followup"), true);
    EXPECT_TRUE(showShutdownReport(state, services()));
    EXPECT_EQ(readLines("rapport.txt").back(), reportLine(appended));
    exportShutdownIncidents(state, services());
    EXPECT_EQ(readLines("shutdown.followup"), (Lines{kShutdownLogHeader, appended}));
    EXPECT_EQ(processes.opened.back(), "scalc.exe|" + dataPath("shutdown.followup"));
}

TEST_F(IncidentReportsTest, IncidentExportsWriteTheLogAndOpenItInTheSpreadsheet) {
    exportWolIncidents(state, services());
    exportShutdownIncidents(state, services());
    EXPECT_EQ(readLines("wol.followup"), state.WolIncidents);
    EXPECT_EQ(readBytes("shutdown.followup"),
              toWindows1252(std::string(kShutdownLogHeader)) + "\r\n");
    EXPECT_EQ(processes.opened, (Lines{"scalc.exe|" + dataPath("wol.followup"),
                                       "scalc.exe|" + dataPath("shutdown.followup")}));
}

TEST_F(IncidentReportsTest, ExportsFallBackToTheTextViewerWithoutSpreadsheet) {
    const Services services = choosyServices();
    writeLines("SALLE1", {"PC1"});
    state.GroupList = {"SALLE1"};
    exportWolIncidents(state, services);
    exportMachineList(state, services);
    EXPECT_EQ(choosy.opened, (Lines{"scalc.exe|" + dataPath("wol.followup"),
                                    "notepad.exe|" + dataPath("wol.followup"),
                                    "scalc.exe|" + dataPath("liste.machines"),
                                    "notepad.exe|" + dataPath("liste.machines")}));

    EXPECT_TRUE(console.lines.empty());

    // Nothing starts at all: the file is there all the same, and the console says where.
    choosy.refuseAll = true;
    choosy.opened.clear();
    EXPECT_NO_THROW(exportShutdownIncidents(state, services));
    EXPECT_EQ(choosy.opened.size(), 2u);
    EXPECT_TRUE(fileExists("shutdown.followup"));
    EXPECT_NO_THROW(showWolReport(state, services));
    EXPECT_EQ(console.lines,
              (Lines{"Aucun programme trouvé pour ouvrir le fichier, qui est enregistré ici : " +
                         dataPath("shutdown.followup"),
                     "Aucun programme trouvé pour ouvrir le fichier, qui est enregistré ici : " +
                         dataPath("rapport.txt")}));
}

TEST_F(IncidentReportsTest, MachineListHasEveryGroupsMachinesWithTheirAddresses) {
    state.GroupList = {"SALLE1", "SALLE2", "Autres"};
    writeLines("SALLE1", {"PC01", "PC07*", "", "PC12"});
    writeLines("SALLE2", {"PC12", "PCÉ"});
    writeLines("Autres", {});
    state.MacList = {"PC01 00-11-22-33-44-55", "PC07 00-11-22-33-44-77", "pc12 00-11-22-33-44-12"};
    state.IpList = {"PC01 10.0.0.1", "PC07 10.0.0.7"};

    exportMachineList(state, services());

    EXPECT_EQ(
        readLines("liste.machines"),
        (Lines{"\"  Machine  \";\"     Adresse MAC     \";\"     Adresse IP    \"",
               "\"PC01\";\"00-11-22-33-44-55\";\"10.0.0.1\"",
               "\"PC07*\";\"00-11-22-33-44-77\";\"10.0.0.7\"", "\"\";\"\";\"10.0.0.255\"",
               "\"PC12\";\"00-11-22-33-44-12\";\"10.0.0.255\"",
               "\"PC12\";\"00-11-22-33-44-12\";\"10.0.0.255\"", "\"PCÉ\";\"\";\"10.0.0.255\""}));
    EXPECT_EQ(processes.opened, Lines{"scalc.exe|" + dataPath("liste.machines")});
}

TEST_F(IncidentReportsTest, MachineListOfMachinesWithoutAddresses) {
    state.GroupList = {"Autres"};
    writeLines("Autres", {"PC1", "PC\"2"});
    const Lines lines = machineListLines(state, files());
    EXPECT_EQ(lines, (Lines{lines.front(), "\"PC1\";\"\";\"10.0.0.255\"",
                            "\"PC\"\"2\";\"\";\"10.0.0.255\""}));
}

TEST_F(IncidentReportsTest, UnreadableGroupFileStopsTheMachineExport) {
    state.GroupList = {"SALLE1", "ABSENT", "Autres"};
    writeLines("SALLE1", {"PC01"});
    writeLines("Autres", {});
    writeLines("liste.machines", {"earlier"});
    EXPECT_THROW(exportMachineList(state, services()), FileError);
    EXPECT_EQ(readLines("liste.machines"), Lines{"earlier"});
    EXPECT_TRUE(processes.opened.empty());

    state.GroupList = {"..\\SALLE1"};
    EXPECT_THROW(exportMachineList(state, services()), FileError);
}

}  // namespace
}  // namespace vt::power
