#include "discovery/netbios_method.h"

#include "core/address_lists.h"
#include "core/names.h"
#include "core/text_file.h"
#include "discovery/clean_autres.h"
#include "discovery/group_filing.h"
#include "discovery/netbios_output.h"
#include "platform/machine_names.h"

namespace vt::discovery {

NetBiosMethod::NetBiosMethod(VtlVar& state, const Services& services, BackgroundJobs& jobs,
                             ErrorReport report)
    : m_state(state),
      m_services(services),
      m_jobs(jobs),
      m_report(std::move(report)),
      m_self(std::make_shared<NetBiosMethod*>(this)) {
}

PollHandler NetBiosMethod::handler(std::function<void(NetBiosMethod&, JobPoll&)> read) {
    const std::weak_ptr<NetBiosMethod*> self = m_self;
    return [self, read](JobPoll& job) {
        const auto owner = self.lock();
        if (!owner) {
            job.finish();
            return;
        }
        NetBiosMethod& method = **owner;
        runReportingErrors(method.m_services.console, method.m_report,
                           [&method, &job, &read] { read(method, job); });
    };
}

void NetBiosMethod::ExecLaunchNetView() {
    m_jobs.ExecLaunchNetView(
        handler([](NetBiosMethod& method, JobPoll& job) { method.ExecReadNetView(job); }));
}

void NetBiosMethod::ExecReadNetView(JobPoll& job) {
    if (job.stillRunning()) {
        return;
    }
    const std::string n = job.numberText();
    m_services.status.setStatus("Lecture des résultats... ==> process " + n);
    m_services.console.appendLine("Lecture des résultats NETVIEW... ==> process " + n);
    const auto output = job.takeOutput();
    if (!output) {
        job.finish();
        return;
    }
    if (!output->empty()) {
        const NetViewListing listing = readNetView(*output);
        for (const std::string& line : listing.headerLines) {
            m_services.status.setStatus(line);
        }
        GroupFiling filing(m_state, m_services, DiscoveryMethod::NetView);
        for (const std::string& name : listing.names) {
            filing.AssignToGroups(name);
        }
        filing.save();
        filing.reportSkippedNames("NET VIEW");
        CleanAutres(m_state, m_services.platform.files, m_services.status);

        m_services.status.setStatus("Recherche des adresses MAC... patientez");
        m_services.console.appendLine("Recherche des adresses MAC...");
        // One index for the whole search; the list changes only when the answers arrive.
        refreshAddressLists(m_state, m_services.platform.files);
        const GroupLineAddresses addresses(m_state);
        bool searched = false;
        const std::vector<std::string> groups = m_state.GroupList;
        for (const std::string& group : groups) {
            m_services.status.setStatus("Adresses MAC de " + group + "... patientez");
            m_services.console.appendLine("Adresses MAC de " + group + "...");
            searched = searchMacAddresses(group, addresses) || searched;
        }
        if (searched) {
            saveMacList();
        }
    }
    m_services.status.setStatus(kNetViewDoneMessage);
    m_services.console.appendLine(kNetViewDoneMessage);
}

void NetBiosMethod::GetMACADDR(const std::string& group) {
    refreshAddressLists(m_state, m_services.platform.files);
    if (searchMacAddresses(group, GroupLineAddresses(m_state))) {
        saveMacList();
    }
}

bool NetBiosMethod::searchMacAddresses(const std::string& group,
                                       const GroupLineAddresses& addresses) {
    platform::FileSystem& files = m_services.platform.files;
    if (!isUsableGroupName(group) || !files.exists(group)) {
        return false;
    }
    for (const std::string& line : LoadGroupMachines(files, group)) {
        if (characterCount(line) <= 1 || !addresses.mac(line).empty()) {
            continue;
        }
        // The mark only says the machine is never shut down: it is asked under its name.
        const std::string machine = StripMark(line);
        if (!machine.empty()) {
            m_jobs.ExecLaunchNBTSTAT(machine,
                                     handler([machine](NetBiosMethod& method, JobPoll& job) {
                                         method.ExecReadNBTSTAT(job, machine);
                                     }));
        }
    }
    return true;
}

void NetBiosMethod::saveMacList() {
    // The program's copy holds nothing the file lacks but lines still waiting for the lock.
    writePendingAddressLines(m_state, m_services.platform.files);
}

void NetBiosMethod::ExecReadNBTSTAT(JobPoll& job, const std::string& machine) {
    if (job.stillRunning()) {
        return;
    }
    const std::string n = job.numberText();
    // The machine keeps its missing address and is asked again by the next search: say so.
    const std::string noAddress =
        "Analyse de NBTSTAT id " + n + " : pas d'adresse MAC trouvée pour " + machine;
    const auto output = job.takeOutput();
    if (!output) {
        m_services.console.appendLine(noAddress + " (nbtstat n'a rien écrit)");
        job.finish();
        return;
    }
    m_services.console.appendLine("Analyse de NBTSTAT id " + n + "commence...");
    const std::optional<NbtstatAnswer> answer = readNbtstat(*output);
    if (!answer) {
        m_services.console.appendLine(noAddress);
        return;
    }
    // The name a machine gives itself becomes a list line only if it can be read back whole.
    if (const std::string refusal = platform::machineNameRefusal(answer->name); !refusal.empty()) {
        m_services.console.appendLine("Analyse de NBTSTAT id " + n + " : nom de machine refusé (" +
                                      refusal + ") : " + platform::shownMachineName(answer->name));
        return;
    }
    refreshAddressLists(m_state, m_services.platform.files);
    if (MacLookup(m_state, answer->name).empty()) {
        addAddressLines(m_state, m_services.platform.files, m_services.console, AddressList::Mac,
                        {answer->name + " " + answer->mac});
    }
    m_services.status.setStatus("Analyse de NBTSTAT terminée pour " + answer->name + " [" +
                                answer->mac + "]");
    m_services.console.appendLine("Analyse de NBTSTAT id " + n + " terminée pour " + answer->name +
                                  " : " + answer->address + " [" + answer->mac + "]");
}

}  // namespace vt::discovery
