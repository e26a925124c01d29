#pragma once
// The net-snmp side of the SNMP manager calls, kept apart so that net-snmp's headers
// (whose macros share names with the manager API's type codes) meet no other code.

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

// Where to send: numeric transport addresses such as "udp:127.0.0.1:161" or
// "udp6:[::1]:161", one for each address the agent's host resolves to, in the resolver's
// order and at most MaxPeers; empty when the agent text is malformed, the host does not
// resolve, or `abandon` (may be null) is raised during the lookup.
inline constexpr std::size_t MaxPeers = 8;
std::vector<std::string> transportAddresses(const std::string& agent, const StopSignal* abandon);

// A session to one agent. When its host has several addresses, the session does not know
// yet which one the agent listens on: each request goes to all of them at once until one
// answers, and from then on to that address alone.
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
    struct Peer;

private:
    Session(std::string community, const StopSignal* abandon);
    // Waits for the requests just sent; the peer whose answer was accepted, or null.
    Peer* awaitAnswer();

    std::string community_;
    const StopSignal* abandon_;
    std::vector<std::unique_ptr<Peer>> peers_;
};

}  // namespace netsnmp_backend
