#pragma once

// The logic of the machine status window: one row per machine of a group, whose LED a ping
// job turns green or red, and the window's places.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/services.h"
#include "discovery/background_jobs.h"

namespace vt::status {

// Every machine is pinged again this often while the window is active.
inline constexpr std::chrono::milliseconds kRefreshInterval{50000};

// Rows are 22 pixels apart, the first at 37; the window is 88 pixels higher than its rows.
inline constexpr int kRowPitch = 22;
inline constexpr int kFirstRowTop = 37;
inline constexpr int kWindowExtraHeight = 88;
inline constexpr int kNormalWidth = 219;
inline constexpr int kInventoryWidth = 630;
// Each filling puts the window this far right of and below the main window's corner.
inline constexpr int kRightOfMainWindow = 350;
inline constexpr int kBelowMainWindow = 40;

int rowTop(std::size_t row);
int statusWindowHeight(std::size_t rows);

// The lines of a group file that get a row: every line but the blank ones, which name no
// machine and could only be refused by the ping launcher.
std::vector<std::string> machineRows(const std::vector<std::string>& groupLines);

// What a finished ping job said of its machine: the name as the ping tool wrote it, and
// whether the machine answered (the value "1"; any other value is no answer).
struct PingAnswer {
    std::string name;
    bool answered = false;
    bool operator==(const PingAnswer&) const = default;
};

// Reads a ping job of the window on one of its poll ticks. Nothing while the job runs. A job
// that ended without a result file ("======>vt_echo.exe a échoué sur n <======") or with an
// empty one ("Ne peut pas pinger n") gives nothing either; an answer is said on the console
// (name + " répond au ping" or " ne répond pas au ping"). The job is over once it gave
// anything but "still running".
std::optional<PingAnswer> readPingAnswer(discovery::JobPoll& job, Console& console);

// The first row, from the top, that the answer's name stands for: a row whose plain name
// (StripMark) is the name, or else its first label when the name is a fully qualified one
// (pc07.college.local stands for PC07); case is ignored. A name given as a dotted address
// matches its row whole, since its first label would be a number only.
std::optional<std::size_t> rowOfPingAnswer(const std::vector<std::string>& rows,
                                           std::string_view name);

}  // namespace vt::status
