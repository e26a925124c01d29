#pragma once
// The net-snmp side of the SNMP manager calls, kept apart so that net-snmp's headers
// (whose macros share names with the manager API's type codes) meet no other code.

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

// Where to send: a numeric transport address such as "udp:127.0.0.1:161" or
// "udp6:[::1]:161", resolved from the agent text; empty when it cannot be.
std::string transportAddress(const std::string& agent);

class Session {
public:
    static std::unique_ptr<Session> open(const std::string& agent, const std::string& community, int timeoutMs,
                                         int retries);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // One SNMPv1 GET of the names; false when no acceptable answer arrived.
    bool get(std::span<const OidView> names, Answer& answer);

private:
    Session(void* handle, std::string community) : handle_(handle), community_(std::move(community)) {}
    void* handle_;
    std::string community_;
};

}  // namespace netsnmp_backend
