#include "tests/support/netbios_test_network.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

namespace vt::test {

namespace {

namespace fs = std::filesystem;

constexpr const char* kPrefix = "vtnb-";
constexpr const char* kNamespaceDirectory = "/run/netns";
constexpr std::chrono::seconds kReadyWait{10};

std::string ipProgram() {
    for (const char* candidate : {"/usr/sbin/ip", "/sbin/ip", "/usr/bin/ip", "/bin/ip"}) {
        if (::access(candidate, X_OK) == 0) {
            return candidate;
        }
    }
    return {};
}

std::string responderProgram() {
    return std::string(VT_TEST_BIN_DIR) + "/vt_netbios_responder";
}

std::string clientEtcDirectory(const std::string& name) {
    return "/etc/netns/" + name;
}

std::string describe(const ProgramResult& result) {
    return "code " + std::to_string(result.exitCode) + ": " + result.standardError;
}

// Namespaces "vtnb-PID-..." whose process is gone: a test run that crashed left them.
void removeLeftoverNamespaces(const std::string& ip) {
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(kNamespaceDirectory, ignored)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(kPrefix, 0) != 0) {
            continue;
        }
        const pid_t owner = static_cast<pid_t>(std::atoi(name.c_str() + std::strlen(kPrefix)));
        if (owner <= 0 || ::kill(owner, 0) == 0 || errno != ESRCH) {
            continue;
        }
        runProgram({ip, "netns", "del", name});
        fs::remove_all(clientEtcDirectory(name), ignored);
    }
}

}  // namespace

std::string NetbiosTestNetwork::unavailableReason() {
    if (::geteuid() != 0) {
        return "needs root to make network namespaces (vtnb-*)";
    }
    if (ipProgram().empty()) {
        return "needs the ip program (iproute2) to make network namespaces";
    }
    if (::access(responderProgram().c_str(), X_OK) != 0) {
        return "the responder helper " + responderProgram() + " is not built";
    }
    return {};
}

NetbiosTestNetwork::NetbiosTestNetwork() {
    static std::atomic<int> counter{0};
    const std::string stem = kPrefix + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    m_client = stem + "-c";
    m_responder = stem + "-r";
}

NetbiosTestNetwork::~NetbiosTestNetwork() {
    stopResponder();
    if (m_created) {
        const std::string ipPath = ipProgram();
        runProgram({ipPath, "netns", "del", m_client});
        runProgram({ipPath, "netns", "del", m_responder});
    }
    std::error_code ignored;
    fs::remove_all(clientEtcDirectory(m_client), ignored);
    fs::remove("/etc/netns", ignored);  // only when no one else keeps files there
    if (!m_workDirectory.empty()) {
        fs::remove_all(m_workDirectory, ignored);
    }
}

bool NetbiosTestNetwork::ip(const std::vector<std::string>& arguments, std::string& error) const {
    std::vector<std::string> command{ipProgram()};
    command.insert(command.end(), arguments.begin(), arguments.end());
    const ProgramResult result = runProgram(command);
    if (result.exitCode != 0) {
        std::string line;
        for (const std::string& argument : command) {
            line += argument + " ";
        }
        error = line + "failed, " + describe(result);
        return false;
    }
    return true;
}

bool NetbiosTestNetwork::create(int networks, std::string& error) {
    if (const std::string reason = unavailableReason(); !reason.empty()) {
        error = reason;
        return false;
    }
    removeLeftoverNamespaces(ipProgram());
    std::string pattern = (fs::temp_directory_path() / "vtnb-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        error = "no temporary directory";
        return false;
    }
    m_workDirectory = pattern;

    // The client resolves names through its own loopback, where nothing listens: a lookup
    // fails at once instead of asking the machine's name server.
    const std::string etc = clientEtcDirectory(m_client);
    fs::create_directories(etc);
    std::ofstream(etc + "/resolv.conf") << "nameserver 127.0.0.1\n";
    if (!setClientHosts("", error)) {
        return false;
    }

    if (!ip({"netns", "add", m_client}, error)) {
        return false;
    }
    m_created = true;
    if (!ip({"netns", "add", m_responder}, error) ||
        !ip({"-n", m_client, "link", "set", "lo", "up"}, error) ||
        !ip({"-n", m_responder, "link", "set", "lo", "up"}, error)) {
        return false;
    }
    for (int k = 0; k < networks; ++k) {
        const std::string responderSide = "vtnb-r" + std::to_string(k);
        if (!ip({"-n", m_client, "link", "add", clientInterface(k), "type", "veth", "peer", "name",
                 responderSide, "netns", m_responder},
                error) ||
            !ip({"-n", m_client, "addr", "add", clientAddress(k) + "/24", "dev",
                 clientInterface(k)},
                error) ||
            !ip({"-n", m_client, "link", "set", clientInterface(k), "up"}, error) ||
            !ip({"-n", m_responder, "link", "set", responderSide, "up"}, error)) {
            return false;
        }
    }
    m_networks = networks;
    return true;
}

