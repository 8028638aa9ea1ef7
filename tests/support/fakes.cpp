#include "tests/support/fakes.h"

#include <limits>

namespace vt::test {

void RecordingConsole::appendLine(std::string_view text) {
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            return;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 2;
    }
}

void ManualClock::set(int hour, int minute, int second, int millisecond) {
    current.hour = hour;
    current.minute = minute;
    current.second = second;
    current.millisecond = millisecond;
}

void ManualClock::setDate(int year, int month, int day) {
    current.year = year;
    current.month = month;
    current.day = day;
    current.isoWeekday = platform::isoWeekdayOf(year, month, day);
}

TimerId ManualTimers::startOneShot(std::chrono::milliseconds delay,
                                   std::function<void()> callback) {
    const TimerId id = m_nextId++;
    m_timers[id] = Entry{delay, m_now + delay, false, std::move(callback)};
    return id;
}

TimerId ManualTimers::startRepeating(std::chrono::milliseconds interval,
                                     std::function<void()> callback) {
    const TimerId id = m_nextId++;
    m_timers[id] = Entry{interval, m_now + interval, true, std::move(callback)};
    return id;
}

void ManualTimers::stop(TimerId id) {
    m_timers.erase(id);
}

std::chrono::milliseconds ManualTimers::intervalOf(TimerId id) const {
    const auto it = m_timers.find(id);
    return it == m_timers.end() ? std::chrono::milliseconds{-1} : it->second.interval;
}

std::vector<TimerId> ManualTimers::activeTimers() const {
    std::vector<TimerId> ids;
    for (const auto& [id, entry] : m_timers) {
        ids.push_back(id);
    }
    return ids;
}

void ManualTimers::advance(std::chrono::milliseconds by) {
    const auto target = m_now + by;
    while (true) {
        // The earliest due timer; among equals, the one started first.
        TimerId next = 0;
        auto nextDue = std::chrono::milliseconds{std::numeric_limits<long long>::max()};
        for (const auto& [id, entry] : m_timers) {
            if (entry.due <= target && entry.due < nextDue) {
                next = id;
                nextDue = entry.due;
            }
        }
        if (next == 0) {
            break;
        }
        m_now = nextDue;
        Entry& entry = m_timers[next];
        std::function<void()> callback = entry.callback;
        if (entry.repeating) {
            entry.due += entry.interval.count() > 0 ? entry.interval : std::chrono::milliseconds{1};
        } else {
            m_timers.erase(next);
        }
        callback();
    }
    m_now = target;
}

bool RecordingProcesses::startHidden(std::string_view commandLine) {
    return startHidden(commandLine, {});
}

bool RecordingProcesses::startHidden(std::string_view commandLine,
                                     const platform::EnvironmentEntries& extraEnvironment) {
    started.emplace_back(commandLine);
    startedEnvironments.push_back(extraEnvironment);
    return startSucceeds;
}

platform::RunOutcome RecordingProcesses::runHidden(std::string_view commandLine, std::string_view,
                                                   std::chrono::milliseconds) {
    const std::lock_guard lock(m_runMutex);
    started.emplace_back(commandLine);
    startedEnvironments.emplace_back();
    return {startSucceeds, startSucceeds, 0};
}

bool RecordingProcesses::openDocument(std::string_view program, std::string_view documentPath) {
    opened.push_back(std::string(program) + "|" + std::string(documentPath));
    return openSucceeds;
}

void RecordingHttpClient::get(const HttpGet& request, std::function<void()> done,
                              std::function<void(const std::string& error)> failed) {
    requests.push_back(request);
    m_running = true;
    m_done = std::move(done);
    m_failed = std::move(failed);
}

void RecordingHttpClient::complete(platform::FileSystem& files, std::string_view body) {
    m_running = false;
    files.writeFile(requests.back().file, body);
    if (m_done) {
        m_done();
    }
}

void RecordingHttpClient::fail(const std::string& error) {
    m_running = false;
    if (m_failed) {
        m_failed(error);
    }
}

}  // namespace vt::test
