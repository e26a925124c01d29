#include "platform/sys/netsnmp_session.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
// After the two above, which it needs.
#include <net-snmp/library/large_fd_set.h>

#include "platform/sys/host_lookup.h"

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <mutex>
#include <utility>

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

// Whether the answer's bindings name exactly the objects asked for, in order: a value that
// belongs to another object is no answer to the question.
bool namesMatch(const netsnmp_pdu& response, std::span<const OidView> names) {
    const netsnmp_variable_list* var = response.variables;
    for (const OidView& name : names) {
        if (!var || !std::equal(name.begin(), name.end(), var->name, var->name + var->name_length))
            return false;
        var = var->next_variable;
    }
    return var == nullptr;
}

std::vector<HostAddress> firstAddresses(std::vector<HostAddress> addresses) {
    addresses.resize(std::min(addresses.size(), MaxPeers));
    return addresses;
}

std::string transportAddress(const HostAddress& address, const std::string& port) {
    return address.family == AF_INET6 ? "udp6:[" + address.text + "]:" + port : "udp:" + address.text + ":" + port;
}

// The same addresses, whatever their order.
bool sameAddresses(const std::vector<HostAddress>& one, const std::vector<HostAddress>& other) {
    const auto texts = [](const std::vector<HostAddress>& addresses) {
        std::vector<std::string> sorted;
        for (const HostAddress& address : addresses)
            sorted.push_back(address.text);
        std::sort(sorted.begin(), sorted.end());
        return sorted;
    };
    return texts(one) == texts(other);
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
        // Without a handler of its own the library writes its messages to standard error,
        // which a wall display sends to the journal: a meter sending garbage must not fill
        // it. The display reports what matters through its counters.
        if (netsnmp_log_handler* quiet = netsnmp_register_loghandler(NETSNMP_LOGHANDLER_NONE, LOG_DEBUG))
            netsnmp_enable_this_loghandler(quiet);
        // snmp_sess_init runs the library's one-time set-up (request ids, transports)
        // without init_snmp, which would load MIBs and read configuration files.
        netsnmp_session scratch;
        snmp_sess_init(&scratch);
        ready = true;
    });
    return ready;
}

std::vector<std::string> transportAddresses(const std::string& agent, const StopSignal* abandon) {
    HostAndPort target;
    if (!splitAgent(agent, target))
        return {};
    std::vector<std::string> addresses;
    for (const HostAddress& address : firstAddresses(LookUpHost(target.host, abandon)))
        addresses.push_back(transportAddress(address, target.port));
    return addresses;
}

// One net-snmp session to one of the agent's addresses, with the request under way on it.
struct Session::Peer {
    enum class State { Idle, Waiting, Answered, Failed };

    ~Peer() {
        if (handle)
            snmp_sess_close(handle);
        if (response)
            snmp_free_pdu(response);
    }

    const std::string* community = nullptr;
    void* handle = nullptr;
    int requestId = 0;
    State state = State::Idle;
    netsnmp_pdu* response = nullptr;  // a copy of the accepted answer
};

namespace {

using Peer = Session::Peer;

bool carriesCommunity(const netsnmp_pdu& pdu, const std::string& community) {
    return pdu.community && pdu.community_len == community.size() &&
           std::memcmp(pdu.community, community.data(), community.size()) == 0;
}

// The library matches answers by request id alone; one with another community did not come
// from the agent we were configured for, and counts as none.
int onAnswer(int operation, netsnmp_session*, int requestId, netsnmp_pdu* pdu, void* magic) {
    Peer& peer = *static_cast<Peer*>(magic);
    if (requestId != peer.requestId || peer.state != Peer::State::Waiting)
        return 1;  // an abandoned request of an earlier GET
    if (operation == NETSNMP_CALLBACK_OP_RESEND)
        return 1;  // a retry went out; the request is still under way
    if (operation == NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE && pdu && carriesCommunity(*pdu, *peer.community))
        peer.response = snmp_clone_pdu(pdu);
    peer.state = peer.response ? Peer::State::Answered : Peer::State::Failed;
    return 1;
}

int socketOf(const Peer& peer) {
    const netsnmp_transport* transport = snmp_sess_transport(peer.handle);
    return transport ? transport->sock : -1;
}

// How long until the peer's request must be sent again or given up; -1 when it has none.
int millisecondsToTimeout(const Peer& peer) {
    int fds = 0;
    int block = 1;
    timeval left{};
    netsnmp_large_fd_set set;
    netsnmp_large_fd_set_init(&set, FD_SETSIZE);
    snmp_sess_select_info2_flags(peer.handle, &fds, &set, &left, &block, NETSNMP_SELECT_NOALARMS);
    netsnmp_large_fd_set_cleanup(&set);
    if (block)
        return -1;
    const long ms = left.tv_sec * 1000L + (left.tv_usec + 999) / 1000;
    return static_cast<int>(std::clamp(ms, 0L, static_cast<long>(INT_MAX)));
}

void readAnswer(Peer& peer, int sock) {
    netsnmp_large_fd_set set;
    netsnmp_large_fd_set_init(&set, sock + 1);
    NETSNMP_LARGE_FD_SET(sock, &set);
    snmp_sess_read2(peer.handle, &set);
    netsnmp_large_fd_set_cleanup(&set);
}

}  // namespace

Session::Session(std::string community, int timeoutMs, int retries, const StopSignal* abandon)
    : community_(std::move(community)), timeoutMs_(timeoutMs), retries_(retries), abandon_(abandon) {}

