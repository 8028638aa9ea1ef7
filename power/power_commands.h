#pragma once

// Power-up by Wake-on-LAN and remote shutdown of a group: each writes a batch file of one
// command per machine, starts it hidden and arms a one-shot follow-up timer.
//
// A group has one check at a time: a newer command for the group (the next repeat of a due
// time, or a command the other way) takes the place of the check that has not started yet,
// and a check whose pings are still out when a newer command comes logs nothing. So a due
// time repeated on three ticks is checked once, after its last repeat, and a room switched
// the other way meanwhile is never logged for the first command.

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "core/VtlVar.h"
#include "core/services.h"
#include "power/power_actions.h"

namespace vt::power {

inline constexpr std::chrono::milliseconds kPowerUpFollowUpDelay{300000};
inline constexpr std::chrono::milliseconds kShutdownFollowUpDelay{400000};
inline constexpr const char* kDefaultWolMask = "255.255.255.0";
inline constexpr const char* kDefaultShutdownComment = "bye!";
// Where the shutdown tool writes one result line per machine, in the program's folder (the
// shutdown batch runs there): "date;time;machine;result;".
inline constexpr const char* kShutdownResultLog = "shutdown.log";

// The batch files of a group's power commands.
std::string powerUpBatchPath(const VtlVar& state, std::string_view group);
std::string shutdownBatchPath(const VtlVar& state, std::string_view group);

// What a follow-up is to check beyond its group.
struct FollowUpScope {
    // True once a newer command was given to the group: the check's results are out of date.
    std::function<bool()> superseded;
    // Where this command window's results begin in "shutdown.log" (byte offset).
    std::size_t shutdownLogStart = 0;
};

class PowerCommands : public PowerActions {
public:
    // Receives the name of the group whose follow-up is due.
    using FollowUp = std::function<void(const std::string& group, const FollowUpScope& scope)>;

    PowerCommands(VtlVar& state, const Services& services);
    // Stops the follow-up timers that have not fired yet: their callbacks refer to this object.
    ~PowerCommands() override;
    PowerCommands(const PowerCommands&) = delete;
    PowerCommands& operator=(const PowerCommands&) = delete;

    // Writes DataDir + "powerup" + group + ".bat" (a "cd" line, one "wolcmd" line per machine
    // with a MAC address), starts it and arms the 300000 ms follow-up. Machines without a MAC
    // address get a console line and a power-up incident. FileError when the group's file
    // (bare name) cannot be read, before anything is written; or when the batch cannot be.
    void PowerUp(const std::string& group) override;
    // Writes DataDir + "shutdn" + group + ".bat" (one "shutdown" line per machine), starts it
    // and arms the 400000 ms follow-up. FileError as for PowerUp.
    void Shutdown(const std::string& group) override;

    // What the end of a follow-up timer does; unset, it does nothing.
    void setPowerUpFollowUp(FollowUp followUp) { m_onPowerUpFollowUp = std::move(followUp); }
    void setShutdownFollowUp(FollowUp followUp) { m_onShutdownFollowUp = std::move(followUp); }

    // Follow-up timers armed and not yet fired.
    std::size_t pendingFollowUps() const { return m_pending.size(); }

private:
    void addWolIncident(const std::string& machine, const char* cause);
    void runBatch(const std::string& path, const std::vector<std::string>& lines);
    void armFollowUp(std::chrono::milliseconds delay, const std::string& group, bool powerUp);
    bool shutdownCheckPending(const std::string& group) const;

    VtlVar& m_state;
    Services m_services;
    FollowUp m_onPowerUpFollowUp;
    FollowUp m_onShutdownFollowUp;
    struct PendingFollowUp {
        TimerId timer;
        std::string group;
        bool powerUp = false;
    };
    // Keyed by arming order, so that a timer finds its own entry when it fires.
    std::map<std::uint64_t, PendingFollowUp> m_pending;
    std::uint64_t m_nextFollowUp = 0;
    // The number of the latest command of each group (upper case), shared with the checks,
    // which may outlive this object.
    std::shared_ptr<std::map<std::string, std::uint64_t>> m_latestCommand;
    // Where the current shutdown window of each group began in "shutdown.log".
    std::map<std::string, std::size_t> m_shutdownLogStart;
};

}  // namespace vt::power
