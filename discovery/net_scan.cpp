#include "discovery/net_scan.h"

#include "discovery/clean_autres.h"
#include "discovery/list_methods.h"

namespace vt::discovery {

std::string scanHelpText() {
    constexpr std::array<const char*, 5> kEntries = {
        "* méthode CSV : fournir un csv au format \"machine ; ip ; mac\"",
        "* méthode IPR : (attention! ne fonctionne pas sur certains ipr!!)",
        "* méthode NETVIEW utilise la fonction Windows: ",
        "* méthode DHCP leases : analyse du fichier dhcpd.leases",
        "* méthode Détection passive : ces machines ont été détectées par analyse des caches "
        "réseau",
    };
    std::string text;
    for (const char* entry : kEntries) {
        text += entry;
        text += "\r\n\r\n";
    }
    return text;
}

NetScan::NetScan(VtlVar& state, const Services& services, BackgroundJobs& jobs, HttpClient& http,
                 HttpClient& http2, ErrorReport report)
    : m_state(state),
      m_services(services),
      m_netBios(state, services, jobs, report),
      m_router(state, services, http, http2, report),
      m_pingRefresh(state, services, jobs) {
}

void NetScan::Button1Click(const ScanChoice& choice) {
    switch (choice.method) {
        case kCsvMethod:
            importCsv(m_state, m_services, choice.csvPath);
            CleanAutres();
            m_services.status.setStatus(kCsvDoneStatus);
            break;
        case kIprMethod:
            m_router.startRouterRequest(choice.routerPassword);
            break;
        case kNetViewMethod:
            m_services.status.setStatus(kNetViewStartedStatus);
            m_netBios.ExecLaunchNetView();
            break;
        case kPassiveMethod:
            if (!passiveAnalysis(m_state, m_services)) {
                return;
            }
            break;
        default:
            // The leases are fetched by the scheduler and read by the cache tool.
            break;
    }
    closingSequence();
}

void NetScan::closingSequence() {
    m_services.status.setStatus(kCleaningStatus);
    CleanAutres();
    m_services.status.setStatus(kFinishedStatus);
}

void NetScan::CleanAutres() {
    discovery::CleanAutres(m_state, m_services.platform.files, m_services.status);
}

}  // namespace vt::discovery
