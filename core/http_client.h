#pragma once

// Downloads over HTTP: the router's DHCP page and the DHCP server's leases file. The program
// runs them through Qt Network; the tests through a fake or against a local server.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vt {

struct HttpGet {
    // "http://host[:port]/path"; a URL without a scheme is taken as http.
    std::string url;
    // Basic authentication when the user is not empty.
    std::string user;
    std::string password;
    // The port used when the URL names none.
    std::uint16_t defaultPort = 80;
    std::string userAgent;
    // Where the body is stored (a system path), replaced whole once the body is complete.
    std::string file;
    // When set, false for a body that is no whole document of its kind: some cut transfers
    // (a chunked body whose end never came) reach the client as if they had succeeded.
    std::function<bool(std::string_view body)> isWhole;
};

class HttpClient {
public:
    virtual ~HttpClient() = default;

    // Starts the download and returns at once; later, on the user-interface thread, `done`
    // runs once the body is stored, or `failed` with a French text that says why (nothing is
    // stored then: an earlier file stays as it was). A download of this client that is still
    // running is abandoned, without either of its callbacks: the new one replaces it.
    virtual void get(const HttpGet& request, std::function<void()> done,
                     std::function<void(const std::string& error)> failed) = 0;
};

}  // namespace vt
