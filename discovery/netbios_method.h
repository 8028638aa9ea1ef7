#pragma once

// The NET VIEW method: "net view" lists the machines that the network browser knows, each is
// filed under the groups, "Autres" is cleaned, and every machine of every group without a MAC
// address is asked for it by "nbtstat -a"; the answers go to MacList and "liste.mac". Both
// commands run as numbered background jobs whose poll handlers are here.

#include <memory>
#include <string>

#include "core/VtlVar.h"
#include "core/services.h"
#include "core/utils.h"
#include "discovery/background_jobs.h"
#include "discovery/handler_errors.h"

namespace vt::discovery {

inline constexpr const char* kNetViewStartedStatus = "Lancement de NET VIEW...";
inline constexpr const char* kNetViewDoneMessage = "Analyse de NET VIEW terminée";

class NetBiosMethod {
public:
    NetBiosMethod(VtlVar& state, const Services& services, BackgroundJobs& jobs,
                  ErrorReport report);
    NetBiosMethod(const NetBiosMethod&) = delete;
    NetBiosMethod& operator=(const NetBiosMethod&) = delete;

    // Starts the NET VIEW job, read by ExecReadNetView.
    void ExecLaunchNetView();

    // Poll handlers of the NET VIEW and NBTSTAT jobs, called on every tick of their timers.
    void ExecReadNetView(JobPoll& job);
    // `machine` is the name the job asked for: a job that finds no MAC address names it.
    void ExecReadNBTSTAT(JobPoll& job, const std::string& machine);

    // Starts an NBTSTAT job for every machine of the group's file (bare name) that has no MAC
    // address, then writes what is still pending of MacList into "liste.mac". A machine marked
    // never to be shut down is looked up and asked for under its plain name. Nothing when the file
    // does not exist. FileError when the file cannot be read or the list written.
    void GetMACADDR(const std::string& group);

private:
    // The search of one group without writing the list; false when the file does not exist.
    bool searchMacAddresses(const std::string& group, const GroupLineAddresses& addresses);
    void saveMacList();
    // A poll handler that runs only while this object exists, reporting its file errors.
    PollHandler handler(std::function<void(NetBiosMethod&, JobPoll&)> read);

    VtlVar& m_state;
    Services m_services;
    BackgroundJobs& m_jobs;
    ErrorReport m_report;
    // Jobs may outlive this object; their handlers then only end the job.
    std::shared_ptr<NetBiosMethod*> m_self;
};

}  // namespace vt::discovery