bool NetbiosTestNetwork::startResponder(const std::vector<std::string>& hostLines,
                                        std::string& error) {
    const std::string hostsFile = m_workDirectory + "/hosts.txt";
    const std::string batchFile = m_workDirectory + "/addresses.batch";
    {
        std::ofstream hosts(hostsFile);
        std::ofstream batch(batchFile);
        for (const std::string& line : hostLines) {
            hosts << line << '\n';
            const std::string address = line.substr(0, line.find(' '));
            const int network = 99 - std::atoi(address.c_str() + address.find('.') + 1);
            if (network < 0 || network >= m_networks) {
                error = "address outside the test networks: " + address;
                return false;
            }
            batch << "addr add " << address << "/24 dev vtnb-r" << network << '\n';
        }
    }
    if (!ip({"-n", m_responder, "-batch", batchFile}, error)) {
        return false;
    }

    int ready[2];
    if (::pipe2(ready, O_CLOEXEC) != 0) {
        error = "no pipe";
        return false;
    }
    const std::string ipPath = ipProgram();
    const std::string program = responderProgram();
    const std::string logFile = m_workDirectory + "/requests.log";
    std::vector<std::string> arguments{ipPath,  "netns",   "exec",  m_responder,
                                       program, hostsFile, "--log", logFile};
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int devNull = ::open("/dev/null", O_RDONLY);
        if (devNull < 0 || ::dup2(devNull, 0) < 0 || ::dup2(ready[1], 1) < 0) {
            ::_exit(126);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(ready[1]);
    if (pid < 0) {
        ::close(ready[0]);
        error = "fork failed";
        return false;
    }
    m_responderPid = pid;

    std::string said;
    const auto deadline = std::chrono::steady_clock::now() + kReadyWait;
    while (said.find("ready\n") == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd readable{ready[0], POLLIN, 0};
        char buffer[256];
        ssize_t got = -1;
        if (left.count() > 0 && ::poll(&readable, 1, static_cast<int>(left.count())) > 0) {
            got = ::read(ready[0], buffer, sizeof buffer);
        }
        if (got <= 0) {
            ::close(ready[0]);
            error = "the responder did not start (its errors are above)";
            stopResponder();
            return false;
        }
        said.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(ready[0]);
    return true;
}

void NetbiosTestNetwork::stopResponder() {
    if (m_responderPid <= 0) {
        return;
    }
    ::kill(m_responderPid, SIGTERM);
    for (int wait = 0; wait < 100; ++wait) {
        if (::waitpid(m_responderPid, nullptr, WNOHANG) == m_responderPid) {
            m_responderPid = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(m_responderPid, SIGKILL);
    ::waitpid(m_responderPid, nullptr, 0);
    m_responderPid = -1;
}

std::vector<std::string> NetbiosTestNetwork::responderLog() const {
    std::vector<std::string> lines;
    std::ifstream in(m_workDirectory + "/requests.log");
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

ProgramResult NetbiosTestNetwork::runInClient(const std::vector<std::string>& arguments,
                                              std::chrono::milliseconds timeLimit) const {
    std::vector<std::string> command{ipProgram(), "netns", "exec", m_client};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return runProgram(command, timeLimit);
}

bool NetbiosTestNetwork::ipInClient(const std::vector<std::string>& arguments,
                                    std::string& error) const {
    std::vector<std::string> command{"-n", m_client};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return ip(command, error);
}

bool NetbiosTestNetwork::setClientHosts(const std::string& lines, std::string& error) const {
    std::ofstream hosts(clientEtcDirectory(m_client) + "/hosts", std::ios::trunc);
    hosts << "127.0.0.1 localhost\n" << lines;
    if (!hosts) {
        error = "cannot write the client's hosts file";
        return false;
    }
    return true;
}

std::string NetbiosTestNetwork::clientAddress(int network) {
    return "10." + std::to_string(99 - network) + ".0.1";
}

std::string NetbiosTestNetwork::clientInterface(int network) {
    return "vtnb-c" + std::to_string(network);
}

std::string NetbiosTestNetwork::responderMac(int network) const {
    const ProgramResult result =
        runProgram({ipProgram(), "netns", "exec", m_responder, "cat",
                    "/sys/class/net/vtnb-r" + std::to_string(network) + "/address"});
    std::string mac;
    for (const char c : result.standardOutput) {
        if (c == ':') {
            mac += '-';
        } else if (c != '\n') {
            mac += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    return mac;
}

}  // namespace vt::test
