#pragma once

// The fakes that every test uses; none is written twice.

#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "core/http_client.h"
#include "core/services.h"

namespace vt::test {

class RecordingConsole : public Console {
public:
    void appendLine(std::string_view text) override;
    std::vector<std::string> lines;
};

class RecordingStatus : public StatusSink {
public:
    void setStatus(std::string_view text) override { texts.emplace_back(text); }
    std::vector<std::string> texts;
};

class ManualClock : public Clock {
public:
    platform::LocalDateTime now() const override { return current; }
    // Sets the time of day (and optionally the date); the weekday follows the date.
    void set(int hour, int minute, int second = 0, int millisecond = 0);
    void setDate(int year, int month, int day);
    platform::LocalDateTime current;
};

// Timers that fire only when the test advances the manual time, in the order they fall due.
class ManualTimers : public Timers {
public:
    TimerId startOneShot(std::chrono::milliseconds delay, std::function<void()> callback) override;
    TimerId startRepeating(std::chrono::milliseconds interval,
                           std::function<void()> callback) override;
    void stop(TimerId id) override;

    // Moves the manual time forward, firing every timer that falls due on the way.
    void advance(std::chrono::milliseconds by);
    std::size_t activeCount() const { return m_timers.size(); }
    bool isActive(TimerId id) const { return m_timers.count(id) != 0; }
    // Interval of an active timer.
    std::chrono::milliseconds intervalOf(TimerId id) const;
    std::vector<TimerId> activeTimers() const;

private:
    struct Entry {
        std::chrono::milliseconds interval;
        std::chrono::milliseconds due;
        bool repeating;
        std::function<void()> callback;
    };
    std::map<TimerId, Entry> m_timers;
    std::chrono::milliseconds m_now{0};
    TimerId m_nextId = 1;
};

// Records command lines instead of starting them, for tests that must not spawn.
class RecordingProcesses : public platform::Processes {
public:
    bool startHidden(std::string_view commandLine) override;
    bool startHidden(std::string_view commandLine,
                     const platform::EnvironmentEntries& extraEnvironment) override;
    platform::RunOutcome runHidden(std::string_view commandLine, std::string_view workingDirectory,
                                   std::chrono::milliseconds timeLimit) override;
    bool openDocument(std::string_view program, std::string_view documentPath) override;

    std::vector<std::string> started;
    // The variables given to each program of `started` alone (none for a waited-for run).
    std::vector<platform::EnvironmentEntries> startedEnvironments;
    std::vector<std::string> opened;  // "program|document"
    bool startSucceeds = true;
    bool openSucceeds = true;

private:
    // The cache tool waits for several commands at once, each from a thread of its own.
    std::mutex m_runMutex;
};

// Records the downloads asked for; the test ends the latest one as it likes. A new request
// replaces the one still running, whose callbacks are then never called.
class RecordingHttpClient : public HttpClient {
public:
    void get(const HttpGet& request, std::function<void()> done,
             std::function<void(const std::string& error)> failed) override;

    bool running() const { return m_running; }
    // Stores the body in the request's file, then reports the completion.
    void complete(platform::FileSystem& files, std::string_view body);
    void fail(const std::string& error);

    std::vector<HttpGet> requests;

private:
    bool m_running = false;
    std::function<void()> m_done;
    std::function<void(const std::string&)> m_failed;
};

}  // namespace vt::test
