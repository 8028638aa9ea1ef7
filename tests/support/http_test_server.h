#pragma once

// A small HTTP server on a loopback address for the download tests: it serves given bodies
// by path, can ask for Basic credentials (401 without them or with others) and a User-Agent
// (403 with another), can hold an answer back, and records every request it read. It answers
// one connection at a time on a thread of its own and closes each after its answer.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace vt::test {

class HttpTestServer {
public:
    struct Request {
        std::string method;
        std::string target;  // path and query as sent
        std::string host;    // the Host header
        std::string userAgent;
        std::string authorization;
        int status = 0;  // what the server answered
    };

    // Listens on the dotted address and port; 0 takes a free port.
    explicit HttpTestServer(const std::string& address = "127.0.0.1", std::uint16_t port = 0);
    ~HttpTestServer();
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    bool valid() const { return m_listener >= 0; }
    std::uint16_t port() const { return m_port; }
    // "http://address:port" + path.
    std::string url(const std::string& path) const;

    void requireCredentials(const std::string& user, const std::string& password);
    void requireUserAgent(const std::string& userAgent);
    // 200 with the body for GET of the path; other paths get 404.
    void serve(const std::string& path, const std::string& body);
    // Holds the answers to the path back for that long (or until the server ends).
    void delay(const std::string& path, std::chrono::milliseconds by);
    // Answers GET of the path with these bytes as they stand, head included (a broken reply);
    // when `pace` is not zero, the body goes one byte every `pace` after the head.
    void serveRaw(const std::string& path, const std::string& response,
                  std::chrono::milliseconds pace = std::chrono::milliseconds{0});

    std::vector<Request> requests() const;

private:
    void run();
    void answer(int connection);
    std::string respond(Request& request);

    int m_listener = -1;
    int m_wake[2] = {-1, -1};  // written to end the thread's waits
    std::string m_address;
    std::uint16_t m_port = 0;
    std::thread m_thread;

    mutable std::mutex m_mutex;
    std::optional<std::string> m_expectedAuthorization;
    std::optional<std::string> m_expectedUserAgent;
    std::map<std::string, std::string> m_bodies;
    std::map<std::string, std::chrono::milliseconds> m_delays;
    std::map<std::string, std::pair<std::string, std::chrono::milliseconds>> m_raw;
    std::vector<Request> m_requests;
};

// "Basic " + base64(user:password), as a client sends it.
std::string basicAuthorization(const std::string& user, const std::string& password);

}  // namespace vt::test
