#include "tests/support/http_test_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "core/strings.h"
#include "tests/support/bound_socket.h"

namespace vt::test {

namespace {

constexpr std::size_t kHeaderLimit = 64 * 1024;
constexpr int kReadTimeoutMs = 5000;

std::string base64(const std::string& bytes) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned value = static_cast<unsigned char>(bytes[i]) << 16 |
                               static_cast<unsigned char>(bytes[i + 1]) << 8 |
                               static_cast<unsigned char>(bytes[i + 2]);
        for (int shift = 18; shift >= 0; shift -= 6) {
            text += kDigits[(value >> shift) & 0x3F];
        }
    }
    const std::size_t rest = bytes.size() - i;
    if (rest != 0) {
        unsigned value = static_cast<unsigned char>(bytes[i]) << 16;
        if (rest == 2) {
            value |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        }
        text += kDigits[(value >> 18) & 0x3F];
        text += kDigits[(value >> 12) & 0x3F];
        text += rest == 2 ? kDigits[(value >> 6) & 0x3F] : '=';
        text += '=';
    }
    return text;
}

std::string statusLine(int status) {
    switch (status) {
        case 200:
            return "200 OK";
        case 401:
            return "401 Unauthorized";
        case 403:
            return "403 Forbidden";
        case 404:
            return "404 Not Found";
        default:
            return "405 Method Not Allowed";
    }
}

void sendAll(int fd, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return;
        }
        sent += static_cast<std::size_t>(n);
    }
}

// The value of a header of the request head, found without regard to case.
std::string headerValue(const std::vector<std::string>& lines, std::string_view name) {
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const SplitResult field = splitAtFirst(lines[i], ":");
        if (field.found && equalsNoCase(trim(field.before), name)) {
            return trim(field.after);
        }
    }
    return std::string();
}

}  // namespace

std::string basicAuthorization(const std::string& user, const std::string& password) {
    return "Basic " + base64(user + ":" + password);
}

HttpTestServer::HttpTestServer(const std::string& address, std::uint16_t port)
    : m_address(address) {
    m_listener = openBoundSocket(SOCK_STREAM, address, port, m_port);
    if (m_listener < 0 || ::listen(m_listener, 16) != 0 || ::pipe2(m_wake, O_CLOEXEC) != 0) {
        if (m_listener >= 0) {
            ::close(m_listener);
        }
        m_listener = -1;
        return;
    }
    m_thread = std::thread([this] { run(); });
}

HttpTestServer::~HttpTestServer() {
    if (m_thread.joinable()) {
        const char stop = 0;
        [[maybe_unused]] const ssize_t written = ::write(m_wake[1], &stop, 1);
        m_thread.join();
    }
    for (const int fd : {m_listener, m_wake[0], m_wake[1]}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

std::string HttpTestServer::url(const std::string& path) const {
    return "http://" + m_address + ":" + std::to_string(m_port) + path;
}

void HttpTestServer::requireCredentials(const std::string& user, const std::string& password) {
    const std::lock_guard lock(m_mutex);
    m_expectedAuthorization = basicAuthorization(user, password);
}

void HttpTestServer::requireUserAgent(const std::string& userAgent) {
    const std::lock_guard lock(m_mutex);
    m_expectedUserAgent = userAgent;
}

void HttpTestServer::serve(const std::string& path, const std::string& body) {
    const std::lock_guard lock(m_mutex);
    m_bodies[path] = body;
}

void HttpTestServer::delay(const std::string& path, std::chrono::milliseconds by) {
    const std::lock_guard lock(m_mutex);
    m_delays[path] = by;
}

void HttpTestServer::serveRaw(const std::string& path, const std::string& response,
                              std::chrono::milliseconds pace) {
    const std::lock_guard lock(m_mutex);
    m_raw[path] = {response, pace};
}

std::vector<HttpTestServer::Request> HttpTestServer::requests() const {
    const std::lock_guard lock(m_mutex);
    return m_requests;
}

void HttpTestServer::run() {
    while (true) {
        pollfd waits[2] = {{m_listener, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(waits, 2, -1) < 0 && errno != EINTR) {
            return;
        }
        if (waits[1].revents != 0) {
            return;
        }
        if (waits[0].revents != 0) {
            const int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection >= 0) {
                answer(connection);
                ::close(connection);
            }
        }
    }
}

void HttpTestServer::answer(int connection) {
    std::string head;
    char chunk[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < kHeaderLimit) {
        pollfd wait{connection, POLLIN, 0};
        if (::poll(&wait, 1, kReadTimeoutMs) <= 0) {
            return;
        }
        const ssize_t n = ::recv(connection, chunk, sizeof chunk, 0);
        if (n <= 0) {
            return;
        }
        head.append(chunk, static_cast<std::size_t>(n));
    }
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = head.find("\r\n", start)) != std::string::npos && end != start;
         start = end + 2) {
        lines.push_back(head.substr(start, end - start));
    }
    if (lines.empty()) {
        return;
    }
    Request request;
    const SplitResult method = splitAtFirst(lines.front(), " ");
    request.method = method.before;
    request.target = splitAtFirst(method.after, " ").before;
    request.host = headerValue(lines, "Host");
    request.userAgent = headerValue(lines, "User-Agent");
    request.authorization = headerValue(lines, "Authorization");
    std::string response = respond(request);

    std::chrono::milliseconds held{0};
    std::chrono::milliseconds pace{0};
    {
        const std::lock_guard lock(m_mutex);
        if (const auto it = m_delays.find(request.target); it != m_delays.end()) {
            held = it->second;
        }
        if (const auto it = m_raw.find(request.target); it != m_raw.end()) {
            response = it->second.first;
            pace = it->second.second;
        }
        m_requests.push_back(request);
    }
    if (pace.count() > 0) {
        const std::size_t bodyStart = response.find("\r\n\r\n") + 4;
        sendAll(connection, response.substr(0, bodyStart));
        for (const char byte : response.substr(bodyStart)) {
            pollfd wait{m_wake[0], POLLIN, 0};
            if (::poll(&wait, 1, static_cast<int>(pace.count())) != 0 ||
                ::send(connection, &byte, 1, MSG_NOSIGNAL) != 1) {
                return;
            }
        }
        ::shutdown(connection, SHUT_WR);
        return;
    }
    if (held.count() > 0) {
        // The server's end cuts the wait short.
        pollfd wait{m_wake[0], POLLIN, 0};
        if (::poll(&wait, 1, static_cast<int>(held.count())) != 0) {
            return;
        }
    }
    sendAll(connection, response);
    ::shutdown(connection, SHUT_WR);
}

std::string HttpTestServer::respond(Request& request) {
    const std::lock_guard lock(m_mutex);
    std::string body;
    std::string extra;
    if (request.method != "GET") {
        request.status = 405;
    } else if (m_expectedAuthorization && request.authorization != *m_expectedAuthorization) {
        request.status = 401;
        extra = "WWW-Authenticate: Basic realm=\"IPR\"\r\n";
    } else if (m_expectedUserAgent && request.userAgent != *m_expectedUserAgent) {
        request.status = 403;
    } else if (const auto it = m_bodies.find(request.target); it != m_bodies.end()) {
        request.status = 200;
        body = it->second;
    } else {
        request.status = 404;
    }
    return "HTTP/1.1 " + statusLine(request.status) + "\r\nContent-Type: text/html\r\n" + extra +
           "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" +
           body;
}

}  // namespace vt::test
