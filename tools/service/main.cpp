// vt_service: the timetables of a data folder kept without a window or an open session. It
// runs what the program's minute timer runs (due power actions and their checks, the quiet
// ticks' jobs, the day's reload) whenever it holds the scheduler lock, reads again the files
// the program changes, and ends at once on SIGTERM. It never writes "vtl.ini".

#include <QCoreApplication>

#include <iostream>
#include <string>
#include <vector>

#include "core/file_error.h"
#include "core/preferences.h"
#include "core/start_up.h"
#include "core/test_clock.h"
#include "core/utils.h"
#include "discovery/background_jobs.h"
#include "discovery/ping_refresh.h"
#include "discovery/router_methods.h"
#include "platform/native_platform.h"
#include "power/schedule_store.h"
#include "power/timetable_files.h"
#include "power/timetable_runner.h"
#include "qt/qt_http_client.h"
#include "qt/qt_timers.h"
#include "qt/termination_watch.h"
#include "tools/service/journal_console.h"
#include "tools/service/service_options.h"

namespace {

using namespace vt;

// Loads what the program's start loads; a file that cannot be read costs its console line.
void loadDataFolder(VtlVar& state, const Services& services) {
    WindowGeometry unused;
    for (const std::string& failure :
         loadSharedState(state, services, unused, false, true).failures) {
        services.console.appendLine(failure);
    }
    try {
        LoadGroups(state, services.platform.files, services.console);
        power::LoadTodaySchedule(state, services);
    } catch (const FileError& error) {
        services.console.appendLine(error.what());
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const vt::service::ServiceOptions options =
        vt::service::parseServiceOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (options.help || !options.error.empty()) {
        if (!options.error.empty()) {
            std::cerr << "vt_service : " << options.error << "\n";
        }
        std::cerr << vt::service::kServiceUsage << std::endl;
        return options.help ? 0 : 2;
    }

    const auto native = platform::createNativePlatform();
    platform::Platform& platform = native->platform();
    service::JournalConsole console(std::cerr);
    console.setSystem(&platform.system);
    service::NoStatus status;
    QtTimers timers;
    QtClock clock;
    const ProcessTime time = chooseProcessTime(clock, timers, platform.system, console);
    console.setClock(time.clock);
    const Services services{platform, console, status, *time.timers, *time.clock};

    const std::string folder =
        options.dataDirectory.value_or(platform.system.executableDirectory());
    if (!platform.files.isDirectory(folder) || !platform.system.setWorkingDirectory(folder)) {
        console.appendLine("vt_service : dossier de données introuvable : " + folder);
        return 2;
    }
    VtlVar state;
    state.DataDir = folder;
    loadDataFolder(state, services);
    power::TimetableFiles followed(state, services);
    followed.noteLoaded();

    discovery::BackgroundJobs jobs(state, services);
    // Drive C is shared with the program, which numbers its jobs in the lower half.
    jobs.setNumberRange(discovery::kServiceFirstJobNumber, 0xFFFF);
    discovery::PingRefresh pingRefresh(state, services, jobs);
    QtHttpClient routerPage(platform.files);
    QtHttpClient leasesFile(platform.files);
    // Their console lines say it all: there is no box to show.
    discovery::RouterMethods router(state, services, routerPage, leasesFile, {});

    power::TimetableRunner::Hooks hooks;
    hooks.pingRefresh = [&pingRefresh] { pingRefresh.Ping_MAJ(); };
    hooks.leasesFetch = [&router] { router.GetDHCPDleases(); };
    hooks.beforeTick = [&followed] { followed.reloadChanged(); };
    power::TimetableRunner runner(state, services, jobs, power::kServiceHolderName,
                                  std::move(hooks));

    TerminationWatch watch([&] {
        console.appendLine("Arrêt demandé : fin du service");
        runner.stop();
        QCoreApplication::exit(0);
    });
    if (!watch.watching()) {
        console.appendLine("vt_service : les demandes d'arrêt du système ne peuvent être suivies");
    }
    console.appendLine("vt_service démarré : dossier de données " + state.DataDir + ", " +
                       std::to_string(state.GroupList.size() - 1) + " groupe(s)");
    runner.start();
    const int status_code = QCoreApplication::exec();

    // Addresses learned while the cache tool held the lists are not lost.
    if (const auto failure = savePendingAddressesAtExit(state, platform.files)) {
        console.appendLine(*failure);
    }
    cleanDriveCAtExit(platform.files, discovery::kServiceFirstJobNumber, 0xFFFF);
    return status_code;
}
