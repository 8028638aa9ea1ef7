#pragma once

// The discovery window's behaviour: the five methods that fill the group files and the address
// lists (CSV, IPR, NET VIEW, DHCP leases, passive detection), the clean-up of "Autres" that
// closes every run, and the two jobs the scheduler asks of it (the ping refresh of the LEDs and
// the leases download). Its window, TNetScan, gathers the choice and shows the texts.

#include <array>
#include <memory>
#include <string>

#include "core/VtlVar.h"
#include "core/http_client.h"
#include "core/services.h"
#include "discovery/background_jobs.h"
#include "discovery/handler_errors.h"
#include "discovery/netbios_method.h"
#include "discovery/ping_refresh.h"
#include "discovery/router_methods.h"

namespace vt::discovery {

inline constexpr const char* kNetScanCaption = "Scan du reseau";
inline constexpr const char* kMethodCaption = "Méthode";
inline constexpr std::array<const char*, 5> kMethodItems = {"CSV", "IPR", "NET VIEW", "DHCP leases",
                                                            "Détection passive"};
enum MethodIndex { kCsvMethod = 0, kIprMethod, kNetViewMethod, kLeasesMethod, kPassiveMethod };

inline constexpr const char* kCsvDoneStatus = "Analyse de l'export OCS terminée";
inline constexpr const char* kCleaningStatus = "Nettoyage....veuillez patienter... ";
inline constexpr const char* kFinishedStatus = "Terminé! vous pouvez cliquez sur \"Fermer\" ";

// The hint of the method choice: one entry per method, each followed by an empty line.
std::string scanHelpText();

// What the window holds when "Lancer l'analyse" is pressed.
struct ScanChoice {
    int method = kCsvMethod;  // -1: none selected
    std::string csvPath;
    std::string routerPassword;
};

class NetScan {
public:
    // `http` fetches the router page, `http2` the leases file; `report` shows the errors met
    // by jobs and downloads (their console line is written here).
    NetScan(VtlVar& state, const Services& services, BackgroundJobs& jobs, HttpClient& http,
            HttpClient& http2, ErrorReport report);

    void setGroupLed(GroupLedSetter setter) { m_pingRefresh.setGroupLed(std::move(setter)); }

    // Runs the chosen method, then the closing sequence (which cleans "Autres"); the IPR and
    // NET VIEW methods end later, when their download or job does. FileError when the CSV
    // file cannot be read (nothing changed, no closing sequence) or a file cannot be written.
    void Button1Click(const ScanChoice& choice);

    // Removes from "Autres" every machine that another group lists.
    void CleanAutres();

    // Called by the main window after a group's list was saved, and by the scheduler.
    void GetMACADDR(const std::string& group) { m_netBios.GetMACADDR(group); }
    void Ping_MAJ() { m_pingRefresh.Ping_MAJ(); }
    void GetDHCPDleases() { m_router.GetDHCPDleases(); }

    NetBiosMethod& netBios() { return m_netBios; }
    RouterMethods& router() { return m_router; }
    PingRefresh& pingRefresh() { return m_pingRefresh; }

private:
    void closingSequence();

    VtlVar& m_state;
    Services m_services;
    NetBiosMethod m_netBios;
    RouterMethods m_router;
    PingRefresh m_pingRefresh;
};

}  // namespace vt::discovery
