#include "discovery/router_methods.h"

#include <algorithm>

#include "core/address_index.h"
#include "core/address_lists.h"
#include "core/names.h"
#include "core/text_file.h"
#include "discovery/clean_autres.h"
#include "discovery/console_batch.h"
#include "discovery/group_filing.h"
#include "discovery/router_page.h"

namespace vt::discovery {

namespace {

constexpr const char* kDefaultRouterUser = "admin";
constexpr const char* kReadingRouterMessage = "Lecture des données d'IPR...";
constexpr const char* kRouterDoneMessage = "Analyse de IPR terminée";

}  // namespace

HttpGet routerRequest(const VtlVar& state, const std::string& password) {
    HttpGet request;
    request.url = state.Prefs.ipr_url.empty() ? kDefaultRouterUrl : state.Prefs.ipr_url;
    request.user = state.Prefs.ipr_login.empty() ? kDefaultRouterUser : state.Prefs.ipr_login;
    request.password = password;
    request.defaultPort = kRouterDefaultPort;
    request.userAgent = kHttpUserAgent;
    request.file = kRouterPageFile;
    return request;
}

HttpGet leasesRequest(const platform::System& system) {
    HttpGet request;
    const std::optional<std::string> url = system.environment(kLeasesUrlVariable);
    request.url = url && !url->empty() ? *url : kDefaultLeasesUrl;
    request.userAgent = kHttpUserAgent;
    request.file = kLeasesFile;
    request.isWhole = isWholeLeasesFile;
    return request;
}

bool isWholeLeasesFile(std::string_view body) {
    // Every lease block of the server's file is closed: a body cut inside one is not.
    return std::count(body.begin(), body.end(), '{') == std::count(body.begin(), body.end(), '}');
}

RouterMethods::RouterMethods(VtlVar& state, const Services& services, HttpClient& http,
                             HttpClient& http2, ErrorReport report)
    : m_state(state),
      m_services(services),
      m_http(http),
      m_http2(http2),
      m_report(std::move(report)),
      m_self(std::make_shared<RouterMethods*>(this)) {
}

void RouterMethods::download(HttpClient& client, const HttpGet& request,
                             void (RouterMethods::*done)(),
                             void (RouterMethods::*failed)(const std::string&)) {
    const std::weak_ptr<RouterMethods*> self = m_self;
    client.get(
        request,
        [self, done] {
            if (const auto owner = self.lock()) {
                ((*owner)->*done)();
            }
        },
        [self, failed](const std::string& error) {
            if (const auto owner = self.lock()) {
                ((*owner)->*failed)(error);
            }
        });
}

void RouterMethods::startRouterRequest(const std::string& password) {
    m_services.status.setStatus(kRouterRequestMessage);
    m_state.IprPassword = password;
    download(m_http, routerRequest(m_state, m_state.IprPassword), &RouterMethods::httpDoneFile,
             &RouterMethods::httpError);
    m_services.console.appendLine(kRouterRequestMessage);
}

void RouterMethods::httpDoneFile() {
    runReportingErrors(m_services.console, m_report, [this] { readRouterPage(); });
}

void RouterMethods::readRouterPage() {
    m_services.status.setStatus(kReadingRouterMessage);
    m_services.console.appendLine(kReadingRouterMessage);
    const std::optional<std::vector<RouterLease>> leases = discovery::readRouterPage(
        loadTextLinesOrEmpty(m_services.platform.files, m_state.DataDir + kRouterPageFile));
    if (!leases) {
        m_services.console.appendLine(kRouterReadFailure);
        return;
    }
    // Indexed once; each lease recorded goes into the index too, so a name the page lists
    // twice is recorded once.
    refreshAddressLists(m_state, m_services.platform.files);
    AddressIndex ips(m_state.IpList);
    AddressIndex macs(m_state.MacList);
    std::vector<std::string> newIps;
    std::vector<std::string> newMacs;
    // A page of many leases shows its first ones in detail, in one piece.
    ConsoleBatch details(m_services.console);
    const Services detailed{m_services.platform, details, m_services.status, m_services.timers,
                            m_services.clock};
    GroupFiling filing(m_state, detailed, DiscoveryMethod::Ipr);
    for (const RouterLease& lease : *leases) {
        // A name no list or group line may hold is counted, and changes nothing.
        if (!filing.takeIn(lease.name)) {
            continue;
        }
        if (!ips.find(lease.name) && !lease.ip.empty()) {
            newIps.push_back(lease.name + " " + lease.ip);
            ips.add(newIps.back());
        }
        if (!macs.find(lease.name) && !lease.mac.empty()) {
            newMacs.push_back(lease.name + " " + lease.mac);
            macs.add(newMacs.back());
        }
        details.appendLine("Enregistrment machine " + lease.name + " IP : " + lease.ip +
                           " MAC : " + lease.mac);
        filing.AssignToGroups(lease.name);
    }
    filing.save();
    details.flush();
    filing.reportSkippedNames("IPR");
    CleanAutres(m_state, m_services.platform.files, m_services.status);
    m_services.status.setStatus(kRouterDoneMessage);
    m_services.console.appendLine(kRouterDoneMessage);
    platform::FileSystem& files = m_services.platform.files;
    addAddressLines(m_state, files, m_services.console, AddressList::Mac, newMacs);
    addAddressLines(m_state, files, m_services.console, AddressList::Ip, newIps);
}

void RouterMethods::httpError(const std::string& error) {
    m_services.console.appendLine("Echec : impossible de lire la page de l'ipr! : " + error);
}

void RouterMethods::GetDHCPDleases() {
    m_services.console.appendLine("Envoi d'une requete vers leases...");
    download(m_http2, leasesRequest(m_services.platform.system), &RouterMethods::http2DoneFile,
             &RouterMethods::http2Error);
}

void RouterMethods::http2DoneFile() {
    m_services.console.appendLine("le fichier dhcpd.leases a été créé.");
}

void RouterMethods::http2Error(const std::string& error) {
    m_services.console.appendLine("Echec : impossible de connecter au serveur leases! : " + error);
}

}  // namespace vt::discovery