std::unique_ptr<Session> Session::open(const std::string& agent, const std::string& community, int timeoutMs,
                                       int retries, const StopSignal* abandon) {
    HostAndPort target;
    if (!initialise() || !splitAgent(agent, target))
        return nullptr;
    std::unique_ptr<Session> session(new Session(community, timeoutMs, retries, abandon));
    session->host_ = target.host;
    session->port_ = target.port;
    session->addresses_ = firstAddresses(LookUpHost(target.host, abandon));
    session->peers_ = session->openPeers(session->addresses_);
    if (session->peers_.empty())
        return nullptr;
    return session;
}

Session::~Session() = default;

std::vector<std::unique_ptr<Peer>> Session::openPeers(const std::vector<HostAddress>& addresses) {
    std::vector<std::unique_ptr<Peer>> peers;
    for (const HostAddress& address : addresses) {
        std::string peerName = transportAddress(address, port_);
        netsnmp_session settings;
        snmp_sess_init(&settings);
        settings.version = SNMP_VERSION_1;
        settings.peername = peerName.data();
        settings.community = reinterpret_cast<u_char*>(community_.data());
        settings.community_len = community_.size();
        settings.timeout = static_cast<long>(std::max(timeoutMs_, 1)) * 1000L;  // microseconds
        settings.retries = std::max(retries_, 0);
        auto peer = std::make_unique<Peer>();
        peer->handle = snmp_sess_open(&settings);
        if (!peer->handle)
            continue;
        peer->community = &community_;
        peers.push_back(std::move(peer));
    }
    return peers;
}

void Session::lookUpAgain() {
    // The address that answered first may be the one that stopped: all of them are asked
    // again, as at the open, until one answers.
    if (peers_.size() < addresses_.size()) {
        if (std::vector<std::unique_ptr<Peer>> all = openPeers(addresses_); !all.empty())
            peers_ = std::move(all);
    }
    if (!lookup_)
        lookup_ = std::make_unique<BackgroundLookup>(host_);
}

void Session::followMovedHost() {
    if (!lookup_)
        return;
    std::optional<std::vector<HostAddress>> found = lookup_->Result();
    if (!found)
        return;  // still under way: the next request looks again
    lookup_.reset();
    *found = firstAddresses(std::move(*found));
    if (sameAddresses(*found, addresses_))
        return;
    std::vector<std::unique_ptr<Peer>> moved = openPeers(*found);
    if (moved.empty())
        return;  // a name that no longer resolves says nothing about where the agent is now
    peers_ = std::move(moved);
    addresses_ = std::move(*found);
}

bool Session::get(std::span<const OidView> names, Answer& answer) {
    if (abandon_ && abandon_->IsRaised())
        return false;
    followMovedHost();
    for (auto& peer : peers_) {
        peer->state = Peer::State::Failed;
        netsnmp_pdu* request = buildGet(names);
        if (!request)
            return false;
        peer->requestId = snmp_sess_async_send(peer->handle, request, onAnswer, peer.get());
        if (peer->requestId == 0)
            snmp_free_pdu(request);
        else
            peer->state = Peer::State::Waiting;
    }
    Peer* answered = awaitAnswer();
    if (!answered)
        return false;
    if (peers_.size() > 1) {
        // The address that answered first is the agent's from now on.
        std::erase_if(peers_, [&](const std::unique_ptr<Peer>& peer) { return peer.get() != answered; });
    }
    netsnmp_pdu* response = std::exchange(answered->response, nullptr);
    answered->state = Peer::State::Idle;
    const bool matches = namesMatch(*response, names);
    answer.errorStatus = static_cast<int>(response->errstat);
    answer.errorIndex = static_cast<int>(response->errindex);
    answer.values.clear();
    for (netsnmp_variable_list* var = response->variables; matches && var; var = var->next_variable)
        answer.values.push_back(toValue(*var));
    snmp_free_pdu(response);
    return matches;
}

// Our own wait instead of the library's synchronous one, so that the abandon signal can
// end it: poll the peers' sockets and the signal, let the library read what came and
// resend or give up what timed out, until one peer is answered or all have failed.
Peer* Session::awaitAnswer() {
    std::vector<pollfd> watched;
    for (;;) {
        watched.assign(1, pollfd{abandon_ ? abandon_->Fd() : -1, POLLIN, 0});
        int timeout = -1;
        for (const auto& peer : peers_) {
            if (peer->state == Peer::State::Answered)
                return peer.get();
            if (peer->state != Peer::State::Waiting)
                continue;
            const int left = millisecondsToTimeout(*peer);
            if (left < 0) {
                peer->state = Peer::State::Failed;  // the library holds no request for it
                continue;
            }
            watched.push_back(pollfd{socketOf(*peer), POLLIN, 0});
            timeout = timeout < 0 ? left : std::min(timeout, left);
        }
        if (watched.size() == 1)
            return nullptr;  // every peer has failed
        const int ready = poll(watched.data(), watched.size(), timeout);
        if (ready < 0 && errno != EINTR)
            return nullptr;
        if (watched[0].revents & POLLIN)
            return nullptr;  // abandoned
        std::size_t next = 1;
        for (auto& peer : peers_) {
            if (peer->state != Peer::State::Waiting)
                continue;
            if (ready > 0 && watched[next].revents != 0)
                readAnswer(*peer, watched[next].fd);
            ++next;
            snmp_sess_timeout(peer->handle);  // acts only on a request whose time has come
        }
    }
}

}  // namespace netsnmp_backend
