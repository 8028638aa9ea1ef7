#pragma once

// The two sources that come over HTTP: the IPR router's DHCP page, read with the router's
// administrator account and analysed here (the IPR method), and the DHCP server's leases
// file, only stored beside the cache tool, which reads it.

#include <memory>
#include <string>

#include "core/VtlVar.h"
#include "core/http_client.h"
#include "core/services.h"
#include "discovery/handler_errors.h"

namespace vt::discovery {

inline constexpr const char* kHttpUserAgent = "JEDI-VCL";
inline constexpr const char* kRouterPageFile = "http.txt";
inline constexpr const char* kLeasesFile = "dhcpd.leases";
inline constexpr std::uint16_t kRouterDefaultPort = 4008;
// Host names an administrator points at the router and at the DHCP server (DNS or hosts).
inline constexpr const char* kDefaultRouterUrl = "http://ipr/admin/ipr/cgi-bin/dhcp.cgi";
inline constexpr const char* kDefaultLeasesUrl = "http://dhcp/dhcpd.leases";
// Replaces the leases URL when set.
inline constexpr const char* kLeasesUrlVariable = "VANTOREL_LEASES_URL";
inline constexpr const char* kRouterRequestMessage = "Envoi d'une requete vers ipr...";
inline constexpr const char* kRouterReadFailure = "Echec de lecture IPR!";

// The router request: user "ipr_login" (or "admin"), the typed password, port 4008 unless the
// URL ("ipr_url", or the default) names one.
HttpGet routerRequest(const VtlVar& state, const std::string& password);
// The leases download: no account, the URL's port or 80.
HttpGet leasesRequest(const platform::System& system);
// True when every block the leases file opens is closed: a download cut inside a lease is no
// leases file, and the previous one stays.
bool isWholeLeasesFile(std::string_view body);

class RouterMethods {
public:
    // `http` fetches the router page, `http2` the leases file.
    RouterMethods(VtlVar& state, const Services& services, HttpClient& http, HttpClient& http2,
                  ErrorReport report);
    RouterMethods(const RouterMethods&) = delete;
    RouterMethods& operator=(const RouterMethods&) = delete;

    // Starts the router request with the typed password (kept in IprPassword, never written);
    // a request still running is replaced.
    void startRouterRequest(const std::string& password);
    // The router page is stored: its leases go to IpList, MacList and the groups.
    void httpDoneFile();
    // The router page could not be fetched.
    void httpError(const std::string& error);

    // Starts the download of the leases file.
    void GetDHCPDleases();
    void http2DoneFile();
    void http2Error(const std::string& error);

private:
    void readRouterPage();
    // Starts a download whose ends call back only while this object exists.
    void download(HttpClient& client, const HttpGet& request, void (RouterMethods::*done)(),
                  void (RouterMethods::*failed)(const std::string&));

    VtlVar& m_state;
    Services m_services;
    HttpClient& m_http;
    HttpClient& m_http2;
    ErrorReport m_report;
    // Downloads may end after this object; their callbacks then do nothing.
    std::shared_ptr<RouterMethods*> m_self;
};

}  // namespace vt::discovery
