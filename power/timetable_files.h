#pragma once

// The files the timetables depend on, followed on disk for a scheduler that runs beside the
// window that edits them (the service): the preferences, the local groups, the schedule and
// the address lists are read again when they changed. The group files need nothing: every
// power command reads its group's file when it runs.

#include <chrono>
#include <map>
#include <optional>
#include <string>

#include "core/VtlVar.h"
#include "core/services.h"

namespace vt::power {

class TimetableFiles {
public:
    TimetableFiles(VtlVar& state, const Services& services);

    // Notes the files as they are now, once the state was loaded from them.
    void noteLoaded();
    // Reads again what changed since, each with a console line. FileError when a file that
    // changed cannot be read.
    void reloadChanged();

private:
    using Stamp = std::optional<std::chrono::system_clock::time_point>;
    Stamp stampOf(const char* file) const;
    bool changed(const char* file);

    VtlVar& m_state;
    Services m_services;
    std::map<std::string, Stamp> m_stamps;
};

}  // namespace vt::power
