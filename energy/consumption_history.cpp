#include "energy/consumption_history.h"

#include <array>
#include <cstdio>

#include "core/file_error.h"
#include "core/strings.h"
#include "core/text_file.h"
#include "core/utils.h"

namespace vt::energy {

using namespace std::chrono;

namespace {

std::string machineKey(std::string_view group, std::string_view machine) {
    return toUpperAscii(group) + "\n" + toUpperAscii(machine);
}

// The next field before ";"; nothing when the line has no more.
std::optional<std::string> nextField(std::string& rest) {
    SplitResult split = splitAtFirst(rest, ";");
    if (!split.found) {
        return std::nullopt;
    }
    rest = std::move(split.after);
    return std::move(split.before);
}

// "dd/mm/yyyy" and "hh:mm:ss", in that fixed form whatever the system's own, since the
// history is read back.
std::optional<local_seconds> parseMoment(const std::string& date, const std::string& time) {
    int day = 0, month = 0, year = 0, hour = 0, minute = 0, second = 0;
    char end = 0;
    if (std::sscanf(date.c_str(), "%2d/%2d/%4d%c", &day, &month, &year, &end) != 3 ||
        std::sscanf(time.c_str(), "%2d:%2d:%2d%c", &hour, &minute, &second, &end) != 3) {
        return std::nullopt;
    }
    const year_month_day ymd{std::chrono::year(year), std::chrono::month(unsigned(month)),
                             std::chrono::day(unsigned(day))};
    if (!ymd.ok() || hour > 23 || minute > 59 || second > 59 || hour < 0 || minute < 0 ||
        second < 0) {
        return std::nullopt;
    }
    return local_days(ymd) + hours(hour) + minutes(minute) + seconds(second);
}

}  // namespace

std::string sourceWord(ObservationSource source) {
    switch (source) {
        case ObservationSource::Ping:
            return "ping";
        case ObservationSource::StatusWindow:
            return "état";
        case ObservationSource::Check:
            return "contrôle";
        case ObservationSource::PowerOn:
            return "allumage";
        case ObservationSource::Shutdown:
            return "arrêt";
        case ObservationSource::ManualPowerOn:
            return "allumage manuel";
        case ObservationSource::ManualShutdown:
            return "arrêt manuel";
    }
    return "?";
}

local_seconds localSecondsOf(const platform::LocalDateTime& when) {
    const year_month_day ymd{std::chrono::year(when.year), std::chrono::month(unsigned(when.month)),
                             std::chrono::day(unsigned(when.day))};
    return local_days(ymd) + hours(when.hour) + minutes(when.minute) + seconds(when.second);
}

std::string historyLine(const Observation& observation) {
    const local_days day = floor<days>(observation.when);
    const year_month_day ymd(day);
    const hh_mm_ss clock(observation.when - day);
    std::array<char, 32> moment{};
    std::snprintf(moment.data(), moment.size(), "%02u/%02u/%04d;%02d:%02d:%02d;",
                  unsigned(ymd.day()), unsigned(ymd.month()), int(ymd.year()),
                  int(clock.hours().count()), int(clock.minutes().count()),
                  int(clock.seconds().count()));
    return moment.data() + observation.group + ";" + observation.machine + ";" +
           (observation.on ? kOnWord : kOffWord) + ";" + observation.source + ";";
}

std::optional<Observation> parseHistoryLine(std::string_view line) {
    std::string rest(line);
    std::array<std::string, 6> fields;
    for (std::string& field : fields) {
        std::optional<std::string> next = nextField(rest);
        if (!next) {
            return std::nullopt;
        }
        field = std::move(*next);
    }
    const std::optional<local_seconds> when = parseMoment(fields[0], fields[1]);
    if (!when || fields[3].empty() || (fields[4] != kOnWord && fields[4] != kOffWord)) {
        return std::nullopt;
    }
    return Observation{*when, fields[2], fields[3], fields[4] == kOnWord, fields[5]};
}

std::vector<Observation> parseHistory(std::string_view text) {
    std::vector<Observation> history;
    for (const std::string& line : splitLines(text)) {
        if (std::optional<Observation> observation = parseHistoryLine(line)) {
            history.push_back(std::move(*observation));
        }
    }
    return history;
}

std::vector<Observation> readHistory(const platform::FileSystem& files, std::string_view path) {
    return parseHistory(fromWindows1252(files.readFile(path).value_or(std::string())));
}

ConsumptionHistory::ConsumptionHistory(const VtlVar& state, const Services& services)
    : m_state(state), m_services(services) {
}

void ConsumptionHistory::learnIfChanged(const std::string& path) {
    const auto stamp = m_services.platform.files.lastWriteTime(path);
    if (path == m_learnedPath && stamp == m_learnedStamp) {
        return;
    }
    m_known.clear();
    const std::string bytes = m_services.platform.files.readFile(path).value_or(std::string());
    for (const Observation& observation : parseHistory(fromWindows1252(bytes))) {
        m_known[machineKey(observation.group, observation.machine)] = observation.on;
    }
    // A line cut short (a crash while writing) is ended before the next one starts.
    m_endsCut = !bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r';
    m_learnedPath = path;
    m_learnedStamp = stamp;
}

void ConsumptionHistory::observe(const std::string& group, const std::string& machine, bool on,
                                 ObservationSource source) {
    observe(group, std::vector<MachineState>{{machine, on}}, source);
}

void ConsumptionHistory::observe(const std::string& group,
                                 const std::vector<MachineState>& machines,
                                 ObservationSource source) {
    const std::string path = m_state.DataDir + kConsumptionFile;
    learnIfChanged(path);
    const local_seconds now = localSecondsOf(m_services.clock.now());
    const std::string plainGroup = trim(group);
    std::vector<std::string> lines;
    for (const auto& [line, on] : machines) {
        const std::string name = StripMark(line);
        if (name.empty()) {
            continue;
        }
        const auto [known, added] = m_known.try_emplace(machineKey(plainGroup, name), on);
        if (!added && known->second == on) {
            continue;
        }
        known->second = on;
        lines.push_back(historyLine({now, plainGroup, name, on, sourceWord(source)}));
    }
    if (lines.empty()) {
        return;
    }
    if (m_endsCut) {
        lines.insert(lines.begin(), std::string());
    }
    try {
        appendTextLines(m_services.platform.files, path, lines);
    } catch (const FileError& error) {
        if (!m_failureSaid) {
            m_services.console.appendLine(error.what());
            m_failureSaid = true;
        }
        // The states kept were not written: they are learned again from the file.
        m_learnedPath.clear();
        return;
    }
    m_endsCut = false;
    m_learnedStamp = m_services.platform.files.lastWriteTime(path);
}

}  // namespace vt::energy
