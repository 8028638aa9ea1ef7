#pragma once

// Network namespaces of a test's own for the NetBIOS adapters: a client side, where the
// adapters run, joined by one veth pair per network to a responder side, whose interfaces
// carry every address the responder helper (vt_netbios_responder) answers for. Whatever the
// adapters broadcast stays inside; nothing reaches the machine's own interfaces.
//
// Network k (from 0) is 10.(99-k).0.0/24; the client is 10.(99-k).0.1 on "vtnb-c<k>", the
// responder's addresses are on "vtnb-r<k>". The namespaces are "vtnb-PID-N-c" and
// "vtnb-PID-N-r"; the client's name lookups stay inside too (its resolver is its own
// loopback, its hosts file the test's). Everything (responder, namespaces with their links,
// the client's files under /etc/netns) goes when the object goes, and namespaces that a
// crashed test run left behind are removed when the next one is made. Needs root.

#include <sys/types.h>
#include <chrono>
#include <string>
#include <vector>

#include "tests/support/program_run.h"

namespace vt::test {

class NetbiosTestNetwork {
public:
    // Empty when namespaces can be made here; else why not, for the skip message.
    static std::string unavailableReason();

    NetbiosTestNetwork();
    NetbiosTestNetwork(const NetbiosTestNetwork&) = delete;
    NetbiosTestNetwork& operator=(const NetbiosTestNetwork&) = delete;
    ~NetbiosTestNetwork();

    // Makes the namespaces and `networks` veth pairs (0: a client without a network).
    bool create(int networks, std::string& error);
    // Starts the responder for the hosts-file lines ("ADDRESS NAME [OPTION...]"), after
    // putting every address on the responder's interface of its network; waits until it is
    // ready to answer.
    bool startResponder(const std::vector<std::string>& hostLines, std::string& error);
    // The requests the responder received, one line each ("broadcast *<00> 10.99.0.1").
    std::vector<std::string> responderLog() const;

    // Runs a program (a native path and its arguments) in the client namespace.
    ProgramResult runInClient(const std::vector<std::string>& arguments,
                              std::chrono::milliseconds timeLimit = std::chrono::seconds(20)) const;
    // Runs "ip ARGUMENTS" in the client namespace, for the neighbour entries of a test.
    bool ipInClient(const std::vector<std::string>& arguments, std::string& error) const;
    // Replaces the client's hosts file, which its name lookups read first.
    bool setClientHosts(const std::string& lines, std::string& error) const;

    // The client namespace's name, for a process that enters it itself (setns).
    const std::string& clientNamespace() const { return m_client; }

    static std::string clientAddress(int network = 0);
    static std::string clientInterface(int network = 0);
    // The MAC address of the responder's interface of a network, "02-AB-..." in upper case.
    std::string responderMac(int network = 0) const;

private:
    bool ip(const std::vector<std::string>& arguments, std::string& error) const;
    void stopResponder();

    std::string m_client;
    std::string m_responder;
    std::string m_workDirectory;
    int m_networks = 0;
    bool m_created = false;
    pid_t m_responderPid = -1;
};

}  // namespace vt::test
