#include "platform/sys/netsnmp_session.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <arpa/inet.h>
#include <netdb.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <mutex>

namespace netsnmp_backend {
namespace {

constexpr const char* DefaultPort = "161";

struct HostAndPort {
    std::string host;
    std::string port;
};

bool isPort(const std::string& text) {
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](unsigned char c) { return c >= '0' && c <= '9'; }))
        return false;
    const int port = std::stoi(text);
    return port >= 1 && port <= 65535;
}

// "host", "host:port", "v6:addr", "[v6:addr]", "[v6:addr]:port".
bool splitAgent(const std::string& agent, HostAndPort& out) {
    if (agent.empty())
        return false;
    if (agent.front() == '[') {
        const auto close = agent.find(']');
        if (close == std::string::npos)
            return false;
        out.host = agent.substr(1, close - 1);
        const std::string rest = agent.substr(close + 1);
        if (rest.empty())
            out.port = DefaultPort;
        else if (rest.front() == ':')
            out.port = rest.substr(1);
        else
            return false;
    } else if (std::count(agent.begin(), agent.end(), ':') >= 2) {
        out.host = agent;
        out.port = DefaultPort;
    } else if (const auto colon = agent.find(':'); colon != std::string::npos) {
        out.host = agent.substr(0, colon);
        out.port = agent.substr(colon + 1);
    } else {
        out.host = agent;
        out.port = DefaultPort;
    }
    const bool hostPrintable =
        std::all_of(out.host.begin(), out.host.end(), [](unsigned char c) { return c > ' ' && c < 127; });
    return !out.host.empty() && hostPrintable && isPort(out.port);
}

netsnmp_pdu* buildGet(std::span<const OidView> names) {
    netsnmp_pdu* pdu = snmp_pdu_create(SNMP_MSG_GET);
    for (const OidView& name : names) {
        oid ids[MAX_OID_LEN];
        if (name.size() > MAX_OID_LEN) {
            snmp_free_pdu(pdu);
            return nullptr;
        }
        std::copy(name.begin(), name.end(), ids);
        if (!snmp_add_null_var(pdu, ids, name.size())) {
            snmp_free_pdu(pdu);
            return nullptr;
        }
    }
    return pdu;
}

Value toValue(const netsnmp_variable_list& var) {
    Value value;
    value.type = var.type;
    switch (var.type) {
    case ASN_INTEGER:
    case ASN_COUNTER:
    case ASN_GAUGE:
    case ASN_TIMETICKS:
    case ASN_UINTEGER:
        if (var.val.integer)
            value.number = static_cast<std::uint32_t>(*var.val.integer);
        break;
    case ASN_OCTET_STR:
    case ASN_IPADDRESS:
    case ASN_OPAQUE:
        if (var.val.string)
            value.bytes.assign(var.val.string, var.val.string + var.val_len);
        break;
    case ASN_OBJECT_ID:
        if (var.val.objid)
            value.oid.assign(var.val.objid, var.val.objid + var.val_len / sizeof(oid));
        break;
    default:
        break;
    }
    return value;
}

}  // namespace

bool initialise() {
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] {
        // Numeric OIDs need no MIB, and a user's snmp.conf must not change how the
        // display talks to its meter: no configuration is read, no state is written.
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_PERSIST_STATE, 1);
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
        // snmp_sess_init runs the library's one-time set-up (request ids, transports)
        // without init_snmp, which would load MIBs and read configuration files.
        netsnmp_session scratch;
        snmp_sess_init(&scratch);
        ready = true;
    });
    return ready;
}

std::string transportAddress(const std::string& agent) {
    HostAndPort target;
    if (!splitAgent(agent, target))
        return {};
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(target.host.c_str(), nullptr, &hints, &found) != 0 || !found)
        return {};
    char text[INET6_ADDRSTRLEN] = {};
    std::string address;
    if (found->ai_family == AF_INET) {
        inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr, text, sizeof text);
        address = std::string("udp:") + text + ":" + target.port;
    } else if (found->ai_family == AF_INET6) {
        inet_ntop(AF_INET6, &reinterpret_cast<sockaddr_in6*>(found->ai_addr)->sin6_addr, text, sizeof text);
        address = std::string("udp6:[") + text + "]:" + target.port;
    }
    freeaddrinfo(found);
    return address;
}

std::unique_ptr<Session> Session::open(const std::string& agent, const std::string& community, int timeoutMs,
                                       int retries) {
    if (!initialise())
        return nullptr;
    std::string peer = transportAddress(agent);
    if (peer.empty())
        return nullptr;
    netsnmp_session settings;
    snmp_sess_init(&settings);
    settings.version = SNMP_VERSION_1;
    settings.peername = peer.data();
    settings.community = reinterpret_cast<u_char*>(const_cast<char*>(community.c_str()));
    settings.community_len = community.size();
    settings.timeout = static_cast<long>(std::max(timeoutMs, 1)) * 1000L;  // microseconds
    settings.retries = std::max(retries, 0);
    void* handle = snmp_sess_open(&settings);
    if (!handle)
        return nullptr;
    return std::unique_ptr<Session>(new Session(handle, community));
}

Session::~Session() {
    snmp_sess_close(handle_);
}

bool Session::get(std::span<const OidView> names, Answer& answer) {
    netsnmp_pdu* request = buildGet(names);
    if (!request)
        return false;
    netsnmp_pdu* response = nullptr;
    const int status = snmp_sess_synch_response(handle_, request, &response);  // frees request
    bool accepted = status == STAT_SUCCESS && response;
    if (accepted) {
        // The library matches answers by request id alone; one with another community
        // did not come from the agent we were configured for.
        const std::string theirs = response->community ? std::string(reinterpret_cast<const char*>(response->community),
                                                                     response->community_len)
                                                       : std::string();
        accepted = theirs == community_;
    }
    if (accepted) {
        answer.errorStatus = static_cast<int>(response->errstat);
        answer.errorIndex = static_cast<int>(response->errindex);
        answer.values.clear();
        answer.values.reserve(names.size());
        for (netsnmp_variable_list* var = response->variables; var; var = var->next_variable)
            answer.values.push_back(toValue(*var));
        accepted = answer.values.size() == names.size();
    }
    if (response)
        snmp_free_pdu(response);
    return accepted;
}

}  // namespace netsnmp_backend
