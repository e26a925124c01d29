#pragma once
// The net-snmp side of the SNMP manager calls, kept apart so that net-snmp's headers
// (whose macros share names with the manager API's type codes) meet no other code.

#include "platform/sys/host_lookup.h"
#include "platform/sys/stop_signal.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace netsnmp_backend {

using Oid = std::vector<std::uint32_t>;
using OidView = std::span<const std::uint32_t>;

// One value as the agent sent it: its SMI tag, and the number or the bytes it carries.
struct Value {
    std::uint8_t type = 0x05;
    std::uint32_t number = 0;         // INTEGER (as its bit pattern) and the 32-bit unsigned types
    std::vector<std::uint8_t> bytes;  // OCTET STRING, IpAddress, Opaque
    Oid oid;                          // OBJECT IDENTIFIER
};

struct Answer {
    int errorStatus = 0;
    int errorIndex = 0;
    std::vector<Value> values;  // one per requested name, in order
};

// Initialises the library once per process without loading MIBs or reading or
// writing any net-snmp configuration or state file.
bool initialise();

// Where to send: numeric transport addresses such as "udp:127.0.0.1:161", "udp6:[::1]:161"
// or, link-local with its interface, "udp6:[fe80::1%eth0]:161", one for each address the
// agent's host resolves to, in the resolver's order and at most MaxPeers; empty when the
// agent text is malformed, the host does not resolve, or `abandon` (may be null) is raised
// during the lookup.
inline constexpr std::size_t MaxPeers = 8;
std::vector<std::string> transportAddresses(const std::string& agent, const StopSignal* abandon);

// A session to one agent. When its host has several addresses, the session does not know
// yet which one the agent listens on: each request goes to all of them at once until one
// answers, and from then on to that address alone, until the owner asks for the host to be
// looked up again. The addresses are those the host had at the open, until that lookup finds
// others.
class Session {
public:
    // `abandon` (may be null) must outlive the session. Once it is raised, the lookup and
    // every wait for an answer end at once, as failures.
    static std::unique_ptr<Session> open(const std::string& agent, const std::string& community, int timeoutMs,
                                         int retries, const StopSignal* abandon);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // One SNMPv1 GET of the names; false when no acceptable answer arrived within the
    // time-out and retries, the wait was abandoned, or the answer's bindings do not name
    // exactly the objects asked for, in order.
    bool get(std::span<const OidView> names, Answer& answer);

    // Asks all of the session's addresses again from the next request on, as at the open, and
    // looks the agent's host up again in the background, unless a lookup is still under way;
    // nothing waits for it. The first request after it has ended goes to the addresses it
    // found, when they are others than the session's, on sessions opened afresh for them;
    // the same addresses (in any order), or none, leave the session as it was.
    void lookUpAgain();

    struct Peer;

private:
    Session(std::string community, int timeoutMs, int retries, const StopSignal* abandon);
    // A peer for each address; those that cannot be opened are left out.
    std::vector<std::unique_ptr<Peer>> openPeers(const std::vector<HostAddress>& addresses);
    // Takes the addresses of a lookup that has ended, if they are new.
    void followMovedHost();
    // Waits for the requests just sent; the peer whose answer was accepted, or null.
    Peer* awaitAnswer();

    std::string community_;
    int timeoutMs_;
    int retries_;
    const StopSignal* abandon_;
    std::string host_;
    std::string port_;
    std::vector<HostAddress> addresses_;  // as looked up: the peers' before any has answered
    std::unique_ptr<BackgroundLookup> lookup_;
    std::vector<std::unique_ptr<Peer>> peers_;
};

}  // namespace netsnmp_backend
