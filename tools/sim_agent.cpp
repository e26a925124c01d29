#include "tools/sim_agent.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <stdexcept>

namespace meter_sim {
namespace {

volatile std::sig_atomic_t stopSignalled = 0;

void OnStopSignal(int) {
    stopSignalled = 1;
}

// No MIBs, no configuration files, no persistent state: the simulator touches no file.
// So only the transports are set up, not the whole library with init_snmp: snmp_sess_init
// does that once (a call of netsnmp_tdomain_init of our own would set them up a second time
// and lose the first set).
void ConfigureLibrary() {
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_PERSIST_STATE, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
    netsnmp_session scratch;
    snmp_sess_init(&scratch);
}

std::string TransportSpec(const std::string& address, int port) {
    const std::string host = address == "::1" ? "udp6:[::1]:" : "udp:127.0.0.1:";
    return host + std::to_string(port);
}

int BoundPort(int socket) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return -1;
    if (address.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
    return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
}

void WriteReply(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

timespec ToTimespec(Clock::duration wait) {
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(std::max(wait, Clock::duration::zero()));
    return {static_cast<time_t>(ns.count() / 1'000'000'000), static_cast<long>(ns.count() % 1'000'000'000)};
}

}  // namespace

StopSignals::StopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    sigset_t stopSet;
    sigemptyset(&stopSet);
    sigaddset(&stopSet, SIGTERM);
    sigaddset(&stopSet, SIGINT);
    sigprocmask(SIG_BLOCK, &stopSet, &waitMask_);
    sigdelset(&waitMask_, SIGTERM);
    sigdelset(&waitMask_, SIGINT);
}

StopSignals::~StopSignals() {
    sigprocmask(SIG_SETMASK, &waitMask_, nullptr);
}

bool StopSignals::Requested() const {
    return stopSignalled != 0;
}

ControlChannel::ControlChannel(CommandInterpreter& interpreter) : interpreter_(interpreter) {
    struct stat input {};
    open_ = fstat(STDIN_FILENO, &input) == 0;
    endsOnEof_ = open_ && S_ISFIFO(input.st_mode);
}

bool ControlChannel::ReadAndRun(Clock::time_point now) {
    char buffer[4096];
    const ssize_t count = read(STDIN_FILENO, buffer, sizeof buffer);
    if (count < 0) {
        if (errno != EINTR && errno != EAGAIN)
            open_ = false;
        return false;
    }
    if (count == 0) {
        open_ = false;
        return endsOnEof_;
    }
    lines_.Feed({buffer, static_cast<std::size_t>(count)});
    while (const auto line = lines_.Next()) {
        const auto reply =
            line->overlong ? CommandInterpreter::Reply{"error: line too long"} : interpreter_.Execute(line->text, now);
        WriteReply(reply.line);
        if (reply.quit)
            return true;
    }
    return false;
}

Agent::Agent(const SimOptions& options)
    : objects_(options.initial, Clock::now()),
      responder_(objects_, controls_, options.community, options.initial.seed),
      interpreter_(objects_, controls_),
      channel_(interpreter_) {
    ConfigureLibrary();
    const std::string endpoint = TransportSpec(options.address, options.port);
    netsnmp_transport* transport = netsnmp_transport_open_server("decimon-meter-sim", endpoint.c_str());
    if (!transport)
        throw std::runtime_error("cannot listen on " + endpoint);
    const int port = BoundPort(transport->sock);

    netsnmp_session config;
    snmp_sess_init(&config);
    config.version = SNMP_VERSION_1;  // the library drops messages of other versions
    config.community = reinterpret_cast<u_char*>(const_cast<char*>(options.community.c_str()));
    config.community_len = options.community.size();
    config.callback = &Agent::OnMessage;
    config.callback_magic = this;
    // snmp_add copies the configuration and owns the transport from here, also on failure.
    session_ = snmp_add(&config, transport, nullptr, nullptr);
    if (!session_ || port < 0)
        throw std::runtime_error("cannot serve on " + endpoint);
    listenAddress_ = TransportSpec(options.address, port);
}

Agent::~Agent() {
    if (session_)
        snmp_close(session_);
}

int Agent::Run(const StopSignals& stop) {
    while (!stop.Requested()) {
        fd_set readable;
        FD_ZERO(&readable);
        int fdCount = 0;
        timeval libraryTimeout{};
        int block = 1;
        snmp_select_info(&fdCount, &readable, &libraryTimeout, &block);
        if (channel_.IsOpen()) {
            FD_SET(STDIN_FILENO, &readable);
            fdCount = std::max(fdCount, STDIN_FILENO + 1);
        }

        std::optional<Clock::duration> wait;
        if (!block)
            wait = std::chrono::seconds(libraryTimeout.tv_sec) + std::chrono::microseconds(libraryTimeout.tv_usec);
        if (const auto due = delayed_.NextDue())
            wait = std::min(wait.value_or(Clock::duration::max()), *due - Clock::now());
        const timespec timeout = ToTimespec(wait.value_or(Clock::duration::zero()));

        const int ready = pselect(fdCount, &readable, nullptr, nullptr, wait ? &timeout : nullptr, &stop.WaitMask());
        if (ready < 0 && errno != EINTR) {
            std::perror("decimon-meter-sim: select");
            return 1;
        }
        if (ready == 0)
            snmp_timeout();
        if (ready > 0) {
            if (channel_.IsOpen() && FD_ISSET(STDIN_FILENO, &readable) && channel_.ReadAndRun(Clock::now()))
                return 0;
            snmp_read(&readable);
        }
        for (auto& answer : delayed_.TakeDue(Clock::now()))
            Send(std::move(answer));
    }
    return 0;
}

int Agent::OnMessage(int operation, netsnmp_session*, int, netsnmp_pdu* pdu, void* magic) {
    if (operation == NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE && pdu && pdu->command == SNMP_MSG_GET)
        static_cast<Agent*>(magic)->Receive(*pdu);
    return 1;
}

void Agent::Receive(netsnmp_pdu& request) {
    ++controls_.requestCount;
    const auto now = Clock::now();
    if (controls_.raw) {
        // At once, whatever the delay: each datagram as it stands.
        for (const std::string& datagram : responder_.RawAnswers(request, now))
            SendRaw(datagram, request);
        return;
    }
    PduPtr answer = responder_.Answer(request, now);
    if (!answer)
        return;
    if (controls_.delay.count() == 0)
        Send(std::move(answer));
    else
        delayed_.Push(now + controls_.delay, std::move(answer));
}

void Agent::Send(PduPtr answer) {
    // On success the library owns and frees the PDU.
    if (snmp_send(session_, answer.get()) != 0)
        answer.release();
    else
        snmp_sess_perror("decimon-meter-sim: answer not sent", session_);
}

void Agent::SendRaw(const std::string& datagram, netsnmp_pdu& request) {
    // Straight to the request's sender through the transport, past the library's encoder.
    netsnmp_transport* transport = snmp_sess_transport(snmp_sess_pointer(session_));
    if (!transport || netsnmp_transport_send(transport, datagram.data(), static_cast<int>(datagram.size()),
                                             &request.transport_data, &request.transport_data_length) < 0)
        std::fputs("decimon-meter-sim: raw answer not sent\n", stderr);
}

}  // namespace meter_sim
