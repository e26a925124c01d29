#pragma once

#include "tools/sim_commands.h"
#include "tools/sim_objects.h"
#include "tools/sim_options.h"
#include "tools/sim_responder.h"

#include <csignal>
#include <string>

namespace meter_sim {

// SIGTERM and SIGINT end the agent loop. They stay blocked except while the loop waits in
// pselect, so a signal cannot slip in between the check and the wait.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    bool Requested() const;
    const sigset_t& WaitMask() const { return waitMask_; }

private:
    sigset_t waitMask_;
};

// The control channel on standard input: runs each whole line and writes its reply to
// standard output. End of input closes the channel; it ends the simulator only when standard
// input is a pipe, that is when a controller let go of it.
class ControlChannel {
public:
    explicit ControlChannel(CommandInterpreter& interpreter);

    bool IsOpen() const { return open_; }
    // Reads what is waiting and runs it; true when the simulator is to end.
    bool ReadAndRun(Clock::time_point now);

private:
    CommandInterpreter& interpreter_;
    LineReader lines_;
    bool open_;
    bool endsOnEof_;
};

// The SNMPv1 agent: one UDP server transport on a loopback address, served together with
// the control channel from one select loop.
class Agent {
public:
    // Throws std::runtime_error when the address cannot be bound.
    explicit Agent(const SimOptions& options);
    ~Agent();
    Agent(const Agent&) = delete;
    Agent& operator=(const Agent&) = delete;

    // "udp:127.0.0.1:PORT" or "udp6:[::1]:PORT" with the port actually bound.
    const std::string& ListenAddress() const { return listenAddress_; }
    int Run(const StopSignals& stop);

private:
    static int OnMessage(int operation, netsnmp_session* session, int requestId, netsnmp_pdu* pdu, void* magic);
    void Receive(netsnmp_pdu& request);
    void Send(PduPtr answer);
    void SendRaw(const std::string& datagram, netsnmp_pdu& request);

    MeterObjects objects_;
    AgentControls controls_;
    Responder responder_;
    CommandInterpreter interpreter_;
    ControlChannel channel_;
    AnswerQueue delayed_;
    netsnmp_session* session_ = nullptr;
    std::string listenAddress_;
};

}  // namespace meter_sim
