#pragma once

// A MariaDB server of the test's own: a fresh data directory in a temporary folder, a socket
// there for the administrator and a free loopback TCP port for the programs under test.
// Stopped, and its folder removed, when it goes.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "tests/support/background_program.h"
#include "tests/support/program_run.h"

namespace vt::test {

class PrivateMariaDb {
public:
    PrivateMariaDb() = default;
    PrivateMariaDb(const PrivateMariaDb&) = delete;
    PrivateMariaDb& operator=(const PrivateMariaDb&) = delete;
    ~PrivateMariaDb();

    // Which programs of the server package are missing; nothing when all are there.
    static std::optional<std::string> missingPrograms();

    // Creates the data directory and starts the server; false with the reason otherwise.
    bool start(std::string& why);
    void stop();

    std::uint16_t port() const { return m_port; }
    // "127.0.0.1:port", as the tools take a server.
    std::string tcpAddress() const;

    // Runs the statements as the server's administrator (root, no password, over the socket),
    // UTF-8 text.
    ProgramResult sql(const std::string& statements) const;

private:
    bool startServer(std::string& why);

    std::string m_root;  // the temporary folder, removed by stop()
    std::uint16_t m_port = 0;
    std::unique_ptr<BackgroundProgram> m_server;
};

}  // namespace vt::test
