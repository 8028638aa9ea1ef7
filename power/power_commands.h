#pragma once

// Power-up by Wake-on-LAN and remote shutdown of a group: each writes a batch file of one
// command per machine, starts it hidden and arms a one-shot follow-up timer.

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "core/VtlVar.h"
#include "core/services.h"
#include "power/power_actions.h"

namespace vt::power {

inline constexpr std::chrono::milliseconds kPowerUpFollowUpDelay{300000};
inline constexpr std::chrono::milliseconds kShutdownFollowUpDelay{400000};
inline constexpr const char* kDefaultWolMask = "255.255.255.0";
inline constexpr const char* kDefaultShutdownComment = "bye!";

// The batch files of a group's power commands.
std::string powerUpBatchPath(const VtlVar& state, std::string_view group);
std::string shutdownBatchPath(const VtlVar& state, std::string_view group);

class PowerCommands : public PowerActions {
public:
    // Receives the name of the group whose follow-up is due.
    using FollowUp = std::function<void(const std::string& group)>;

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

    VtlVar& m_state;
    Services m_services;
    FollowUp m_onPowerUpFollowUp;
    FollowUp m_onShutdownFollowUp;
    // Keyed by arming order, so that a timer finds its own entry when it fires.
    std::map<std::uint64_t, TimerId> m_pending;
    std::uint64_t m_nextFollowUp = 0;
};

}  // namespace vt::power
