#pragma once

// The "Rapports" menu: the two readable incident reports and the three spreadsheet exports.
// Each action writes its files in the data directory and opens the result in an outside
// program; a file that cannot be written or read throws FileError before anything is opened.

#include <string>
#include <string_view>
#include <vector>

#include "core/VtlVar.h"
#include "core/services.h"

namespace vt::power {

inline constexpr const char* kReportFile = "rapport.txt";
inline constexpr const char* kMachineListFile = "liste.machines";
// The Windows names of the programs that show the files; the platform maps them.
inline constexpr const char* kTextViewer = "notepad.exe";
inline constexpr const char* kSpreadsheet = "scalc.exe";
// Console line, before the file's path, when no program could be started to show a file.
inline constexpr const char* kNothingOpenedMessage =
    "Aucun programme trouvé pour ouvrir le fichier, qui est enregistré ici : ";

inline constexpr const char* kWolReportTitle =
    "Vantorel - Liste des incidents de mise en route à distance des ordinateurs (Wake-on-Lan)";
inline constexpr const char* kShutdownReportTitle =
    "Vantorel - Liste des incidents d'arrêt à distance des ordinateurs (Shutdown)";
inline constexpr std::size_t kWolReportRuleLength = 94;
inline constexpr std::size_t kShutdownReportRuleLength = 83;

// One incident of a log as a sentence of the report.
std::string reportLine(std::string_view incident);
// Title, row of "=", empty line, then one sentence per incident; the log's first line is its
// header and is left out.
std::vector<std::string> wolReportLines(const std::vector<std::string>& log);
std::vector<std::string> shutdownReportLines(const std::vector<std::string>& log);

// Header, then every machine line of every group in GroupList order with its MAC and IP
// address, each field in double quotes, joined by ";". FileError when a group file cannot be
// read.
std::vector<std::string> machineListLines(const VtlVar& state, const platform::FileSystem& files);

// "Incidents WOL" / "Incidents shutdown": write the log to DataDir + its file name, the report
// to DataDir + "rapport.txt", and open the report in the text viewer. Every action says on the
// console where its file is when no program could be started to show it; the reports return
// false then, so that the window shows the report itself.
bool showWolReport(const VtlVar& state, const Services& services);
bool showShutdownReport(const VtlVar& state, const Services& services);

// Opens a written file in the spreadsheet, or in the text viewer when no spreadsheet starts;
// the console says where the file is when neither does.
void openInSpreadsheet(const Services& services, const std::string& path);

// "Incidents WOL -> CSV" / "Incidents shutdown -> CSV" / "Liste machines -> CSV": write the
// file and open it in the spreadsheet, or in the text viewer when no spreadsheet starts.
// The machine list is written only once every group file has been read.
void exportWolIncidents(const VtlVar& state, const Services& services);
void exportShutdownIncidents(const VtlVar& state, const Services& services);
void exportMachineList(VtlVar& state, const Services& services);

}  // namespace vt::power
