#include "tests/support/private_mariadb.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "tests/support/tcp_listener.h"

namespace vt::test {

namespace fs = std::filesystem;

namespace {

// The programs of the server package, under their current names and their older ones.
struct ServerPrograms {
    std::string installDb;
    std::string server;
    std::string client;
};

std::string findProgram(std::initializer_list<const char*> names) {
    std::vector<std::string> directories{"/usr/sbin", "/usr/bin",        "/sbin",
                                         "/bin",      "/usr/local/sbin", "/usr/local/bin"};
    if (const char* path = std::getenv("PATH")) {
        const std::string text(path);
        std::size_t start = 0;
        while (start <= text.size()) {
            const std::size_t end = std::min(text.find(':', start), text.size());
            directories.push_back(text.substr(start, end - start));
            start = end + 1;
        }
    }
    for (const char* name : names) {
        for (const std::string& directory : directories) {
            const std::string candidate = directory + "/" + name;
            if (!directory.empty() && ::access(candidate.c_str(), X_OK) == 0) {
                return candidate;
            }
        }
    }
    return {};
}

ServerPrograms serverPrograms() {
    return {findProgram({"mariadb-install-db", "mysql_install_db"}),
            findProgram({"mariadbd", "mysqld"}), findProgram({"mariadb", "mysql"})};
}

// Small and unsynchronised: the data lives for one test run, so durability is not wanted,
// only a start of a few seconds.
std::vector<std::string> serverOptions(const std::string& dataDirectory) {
    std::vector<std::string> options{"--no-defaults",
                                     "--datadir=" + dataDirectory,
                                     "--skip-name-resolve",
                                     "--skip-log-bin",
                                     "--innodb-buffer-pool-size=8M",
                                     "--innodb-log-file-size=4M",
                                     "--innodb-flush-log-at-trx-commit=0",
                                     "--innodb-doublewrite=0",
                                     "--innodb-flush-method=nosync"};
    if (::geteuid() == 0) {
        options.push_back("--user=root");
    }
    return options;
}

std::string tailOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    constexpr std::size_t kShown = 2000;
    return text.size() > kShown ? text.substr(text.size() - kShown) : text;
}

}  // namespace

PrivateMariaDb::~PrivateMariaDb() {
    stop();
}

std::optional<std::string> PrivateMariaDb::missingPrograms() {
    const ServerPrograms programs = serverPrograms();
    std::string missing;
    if (programs.installDb.empty()) {
        missing += " mariadb-install-db";
    }
    if (programs.server.empty()) {
        missing += " mariadbd";
    }
    if (programs.client.empty()) {
        missing += " mariadb";
    }
    if (missing.empty()) {
        return std::nullopt;
    }
    return missing.substr(1);
}

std::string PrivateMariaDb::tcpAddress() const {
    return "127.0.0.1:" + std::to_string(m_port);
}

bool PrivateMariaDb::start(std::string& why) {
    stop();
    std::string pattern = (fs::temp_directory_path() / "vantorel-mariadb-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        why = "no temporary folder for the server";
        return false;
    }
    m_root = pattern;
    std::vector<std::string> install{serverPrograms().installDb};
    const std::vector<std::string> options = serverOptions(m_root + "/data");
    install.insert(install.end(), options.begin(), options.end());
    install.insert(install.end(), {"--auth-root-authentication-method=normal", "--skip-test-db"});
    const ProgramResult installed = runProgram(install, std::chrono::seconds(120));
    if (installed.exitCode != 0) {
        why = "mariadb-install-db failed (" + std::to_string(installed.exitCode) +
              "): " + installed.standardOutput + installed.standardError;
        return false;
    }
    // The port was free when it was picked; another process may take it before the server
    // binds it, so a few ports are tried.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (startServer(why)) {
            return true;
        }
    }
    return false;
}

bool PrivateMariaDb::startServer(std::string& why) {
    m_port = unusedLoopbackPort();
    const std::string log = m_root + "/server.log";
    std::vector<std::string> command{serverPrograms().server};
    const std::vector<std::string> options = serverOptions(m_root + "/data");
    command.insert(command.end(), options.begin(), options.end());
    command.insert(command.end(), {"--socket=" + m_root + "/mariadb.sock",
                                   "--port=" + std::to_string(m_port), "--bind-address=127.0.0.1",
                                   "--pid-file=" + m_root + "/mariadb.pid", "--log-error=" + log});
    m_server = std::make_unique<BackgroundProgram>(command, log);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (m_server->running() && std::chrono::steady_clock::now() < deadline) {
        if (fs::exists(m_root + "/mariadb.sock") && sql("SELECT 1").exitCode == 0) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    m_server.reset();
    why = "the server did not start; its log ends with:\n" + tailOf(log);
    return false;
}

void PrivateMariaDb::stop() {
    m_server.reset();
    if (!m_root.empty()) {
        std::error_code ignored;
        fs::remove_all(m_root, ignored);
        m_root.clear();
    }
}

ProgramResult PrivateMariaDb::sql(const std::string& statements) const {
    return runProgram({serverPrograms().client, "--no-defaults", "--protocol=socket",
                       "--socket=" + m_root + "/mariadb.sock", "--user=root",
                       "--default-character-set=utf8mb4", "--batch", "--skip-column-names",
                       "--execute=" + statements});
}

}  // namespace vt::test
